// How the viewer lays a cookie out: rows of 80 columns, at most 25 of them,
// in a window as tall as the rows at the display font's height allow.
#pragma once

#include <cstdint>
#include <string_view>

namespace viewer_model {

inline constexpr int grid_columns = 80;
inline constexpr int grid_rows = 25;
// No platform shows a taller window (X11 and GDI coordinates are 16-bit).
inline constexpr std::int32_t largest_window_height = 32767;

struct LaidOutCookie {
  // Whole rows of grid_columns characters, then a terminator.
  char grid[grid_rows * grid_columns + 1] = {};
  int rows = 0;
  std::int32_t window_height = 0;

  std::string_view row(int number) const { return {grid + number * grid_columns, grid_columns}; }
};

// The text ends at its first zero byte, if it holds one. The window height
// is the rows times siz, the height of one row, plus the frame's 60 pixels.
LaidOutCookie lay_out(std::string_view cookie, std::int32_t siz);

}  // namespace viewer_model
