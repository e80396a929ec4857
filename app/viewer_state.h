// What the viewer keeps from one Window cycle to the next, owned by the
// Window cycles and handed by reference to the windows and the refresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "places/file_names.h"
#include "viewer_model/layout.h"
#include "viewer_model/random_choice.h"

namespace app {

inline constexpr int history_size = 16;
// count stops here instead of wrapping to -128.
inline constexpr std::int8_t history_count_limit = 127;

struct History {
  std::unique_ptr<std::uint32_t[]> ring;  // 16 entries, allocated once by start-up
  std::int32_t index = 0;                 // ring position of the cookie on screen
  std::int8_t count = 0;                  // +1 for each new pick, -1 for each step back
  bool prev_pending = false;              // the next pick steps back instead of drawing
  bool seeded = false;                    // the generator is seeded once per process
};

inline constexpr std::uint8_t restart_wanted = 1;
inline constexpr std::uint8_t no_restart = 2;

struct FrameOrigin {
  int x = 0;
  int y = 0;
};

// Outlives every window; no_restart while the first Window cycle is being made.
struct Lifetime {
  std::uint8_t restart_request = no_restart;
  // Where the user left the last window; the next opens there.
  std::optional<FrameOrigin> last_frame_origin;
};

struct ViewerState {
  std::string data_file = places::data_file_name;
  viewer_model::RandomChoice random;
  History history;
  std::uint32_t cookie_number = 0;
  viewer_model::LaidOutCookie cookie;  // on its way to the next window
  Lifetime lifetime;
};

}  // namespace app
