// The Win32 program's entry: both files in the current folder unless a data
// file is named on the command line.
#include <windows.h>

#include <cstdio>

#include "app/viewer_options.h"
#include "app/window_cycles.h"
#include "places/file_names.h"

namespace {

// A GUI program starts without a console: what it answers on the terminal
// goes to the console it was started from, unless it is redirected.
void use_parent_console() {
  if (::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || !::AttachConsole(ATTACH_PARENT_PROCESS))
    return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

int main(int argc, char** argv) {
  use_parent_console();
  static const app::ViewerOptions options = app::parse_viewer_options(argc, argv);
  if (const auto status = app::answer_on_terminal(
          options, std::string(places::data_file_name) + " and " + places::settings_file_name +
                       " are kept in the current folder. The login\n"
                       "entry is the value 'Drollbox' of the user's Run key.\n"))
    return *status;
  if (!options.data_file.empty()) app::explain_unusable_data_file(options.data_file);
  return app::run_window_cycles(options.data_file);
}
