#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codec/codec.h"
#include "database/database.h"

namespace {

using database::choice;

void block_is(const std::string& text) {
  std::memcpy(codec::output_buffer, text.data(), text.size());
  codec::output_total = static_cast<std::uint32_t>(text.size());
}

std::string cut(std::uint32_t k) {
  if (database::cut_cookie(k) != database::DamageKind::none) return "<damaged>";
  return choice.cookie_text;
}

TEST(Cut, CookiesOfABlock) {
  struct Case {
    std::string block;
    std::uint32_t k;
    std::string cookie;
  };
  const std::string lines = "first cookie\n%%\nsecond line one\nsecond line two\n%%\n";
  const Case cases[] = {
      {lines, 0, "first cookie"},
      {lines, 1, "\nsecond line one\nsecond line two"},
      {lines, 2, "<damaged>"},
      {"x\n%%\n100% sure\n%%\n", 1, "\n10"},  // a single "%" ends the cookie early
      {"a\n%%%b\n%%\n", 0, "a"},              // overlapping separators each count
      {"a\n%%%b\n%%\n", 1, ""},
      {"a\n%%%b\n%%\n", 2, "b"},
      {"a\n%%%b\n%%\n", 3, "<damaged>"},  // starts after the last separator, no "%" follows
      {"", 0, "<damaged>"},
      {"\n%%\n\n%%\n", 1, "\n"},
      {"a\n%", 1, "<damaged>"},
      {"short\n%%\n" + std::string(3000, 'y') + "\n%%\n", 1, "\n" + std::string(1998, 'y')},
  };
  for (const Case& c : cases) {
    block_is(c.block);
    EXPECT_EQ(cut(c.k), c.cookie) << c.block.substr(0, 20) << " k=" << c.k;
  }
  EXPECT_EQ(choice.cookie_text[1999], '\0');
}

TEST(Cut, NothingBeyondTheTextCounts) {
  block_is("abc");
  codec::output_buffer[3] = '%';
  codec::output_buffer[4] = '%';
  EXPECT_EQ(cut(0), "<damaged>");
  EXPECT_EQ(choice.cookie_text[0], '\0');
  block_is("a\n%");
  codec::output_buffer[3] = '%';
  EXPECT_EQ(cut(0), "a");

  std::memset(codec::output_buffer, 'x', sizeof codec::output_buffer);
  codec::output_total = sizeof codec::output_buffer;
  EXPECT_EQ(cut(0), "<damaged>");
  EXPECT_EQ(cut(5), "<damaged>");
  codec::output_buffer[sizeof codec::output_buffer - 1] = '%';
  EXPECT_EQ(cut(0).size(), 1999u);
  EXPECT_EQ(cut(1), "<damaged>");
}

std::string padded(const std::string& text) {
  return text + std::string(80 - text.size() % 80, ' ');
}

TEST(Layout, RowsOfTheGrid) {
  struct Case {
    std::string cookie;
    std::string grid;
  };
  const std::string eighty(80, 'x');
  const Case cases[] = {
      {"a\n\nb", padded("a") + padded("b")},  // blank lines vanish
      {"\n\nonly\n", padded("only")},
      {" Hello\n 42\n \xE9t\xE9\n  two\n z\n {", padded("Hello") + padded(" 42") +
                                                     padded(" \xE9t\xE9") + padded("  two") +
                                                     padded("z") + padded(" {")},
      {" ", padded(" ")},
      {eighty + "\nnext", eighty + padded("next")},
      {eighty + " Hello there", eighty + padded("Hello there")},
      {eighty + " 1", eighty + padded(" 1")},
      {eighty + "\n", eighty},
      {"a\tb\rc", padded("a\tb\rc")},
      {"", ""},
      {std::string(1999, 'w'), std::string(1999, 'w') + " "},  // 25 rows: the grid is full
  };
  for (const Case& c : cases) {
    std::strcpy(choice.cookie_text, c.cookie.c_str());
    database::lay_out_cookie(13);
    EXPECT_EQ(choice.display_grid, c.grid) << c.cookie.substr(0, 20);
    EXPECT_EQ(choice.window_height, static_cast<int>(c.grid.size() / 80) * 13 + 60);
  }
}

TEST(Layout, MoreThan25RowsAreCutAt25AndHeightFollowsSiz) {
  std::string many;
  for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\n";
  std::memset(choice.display_grid, '#', sizeof choice.display_grid);
  std::strcpy(choice.cookie_text, many.c_str());
  database::lay_out_cookie(7);
  EXPECT_EQ(std::strlen(choice.display_grid), 2000u);
  EXPECT_EQ(std::string(choice.display_grid + 24 * 80), padded("line 24"));
  EXPECT_EQ(choice.window_height, 25 * 7 + 60);
}

}  // namespace
