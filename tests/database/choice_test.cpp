#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "database/database.h"

namespace {

using database::choice;
using database::draw_cookie_number;

TEST(Choice, KnownDrawsTheClockSeedAndTheWholeRangeOfLargeFiles) {
  choice.random_state = 1;
  EXPECT_EQ(database::draw_random(), 346u);
  EXPECT_EQ(database::draw_random(), 130u);
  choice.random_state = 1;
  EXPECT_EQ(draw_cookie_number(1000), 898u);  // (130 + 32768 * (346 mod 3)) mod 1000
  choice.random_state = 1;
  EXPECT_EQ(draw_cookie_number(database::two_draw_reach), 130u + 32768u);
  EXPECT_EQ(draw_cookie_number(1), 0u);
  const auto before = static_cast<std::uint32_t>(std::time(nullptr));
  database::seed_random();  // whole seconds plus a millisecond part of 0..999
  EXPECT_GE(choice.random_state, before);
  EXPECT_LE(choice.random_state, static_cast<std::uint32_t>(std::time(nullptr)) + 999);
  std::uint32_t top = 0, beyond_two_draws = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t number = draw_cookie_number(1000000);
    ASSERT_LT(number, 1000000u);
    beyond_two_draws += number >= database::two_draw_reach;
    top = std::max(top, draw_cookie_number(0xFFFFFFFFu));
  }
  EXPECT_GT(beyond_two_draws, 1700u);
  EXPECT_GT(top, 0xF0000000u);
}

}  // namespace
