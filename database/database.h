// The cookie database: the data file reader, the choice of a cookie with its
// History ring, cutting the cookie out of its block, laying it out in rows of
// 80 columns, and refresh_cookie that ties them together.
#pragma once

#include <cstdint>
#include <cstdio>

namespace database {

inline constexpr int history_size = 16;
inline constexpr int cookie_capacity = 2000;  // 1999 characters and the terminator
inline constexpr int grid_columns = 80;
inline constexpr int grid_rows = 25;
// No platform shows a taller window (X11 and GDI coordinates are 16-bit).
inline constexpr std::int32_t largest_window_height = 32767;
inline constexpr int header_length = 38;
inline constexpr int cookies_per_block = 100;
// Two draws of 15 bits, the first choosing one of three windows, reach this
// many cookie numbers; larger files draw wider.
inline constexpr std::uint32_t two_draw_reach = 3 * 32768;
// history_count stops here instead of wrapping to -128.
inline constexpr std::int8_t history_count_limit = 127;

// The data file reader's header values and choice (refreshed every time).
struct Reader {
  const char* file_name = "Drollbox.dat";
  std::uint32_t cookie_count = 0;
  std::uint32_t index_length = 0;
  std::uint32_t cookie_number = 0;
  std::uint32_t block_start = 0;
  std::uint32_t block_length = 0;
  std::FILE* file = nullptr;  // open from pick_cookie to the end of load_block
  std::uint64_t file_size = 0;
  bool ran_past_end = false;  // a read met the end of the file
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

std::uint32_t read_be32();
std::uint32_t draw_random();
void seed_random();
void choose_cookie_number();
void pick_cookie();
void load_block();
void cut_cookie();
void lay_out_cookie();
void refresh_cookie();

// The Prev command's step back: false (and nothing changes) when the cookie
// on screen is the oldest one left; otherwise the next refresh steps back.
bool request_step_back();

// History ring ownership for start-up (false when the memory is not there).
bool allocate_history();
void release_history();

}  // namespace database
