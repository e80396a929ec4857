#include <cstring>
#include <string>

#include "codec/codec.h"
#include "database/data_file.h"
#include "database/database.h"
#include "database_fixture.h"
#include "settings/settings.h"

namespace database_test {
namespace {

using database::choice;
using database::Damage;

class CutTest : public DatabaseTest {
 protected:
  void block_is(const std::string& text) {
    ASSERT_LE(text.size(), sizeof codec::output_buffer);
    std::memcpy(codec::output_buffer, text.data(), text.size());
    codec::output_total = static_cast<std::uint32_t>(text.size());
  }
  std::string cut(std::uint32_t k) {
    const Damage damage = database::cut_cookie_at(k);
    return damage == Damage::none ? std::string(choice.cookie_text) : "<damaged>";
  }
};

TEST_F(CutTest, CookiesOfAWellFormedBlock) {
  block_is("first cookie\n%%\nsecond line one\nsecond line two\n%%\n");
  EXPECT_EQ(cut(0), "first cookie");
  EXPECT_EQ(cut(1), "\nsecond line one\nsecond line two");
  EXPECT_EQ(cut(2), "<damaged>");
  EXPECT_EQ(choice.cookie_text[0], '\0');
}

TEST_F(CutTest, SinglePercentEndsTheCookieEarly) {
  block_is("x\n%%\n100% sure\n%%\n");
  EXPECT_EQ(cut(1), "\n10");
}

TEST_F(CutTest, OverlappingSeparatorsAreEachCounted) {
  block_is("a\n%%%b\n%%\n");
  EXPECT_EQ(cut(0), "a");
  EXPECT_EQ(cut(1), "");
  EXPECT_EQ(cut(2), "b");
  EXPECT_EQ(cut(3), "<damaged>");  // starts after the last separator, no "%" follows
}

TEST_F(CutTest, NothingBeyondTheTextCounts) {
  block_is("abc");
  codec::output_buffer[3] = '%';
  codec::output_buffer[4] = '%';
  EXPECT_EQ(cut(0), "<damaged>");
  block_is("a\n%");
  codec::output_buffer[3] = '%';
  EXPECT_EQ(cut(0), "a");
  EXPECT_EQ(cut(1), "<damaged>");

  std::memset(codec::output_buffer, 'x', sizeof codec::output_buffer);
  codec::output_total = sizeof codec::output_buffer;
  EXPECT_EQ(cut(0), "<damaged>");
  EXPECT_EQ(cut(5), "<damaged>");
  codec::output_buffer[sizeof codec::output_buffer - 1] = '%';
  EXPECT_EQ(cut(0).size(), 1999u);
  EXPECT_EQ(cut(1), "<damaged>");
}

TEST_F(CutTest, EmptyBlockAndEmptyCookies) {
  block_is("");
  EXPECT_EQ(cut(0), "<damaged>");
  block_is("\n%%\n\n%%\n");
  EXPECT_EQ(cut(0), "");
  EXPECT_EQ(cut(1), "\n");
}

TEST_F(CutTest, LongCookieIsTruncatedTo1999Characters) {
  block_is("short\n%%\n" + std::string(3000, 'y') + "\n%%\n");
  const std::string cookie = cut(1);
  EXPECT_EQ(cookie.size(), 1999u);
  EXPECT_EQ(cookie, std::string(1, '\n').append(1998, 'y'));
  EXPECT_EQ(choice.cookie_text[1999], '\0');
}

TEST_F(CutTest, CutCookieTakesTheChosenNumberModuloTheBlock) {
  block_is("zero\n%%\none\n%%\ntwo\n%%\n");
  database::reader.cookie_number = 402;
  EXPECT_EQ(problem_of([] { database::cut_cookie(); }), 0);
  EXPECT_STREQ(choice.cookie_text, "\ntwo");
  database::reader.cookie_number = 403;
  EXPECT_EQ(problem_of([] { database::cut_cookie(); }), 2);
}

class LayoutTest : public DatabaseTest {
 protected:
  void lay_out(const std::string& cookie, int siz = 13) {
    ASSERT_LT(cookie.size(), sizeof choice.cookie_text);
    std::memcpy(choice.cookie_text, cookie.c_str(), cookie.size() + 1);
    settings::current.siz = siz;
    database::lay_out_cookie();
  }
  static std::string grid() { return choice.display_grid; }
  static std::string row(int r) { return grid().substr(static_cast<std::size_t>(r) * 80, 80); }
  static std::size_t rows() { return grid().size() / 80; }
  static std::string padded(const std::string& text) {
    return text + std::string(80 - text.size(), ' ');
  }
};

TEST_F(LayoutTest, BlankLinesVanish) {
  lay_out("a\n\nb");
  EXPECT_EQ(grid(), padded("a") + padded("b"));
  EXPECT_EQ(choice.window_height, 2 * 13 + 60);
  lay_out("\n\nonly\n");
  EXPECT_EQ(grid(), padded("only"));
}

TEST_F(LayoutTest, LeadingSpaceDroppedOnlyBeforeALetter) {
  lay_out(" Hello\n 42\n \xE9t\xE9\n  two\n z\n {");
  ASSERT_EQ(rows(), 6u);
  EXPECT_EQ(row(0), padded("Hello"));
  EXPECT_EQ(row(1), padded(" 42"));
  EXPECT_EQ(row(2), padded(" \xE9t\xE9"));
  EXPECT_EQ(row(3), padded("  two"));
  EXPECT_EQ(row(4), padded("z"));
  EXPECT_EQ(row(5), padded(" {"));
  lay_out(" ");
  EXPECT_EQ(grid(), padded(" "));
}

TEST_F(LayoutTest, LongLinesContinueOnTheNextRow) {
  const std::string eighty(80, 'x');
  lay_out(eighty + "\nnext");
  EXPECT_EQ(grid(), eighty + padded("next"));
  lay_out(eighty + " Hello there");
  EXPECT_EQ(grid(), eighty + padded("Hello there"));
  lay_out(eighty + " 1");
  EXPECT_EQ(grid(), eighty + padded(" 1"));
  lay_out(eighty + "\n");
  EXPECT_EQ(grid(), eighty);
  EXPECT_EQ(choice.window_height, 13 + 60);
}

TEST_F(LayoutTest, ControlCharactersArePlacedAsTheyAre) {
  lay_out("a\tb\rc");
  EXPECT_EQ(grid(), padded("a\tb\rc"));
}

TEST_F(LayoutTest, EmptyCookieHasNoRows) {
  lay_out("", 20);
  EXPECT_EQ(grid(), "");
  EXPECT_EQ(choice.window_height, 60);
}

TEST_F(LayoutTest, HeightFollowsRowsAndSiz) {
  lay_out("1\n2\n3", 20);
  EXPECT_EQ(choice.window_height, 3 * 20 + 60);
  lay_out(std::string(161, 'q'), 7);
  EXPECT_EQ(rows(), 3u);
  EXPECT_EQ(choice.window_height, 3 * 7 + 60);
}

TEST_F(LayoutTest, MoreThan25RowsAreCutAt25) {
  std::string many;
  for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\n";
  std::memset(choice.display_grid, '#', sizeof choice.display_grid);
  lay_out(many);
  EXPECT_EQ(rows(), 25u);
  EXPECT_EQ(row(24), padded("line 24"));
  EXPECT_EQ(choice.display_grid[2000], '\0');
  EXPECT_EQ(choice.window_height, 25 * 13 + 60);

  lay_out(std::string(1999, 'w'));
  EXPECT_EQ(rows(), 25u);
  EXPECT_EQ(grid(), std::string(1999, 'w') + " ");
}

}  // namespace
}  // namespace database_test
