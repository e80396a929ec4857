#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tools/line_search.h"

namespace tools {
namespace {

// Each row's count is the number of these cookies with a matching line;
// matched as one text, the cookies would give other counts in all rows but
// the last two.
TEST(LineSearch, AnchorsAndDotsStayInsideALine) {
  const std::vector<std::string> cookies = {
      "A cat sat.\nA dog ran.", "Be trustworthy.\nOr not.", "Say AB\nor xy",
      "first\n\nthird",         "Ends in a\nb starts",      "Who:\nA friend.",
  };
  const std::tuple<std::string, PatternOptions, int> rows[] = {
      {"^A ", {}, 2},
      {"trustworthy\\.$", {}, 1},
      {"a.*b", {.ignore_case = true}, 1},
      {"a.*b", {}, 0},
      {"a[[:space:]]b", {}, 0},
      {"^$", {}, 1},
      {"^(first|third)$", {.extended = true}, 1},
      {"first\nA friend", {}, 2},  // one pattern per line, as grep takes them
      {"xy\\|dog", {}, 2},
      {".", {}, 6},
  };
  std::string error;
  for (const auto& [text, options, count] : rows) {
    LinePattern pattern;
    ASSERT_TRUE(pattern.compile(text, options, error)) << error;
    int matched = 0;
    for (const std::string& cookie : cookies) matched += pattern.matches_a_line(cookie);
    EXPECT_EQ(matched, count) << text;
  }
  // The second line is no pattern.
  EXPECT_FALSE(LinePattern().compile("ok\na\\{2", {}, error) || error.empty());
}

}  // namespace
}  // namespace tools
