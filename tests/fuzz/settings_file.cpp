// A settings file from outside: the reader either ends with the parse
// problem, leaving the file as it was (every question is cancelled), or gives
// values every later step can use: a width in range, a bounded size, and a
// window for a full cookie that a screen can show.
#include <unistd.h>

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

namespace fs = std::filesystem;

// One per process, so harnesses running side by side never share a file.
const fs::path folder = fs::temp_directory_path() / ("drollbox-fuzz-" + std::to_string(::getpid()));
const std::string path = (folder / "Drollbox.cfg").string();
const struct Cleanup {
  ~Cleanup() { fs::remove_all(folder); }
} cleanup;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fs::create_directories(folder);
  std::ofstream(path, std::ios::binary) << bytes;
  settings::reset_settings();
  settings::settings_file_name = path.c_str();
  fw::scripted::reset_dialogs();
  try {
    settings::read_settings();
  } catch (const fw::scripted::ProcessExit& exit) {
    FUZZ_CHECK(fw::scripted::dialogs.box_calls.back().text == "Parse error in config file.");
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(std::string(std::istreambuf_iterator<char>(in), {}) == bytes);
    return 0;
  }
  const settings::Settings& read = settings::current;
  FUZZ_CHECK(read.wit >= 567 && read.wit <= 1280);
  FUZZ_CHECK(read.siz >= -settings::largest_size && read.siz <= settings::largest_size);
  char* cookie = database::choice.cookie_text;
  for (int row = 0; row < database::grid_rows; ++row) std::memcpy(cookie + 2 * row, "x\n", 2);
  cookie[2 * database::grid_rows] = '\0';
  database::lay_out_cookie(read.siz);
  const std::int64_t height = std::int64_t{database::grid_rows} * read.siz + 60;
  FUZZ_CHECK(database::choice.window_height ==
             std::min<std::int64_t>(height, database::largest_window_height));
  return 0;
}
