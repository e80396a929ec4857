#include <new>

#include "app/problems.h"
#include "database/database.h"

namespace database {

namespace {

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

void step_back() {
  choice.prev_pending = false;
  choice.history_index = (choice.history_index - 1) & (history_size - 1);
  reader.cookie_number = choice.history[choice.history_index];
  choice.history_count = static_cast<std::int8_t>(choice.history_count - 1);
}

void remember_new_pick() {
  choice.history_index = (choice.history_index + 1) & (history_size - 1);
  choice.history[choice.history_index] = reader.cookie_number;
  if (choice.history_count < history_count_limit) ++choice.history_count;
}

}  // namespace

bool allocate_history() {
  if (choice.history == nullptr) choice.history = new (std::nothrow) std::uint32_t[history_size]{};
  return choice.history != nullptr;
}

void release_history() {
  delete[] choice.history;
  choice.history = nullptr;
}

void choose_cookie_number() {
  if (!allocate_history()) app::report_problem(app::problem_memory);
  if (choice.prev_pending) {
    step_back();
    return;
  }
  reader.cookie_number = draw_cookie_number(reader.cookie_count);
  remember_new_pick();
}

bool request_step_back() {
  if (choice.history_count == 1) return false;
  choice.prev_pending = true;
  return true;
}

}  // namespace database
