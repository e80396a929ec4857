#include "app/refresh.h"

#include <cstdio>
#include <new>

#include "codec/codec.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace app {

History history;

namespace {

using database::DamageKind;
using database::reader;

// Closes the data file and reports the damage's Problem code (which ends the
// process); returns when there is no damage.
void stop_on(DamageKind damage) {
  if (damage == DamageKind::none) return;
  database::close_data_file();
  if (damage == DamageKind::out_of_memory) {
    std::fputs(codec::out_of_memory_line, stdout);
    std::fflush(stdout);
  }
  problems::report_problem(problem_code(damage));
}

void step_back() {
  history.prev_pending = false;
  history.index = (history.index - 1) & (history_size - 1);
  reader.cookie_number = history.ring[history.index];
  history.count = static_cast<std::int8_t>(history.count - 1);
}

void remember_new_pick() {
  history.index = (history.index + 1) & (history_size - 1);
  history.ring[history.index] = reader.cookie_number;
  if (history.count < history_count_limit) ++history.count;
}

}  // namespace

int problem_code(DamageKind damage) {
  switch (damage) {
    case DamageKind::none:
      return 0;
    case DamageKind::cannot_open:
      return problems::problem_cannot_read_data_file;
    case DamageKind::incompatible:
      return problems::problem_incompatible_data_file;
    case DamageKind::out_of_memory:
      return problems::problem_memory;
    default:
      return problems::problem_unknown_data_file;
  }
}

bool allocate_history() {
  if (history.ring == nullptr) history.ring = new (std::nothrow) std::uint32_t[history_size]{};
  return history.ring != nullptr;
}

void release_history() {
  delete[] history.ring;
  history.ring = nullptr;
}

void choose_cookie_number() {
  if (!allocate_history()) problems::report_problem(problems::problem_memory);
  if (history.prev_pending) {
    step_back();
    return;
  }
  reader.cookie_number = database::draw_cookie_number(reader.cookie_count);
  remember_new_pick();
}

bool request_step_back() {
  if (history.count == 1) return false;
  history.prev_pending = true;
  return true;
}

void pick_cookie() {
  stop_on(database::open_data_file(reader.file_name));
  stop_on(database::read_header());
  choose_cookie_number();
  stop_on(database::read_block_entries(reader.cookie_number / database::cookies_per_block));
}

void load_block() {
  const std::uint32_t k = reader.cookie_number % database::cookies_per_block;
  stop_on(database::read_block_through_cookie(k));
  stop_on(database::cut_cookie(k));
  database::close_data_file();
}

void refresh_cookie() {
  settings::read_settings();
  if (!history.seeded) {
    database::seed_random();
    history.seeded = true;
  }
  pick_cookie();
  load_block();
  database::lay_out_cookie(settings::current.siz);
}

}  // namespace app
