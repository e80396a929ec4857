#include "tools/cookie_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "database/database.h"

namespace tools {
namespace {

std::size_t rows_of_whole_layout(const std::string& cookie) {
  std::memcpy(database::choice.cookie_text, cookie.c_str(), cookie.size() + 1);
  database::lay_out_cookie(0);
  return std::strlen(database::choice.display_grid) / database::grid_columns;
}

TEST(RowsNeeded, FollowsTheViewersLayout) {
  EXPECT_EQ(rows_needed(""), 0u);
  EXPECT_EQ(rows_needed("\n\n"), 0u);
  EXPECT_EQ(rows_needed(std::string(80, 'x')), 1u);
  EXPECT_EQ(rows_needed(std::string(80, 'x') + "\n"), 1u);
  EXPECT_EQ(rows_needed(std::string(81, 'x')), 2u);
  EXPECT_EQ(rows_needed("a\n\nb"), 2u);
  EXPECT_EQ(rows_needed(std::string(80, 'x') + " y"), 2u);  // the space at the row start goes
  EXPECT_EQ(rows_needed(std::string(80, 'x') + " "), 2u);   // no letter after it: it stays
  EXPECT_EQ(rows_needed(std::string(1998, 'x')), 25u);
  EXPECT_EQ(rows_needed(std::string(30, 'x') + "\n" + std::string(2001, 'x')), SIZE_MAX);
}

// Counting line by line must agree with laying the whole cookie out, which
// the viewer's grid can do for anything up to 25 rows.
TEST(RowsNeeded, AgreesWithTheWholeLayoutOnRandomCookies) {
  std::mt19937 generator(20240601);
  const std::string alphabet = "ab  \n\nA4\r\t~\xE9";
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string cookie(generator() % 500, ' ');
    for (char& c : cookie) c = alphabet[generator() % alphabet.size()];
    const std::size_t rows = rows_needed(cookie);
    if (rows > most_rows) continue;
    ASSERT_EQ(rows, rows_of_whole_layout(cookie)) << cookie;
    ++compared;
  }
  EXPECT_GT(compared, 1000);
}

TEST(CookieSource, KeepsWhatFitsAndCountsConversionsOfKeptCookiesOnly) {
  CookieSource source;
  add_fortune_file(
      source,
      "%\nkept \xE2\x86\x92 arrow\n%\nskipped \xE2\x86\x92 100%\n%\n\xE9t\xE9\n%\n   \n%\n");
  add_fortune_file(source, "second file\r\n%\r\n");
  EXPECT_EQ(source.cookies, (std::vector<std::string>{"kept ? arrow", "\xE9t\xE9", "second file"}));
  EXPECT_EQ(source.files, 2u);
  EXPECT_EQ(source.replaced, 1u);
  EXPECT_EQ(source.raw_bytes, 2u);
  EXPECT_EQ(source.skip_count(SkipReason::holds_percent), 1u);
  EXPECT_EQ(source.skip_count(SkipReason::empty), 1u);
  EXPECT_EQ(source.skipped_total(), 2u);
}

}  // namespace
}  // namespace tools
