// The fitting rule over screens from 640 x 480 to 3840 x 2160 at scales 1,
// 1.5 and 2, the first-use font (siz 22) and 28 points (siz 29), and one to
// 25 rows as wide as the widest default cookie's.
#include <gtest/gtest.h>

#include <array>

#include "app/window_fit.h"

namespace {

using app::fit_window;
using app::FitRequest;
using app::WindowFit;

// A monospaced face: a cell h high holds a face of h * 100 / 113 pixels,
// whose characters advance three fifths of that.
int mono_width(int columns, int cell) {
  return columns * (cell * 100 / 113 * 3 / 5);
}

constexpr fw::Margins openbox{1, 21, 1, 5};
constexpr int widest_default_columns = 80;

FitRequest request(fw::Rect area, int siz, int rows, int columns, int x = 0, int y = 0,
                   double scale = 1.0) {
  return {rows,
          siz,
          639,
          [columns](int cell) { return mono_width(columns, cell); },
          fw::Screen{area, openbox, scale},
          x,
          y};
}

// The bar as the window's width centres it.
std::array<int, 5> bar_at(int offset) {
  return {offset + 18, offset + 90, offset + 163, offset + 323, offset + 480};
}

// Spread evenly, step apart.
std::array<int, 5> bar_spread(int step) {
  return {4, 4 + step, 4 + 2 * step, 4 + 3 * step, 4 + 4 * step};
}

using Client = fw::Size;

// What the text needs of the client at a font height.
Client needs(int columns, int rows, int font) {
  return {4 + mono_width(columns, font) + 4, 28 + rows * font + 4};
}

bool inside(const fw::Rect& in, const fw::Rect& area) {
  return in.x >= area.x && in.y >= area.y && in.x + in.width <= area.x + area.width &&
         in.y + in.height <= area.y + area.height;
}

TEST(WindowFit, EveryColumnAndRowIsShownOnEveryScreenScaleAndFontOrTheWindowScrolls) {
  const fw::Size screens[] = {{640, 480},   {800, 600},   {1024, 768},
                              {1280, 1024}, {1920, 1080}, {3840, 2160}};
  for (const fw::Size screen : screens) {
    for (const double scale : {1.0, 1.5, 2.0}) {
      // A panel of 24 pixels along the bottom.
      const fw::Rect area{0, 0, static_cast<int>(screen.width / scale),
                          static_cast<int>(screen.height / scale) - 24};
      for (const int siz : {22, 29}) {
        for (const int rows : {1, 2, 12, 24, 25}) {
          SCOPED_TRACE(testing::Message() << screen.width << "x" << screen.height << " at " << scale
                                          << ", siz " << siz << ", rows " << rows);
          const WindowFit fit =
              fit_window(request(area, siz, rows, widest_default_columns, 5000, 0, scale));
          EXPECT_TRUE(inside(fit.frame, area));
          EXPECT_GE(fit.frame.width, std::min(639, area.width));
          const Client client{fit.frame.width - 2, fit.frame.height - 26};
          const Client text = needs(widest_default_columns, rows, fit.font_height);
          EXPECT_EQ(fit.scroll_size, (fw::Size{std::max(text.width, 299), text.height}));
          const bool whole = text.width <= client.width && text.height <= client.height;
          const int smallest = app::smallest_font_height(scale);
          const Client least = needs(widest_default_columns, rows, smallest);
          EXPECT_EQ(whole, least.width + 2 <= area.width && least.height + 26 <= area.height)
              << "scrolls only when the smallest font does not fit";
          if (whole) {
            EXPECT_LE(fit.font_height, siz);
            const Client larger = needs(widest_default_columns, rows, fit.font_height + 1);
            EXPECT_TRUE(fit.font_height == siz || larger.width + 2 > area.width ||
                        larger.height + 26 > area.height)
                << "shrunk more than needed";
          } else {
            EXPECT_EQ(fit.font_height, smallest);
          }
          for (std::size_t i = 1; i < fit.button_lefts.size(); ++i)
            EXPECT_GE(fit.button_lefts[i], fit.button_lefts[i - 1] + 55 + 4);
          EXPECT_LE(fit.button_lefts.back() + 55, std::max(client.width, fit.scroll_size.width))
              << "Ok on the client";
          if (scale == 1.0 && screen.width >= 1024 && siz == 22) {
            EXPECT_EQ(fit.font_height, siz) << "the first-use font fits from 1024x768";
          }
        }
      }
    }
  }
}

TEST(WindowFit, FramesOfKnownScreensAndCookies) {
  struct Row {
    const char* name;
    FitRequest asked;
    WindowFit fit;
  };
  const fw::Rect screen_1280{0, 0, 1280, 1024};
  const Row rows[] = {
      {"a short cookie opens as it always did",
       request(screen_1280, 13, 3, 10, 192, 250),
       {{192, 250, 639, 3 * 13 + 60}, 13, 639, bar_at(36), {299, 28 + 39 + 4}}},
      {"the widest row widens the frame and the bar stays centred",
       request(screen_1280, 22, 3, 80, 192, 250),
       {{192, 250, 2 + 4 + 880 + 4, 3 * 22 + 60}, 22, 890, bar_at(161), {888, 28 + 66 + 4}}},
      {"decorations taller than the layout allows add to the height",
       {3, 13, 639, [](int) { return 100; }, {screen_1280, {8, 40, 8, 10}, 1.0}, 0, 0},
       {{0, 0, 639, 50 + 28 + 39 + 4}, 13, 639, bar_at(36), {299, 28 + 39 + 4}}},
      {"28 points shrink to the largest font whose rows and columns fit 800x600",
       request({0, 0, 800, 600}, 29, 25, 80, 100, 100),
       {{70, 65, 730, 25 * 19 + 60}, 19, 730, bar_at(81), {728, 28 + 475 + 4}}},
      {"a window past the work area's far corner is pulled back onto it",
       request({100, 50, 1024, 700}, 13, 2, 10, 5000, 5000),
       {{100 + 1024 - 639, 50 + 700 - 86, 639, 86}, 13, 639, bar_at(36), {299, 28 + 26 + 4}}},
      {"a work area narrower than wit takes the frame's width and the bar moves in",
       request({-640, 0, 600, 480}, 12, 2, 10, -900, 0),
       {{-640, 0, 600, 84}, 12, 600, bar_at(16), {299, 28 + 24 + 4}}},
      {"640 x 480 at scale 2 shows the text whole in 7 pixels and the bar spread evenly",
       request({0, 0, 320, 240}, 22, 25, 80, 0, 0, 2.0),
       {{0, 0, 320, 235}, 7, 320, bar_spread(63), {299, 28 + 175 + 4}}},
      {"below 12 pixels of the screen's own the window scrolls",
       request({0, 0, 200, 150}, 22, 25, 80, 0, 0, 2.0),
       {{0, 0, 200, 150}, 6, 2 + 299, bar_spread(59), {299, 28 + 150 + 4}}},
      {"a font chosen smaller than the smallest is kept when it scrolls",
       request({0, 0, 320, 240}, 10, 25, 80),
       {{0, 0, 320, 240}, 10, 2 + 328, bar_spread(66), {328, 28 + 250 + 4}}},
  };
  for (const Row& row : rows) EXPECT_EQ(fit_window(row.asked), row.fit) << row.name;
}

}  // namespace
