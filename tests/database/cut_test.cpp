#include "database/cut.h"
#include "database/format.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

const std::uint8_t* bytes(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

std::string cut(const std::string& area, std::size_t length, std::uint32_t k) {
  std::string cookie = "<untouched>";
  const database::DamageKind damage =
      database::cut_cookie(bytes(area), static_cast<std::uint32_t>(length), k, cookie);
  return damage == database::DamageKind::none ? cookie : "<damaged>";
}

TEST(Cut, CookiesOfABlockAndNothingBeyondItsText) {
  // The block, the cookie to cut, what it gives, and bytes in the area past the block.
  const std::string lines = "first cookie\n%%\nsecond line one\nsecond line two\n%%\n";
  const std::tuple<std::string, std::uint32_t, std::string, std::string> cases[] = {
      {lines, 0, "first cookie", ""},
      {lines, 1, "\nsecond line one\nsecond line two", ""},
      {"short\n%%\n" + std::string(3000, 'y') + "\n%%\n", 1, "\n" + std::string(1998, 'y'), ""},
      {"abc", 0, "<damaged>", "%%"},
      {"a\n%", 0, "a", "%"},
      {"a\n%", 1, "<damaged>", "%"},
      {std::string(32769, 'x'), 0, "<damaged>", ""},
      {std::string(32768, 'x') + "%", 0, std::string(database::shown_cookie_length, 'x'), ""},
  };
  for (const auto& [block, k, cookie, after] : cases)
    EXPECT_EQ(cut(block + after, block.size(), k), cookie) << block.substr(0, 20) << k;
}

// Fed a text byte by byte, the scan finds cookie k's end at the first "%"
// that completes it, and what it cut there is what the whole text cuts: a
// single "%" ends a cookie early, overlapping separators each count. The
// whole-block cut drops the line feed after each separator.
TEST(Cut, AScanFedAsTheTextGrowsStopsWhereTheCookieIsComplete) {
  const std::string text = "one\n%%\n100% sure\n%%\n%\n%%\na%%%b\n%%\n\n%%\nlast";
  std::vector<std::string> whole;
  for (std::uint32_t k = 0; k < 10; ++k) {
    database::CookieScan scan;
    std::size_t length = 0;
    while (length < text.size() && !scan.reach(bytes(text), static_cast<std::uint32_t>(length), k))
      ++length;
    whole.push_back(cut(text, text.size(), k));
    if (whole.back() == "<damaged>") {
      EXPECT_EQ(length, text.size()) << k;
      continue;
    }
    EXPECT_EQ(text[length - 1], '%') << k;
    EXPECT_EQ(cut(text, length, k), whole.back()) << k;
    EXPECT_EQ(cut(text, length - 1, k), "<damaged>") << k;
  }
  const std::string damaged = "<damaged>";
  EXPECT_EQ(whole, (std::vector<std::string>{"one", "\n10", "", "\n", "", "b", "\n", damaged,
                                             damaged, damaged}));
  std::vector<std::string> cookies;
  EXPECT_EQ(
      database::cut_cookies(bytes(text), static_cast<std::uint32_t>(text.size()), 12, cookies), 7u);
  EXPECT_EQ(cookies, (std::vector<std::string>{"one", "10", "", "", "", "b", ""}));
}

}  // namespace
