// The viewer on the scripted backend, in a folder with a small data file: the
// History ring, the refresh, the main window's drawing and the Window cycles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/refresh.h"
#include "app/window_cycles.h"
#include "database/data_file_writer.h"
#include "framework/scripted/scripted_windows.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
namespace sc = fw::scripted;
using fw::Answer;
using fw::SystemColour;

// Cookie i has i % 4 + 2 lines, so it lays out to that many rows.
int rows_of(std::uint32_t cookie) {
  return static_cast<int>(cookie % 4 + 2);
}

void write_file(const char* name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

const char* const settings_1024 = ":Config:\r\nscr=2\r\nfon=Courier New\r\nsiz=13\r\nwit=639\r\n";
const char* const settings_1280 = ":Config:\r\nscr=3\r\nfon=Courier New\r\nsiz=20\r\nwit=639\r\n";

class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_);
    fs::current_path(folder_);
    std::vector<std::string> cookies;
    for (std::uint32_t i = 0; i < 250; ++i) {
      cookies.push_back("Cookie " + std::to_string(i));
      for (int line = 1; line < rows_of(i); ++line) cookies.back() += "\nand a line more";
    }
    const database::DataFileImage image = database::build_data_file(cookies);
    ASSERT_FALSE(image.error);
    write_file("Drollbox.dat", std::string(image.bytes.begin(), image.bytes.end()));
    state.history.seeded = true;  // a fixed generator makes every run the same
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(folder_);
    sc::windows = {};
    sc::reset_dialogs();
    settings::reset_settings();
  }
  std::uint32_t pick() {
    app::choose_cookie_number(state, cookie_count);
    return state.cookie_number;
  }
  std::uint32_t back() {
    EXPECT_TRUE(app::request_step_back(state.history));
    return pick();
  }

  app::ViewerState state;
  std::uint32_t cookie_count = 90000;
  const fs::path home_ = fs::current_path();
  const fs::path folder_ =
      fs::temp_directory_path() / ("drollbox-app-" + std::to_string(std::random_device{}()));
};

TEST_F(Viewer, HistoryRingStepsBackWithoutTheCookieCountWrapsAndCountsTo127) {
  app::History& history = state.history;
  const std::uint32_t first = pick();
  EXPECT_FALSE(app::request_step_back(history));
  const std::uint32_t second = pick();
  pick();
  EXPECT_EQ(back(), second);
  EXPECT_EQ(back(), first);
  EXPECT_FALSE(app::request_step_back(history));
  pick();  // in the second one's slot
  EXPECT_EQ(back(), first);
  history.ring[history.index] = 5000;
  pick();
  cookie_count = 10;
  EXPECT_EQ(back(), 5000u);

  cookie_count = 90000;
  std::vector<std::uint32_t> picks;
  for (int i = 0; i < 400; ++i) picks.push_back(pick());
  for (int steps = 1; steps <= 15; ++steps) EXPECT_EQ(back(), picks[399 - steps]) << steps;
  EXPECT_EQ(back(), picks[399]);  // the ring wraps to the newest
  for (int i = 0; i < 110; ++i) back();
  EXPECT_FALSE(app::request_step_back(history));
}

TEST_F(Viewer, RefreshSeedsOnceAndTurnsDamageIntoAProblemCode) {
  write_file("Drollbox.cfg", settings_1024);
  state.history.seeded = false;
  app::refresh_cookie(state);
  state.random.state = 1;
  app::refresh_cookie(state);
  EXPECT_EQ(state.cookie_number, (130u + 32768u) % 250u);
  EXPECT_EQ(app::problem_code(database::DamageKind::incompatible),
            problems::problem_incompatible_data_file);
  EXPECT_EQ(app::problem_code(database::DamageKind::out_of_memory), problems::problem_memory);
}

TEST_F(Viewer, MainWindowDrawsTheBarGrooveAndRowsAndShowsItsBoxes) {
  const std::string grid = std::string(80, 'a') + std::string(79, 'b') + ' ';
  state.cookie = viewer_model::lay_out(grid, 17);
  std::strcpy(settings::current.font_text, "Courier New Bold Italic");
  settings::current.siz = 17;
  settings::current.wit = 1280;
  app::TMainWindow window(state);
  EXPECT_EQ(window.background, fw::system_colour(SystemColour::menu));
  const std::tuple<std::string, int> buttons[] = {
      {"Ok", 480}, {"New", 18}, {"Prev", 90}, {"Config", 163}, {"About", 323}};
  ASSERT_EQ(window.children().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const fw::Rect& r = window.children()[i]->rect;
    EXPECT_EQ(std::make_tuple(window.children()[i]->title, r.x, r.y, r.width, r.height),
              std::make_tuple(std::get<0>(buttons[i]), 356 + std::get<1>(buttons[i]), 1, 55, 20));
  }

  sc::PaintRecord painted;
  window.make_display_font(17);
  sc::RecordingContext dc(painted);
  window.paint_cookie(dc);
  decltype(painted.pixels) groove;
  for (int x = 6; x < 1280 - 16; ++x)
    groove.emplace_back(x, 26, fw::system_colour(SystemColour::highlight_text));
  for (int x = 5; x < 1280 - 17; ++x)
    groove.emplace_back(x, 25, fw::system_colour(SystemColour::inactive_caption));
  EXPECT_EQ(painted.pixels, groove);
  ASSERT_EQ(painted.runs.size(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    const sc::TextRun& run = painted.runs[k];
    EXPECT_EQ(std::make_tuple(run.x, run.y), std::make_tuple(4, 28 + 17 * static_cast<int>(k)));
    EXPECT_EQ(run.text, grid.substr(80 * k, 80));
  }
  EXPECT_EQ(painted.selections, (std::vector<std::string>{"Courier New Bold Italic", ""}));
  EXPECT_EQ(painted.text_background, fw::system_colour(SystemColour::menu));

  window.show_about();
  write_file("Drollbox.dat", "Not a cookie database, just words.");
  window.show_about();
  sc::windows.fail_fonts = true;
  EXPECT_THROW(window.make_display_font(13), sc::ProcessExit);
  ASSERT_EQ(sc::dialogs.box_calls.size(), 3u);
  EXPECT_EQ(sc::dialogs.box_calls[0].owner, &window);
  const std::string about = sc::dialogs.box_calls[0].text, os_line = "MsDOS and WinNT/95.";
  EXPECT_EQ(about.substr(about.find(os_line)),
            os_line + "\nThere are 250 cookies for you to read :-)");
  EXPECT_TRUE(sc::dialogs.box_calls[1].text.ends_with(os_line)) << "no count unread";
  EXPECT_EQ(sc::dialogs.box_calls[2].text,
            problems::problem_message(problems::problem_illegal_font));
}

// Actions besides the buttons, which are given by their command ids.
constexpr int close_box = 0, data_file_lost = -1, settings_changed = -2;

// A cycle's frame and font, and the cycle whose cookie it shows again (-1: none).
struct Frame {
  int x, y, siz;
  const char* face = "Courier New";
  int again = -1;
};

struct Scenario {
  const char* name;
  bool first_run = false;  // no settings file yet
  bool foreign_data_file = false;
  std::vector<Answer> answers = {};
  std::optional<fw::FontChoice> font = {};
  std::vector<int> actions = {};
  int status = 0;
  std::vector<std::string> boxes = {};
  std::vector<Frame> frames = {};
};

const std::string q1024 = "Are you normally running a 1024x768 screen resolution?";
const std::string q1280 = "Are you normally running a 1280x1024 screen resolution?";

class WindowCycles : public Viewer, public ::testing::WithParamInterface<Scenario> {};

TEST_P(WindowCycles, FramesBoxesAndStatus) {
  const Scenario& s = GetParam();
  if (!s.first_run) write_file("Drollbox.cfg", settings_1024);
  if (s.foreign_data_file) write_file("Drollbox.dat", "Not a cookie database, just words.");
  for (const Answer answer : s.answers) sc::queue_box_answer(answer);
  if (s.font) sc::queue_font(*s.font);
  for (const int action : s.actions) {
    if (action == close_box) sc::close_box();
    if (action > 0) sc::click(action);
    if (action == data_file_lost) sc::windows.actions.push_back([] { fs::remove("Drollbox.dat"); });
    if (action == settings_changed)
      sc::windows.actions.push_back([] { write_file("Drollbox.cfg", settings_1280); });
  }
  try {
    EXPECT_EQ(app::run_window_cycles(state), s.status);
  } catch (const sc::ProcessExit& exit) {
    EXPECT_EQ(exit.status, s.status);
  }

  std::vector<std::string> boxes;
  for (const sc::BoxCall& box : sc::dialogs.box_calls) boxes.push_back(box.text);
  EXPECT_EQ(boxes, s.boxes);
  ASSERT_EQ(sc::windows.cycles.size(), s.frames.size());
  std::vector<std::uint32_t> shown;
  for (std::size_t i = 0; i < s.frames.size(); ++i) {
    const Frame& want = s.frames[i];
    const sc::CycleRecord& cycle = sc::windows.cycles[i];
    const std::vector<sc::TextRun>& runs = cycle.paints.at(0).runs;
    const auto cookie = static_cast<std::uint32_t>(std::stoul(runs.at(0).text.substr(7)));
    EXPECT_EQ(std::make_tuple(cycle.rect.x, cycle.rect.y, cycle.rect.width, cycle.rect.height),
              std::make_tuple(want.x, want.y, 639, rows_of(cookie) * want.siz + 60))
        << i;
    EXPECT_EQ(std::make_tuple(runs[0].font.face, runs[0].font.height, cycle.icon),
              std::make_tuple(std::string(want.face), want.siz, "DROLLBOXICON"));
    const auto earlier = std::find(shown.begin(), shown.end(), cookie) - shown.begin();
    EXPECT_EQ(earlier, want.again < 0 ? std::ssize(shown) : want.again) << i;
    // A problem ends the process over the last window, before it is closed.
    EXPECT_EQ(cycle.open_at_exit, i + 1 == s.frames.size() && s.status != 0) << i;
    shown.push_back(cookie);
  }
}

const std::string cancelled = "Configuration cancelled, sir.";
const std::string cannot_read = "Couldn't read 'Drollbox.dat' file.";
constexpr Frame at_1024{192, 250, 13};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Viewer, WindowCycles, ::testing::Values(
    Scenario{.name = "FirstRunAsksThenNewTakesTheSettingsOfItsTime", .first_run = true,
             .answers = {Answer::yes}, .font = fw::FontChoice{"Arial", 120, 400, false},
             .actions = {settings_changed, app::CM_NEW, close_box}, .boxes = {q1024},
             .frames = {{192, 250, 13, "Arial"}, {320, 378, 20}}},
    Scenario{.name = "AboutChangesNothingAndPrevStepsBackOnce",
             .actions = {app::CM_ABOUT, app::CM_PREV, app::CM_NEW, app::CM_PREV, app::CM_PREV,
                         app::CM_OK},
             .boxes = {app::about_text(250)},
             .frames = {at_1024, at_1024, {192, 250, 13, "Courier New", 0}}},
    Scenario{.name = "ConfigCancelledThenCompleted",
             .answers = {Answer::cancel, Answer::none, Answer::no, Answer::yes},
             .font = fw::FontChoice{"Arial", 100, 700, false},
             .actions = {app::CM_CONFIG, app::CM_CONFIG, app::CM_OK},
             .boxes = {q1024, cancelled, q1024, q1280},
             .frames = {at_1024, at_1024, {320, 378, 11, "Arial Bold"}}},
    Scenario{.name = "ProblemInPrev", .actions = {app::CM_NEW, data_file_lost, app::CM_PREV},
             .status = -1, .boxes = {cannot_read}, .frames = {at_1024, at_1024}},
    Scenario{.name = "ProblemAtStartEndsBeforeAnyWindow", .foreign_data_file = true, .status = -1,
             .boxes = {"Couldn't identify data file."}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
