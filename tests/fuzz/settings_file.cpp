// A settings file: the reader ends with the parse problem, the file as it was,
// or gives a width in range and a bounded size.
#include <cstdlib>

#include "framework/scripted/dialogs.h"
#include "fuzz_check.h"
#include "settings/settings.h"

static const ScratchFile file;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  settings::reset_settings(), fw::scripted::reset_dialogs();  // as a fresh process
  file.hold(bytes);
  settings::settings_file_name = file.path.c_str();
  try {
    settings::read_settings();
  } catch (const fw::scripted::ProcessExit&) {
    FUZZ_CHECK(fw::scripted::dialogs.box_calls.back().text == "Parse error in config file.");
    FUZZ_CHECK(read_whole(file.path) == bytes);
    return 0;
  }
  const settings::Settings& read = settings::current;
  FUZZ_CHECK(read.wit >= 567 && read.wit <= 1280 && std::abs(read.siz) <= settings::largest_size);
  return 0;
}
