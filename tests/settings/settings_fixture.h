// A private folder per test for "Drollbox.cfg", and the checks every
// settings test needs: file contents, the boxes shown, a problem report.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "framework/scripted/dialogs.h"
#include "settings/settings.h"

namespace settings_test {

namespace fs = std::filesystem;
using fw::scripted::dialogs;

inline constexpr const char* parse_error = "Parse error in config file.";
inline constexpr const char* write_error = "Couldn't write 'Drollbox.cfg'. Aborting!";
inline constexpr const char* cancelled_notice = "Configuration cancelled, sir.";

class SettingsFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::reset_settings();
    fw::scripted::reset_dialogs();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::temp_directory_path() /
             (std::string("drollbox-") + test->test_suite_name() + "-" + test->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    path = (folder / "Drollbox.cfg").string();
    settings::settings_file_name = path.c_str();
  }

  void TearDown() override {
    settings::reset_settings();
    fw::scripted::reset_dialogs();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  void write_file(std::string_view bytes) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  // Bounded, so a settings file that became an endless device cannot hang a test.
  std::string read_file() const {
    std::ifstream in(path, std::ios::binary);
    std::string contents(4096, '\0');
    in.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    contents.resize(static_cast<std::size_t>(in.gcount()));
    return contents;
  }

  bool temporary_left() const {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      if (entry.path().filename().string().find(".tmp") != std::string::npos) return true;
    return false;
  }

  fs::path folder;
  std::string path;
};

// The action must end the process through report_problem with this message.
inline void expect_problem(const char* message, const std::function<void()>& action) {
  try {
    action();
    ADD_FAILURE() << "the process went on instead of reporting \"" << message << "\"";
  } catch (const fw::scripted::ProcessExit& exit) {
    EXPECT_EQ(exit.status, -1);
    ASSERT_FALSE(dialogs.box_calls.empty());
    const fw::scripted::BoxCall& box = dialogs.box_calls.back();
    EXPECT_EQ(box.text, message);
    EXPECT_EQ(box.caption, "Drollbox Problem");
    EXPECT_EQ(box.kind, fw::BoxKind::problem);
    EXPECT_EQ(box.owner, nullptr);
  }
}

inline fw::FontChoice make_font(const char* face, int weight, bool italic, int tenths = 120) {
  return fw::FontChoice{face, tenths, weight, italic};
}

}  // namespace settings_test
