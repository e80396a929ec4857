#include "viewer_model/random_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

namespace {

using viewer_model::RandomChoice;

TEST(RandomChoice, KnownDrawsTheClockSeedAndTheWholeRangeOfLargeFiles) {
  RandomChoice choice;
  EXPECT_EQ(choice.draw(), 346u);
  EXPECT_EQ(choice.draw(), 130u);
  EXPECT_EQ(RandomChoice{}.draw_cookie_number(1000), 898u);  // (130 + 32768 * (346 mod 3)) mod 1000
  choice = {};
  EXPECT_EQ(choice.draw_cookie_number(viewer_model::two_draw_reach), 130u + 32768u);
  EXPECT_EQ(choice.draw_cookie_number(1), 0u);
  const auto before = static_cast<std::uint32_t>(std::time(nullptr));
  choice.seed_from_clock();  // whole seconds plus a millisecond part of 0..999
  EXPECT_GE(choice.state, before);
  EXPECT_LE(choice.state, static_cast<std::uint32_t>(std::time(nullptr)) + 999);
  std::uint32_t top = 0, beyond_two_draws = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t number = choice.draw_cookie_number(1000000);
    ASSERT_LT(number, 1000000u);
    beyond_two_draws += number >= viewer_model::two_draw_reach;
    top = std::max(top, choice.draw_cookie_number(0xFFFFFFFFu));
  }
  EXPECT_GT(beyond_two_draws, 1700u);
  EXPECT_GT(top, 0xF0000000u);
}

}  // namespace
