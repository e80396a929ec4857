// The viewer's command line, the same for the Win32 and the Linux program:
// a data file to show instead of Drollbox.dat, and the login entry.
#pragma once

#include <optional>
#include <string>

namespace app {

enum class AutostartChange { none, on, off };

struct ViewerOptions {
  std::string data_file;  // FILE or --file FILE; empty for the usual one
  AutostartChange autostart = AutostartChange::none;
  bool help = false;
  bool version = false;
  std::string error;  // set when the line cannot be understood
};

ViewerOptions parse_viewer_options(int argc, const char* const* argv);

// Answers --help (the usage, then usage_tail: where the platform keeps
// things), --version, --autostart and a line that cannot be understood on the
// terminal and gives the exit status; nothing when the viewer is to start.
std::optional<int> answer_on_terminal(const ViewerOptions& options, const std::string& usage_tail);

// When path (a data file named on the command line) cannot be shown, a line
// on stderr naming it and the reason: the Problem box names Drollbox.dat
// whatever the file was.
void explain_unusable_data_file(const std::string& path);

}  // namespace app
