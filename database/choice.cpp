#include <chrono>

#include "database/database.h"

namespace database {

std::uint32_t draw_random() {
  choice.random_state = choice.random_state * 22695477u + 1u;
  return (choice.random_state >> 16) & 0x7FFFu;
}

void seed_random() {
  using namespace std::chrono;
  const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const auto seconds = now / 1000;
  const auto milliseconds_part = now % 1000;
  choice.random_state = static_cast<std::uint32_t>(seconds + milliseconds_part);
}

std::uint32_t draw_cookie_number(std::uint32_t cookie_count) {
  if (cookie_count == 0) return 0;  // the header check refuses such files first
  if (cookie_count > two_draw_reach) {
    // Three draws give 45 bits, enough to reach every 32-bit cookie number.
    std::uint64_t wide = draw_random();
    wide = (wide << 15) | draw_random();
    wide = (wide << 15) | draw_random();
    return static_cast<std::uint32_t>(wide % cookie_count);
  }
  const std::uint32_t window = draw_random() % 3;
  const std::uint32_t offset = draw_random();
  return (offset + 32768u * window) % cookie_count;
}

}  // namespace database
