#include "app/window_fit.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

// The bar spread evenly over a client this wide needs no scrolling.
constexpr int squeezed_bar_width =
    text_left + bar_buttons * bar_button_width + (bar_buttons - 1) * bar_least_gap + text_left;

struct Needs {
  int text_width;  // of the client
  int width;       // of the client, the bar included
  int height;
};

Needs needs_at(const FitRequest& request, int font_height) {
  const int text = request.rows > 0 ? request.widest_row(font_height) : 0;
  const int text_width = text_left + text + text_right_margin;
  return {text_width, std::max(text_width, squeezed_bar_width),
          first_text_row + request.rows * font_height + text_bottom_margin};
}

bool bounded(const fw::Rect& area) {
  return area.width > 0 && area.height > 0;
}

bool text_fits(const FitRequest& request, int font_height) {
  const fw::Rect& area = request.screen.work_area;
  const fw::Margins& frame = request.screen.decorations;
  const Needs needs = needs_at(request, font_height);
  return !bounded(area) || (frame.left + needs.text_width + frame.right <= area.width &&
                            frame.top + needs.height + frame.bottom <= area.height);
}

// The largest height from smallest up to siz that fits, or 0.
int shrunk_font_height(const FitRequest& request, int smallest) {
  int fitting = 0;
  int beyond = request.siz;
  int low = smallest;
  while (low < beyond) {
    const int middle = low + (beyond - low) / 2;
    if (text_fits(request, middle)) {
      fitting = middle;
      low = middle + 1;
    } else {
      beyond = middle;
    }
  }
  return fitting;
}

int font_height_for(const FitRequest& request) {
  if (text_fits(request, request.siz)) return request.siz;
  const int smallest = smallest_font_height(request.screen.scale);
  if (request.siz > smallest) {
    if (const int shrunk = shrunk_font_height(request, smallest); shrunk != 0) return shrunk;
  }
  return std::min(request.siz, smallest);
}

std::array<int, bar_buttons> button_lefts(int layout_width, int client_width) {
  std::array<int, bar_buttons> lefts{};
  if (layout_width >= bar_layout_width) {
    const int offset = (layout_width - bar_layout_width) / 2;
    for (int i = 0; i < bar_buttons; ++i) lefts[i] = offset + bar_lefts[i];
    return lefts;
  }
  const int step = std::max(bar_button_width + bar_least_gap,
                            (client_width - 2 * text_left - bar_button_width) / (bar_buttons - 1));
  for (int i = 0; i < bar_buttons; ++i) lefts[i] = text_left + i * step;
  return lefts;
}

int placed(int wanted, int start, int room, int extent) {
  if (room <= 0) return wanted;
  return std::clamp(wanted, start, std::max(start, start + room - extent));
}

}  // namespace

int smallest_font_height(double scale) {
  return static_cast<int>(std::ceil(smallest_font_pixels / std::max(scale, 1.0)));
}

WindowFit fit_window(const FitRequest& request) {
  const fw::Rect& area = request.screen.work_area;
  const fw::Margins& frame = request.screen.decorations;
  const int around_width = frame.left + frame.right;
  const int around_height = frame.top + frame.bottom;

  WindowFit fit;
  fit.font_height = font_height_for(request);
  const Needs needs = needs_at(request, fit.font_height);
  int width = std::max(request.wit, around_width + needs.width);
  int height =
      std::max(request.rows * fit.font_height + frame_allowance, around_height + needs.height);
  if (bounded(area)) {
    width = std::min(width, area.width);
    height = std::min(height, area.height);
  }
  fit.frame = {placed(request.wanted_x, area.x, area.width, width),
               placed(request.wanted_y, area.y, area.height, height), std::max(1, width),
               std::max(1, height)};
  fit.scroll_size = {needs.width, needs.height};
  fit.layout_width = std::max(fit.frame.width, around_width + fit.scroll_size.width);
  fit.button_lefts = button_lefts(fit.layout_width, fit.layout_width - around_width);
  return fit;
}

}  // namespace app
