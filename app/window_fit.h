// How the main window fits its cookie to the screen it opens on: one rule
// for every backend, in layout pixels (backends measure and place only).
//
// The frame is as wide as the widest row needs and never narrower than wit,
// as tall as the rows need and never shorter than the rows plus the 60
// pixels the layout allows; neither beyond the work area. When the text
// does not fit there, the display font (and with it the row pitch) shrinks
// for this window alone until every row and column fits; the Settings keep
// the user's size. Below smallest_font_height the window keeps that size
// and scrolls instead. The frame lies wholly on the work area, as near the wanted place as
// it can.
#pragma once

#include <array>
#include <functional>

#include "framework/framework.h"

namespace app {

// Where the client draws (see TMainWindow::paint_cookie).
inline constexpr int text_left = 4;
inline constexpr int first_text_row = 28;
// As much room again right of the widest row and under the last.
inline constexpr int text_right_margin = 4;
inline constexpr int text_bottom_margin = 4;
// What the layout's window_height adds to the rows for the frame.
inline constexpr int frame_allowance = 60;
// The bar's buttons, left to right (New, Prev, Config, About, Ok): their
// left edges, shifted to centre a 567-pixel-wide frame's worth of them in a
// wider one. A frame narrower than that spreads them evenly instead.
inline constexpr int bar_buttons = 5;
inline constexpr std::array<int, bar_buttons> bar_lefts = {18, 90, 163, 323, 480};
inline constexpr int bar_layout_width = 567;
inline constexpr int bar_button_width = 55;
inline constexpr int bar_least_gap = 4;

// The display font shrinks no further than a 12-pixel cell of the screen's
// own pixels: a 10-pixel face, the least that draws every character of a
// monospaced face apart, and small enough for 80 columns on 640 pixels.
// A user's own smaller choice is kept.
inline constexpr int smallest_font_pixels = 12;
// That in layout pixels, on a screen of the given scale.
int smallest_font_height(double scale);

struct FitRequest {
  int rows = 0;
  int siz = 0;  // the user's display font height, which is also the row pitch
  int wit = 0;
  // The widest row's text_width in the display font of the given height.
  std::function<int(int font_height)> widest_row;
  fw::Screen screen;
  int wanted_x = 0;  // the frame's top-left corner
  int wanted_y = 0;
};

struct WindowFit {
  fw::Rect frame;
  int font_height = 0;  // and row pitch
  // The frame width the client lays out its bar and groove in; more than
  // the frame's when the client scrolls sideways.
  int layout_width = 0;
  std::array<int, bar_buttons> button_lefts{};  // in bar_lefts' order
  // All the client draws; it scrolls where its area is smaller (the fit
  // makes it so only below smallest_font_height, the user by resizing).
  fw::Size scroll_size;
  bool operator==(const WindowFit&) const = default;
};

WindowFit fit_window(const FitRequest& request);

}  // namespace app
