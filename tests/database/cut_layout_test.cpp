#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "codec/codec.h"
#include "database/database.h"

namespace {

using database::choice;

TEST(Cut, CookiesOfABlockAndNothingBeyondItsText) {
  // The block, the cookie to cut, what it gives, and bytes in the area past the block.
  const std::string lines = "first cookie\n%%\nsecond line one\nsecond line two\n%%\n";
  const std::string full(database::cookie_capacity - 1, 'x');
  const std::tuple<std::string, std::uint32_t, std::string, std::string> cases[] = {
      {lines, 0, "first cookie", ""},
      {lines, 1, "\nsecond line one\nsecond line two", ""},
      {"x\n%%\n100% sure\n%%\n", 1, "\n10", ""},  // a single "%" ends the cookie early
      {"a\n%%%b\n%%\n", 0, "a", ""},              // overlapping separators each count
      {"a\n%%%b\n%%\n", 1, "", ""},
      {"a\n%%%b\n%%\n", 2, "b", ""},
      {"\n%%\n\n%%\n", 1, "\n", ""},
      {"short\n%%\n" + std::string(3000, 'y') + "\n%%\n", 1, "\n" + std::string(1998, 'y'), ""},
      {"abc", 0, "<damaged>", "%%"},
      {"a\n%", 0, "a", "%"},
      {std::string(32769, 'x'), 0, "<damaged>", ""},
      {std::string(32768, 'x') + "%", 0, full, ""},
  };
  for (const auto& [block, k, cookie, after] : cases) {
    const std::string area = block + after;
    std::memcpy(codec::output_buffer, area.data(), area.size());
    codec::output_total = static_cast<std::uint32_t>(block.size());
    const bool cut = database::cut_cookie(k) == database::DamageKind::none;
    EXPECT_EQ(cut ? choice.cookie_text : "<damaged>", cookie) << block.substr(0, 20) << k;
  }
}

std::string padded(const std::string& text) {
  return text + std::string(80 - text.size() % 80, ' ');
}

TEST(Layout, RowsOfTheGridAndTheWindowHeight) {
  const std::string eighty(80, 'x');
  std::string many, first_25;  // more than 25 rows are cut at 25
  for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\n";
  for (int i = 0; i < 25; ++i) first_25 += padded("line " + std::to_string(i));
  const std::pair<std::string, std::string> cases[] = {
      {"a\n\nb", padded("a") + padded("b")},  // blank lines vanish
      {"\n\nonly\n", padded("only")},
      {" Hello\n 42\n \xE9t\xE9\n  two\n z\n {", padded("Hello") + padded(" 42") +
                                                     padded(" \xE9t\xE9") + padded("  two") +
                                                     padded("z") + padded(" {")},
      {eighty + "\nnext", eighty + padded("next")},
      {eighty + " Hello there", eighty + padded("Hello there")},
      {eighty + "\n", eighty},
      {"a\tb\rc", padded("a\tb\rc")},
      {"", ""},
      {std::string(1999, 'w'), std::string(1999, 'w') + " "},
      {many, first_25},
  };
  for (const auto& [cookie, grid] : cases) {
    std::memset(choice.display_grid, '#', sizeof choice.display_grid);
    std::strcpy(choice.cookie_text, cookie.c_str());
    database::lay_out_cookie(13);
    EXPECT_EQ(choice.display_grid, grid) << cookie.substr(0, 20);
    EXPECT_EQ(choice.window_height, static_cast<int>(grid.size() / 80) * 13 + 60);
  }
}

}  // namespace
