#include "tools/fortune_file.h"

#include <gtest/gtest.h>

namespace tools {
namespace {

std::vector<std::string> texts(const std::vector<FortunePiece>& pieces) {
  std::vector<std::string> out;
  for (const FortunePiece& piece : pieces) out.push_back(piece.text);
  return out;
}

TEST(FortuneFile, LineEndsBecomeLfAndLoneCrsStay) {
  EXPECT_EQ(normalise_line_ends("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(normalise_line_ends("a\rb\r\r"), "a\rb");
  EXPECT_EQ(normalise_line_ends("a\r\r\nb"), "a\nb");
  EXPECT_EQ(normalise_line_ends("\r\r\rx\n"), "\r\r\rx\n");
  EXPECT_EQ(normalise_line_ends(""), "");
}

TEST(FortuneFile, TabsStopEveryEightColumnsOfTheirLine) {
  EXPECT_EQ(expand_tabs("\tx"), "        x");
  EXPECT_EQ(expand_tabs("abc\tx"), "abc     x");
  EXPECT_EQ(expand_tabs("abcdefgh\tx"), "abcdefgh        x");
  EXPECT_EQ(expand_tabs("ab\t\tx"), "ab              x");
  EXPECT_EQ(expand_tabs("long line\n\tx"), "long line\n        x");
  EXPECT_EQ(expand_tabs("no tabs"), "no tabs");
}

TEST(FortuneFile, SplitsAtPercentLinesOnly) {
  const auto pieces = split_fortune_text("%\none\ntwo\n%\n100%\n %\n%%\n%\n\nlast");
  EXPECT_EQ(texts(pieces), (std::vector<std::string>{"", "one\ntwo", "100%\n %\n%%", "\nlast"}));
  EXPECT_TRUE(pieces.front().at_edge);
  EXPECT_FALSE(pieces.back().at_edge);

  const auto doubled = split_fortune_text("a\n%\n%\nb\n%\n");
  EXPECT_EQ(texts(doubled), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_FALSE(doubled[1].at_edge);  // an empty cookie between two separators
  EXPECT_TRUE(doubled[3].at_edge);

  EXPECT_EQ(texts(split_fortune_text("\xEF\xBB\xBFmarked\n%")),
            (std::vector<std::string>{"marked", ""}));
  EXPECT_EQ(texts(split_fortune_text("trailing blank\n\n%\n")),
            (std::vector<std::string>{"trailing blank\n", ""}));
}

TEST(FortuneFile, JoinAndSplitAreInverses) {
  const std::vector<std::string> cookies = {"plain",      "\nleading blank",    "trailing blank\n",
                                            "two\nlines", "a\rcarriage return", " spaced "};
  const std::string joined = join_fortune_text(cookies);
  EXPECT_EQ(joined.substr(0, 9), "plain\n%\n\n");
  auto pieces = split_fortune_text(normalise_line_ends(joined));
  ASSERT_TRUE(pieces.back().at_edge);
  pieces.pop_back();
  EXPECT_EQ(texts(pieces), cookies);
}

}  // namespace
}  // namespace tools
