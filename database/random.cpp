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

}  // namespace database
