// The viewer's flow for one cookie: the History ring and the Problem codes
// that a damaged data file ends the process with.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/refresh.h"
#include "database/database.h"
#include "viewer_fixture.h"

namespace viewer_test {
namespace {

using app::history;
using database::reader;

class HistoryTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    ASSERT_TRUE(app::allocate_history());
    reader.cookie_count = 90000;
  }
  static std::uint32_t new_pick() {
    app::choose_cookie_number();
    return reader.cookie_number;
  }
  static std::uint32_t step_back() {
    EXPECT_TRUE(app::request_step_back());
    app::choose_cookie_number();
    EXPECT_FALSE(history.prev_pending);
    return reader.cookie_number;
  }
};

TEST_F(HistoryTest, FirstPickGoesToSlotOneAndPrevAfterItIsRefused) {
  const std::uint32_t start = new_pick();
  EXPECT_EQ(history.index, 1);
  EXPECT_EQ(history.ring[1], start);
  EXPECT_FALSE(app::request_step_back());
  EXPECT_FALSE(history.prev_pending);
  new_pick();
  EXPECT_EQ(step_back(), start);
  EXPECT_EQ(history.count, 1);
  EXPECT_FALSE(app::request_step_back());
  history.ring[history.index] = 5000;  // a step back does not consult the cookie count
  new_pick();
  reader.cookie_count = 10;
  EXPECT_EQ(step_back(), 5000u);
}

TEST_F(HistoryTest, TwentyPicksThenWalkingBackAroundTheRing) {
  std::vector<std::uint32_t> picks;
  for (int i = 0; i < 20; ++i) picks.push_back(new_pick());
  ASSERT_EQ(std::set<std::uint32_t>(picks.begin(), picks.end()).size(), 20u);
  for (int back = 1; back <= 15; ++back) EXPECT_EQ(step_back(), picks[19 - back]) << back;
  EXPECT_EQ(history.count, 5);
  EXPECT_EQ(step_back(), picks[19]);  // the ring wraps to the newest
}

TEST_F(HistoryTest, NewPickAfterSteppingBackOverwritesTheNextSlot) {
  const std::uint32_t a = new_pick();
  new_pick();
  new_pick();
  step_back();
  step_back();
  const std::uint32_t d = new_pick();
  EXPECT_EQ(history.index, 2);
  EXPECT_EQ(history.ring[2], d);
  EXPECT_EQ(history.count, 2);
  EXPECT_EQ(step_back(), a);
}

TEST_F(HistoryTest, CountStopsAt127InsteadOfWrapping) {
  std::vector<std::uint32_t> picks;
  for (int i = 0; i < 400; ++i) picks.push_back(new_pick());
  EXPECT_EQ(history.count, 127);
  EXPECT_EQ(step_back(), picks[398]);
  for (int i = 0; i < 125; ++i) step_back();
  EXPECT_EQ(history.count, 1);
  EXPECT_FALSE(app::request_step_back());
}

TEST_F(ViewerTest, RefreshPicksFromStateOneAndLaysOutAtSiz) {
  write_settings(0, "Courier New", 20, 639);
  ASSERT_TRUE(app::allocate_history());
  app::refresh_cookie();
  EXPECT_EQ(reader.cookie_number, (130u + 32768u) % 250u);
  EXPECT_EQ(database::choice.window_height,
            rows_of(static_cast<int>(reader.cookie_number)) * 20 + 60);
  EXPECT_EQ(reader.file, nullptr);
  history.seeded = false;
  app::refresh_cookie();
  EXPECT_TRUE(history.seeded);
  database::choice.random_state = 1;
  app::refresh_cookie();  // seeded once only
  EXPECT_EQ(reader.cookie_number, (130u + 32768u) % 250u);
}

TEST_F(ViewerTest, DamageEndsTheProcessWithItsProblemCode) {
  write_settings(0, "Courier New", 13, 639);
  const std::string good = read_file("Drollbox.dat");
  struct Case {
    std::size_t at;
    char byte;
    const char* message;
  };
  const Case cases[] = {
      {20, 'E', "Couldn't identify data file."},     // magic
      {33, 0, "Couldn't identify data file."},       // no cookies
      {29, 8, "Incompatible data file. Update."},    // revision 1800
      {25, 5, "Incompatible data file. Update."},    // version 5
      {0, 0, "Couldn't read 'Drollbox.dat' file."},  // no file at all
  };
  for (const Case& c : cases) {
    std::string file = good;
    file[c.at] = c.byte;
    write_file("Drollbox.dat", file);
    if (c.at == 0) std::filesystem::remove("Drollbox.dat");
    fw::scripted::reset_dialogs();
    EXPECT_EQ(run(), -1);
    ASSERT_EQ(fw::scripted::dialogs.box_calls.size(), 1u);
    EXPECT_EQ(fw::scripted::dialogs.box_calls[0].text, c.message);
    EXPECT_EQ(reader.file, nullptr);
  }
}

}  // namespace
}  // namespace viewer_test
