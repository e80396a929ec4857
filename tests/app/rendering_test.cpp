// The button bar's geometry, the display font, the groove and the rows.
#include <string>
#include <tuple>
#include <vector>

#include "app/main_window.h"
#include "database/database.h"
#include "settings/settings.h"
#include "viewer_fixture.h"

namespace viewer_test {
namespace {

using fw::SystemColour;
using fw::scripted::click;
using fw::scripted::scripted_colour;
using fw::scripted::windows;

// wit as written, as used, and where New starts; the groove follows the wit used.
struct BarCase {
  int wit_written;
  int wit;
  int new_left;
};

class ButtonBarAndGroove : public ViewerTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(ButtonBarAndGroove, FollowTheWidth) {
  const int wit = GetParam().wit;
  write_settings(3, "Courier New", 13, GetParam().wit_written);
  click(app::CM_OK);
  ASSERT_EQ(run(), 0);

  const auto& cycle = windows.cycles.at(0);
  EXPECT_EQ(frame_of(cycle).rect.width, wit);
  EXPECT_EQ(frame_of(cycle).rect.x, (1280 - wit) / 2);
  const auto buttons = fw::scripted::buttons_of(cycle);
  ASSERT_EQ(buttons.size(), 5u);
  const struct {
    int id;
    const char* label;
    int left;
  } expected[] = {{104, "Ok", 480},
                  {101, "New", 18},
                  {105, "Prev", 90},
                  {102, "Config", 163},
                  {103, "About", 323}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(buttons[i]->id, expected[i].id);
    EXPECT_EQ(buttons[i]->title, expected[i].label);
    const fw::Rect& r = buttons[i]->rect;
    EXPECT_EQ(std::make_tuple(r.x, r.y, r.width, r.height),
              std::make_tuple(GetParam().new_left - 18 + expected[i].left, 1, 55, 20))
        << expected[i].label;
  }

  // Lower row first, from x = 6, then the upper from x = 5, both wit - 22 long.
  const auto& paint = cycle.paints.at(0);
  EXPECT_EQ(paint.erased_with, scripted_colour(SystemColour::menu));
  const auto length = static_cast<std::size_t>(wit - 22);
  ASSERT_EQ(paint.pixels.size(), 2 * length);
  for (std::size_t i = 0; i < 2 * length; ++i) {
    const bool lower = i < length;
    const auto& pixel = paint.pixels[i];
    ASSERT_EQ(pixel.x, (lower ? 6 : 5) + static_cast<int>(lower ? i : i - length));
    ASSERT_EQ(pixel.y, lower ? 26 : 25);
    ASSERT_EQ(pixel.colour, scripted_colour(lower ? SystemColour::highlight_text
                                                  : SystemColour::inactive_caption));
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, ButtonBarAndGroove,
                         ::testing::Values(BarCase{567, 567, 18}, BarCase{639, 639, 54},
                                           BarCase{1280, 1280, 374}, BarCase{1281, 639, 54},
                                           BarCase{566, 639, 54}),
                         [](const auto& info) {
                           return "Wit" + std::to_string(info.param.wit_written);
                         });

TEST_F(ViewerTest, RowsAreRunsOfTheGridInTheDisplayFontOneSizApart) {
  write_settings(0, "Courier New Bold Italic", 17, 639);
  click(app::CM_OK);
  ASSERT_EQ(run(), 0);

  ASSERT_EQ(windows.fonts.size(), 1u);
  EXPECT_EQ(windows.fonts[0].font_spec.face, "Courier New Bold Italic");
  EXPECT_EQ(windows.fonts[0].font_spec.height, 17);
  EXPECT_TRUE(windows.fonts[0].deleted);  // released with its window

  const auto& paint = windows.cycles.at(0).paints.at(0);
  const std::string grid = database::choice.display_grid;
  const std::size_t rows = grid.size() / 80;
  ASSERT_EQ(static_cast<int>(rows), rows_of(static_cast<int>(database::reader.cookie_number)));
  ASSERT_EQ(paint.runs.size(), rows);
  for (std::size_t k = 0; k < rows; ++k) {
    EXPECT_EQ(paint.runs[k].x, 4);
    EXPECT_EQ(paint.runs[k].y, 28 + static_cast<int>(k) * 17);
    EXPECT_EQ(paint.runs[k].text, grid.substr(k * 80, 80));
    EXPECT_EQ(paint.runs[k].font, 1);
  }
  // Selected before the rows, the context's own font put back after them.
  EXPECT_EQ(paint.font_selections, (std::vector<int>{1, 0}));
  EXPECT_EQ(paint.text_backgrounds, (std::vector<fw::Colour>{scripted_colour(SystemColour::menu)}));
}

TEST_F(ViewerTest, AFontThatCannotBeMadeIsProblemNine) {
  write_settings(0, "Courier New", 13, 639);
  windows.fail_fonts = true;
  EXPECT_EQ(run(), -1);
  ASSERT_EQ(fw::scripted::dialogs.box_calls.size(), 1u);
  EXPECT_EQ(fw::scripted::dialogs.box_calls[0].text, "Illegal font specified. Choose another.");
  EXPECT_TRUE(windows.cycles.at(0).paints.empty());
}

// A window whose set-up never ran has no font to select or give back.
TEST_F(ViewerTest, PaintWithoutDisplayFontDrawsInTheContextsOwn) {
  settings::current.wit = 639;
  std::string grid(160, 'x');
  grid.copy(database::choice.display_grid, grid.size());
  app::TMainWindow window;
  fw::scripted::PaintRecord record;
  fw::scripted::RecordingContext dc(record);
  window.paint_cookie(dc);
  EXPECT_TRUE(record.font_selections.empty());
  ASSERT_EQ(record.runs.size(), 2u);
  EXPECT_EQ(record.runs[1].font, 0);
}

}  // namespace
}  // namespace viewer_test
