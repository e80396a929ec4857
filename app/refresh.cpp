#include "app/refresh.h"

#include <cstdio>
#include <new>
#include <string>

#include "codec/codec.h"
#include "database/data_file.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace app {

namespace {

using database::DamageKind;

// Reports the damage's Problem code (which ends the process); returns when
// there is no damage.
void stop_on(DamageKind damage) {
  if (damage == DamageKind::none) return;
  if (damage == DamageKind::out_of_memory) {
    std::fputs(codec::out_of_memory_line, stdout);
    std::fflush(stdout);
  }
  problems::report_problem(problem_code(damage));
}

void step_back(ViewerState& state) {
  History& history = state.history;
  history.prev_pending = false;
  history.index = (history.index - 1) & (history_size - 1);
  state.cookie_number = history.ring[history.index];
  history.count = static_cast<std::int8_t>(history.count - 1);
}

void remember_new_pick(ViewerState& state) {
  History& history = state.history;
  history.index = (history.index + 1) & (history_size - 1);
  history.ring[history.index] = state.cookie_number;
  if (history.count < history_count_limit) ++history.count;
}

// The data file is closed before a damage is reported, so that the user may
// mend it while the Problem box is up.
std::string read_chosen_cookie(ViewerState& state) {
  std::string cookie;
  database::Damage damage;
  {
    database::OpenedDataFile opened = database::DataFile::open(state.data_file.c_str());
    stop_on(opened.damage.kind);
    choose_cookie_number(state, opened.file->cookie_count());
    damage = opened.file->read_cookie(state.cookie_number, cookie);
  }
  stop_on(damage.kind);
  return cookie;
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

bool allocate_history(History& history) {
  if (!history.ring) history.ring.reset(new (std::nothrow) std::uint32_t[history_size]{});
  return history.ring != nullptr;
}

void choose_cookie_number(ViewerState& state, std::uint32_t cookie_count) {
  if (!allocate_history(state.history)) problems::report_problem(problems::problem_memory);
  if (state.history.prev_pending) {
    step_back(state);
    return;
  }
  state.cookie_number = state.random.draw_cookie_number(cookie_count);
  remember_new_pick(state);
}

bool request_step_back(History& history) {
  if (history.count == 1) return false;
  history.prev_pending = true;
  return true;
}

void refresh_cookie(ViewerState& state) {
  settings::read_settings();
  if (!state.history.seeded) {
    state.random.seed_from_clock();
    state.history.seeded = true;
  }
  const std::string cookie = read_chosen_cookie(state);
  state.cookie = viewer_model::lay_out(cookie, settings::current.siz);
}

}  // namespace app
