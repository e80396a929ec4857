// The viewer's flow for one cookie: the Settings, the choice with its History
// ring, the data file read through the database layer, and the layout. The
// database reports what is wrong; here that becomes a Problem code.
#pragma once

#include <cstdint>

#include "database/database.h"

namespace app {

inline constexpr int history_size = 16;
// count stops here instead of wrapping to -128.
inline constexpr std::int8_t history_count_limit = 127;

struct History {
  std::uint32_t* ring = nullptr;  // 16 entries, allocated once by start-up
  std::int32_t index = 0;         // ring position of the cookie on screen
  std::int8_t count = 0;          // +1 for each new pick, -1 for each step back
  bool prev_pending = false;      // the next pick steps back instead of drawing
  bool seeded = false;            // the generator is seeded once per process
};
extern History history;

// The Problem code the viewer reports for a damage.
int problem_code(database::DamageKind damage);

// Sets database::reader.cookie_number: a step back, or a new random pick.
void choose_cookie_number();
// Opens the data file, checks its header, chooses the cookie and reads its
// block's index entries; then reads and cuts the block and closes the file.
void pick_cookie();
void load_block();
// Settings, seeding once, pick_cookie, load_block and the layout; any damage
// ends the process with its Problem code.
void refresh_cookie();

// The Prev command's step back: false (and nothing changes) when the cookie
// on screen is the oldest one left; otherwise the next refresh steps back.
bool request_step_back();

// History ring ownership for start-up (false when the memory is not there).
bool allocate_history();
void release_history();

}  // namespace app
