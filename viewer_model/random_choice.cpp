#include "viewer_model/random_choice.h"

#include <chrono>

namespace viewer_model {

std::uint32_t RandomChoice::draw() {
  state = state * 22695477u + 1u;
  return (state >> 16) & 0x7FFFu;
}

void RandomChoice::seed_from_clock() {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const auto seconds = now / 1000;
  const auto milliseconds_part = now % 1000;
  state = static_cast<std::uint32_t>(seconds + milliseconds_part);
}

std::uint32_t RandomChoice::draw_cookie_number(std::uint32_t cookie_count) {
  if (cookie_count == 0) return 0;  // the header check refuses such files first
  if (cookie_count > two_draw_reach) {
    // Three draws give 45 bits, enough to reach every 32-bit cookie number.
    std::uint64_t wide = draw();
    wide = (wide << 15) | draw();
    wide = (wide << 15) | draw();
    return static_cast<std::uint32_t>(wide % cookie_count);
  }
  const std::uint32_t window = draw() % 3;
  const std::uint32_t offset = draw();
  return (offset + 32768u * window) % cookie_count;
}

}  // namespace viewer_model
