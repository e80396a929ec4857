// The display font, the groove under the button bar and the cookie's rows.
#include <cstddef>

#include "app/main_window.h"
#include "database/database.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace app {

namespace {

constexpr int groove_upper_row = 25;
constexpr int groove_lower_row = 26;
constexpr int first_text_row = 28;
constexpr int text_left = 4;

}  // namespace

void TMainWindow::set_up_window() {
  fw::TWindow::set_up_window();
  make_display_font(settings::current.siz);
}

// The face is font_text whole, " Bold" and " Italic" included, at normal
// weight: the platform's font matching decides what that looks like.
void TMainWindow::make_display_font(int height) {
  display_font_.reset();
  display_font_ = fw::TFont::create({settings::current.font_text, height});
  if (!display_font_) problems::report_problem(problems::problem_illegal_font);
}

void TMainWindow::paint_cookie(fw::PaintContext& dc) {
  const int wit = settings::current.wit;
  for (int x = 6; x < wit - 16; ++x) {
    dc.set_pixel(x, groove_lower_row, fw::system_colour(fw::SystemColour::highlight_text));
  }
  for (int x = 5; x < wit - 17; ++x) {
    dc.set_pixel(x, groove_upper_row, fw::system_colour(fw::SystemColour::inactive_caption));
  }

  const fw::TFont* previous_font = nullptr;
  if (display_font_) previous_font = dc.select_font(display_font_.get());
  dc.set_text_background(fw::system_colour(fw::SystemColour::menu));

  // The grid's own terminator ends the rows; its capacity does so too, should
  // a grid ever arrive without one.
  const char* grid = database::choice.display_grid;
  const std::size_t grid_end = sizeof database::choice.display_grid;
  std::size_t position = 0;
  int y = first_text_row;
  while (position < grid_end && grid[position] != '\0') {
    char row[database::grid_columns + 1];
    int length = 0;
    while (length < database::grid_columns && position < grid_end && grid[position] != '\0' &&
           grid[position] != '\n') {
      row[length++] = grid[position++];
    }
    if (position < grid_end && grid[position] == '\n') ++position;
    row[length] = '\0';
    dc.text_out(text_left, y, row, length);
    y += settings::current.siz;
  }

  if (display_font_) dc.select_font(previous_font);
}

}  // namespace app
