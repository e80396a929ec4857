#include <algorithm>
#include <ctime>
#include <set>
#include <vector>

#include "database/database.h"
#include "database_fixture.h"

namespace database_test {
namespace {

using database::choice;
using database::reader;

class ChoiceTest : public DatabaseTest {
 protected:
  std::uint32_t new_pick() {
    database::choose_cookie_number();
    return reader.cookie_number;
  }
  std::uint32_t step_back() {
    EXPECT_TRUE(database::request_step_back());
    database::choose_cookie_number();
    return reader.cookie_number;
  }
};

TEST_F(ChoiceTest, GeneratorFromStateOneGivesTheKnownDrawsAndCookie) {
  EXPECT_EQ(choice.random_state, 1u);
  EXPECT_EQ(database::draw_random(), 346u);
  EXPECT_EQ(database::draw_random(), 130u);

  choice.random_state = 1;
  reader.cookie_count = 1000;
  EXPECT_EQ(new_pick(), 898u);
  EXPECT_EQ(choice.history_index, 1);
  EXPECT_EQ(choice.history[1], 898u);
  EXPECT_EQ(choice.history_count, 1);
}

TEST_F(ChoiceTest, TwoDrawChoiceIsKeptUpToItsReach) {
  reader.cookie_count = database::two_draw_reach;
  EXPECT_EQ(new_pick(), 130u + 32768u);
  reader.cookie_count = 1;
  for (int i = 0; i < 20; ++i) EXPECT_EQ(new_pick(), 0u);
}

TEST_F(ChoiceTest, SeedingTakesTheClock) {
  const auto before = static_cast<std::uint32_t>(std::time(nullptr));
  database::seed_random();
  const auto after = static_cast<std::uint32_t>(std::time(nullptr));
  // Whole seconds plus a millisecond part of 0..999.
  EXPECT_GE(choice.random_state, before);
  EXPECT_LE(choice.random_state, after + 999);
}

TEST_F(ChoiceTest, NewThenPrevShowsTheStartCookieAndRefusesFurther) {
  reader.cookie_count = 1000;
  const std::uint32_t start = new_pick();
  EXPECT_FALSE(database::request_step_back());
  EXPECT_FALSE(choice.prev_pending);
  const std::uint32_t second = new_pick();
  EXPECT_NE(second, start);
  EXPECT_EQ(choice.history_count, 2);
  EXPECT_EQ(step_back(), start);
  EXPECT_FALSE(choice.prev_pending);
  EXPECT_EQ(choice.history_count, 1);
  EXPECT_FALSE(database::request_step_back());
}

TEST_F(ChoiceTest, StepBackDoesNotConsultTheCookieCount) {
  reader.cookie_count = 1000;
  new_pick();
  new_pick();
  choice.history[choice.history_index - 1] = 5000;
  reader.cookie_count = 10;
  EXPECT_EQ(step_back(), 5000u);
}

TEST_F(ChoiceTest, TwentyPicksThenWalkingBackAroundTheRing) {
  reader.cookie_count = 90000;
  std::vector<std::uint32_t> picks;
  for (int i = 0; i < 20; ++i) picks.push_back(new_pick());
  ASSERT_EQ(std::set<std::uint32_t>(picks.begin(), picks.end()).size(), 20u);
  for (int back = 1; back <= 15; ++back) EXPECT_EQ(step_back(), picks[19 - back]) << back;
  EXPECT_EQ(reader.cookie_number, picks[4]);  // the oldest still in the ring
  EXPECT_EQ(choice.history_count, 5);
  EXPECT_EQ(step_back(), picks[19]);  // the ring wraps to the newest
}

TEST_F(ChoiceTest, NewPickAfterSteppingBackOverwritesTheNextSlot) {
  reader.cookie_count = 90000;
  const std::uint32_t a = new_pick();
  new_pick();
  new_pick();
  step_back();
  step_back();
  const std::uint32_t d = new_pick();
  EXPECT_EQ(choice.history_index, 2);
  EXPECT_EQ(choice.history[2], d);
  EXPECT_EQ(choice.history_count, 2);
  EXPECT_EQ(step_back(), a);
}

TEST_F(ChoiceTest, HistoryCountStopsAt127InsteadOfWrapping) {
  reader.cookie_count = 90000;
  for (int i = 1; i <= 126; ++i) {
    new_pick();
    ASSERT_EQ(choice.history_count, i);
  }
  new_pick();
  EXPECT_EQ(choice.history_count, 127);
  new_pick();
  EXPECT_EQ(choice.history_count, 127);

  std::vector<std::uint32_t> picks;
  for (int i = 0; i < 300; ++i) picks.push_back(new_pick());
  EXPECT_EQ(choice.history_count, 127);
  EXPECT_EQ(step_back(), picks[298]);
  EXPECT_EQ(choice.history_count, 126);
  for (int i = 0; i < 125; ++i) step_back();
  EXPECT_EQ(choice.history_count, 1);
  EXPECT_FALSE(database::request_step_back());
}

TEST_F(ChoiceTest, LargeFilesReachEveryPartOfTheRange) {
  reader.cookie_count = 1000000;
  std::uint32_t highest = 0;
  int beyond_two_draws = 0;
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t number = new_pick();
    ASSERT_LT(number, reader.cookie_count);
    highest = std::max(highest, number);
    if (number >= database::two_draw_reach) ++beyond_two_draws;
  }
  EXPECT_GT(highest, 990000u);
  EXPECT_GT(beyond_two_draws, 1700);

  reader.cookie_count = 0xFFFFFFFFu;
  std::uint32_t top = 0;
  for (int i = 0; i < 200; ++i) top = std::max(top, new_pick());
  EXPECT_GT(top, 0xF0000000u);
}

}  // namespace
}  // namespace database_test
