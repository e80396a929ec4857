// The entry that starts the viewer once at every login, kept where the
// desktop looks for such entries: an XDG autostart file on Linux, a value of
// the user's Run key on Windows.
#pragma once

#include <string>

namespace app {

struct AutostartOutcome {
  bool done = false;
  std::string message;  // what was done, or why it could not be
};

// Adds (on) or removes the entry. It starts this very program, with
// data_file when that is not empty.
AutostartOutcome change_autostart(bool on, const std::string& data_file);

}  // namespace app
