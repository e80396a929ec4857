// The viewer's flow for one cookie: the Settings, the choice with its History
// ring, the data file read through the database layer, and the layout. The
// database reports what is wrong; here that becomes a Problem code.
#pragma once

#include <cstdint>

#include "app/viewer_state.h"
#include "database/damage.h"

namespace app {

// The Problem code the viewer reports for a damage.
int problem_code(database::DamageKind damage);

// Sets state.cookie_number: a step back, or a new random pick below cookie_count.
void choose_cookie_number(ViewerState& state, std::uint32_t cookie_count);
// Settings, seeding once, the data file's header, the choice, the cookie read
// and laid out; any damage ends the process with its Problem code.
void refresh_cookie(ViewerState& state);

// The Prev command's step back: false (and nothing changes) when the cookie
// on screen is the oldest one left; otherwise the next refresh steps back.
bool request_step_back(History& history);

// The ring for start-up (false when the memory is not there).
bool allocate_history(History& history);

}  // namespace app
