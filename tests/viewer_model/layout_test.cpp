#include "viewer_model/layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
      {std::string("seen\0unseen", 11), padded("seen")},  // the text ends at a zero byte
      {std::string(" A\0", 3), padded("A")},
      {std::string(" \0A", 3), padded(" ")},
  };
  for (const auto& [cookie, grid] : cases) {
    const viewer_model::LaidOutCookie laid_out = viewer_model::lay_out(cookie, 13);
    EXPECT_EQ(laid_out.grid, grid) << cookie.substr(0, 20);
    EXPECT_EQ(laid_out.window_height, static_cast<int>(grid.size() / 80) * 13 + 60);
  }
  EXPECT_EQ(viewer_model::lay_out(many, 1400).window_height, 32767);
}

}  // namespace
