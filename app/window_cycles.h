// The entry and the Window cycles: one TMainApp per window, started again
// while a command asks for a restart.
#pragma once

#include <string>

#include "app/title.h"
#include "app/viewer_state.h"
#include "framework/framework.h"

namespace app {

inline constexpr const char* frame_icon = "DROLLBOXICON";

class TMainApp : public fw::TApplication {
 public:
  explicit TMainApp(ViewerState& state);
  ~TMainApp() override;

 protected:
  void make_main_window() override;

 private:
  ViewerState& state_;
};

// The process entry: the data file named on the command line, or (when
// data_file is empty) the one in the current folder.
int run_window_cycles(const std::string& data_file);
// The same with a state made beforehand (tests fix its generator).
int run_window_cycles(ViewerState& state);

}  // namespace app
