// The native Linux viewer's entry: the settings under the user's XDG
// configuration folder and the database found without a launcher (see
// places/), then the same Window cycles as the Win32 program.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/window_cycles.h"
#include "database/database.h"
#include "places/places.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
  static const std::string data_file = places::data_file();
  static const std::string settings_file =
      places::settings_file(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  database::reader.file_name = data_file.c_str();
  settings::settings_file_name = settings_file.c_str();
  // A folder that cannot be made shows up as the settings write's own problem.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(settings_file).parent_path(), ignored);
  return app::run_window_cycles(argc, argv);
}
