#include "viewer_fixture.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "app/refresh.h"
#include "app/window_cycles.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "settings/settings.h"

namespace viewer_test {

std::vector<std::string> sample_cookies(int count) {
  std::vector<std::string> cookies;
  for (int i = 0; i < count; ++i) {
    std::string text;
    for (int line = 0; line < rows_of(i); ++line) {
      if (line > 0) text += '\n';
      text += "Cookie " + std::to_string(i) + " says line " + std::to_string(line + 1);
    }
    cookies.push_back(text);
  }
  return cookies;
}

int rows_of(int cookie_number) {
  return cookie_number % 4 + 2;
}

std::string settings_text(int scr, const std::string& font_text, int siz, int wit) {
  return ":Config:\r\nscr=" + std::to_string(scr) + "\r\nfon=" + font_text +
         "\r\nsiz=" + std::to_string(siz) + "\r\nwit=" + std::to_string(wit) + "\r\n";
}

void ViewerTest::SetUp() {
  reset_everything();
  std::random_device entropy;
  folder_ = std::filesystem::temp_directory_path() / ("drollbox-app-" + std::to_string(entropy()));
  std::filesystem::create_directories(folder_);
  previous_folder_ = std::filesystem::current_path();
  std::filesystem::current_path(folder_);

  const std::vector<std::string> cookies = sample_cookies(250);
  const database::DataFileImage image = database::build_data_file(cookies);
  ASSERT_TRUE(image.error.empty()) << image.error;
  write_file("Drollbox.dat", std::string(image.bytes.begin(), image.bytes.end()));

  // A fixed generator makes every run the same; tests still read the choice
  // back rather than assume it.
  app::history.seeded = true;
  database::choice.random_state = 1;
}

void ViewerTest::TearDown() {
  reset_everything();
  std::filesystem::current_path(previous_folder_);
  std::filesystem::remove_all(folder_);
}

void ViewerTest::reset_everything() {
  fw::scripted::reset_windows();
  fw::scripted::reset_dialogs();
  settings::reset_settings();
  app::release_history();
  app::history = app::History{};
  if (database::reader.file != nullptr) std::fclose(database::reader.file);
  database::reader = database::Reader{};
  database::choice = database::Choice{};
  app::reset_lifetime();
}

int ViewerTest::run() {
  process_ended_ = false;
  try {
    return app::run_window_cycles(0, nullptr);
  } catch (const fw::scripted::ProcessExit& exit) {
    process_ended_ = true;
    return exit.status;
  }
}

void ViewerTest::write_file(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ViewerTest::read_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ViewerTest::write_settings(int scr, const std::string& font_text, int siz, int wit) {
  write_file("Drollbox.cfg", settings_text(scr, font_text, siz, wit));
}

void take_snapshot(std::vector<Snapshot>& into) {
  Snapshot snapshot;
  snapshot.cookie_number = database::reader.cookie_number;
  snapshot.history_count = app::history.count;
  snapshot.window_height = database::choice.window_height;
  snapshot.history = app::history.ring;
  if (fw::scripted::WindowRecord* frame = fw::scripted::current_frame()) {
    snapshot.client =
        fw::scripted::windows.records[static_cast<std::size_t>(frame->children.at(0))].window;
  }
  into.push_back(snapshot);
}

const fw::scripted::WindowRecord& frame_of(const fw::scripted::CycleRecord& cycle) {
  return fw::scripted::windows.records.at(static_cast<std::size_t>(cycle.frame));
}

}  // namespace viewer_test
