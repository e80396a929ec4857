#include <algorithm>

#include "database/database.h"

namespace database {

namespace {

constexpr int grid_capacity = grid_rows * grid_columns;

struct GridCursor {
  int placed = 0;  // m: characters placed in the grid
  bool at_row_start() const { return placed % grid_columns == 0; }
  bool full() const { return placed == grid_capacity; }
  void place(char c) {
    if (!full()) choice.display_grid[placed++] = c;
  }
  void finish_row() {
    while (!at_row_start()) place(' ');
  }
};

bool starts_word(unsigned char c) {
  return c >= 'A' && c <= 'z';
}

}  // namespace

void lay_out_cookie(std::int32_t siz) {
  GridCursor grid;
  const char* text = choice.cookie_text;
  for (int i = 0; text[i] != '\0' && !grid.full(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      grid.finish_row();
    } else if (grid.at_row_start() && c == ' ' &&
               starts_word(static_cast<unsigned char>(text[i + 1]))) {
      continue;
    } else {
      grid.place(c);
    }
  }
  grid.finish_row();
  choice.display_grid[grid.placed] = '\0';
  choice.window_height = std::min((grid.placed / grid_columns) * siz + 60, largest_window_height);
}

}  // namespace database
