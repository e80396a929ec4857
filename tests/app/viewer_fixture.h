// Runs the viewer on the scripted backend in a folder of its own, holding a
// small data file and, when a test writes one, a settings file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/scripted/dialogs.h"
#include "framework/scripted/windows.h"

namespace viewer_test {

inline constexpr int no_exit = 1000;  // run() returned instead of ending the process

// Cookie i has (i % 4) + 2 short lines, so each lays out to that many rows.
std::vector<std::string> sample_cookies(int count);
int rows_of(int cookie_number);

// The five CR LF lines; wit is written as given, so a test can pass one
// outside the accepted range.
std::string settings_text(int scr, const std::string& font_text, int siz, int wit);

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // run_window_cycles' result, or the status of an ended process.
  int run();
  bool process_ended() const { return process_ended_; }

  void write_file(const std::string& name, const std::string& bytes);
  std::string read_file(const std::string& name);
  void write_settings(int scr, const std::string& font_text, int siz, int wit);

  static void reset_everything();

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_folder_;
  bool process_ended_ = false;
};

// What a script records while a Window cycle runs.
struct Snapshot {
  std::uint32_t cookie_number = 0;
  int history_count = 0;
  std::int32_t window_height = 0;
  const std::uint32_t* history = nullptr;
  fw::TWindow* client = nullptr;
};
void take_snapshot(std::vector<Snapshot>& into);

const fw::scripted::WindowRecord& frame_of(const fw::scripted::CycleRecord& cycle);

}  // namespace viewer_test
