// The native Linux viewer's entry: the settings under the user's XDG
// configuration folder and the database found without a launcher (see
// places/), then the same Window cycles as the Win32 program. --help and
// --version answer on the terminal, as does a start without a display;
// any other argument is ignored.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/window_cycles.h"
#include "database/database.h"
#include "places/places.h"
#include "settings/settings.h"

namespace {

void print_usage(const std::string& data_file, const std::string& settings_file) {
  std::printf(
      "Usage: drollbox [--help | --version]\n"
      "Shows a fortune cookie picked at random from its database in a small window.\n"
      "\n"
      "Keys: N New cookie, P Prev (back through the last 16), C Config (screen and\n"
      "font), A About, Return New, Escape or Ok to quit, Ctrl+C copies the cookie.\n"
      "\n"
      "Drollbox.dat, the cookie database, is read from the current folder when it is\n"
      "there, else from share/drollbox/ under the folder the program is installed in.\n"
      "Drollbox.cfg, the settings, is kept in $XDG_CONFIG_HOME/drollbox/\n"
      "(~/.config/drollbox/ when XDG_CONFIG_HOME is not set); delete it to be asked\n"
      "again. Here and now these are:\n"
      "  %s\n"
      "  %s\n",
      data_file.c_str(), settings_file.c_str());
}

bool set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Qt would abort without a window system to talk to; a platform named
// outright (offscreen, vnc) needs none.
bool display_reachable() {
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  static const std::string data_file = places::data_file();
  static const std::string settings_file =
      places::settings_file(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      print_usage(data_file, settings_file);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", app::frame_title);
      return 0;
    }
  }
  if (!display_reachable()) {
    std::fprintf(stderr,
                 "drollbox: no display to show a window on (neither DISPLAY nor WAYLAND_DISPLAY "
                 "is set); for a cookie in the terminal run: drollbox-db random\n");
    return 1;
  }
  database::reader.file_name = data_file.c_str();
  settings::settings_file_name = settings_file.c_str();
  // A folder that cannot be made shows up as the settings write's own problem.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(settings_file).parent_path(), ignored);
  return app::run_window_cycles(argc, argv);
}
