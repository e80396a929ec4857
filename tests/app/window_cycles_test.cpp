// The Window cycles: start, the first cycle's refresh and History ring,
// restarts, and the ways the process ends.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/refresh.h"
#include "app/window_cycles.h"
#include "database/database.h"
#include "settings/settings.h"
#include "viewer_fixture.h"

namespace viewer_test {
namespace {

using fw::scripted::click;
using fw::scripted::close_box;
using fw::scripted::dialogs;
using fw::scripted::then;
using fw::scripted::windows;

TEST_F(ViewerTest, FirstRunQuestionsComeBeforeTheWindowWhichOpensWhereTheyPlaceIt) {
  // No settings file: 1024x768 at once, then Arial 12 points.
  fw::scripted::queue_box_answer(fw::Answer::yes);
  fw::scripted::queue_font({"Arial", 120, 400, false});
  std::vector<Snapshot> seen;
  then([&] { take_snapshot(seen); });
  click(app::CM_OK);

  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(process_ended());

  ASSERT_EQ(dialogs.box_calls.size(), 1u);
  EXPECT_EQ(dialogs.box_calls[0].caption, "Drollbox Notify");
  EXPECT_EQ(dialogs.font_calls.size(), 1u);
  EXPECT_EQ(read_file("Drollbox.cfg"), settings_text(2, "Arial", 13, 639));

  // The frame was made from what that refresh computed: the new settings'
  // place and the cookie's height.
  ASSERT_EQ(windows.cycles.size(), 1u);
  ASSERT_EQ(seen.size(), 1u);
  const auto& frame = frame_of(windows.cycles[0]);
  EXPECT_EQ(frame.rect.x, (1024 - 639) / 2);
  EXPECT_EQ(frame.rect.y, 250);
  EXPECT_EQ(frame.rect.width, 639);
  EXPECT_EQ(frame.rect.height, rows_of(static_cast<int>(seen[0].cookie_number)) * 13 + 60);
  EXPECT_EQ(frame.title, "Drollbox v1.8.6");
  EXPECT_EQ(frame.icon, "DROLLBOXICON");
  EXPECT_EQ(frame.parent, -1);
  EXPECT_TRUE(frame.shown);
  EXPECT_EQ(seen[0].history_count, 1);
}

TEST_F(ViewerTest, ProblemOfTheFirstRefreshEndsTheProcessBeforeAnyWindow) {
  write_settings(2, "Courier New", 13, 639);
  write_file("Drollbox.dat", "Not a cookie file at all, just some text.");

  EXPECT_EQ(run(), -1);
  EXPECT_TRUE(process_ended());
  ASSERT_EQ(dialogs.box_calls.size(), 1u);
  EXPECT_EQ(dialogs.box_calls[0].text, "Couldn't identify data file.");
  EXPECT_EQ(dialogs.box_calls[0].caption, "Drollbox Problem");
  EXPECT_EQ(dialogs.box_calls[0].owner, nullptr);
  EXPECT_TRUE(windows.records.empty());
  EXPECT_TRUE(windows.cycles.empty());
}

TEST_F(ViewerTest, HistoryRingIsAllocatedOnceAndTheFirstCycleAloneRefreshesOnItsOwn) {
  write_settings(2, "Courier New", 13, 639);
  std::vector<Snapshot> seen;
  then([&] { take_snapshot(seen); });
  click(app::CM_NEW);
  then([&] { take_snapshot(seen); });
  click(app::CM_NEW);
  then([&] { take_snapshot(seen); });
  close_box();

  EXPECT_EQ(run(), 0);
  ASSERT_EQ(seen.size(), 3u);
  ASSERT_NE(seen[0].history, nullptr);
  EXPECT_EQ(seen[1].history, seen[0].history);
  EXPECT_EQ(seen[2].history, seen[0].history);
  // One pick at start and one per New: a later cycle that refreshed on its
  // own would have made more.
  EXPECT_EQ(seen[0].history_count, 1);
  EXPECT_EQ(seen[1].history_count, 2);
  EXPECT_EQ(seen[2].history_count, 3);
  EXPECT_EQ(app::history.ring, nullptr);  // released at the end
  EXPECT_EQ(windows.cycles.size(), 3u);
}

TEST_F(ViewerTest, OkAndTheCloseBoxEndTheLastCycleWithStatusZero) {
  write_settings(0, "Courier New", 13, 639);
  click(app::CM_OK);
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(windows.cycles.size(), 1u);
  const auto& cycle = windows.cycles[0];
  EXPECT_TRUE(cycle.loop_ended);
  EXPECT_EQ(cycle.status, 0);
  // Ok closes the client; the frame follows on its own.
  EXPECT_EQ(fw::scripted::client_of(cycle)->close_requests, 1);
  EXPECT_EQ(frame_of(cycle).close_requests, 1);
  EXPECT_FALSE(frame_of(cycle).alive);
  for (const auto* button : fw::scripted::buttons_of(cycle)) EXPECT_FALSE(button->alive);
  EXPECT_EQ(app::lifetime.restart_request, app::no_restart);

  reset_everything();
  app::history.seeded = true;
  write_settings(0, "Courier New", 13, 639);
  click(app::CM_NEW);
  close_box();
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(windows.cycles.size(), 2u);  // the close box never restarts
  EXPECT_EQ(windows.cycles[1].status, 0);
  EXPECT_FALSE(fw::scripted::client_of(windows.cycles[1])->alive);
  EXPECT_EQ(fw::scripted::client_of(windows.cycles[1])->close_requests, 0);
}

}  // namespace
}  // namespace viewer_test
