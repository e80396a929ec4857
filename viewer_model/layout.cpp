#include "viewer_model/layout.h"

#include <algorithm>

namespace viewer_model {

namespace {

constexpr int grid_capacity = grid_rows * grid_columns;

struct GridCursor {
  char* grid;
  int placed = 0;  // m: characters placed in the grid
  bool at_row_start() const { return placed % grid_columns == 0; }
  bool full() const { return placed == grid_capacity; }
  void place(char c) {
    if (!full()) grid[placed++] = c;
  }
  void finish_row() {
    while (!at_row_start()) place(' ');
  }
};

bool starts_word(unsigned char c) {
  return c >= 'A' && c <= 'z';
}

}  // namespace

LaidOutCookie lay_out(std::string_view cookie, std::int32_t siz) {
  const std::string_view text = cookie.substr(0, cookie.find('\0'));
  const auto next_after = [&](std::size_t i) { return i + 1 < text.size() ? text[i + 1] : '\0'; };
  LaidOutCookie laid_out;
  GridCursor grid{laid_out.grid};
  for (std::size_t i = 0; i < text.size() && !grid.full(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      grid.finish_row();
    } else if (grid.at_row_start() && c == ' ' &&
               starts_word(static_cast<unsigned char>(next_after(i)))) {
      continue;
    } else {
      grid.place(c);
    }
  }
  grid.finish_row();
  laid_out.rows = grid.placed / grid_columns;
  laid_out.window_height = std::min(laid_out.rows * siz + 60, largest_window_height);
  return laid_out;
}

}  // namespace viewer_model
