// The cookie database: the data file reader, the choice of a cookie with its
// History ring, cutting the cookie out of its block, laying it out in rows of
// 80 columns, and refresh_cookie that ties them together.
#pragma once

#include <cstdint>

namespace database {

inline constexpr int history_size = 16;
inline constexpr int cookie_capacity = 2000;  // 1999 characters and the terminator
inline constexpr int grid_columns = 80;
inline constexpr int grid_rows = 25;

// The data file reader's header values and choice (refreshed every time).
struct Reader {
  const char* file_name = "Drollbox.dat";
  std::uint32_t cookie_count = 0;
  std::uint32_t index_length = 0;
  std::uint32_t cookie_number = 0;
  std::uint32_t block_start = 0;
  std::uint32_t block_length = 0;
};
extern Reader reader;

// The random generator, the History ring and the cookie on its way to screen.
struct Choice {
  std::uint32_t random_state = 1;
  std::uint32_t* history = nullptr;  // 16 entries, allocated once by start-up
  std::int32_t history_index = 0;
  std::int8_t history_count = 0;
  bool prev_pending = false;
  bool seeded = false;
  char cookie_text[cookie_capacity] = {};
  char display_grid[grid_rows * grid_columns + 1] = {};
  std::int32_t window_height = 0;
};
extern Choice choice;

std::uint32_t draw_random();
void seed_random();
void choose_cookie_number();
void pick_cookie();
void load_block();
void cut_cookie();
void lay_out_cookie();
void refresh_cookie();

// History ring ownership for start-up (false when the memory is not there).
bool allocate_history();
void release_history();

}  // namespace database
