// The entry and the Window cycles: one TMainApp per window, started again
// while a command asks for a restart.
#pragma once

#include <cstdint>
#include <optional>

#include "drollbox_version.h"
#include "framework/framework.h"

namespace app {

inline constexpr const char* frame_title = "Drollbox v" DROLLBOX_VERSION;
inline constexpr const char* frame_icon = "DROLLBOXICON";

inline constexpr std::uint8_t restart_wanted = 1;
inline constexpr std::uint8_t no_restart = 2;

// Outlives every window; 2 while the first Window cycle is being made.
struct FrameOrigin {
  int x = 0;
  int y = 0;
};

struct Lifetime {
  std::uint8_t restart_request = no_restart;
  // Where the user left the last window; the next opens there.
  std::optional<FrameOrigin> last_frame_origin;
};
extern Lifetime lifetime;

// Back to the state of a fresh process (tests).
void reset_lifetime();

class TMainApp : public fw::TApplication {
 public:
  TMainApp();
  ~TMainApp() override;

 protected:
  void make_main_window() override;
};

// The process entry; the arguments are ignored.
int run_window_cycles(int argc, char** argv);

}  // namespace app
