// The viewer's random generator and its draw of a cookie number: the
// arithmetic is fixed, so a seed gives the same cookies on every platform.
#pragma once

#include <cstdint>

namespace viewer_model {

// Two draws of 15 bits, the first choosing one of three windows, reach this
// many cookie numbers; larger files draw wider.
inline constexpr std::uint32_t two_draw_reach = 3 * 32768;

struct RandomChoice {
  std::uint32_t state = 1;

  std::uint32_t draw();  // 15 bits
  void seed_from_clock();
  // A fresh random cookie number below cookie_count (which is not 0).
  std::uint32_t draw_cookie_number(std::uint32_t cookie_count);
};

}  // namespace viewer_model
