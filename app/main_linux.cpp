// The native Linux viewer's entry: the settings under the user's XDG
// configuration folder and the database found without a launcher (see
// places/) or named on the command line, then the same Window cycles as the
// Win32 program. --help, --version and --autostart answer on the terminal, as
// does a start without a display.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/viewer_options.h"
#include "app/window_cycles.h"
#include "places/places.h"
#include "settings/settings.h"

namespace {

std::string where_things_are(const std::string& data_file, const std::string& settings_file) {
  return std::string(places::data_file_name) +
         ", the cookie database, is read from the current folder when it is\n"
         "there, else from share/drollbox/ under the folder the program is installed in.\n" +
         places::settings_file_name +
         ", the settings, is kept in $XDG_CONFIG_HOME/drollbox/\n"
         "(~/.config/drollbox/ when XDG_CONFIG_HOME is not set); delete it to be asked\n"
         "again. The login entry is $XDG_CONFIG_HOME/autostart/drollbox.desktop.\n"
         "Here and now these are:\n"
         "  " +
         data_file + "\n  " + settings_file + "\n";
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
  static const app::ViewerOptions options = app::parse_viewer_options(argc, argv);
  static const std::string data_file =
      options.data_file.empty() ? places::data_file() : options.data_file;
  static const std::string settings_file =
      places::settings_file(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (const auto status =
          app::answer_on_terminal(options, where_things_are(data_file, settings_file)))
    return *status;
  if (!display_reachable()) {
    std::fprintf(stderr,
                 "drollbox: no display to show a window on (neither DISPLAY nor WAYLAND_DISPLAY "
                 "is set); for a cookie in the terminal run: drollbox-db random\n");
    return 1;
  }
  if (!options.data_file.empty()) app::explain_unusable_data_file(data_file);
  settings::settings_file_name = settings_file.c_str();
  // A folder that cannot be made shows up as the settings write's own problem.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(settings_file).parent_path(), ignored);
  return app::run_window_cycles(data_file);
}
