// The five commands: what each prepares, in which order, and what the next
// Window cycle finds.
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/window_cycles.h"
#include "database/database.h"
#include "settings/settings.h"
#include "viewer_fixture.h"

namespace viewer_test {
namespace {

using fw::scripted::click;
using fw::scripted::dialogs;
using fw::scripted::then;
using fw::scripted::windows;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST_F(ViewerTest, NewRestartsAtTheSettingsPlaceWithTheNewCookiesHeight) {
  write_settings(2, "Courier New", 13, 639);
  std::vector<Snapshot> seen;
  then([&] {
    take_snapshot(seen);
    // Moving the old window, or a new settings file, must not leak into
    // anything but the next refresh.
    fw::scripted::current_frame()->window->rect = {3, 4, 700, 500};
    write_settings(3, "Courier New", 20, 639);
  });
  click(app::CM_NEW);
  then([&] { take_snapshot(seen); });
  click(app::CM_OK);

  EXPECT_EQ(run(), 0);
  ASSERT_EQ(windows.cycles.size(), 2u);
  ASSERT_EQ(seen.size(), 2u);
  const auto& first = frame_of(windows.cycles[0]);
  const auto& second = frame_of(windows.cycles[1]);
  EXPECT_EQ(first.rect.height, rows_of(static_cast<int>(seen[0].cookie_number)) * 13 + 60);
  EXPECT_EQ(second.rect.x, (1280 - 639) / 2);
  EXPECT_EQ(second.rect.y, 378);
  EXPECT_EQ(second.rect.width, 639);
  EXPECT_EQ(second.rect.height, rows_of(static_cast<int>(seen[1].cookie_number)) * 20 + 60);
  EXPECT_EQ(seen[1].history_count, 2);

  // Fresh buttons in the new window, at the same places.
  const auto old_buttons = fw::scripted::buttons_of(windows.cycles[0]);
  const auto new_buttons = fw::scripted::buttons_of(windows.cycles[1]);
  ASSERT_EQ(new_buttons.size(), 5u);
  for (std::size_t i = 0; i < new_buttons.size(); ++i) {
    EXPECT_NE(new_buttons[i]->serial, old_buttons[i]->serial);
    EXPECT_EQ(new_buttons[i]->rect.x, old_buttons[i]->rect.x);
    EXPECT_EQ(new_buttons[i]->id, old_buttons[i]->id);
  }
  EXPECT_EQ(fw::scripted::client_of(windows.cycles[0])->close_requests, 1);
}

TEST_F(ViewerTest, PrevIsRefusedAfterStartAndStepsBackAfterNew) {
  write_settings(0, "Courier New", 13, 639);
  std::vector<Snapshot> seen;
  click(app::CM_PREV);
  then([&] {
    take_snapshot(seen);
    // Refused: no refresh, no close, no box.
    EXPECT_EQ(windows.cycles.size(), 1u);
    EXPECT_EQ(fw::scripted::client_of(windows.cycles[0])->close_requests, 0);
    EXPECT_TRUE(dialogs.box_calls.empty());
  });
  click(app::CM_NEW);
  then([&] { take_snapshot(seen); });
  click(app::CM_PREV);
  then([&] { take_snapshot(seen); });
  click(app::CM_PREV);
  then([&] { take_snapshot(seen); });
  click(app::CM_OK);

  EXPECT_EQ(run(), 0);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].history_count, 1);
  EXPECT_EQ(seen[1].history_count, 2);
  EXPECT_EQ(seen[2].cookie_number, seen[0].cookie_number);
  EXPECT_EQ(seen[2].history_count, 1);
  EXPECT_EQ(seen[3].cookie_number, seen[0].cookie_number);
  EXPECT_EQ(seen[3].client, seen[2].client);  // the second Prev changed nothing
  EXPECT_EQ(windows.cycles.size(), 3u);
  EXPECT_EQ(frame_of(windows.cycles[2]).rect.height,
            rows_of(static_cast<int>(seen[0].cookie_number)) * 13 + 60);
}

TEST_F(ViewerTest, ConfigCancelledStillRestartsWithANewCookieAndTheOldSettings) {
  const std::string old_settings = settings_text(2, "Courier New", 13, 639);
  write_file("Drollbox.cfg", old_settings);
  fw::scripted::queue_box_answer(fw::Answer::cancel);
  std::vector<Snapshot> seen;
  then([&] { take_snapshot(seen); });
  click(app::CM_CONFIG);
  then([&] { take_snapshot(seen); });
  click(app::CM_OK);

  EXPECT_EQ(run(), 0);
  ASSERT_EQ(dialogs.box_calls.size(), 2u);
  EXPECT_EQ(dialogs.box_calls[1].text, "Configuration cancelled, sir.");
  EXPECT_TRUE(dialogs.font_calls.empty());
  EXPECT_EQ(read_file("Drollbox.cfg"), old_settings);
  ASSERT_EQ(windows.cycles.size(), 2u);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].history_count, 2);  // a new random pick, not a step back
  const auto& second = frame_of(windows.cycles[1]);
  EXPECT_EQ(second.rect.x, (1024 - 639) / 2);
  EXPECT_EQ(second.rect.y, 250);
  EXPECT_EQ(second.rect.height, rows_of(static_cast<int>(seen[1].cookie_number)) * 13 + 60);
  ASSERT_EQ(windows.fonts.size(), 2u);
  EXPECT_EQ(windows.fonts[1].font_spec.face, "Courier New");
}

TEST_F(ViewerTest, ConfigCompletedGivesTheNextWindowTheNewFontSizeAndPlace) {
  write_settings(2, "Courier New", 13, 639);
  fw::scripted::queue_box_answer(fw::Answer::no);
  fw::scripted::queue_box_answer(fw::Answer::yes);  // 1280x1024
  fw::scripted::queue_font({"Arial", 100, 700, false});
  std::vector<Snapshot> seen;
  click(app::CM_CONFIG);
  then([&] { take_snapshot(seen); });
  click(app::CM_OK);

  EXPECT_EQ(run(), 0);
  ASSERT_EQ(windows.cycles.size(), 2u);
  const auto& second = frame_of(windows.cycles[1]);
  EXPECT_EQ(second.rect.x, (1280 - 639) / 2);
  EXPECT_EQ(second.rect.y, 378);
  EXPECT_EQ(second.rect.height, rows_of(static_cast<int>(seen.at(0).cookie_number)) * 11 + 60);
  ASSERT_EQ(windows.fonts.size(), 2u);
  EXPECT_EQ(windows.fonts[1].font_spec.face, "Arial Bold");
  EXPECT_EQ(windows.fonts[1].font_spec.height, 11);
}

TEST_F(ViewerTest, AboutShowsTheFixedNoticeOverTheWindowAndChangesNothing) {
  write_settings(0, "Courier New", 13, 639);
  std::vector<Snapshot> seen;
  then([&] { take_snapshot(seen); });
  click(app::CM_ABOUT);
  click(app::CM_ABOUT);
  then([&] {
    take_snapshot(seen);
    // A command outside the table goes to the base window and does nothing.
    EXPECT_FALSE(seen[1].client->find_command(4242));
  });
  click(app::CM_OK);

  EXPECT_EQ(run(), 0);
  ASSERT_EQ(dialogs.box_calls.size(), 2u);
  for (const auto& box : dialogs.box_calls) {
    EXPECT_EQ(box.text, app::about_text);
    EXPECT_EQ(box.caption, "About Drollbox...");
    EXPECT_EQ(box.kind, fw::BoxKind::notice);
    EXPECT_EQ(box.owner, seen.at(0).client);
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].client, seen[0].client);
  EXPECT_EQ(seen[1].cookie_number, seen[0].cookie_number);
  EXPECT_EQ(seen[1].history_count, 1);
  EXPECT_EQ(windows.cycles.size(), 1u);
  EXPECT_EQ(windows.cycles[0].paints.size(), 1u);  // not repainted either

  const std::vector<std::string> lines = lines_of(app::about_text);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Drollbox v1.8.6");
  EXPECT_EQ(lines[1], "WinNT/95 May '96");
  EXPECT_FALSE(lines[2].empty());
  EXPECT_TRUE(lines[3].empty());
  for (int i = 4; i < 8; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(i)].rfind("   - ", 0), 0u)
        << lines[static_cast<std::size_t>(i)];
    EXPECT_GT(lines[static_cast<std::size_t>(i)].size(), 5u);
  }
  EXPECT_TRUE(lines[8].empty());
  EXPECT_EQ(lines[9], "Supported with following OS: Amiga, Unix,");
  EXPECT_EQ(lines[10], "Digital Unix, Linux, Sun, MsDOS and WinNT/95.");
  EXPECT_EQ(lines[11], "There are 66711 cookies for you to read :-)");
}

// A problem inside a command's refresh ends the process over the old window:
// the close request comes only after a refresh that worked.
struct FailingCommand {
  const char* name;
  int command;
  bool new_first;  // Prev needs a cookie to step back to
};

class CommandProblemTest : public ViewerTest,
                           public ::testing::WithParamInterface<FailingCommand> {};

TEST_P(CommandProblemTest, EndsWithMinusOneWhileTheOldWindowIsOpen) {
  write_settings(0, "Courier New", 13, 639);
  fw::scripted::queue_box_answer(fw::Answer::cancel);  // Config's setup, cancelled
  if (GetParam().new_first) click(app::CM_NEW);
  then([] { std::filesystem::remove("Drollbox.dat"); });
  click(GetParam().command);

  EXPECT_EQ(run(), -1);
  EXPECT_TRUE(process_ended());
  ASSERT_FALSE(dialogs.box_calls.empty());
  EXPECT_EQ(dialogs.box_calls.back().text, "Couldn't read 'Drollbox.dat' file.");
  const auto& last = windows.cycles.back();
  EXPECT_EQ(windows.cycles.size(), GetParam().new_first ? 2u : 1u);
  EXPECT_EQ(fw::scripted::client_of(last)->close_requests, 0);
  EXPECT_EQ(frame_of(last).close_requests, 0);
  EXPECT_FALSE(last.loop_ended);
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandProblemTest,
                         ::testing::Values(FailingCommand{"New", app::CM_NEW, false},
                                           FailingCommand{"Prev", app::CM_PREV, true},
                                           FailingCommand{"Config", app::CM_CONFIG, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace viewer_test
