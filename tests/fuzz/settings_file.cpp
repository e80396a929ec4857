// A settings file from outside: the reader either ends with the parse
// problem, or gives values every later step can use without overflow; the
// window it lays out for a full cookie fits what a screen can show. Every
// question is cancelled, so the file is never rewritten under the reader.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "database/database.h"
#include "framework/scripted/dialogs.h"
#include "fuzz_check.h"
#include "settings/settings.h"

namespace {

const std::string& settings_path() {
  static const std::string path = [] {
    namespace fs = std::filesystem;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path folder = base / ("drollbox-fuzz-settings-" + std::to_string(std::rand()));
    fs::create_directories(folder);
    return (folder / "Drollbox.cfg").string();
  }();
  return path;
}

std::string file_bytes() {
  std::ifstream in(settings_path(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(settings_path(), std::ios::binary | std::ios::trunc) << bytes;
  settings::reset_settings();
  settings::settings_file_name = settings_path().c_str();
  fw::scripted::reset_dialogs();
  for (int i = 0; i < 2; ++i) fw::scripted::queue_box_answer(fw::Answer::cancel);
  try {
    settings::read_settings();
  } catch (const fw::scripted::ProcessExit& exit) {
    FUZZ_CHECK(exit.status == -1);
    FUZZ_CHECK(fw::scripted::dialogs.box_calls.back().text == "Parse error in config file.");
    FUZZ_CHECK(file_bytes() == bytes);
    return 0;
  }
  const settings::Settings& read = settings::current;
  FUZZ_CHECK(read.wit >= 567 && read.wit <= 1280);
  FUZZ_CHECK(std::strlen(read.font_text) < settings::font_text_capacity);
  FUZZ_CHECK(read.siz >= -settings::largest_size && read.siz <= settings::largest_size);
  const int screen_width[] = {640, 800, 1024, 1280};
  FUZZ_CHECK(read.window_x ==
             (screen_width[read.scr >= 0 && read.scr <= 3 ? read.scr : 0] - read.wit) / 2);

  char* cookie = database::choice.cookie_text;
  for (int row = 0; row < database::grid_rows; ++row) std::memcpy(cookie + 2 * row, "x\n", 2);
  cookie[2 * database::grid_rows] = '\0';
  database::lay_out_cookie();
  const std::int64_t height = std::int64_t{database::grid_rows} * read.siz + 60;
  FUZZ_CHECK(database::choice.window_height ==
             std::min<std::int64_t>(height, database::largest_window_height));
  return 0;
}
