// The button bar's geometry, the display font, the groove and the rows.
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "database/database.h"
#include "settings/settings.h"
#include "viewer_fixture.h"

namespace viewer_test {
namespace {

using fw::scripted::click;
using fw::scripted::dialogs;
using fw::scripted::scripted_colour;
using fw::scripted::then;
using fw::scripted::windows;

struct BarCase {
  int wit_written;
  int wit_used;
  int new_left;
};

class ButtonBarTest : public ViewerTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(ButtonBarTest, FiveButtonsInCreationOrderShiftedByTheBarOffset) {
  write_settings(3, "Courier New", 13, GetParam().wit_written);
  click(app::CM_OK);
  ASSERT_EQ(run(), 0);

  const auto& cycle = windows.cycles.at(0);
  EXPECT_EQ(frame_of(cycle).rect.width, GetParam().wit_used);
  EXPECT_EQ(frame_of(cycle).rect.x, (1280 - GetParam().wit_used) / 2);
  const auto buttons = fw::scripted::buttons_of(cycle);
  ASSERT_EQ(buttons.size(), 5u);
  const int offset = GetParam().new_left - 18;
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
    EXPECT_EQ(buttons[i]->rect.x, offset + expected[i].left) << expected[i].label;
    EXPECT_EQ(buttons[i]->rect.y, 1);
    EXPECT_EQ(buttons[i]->rect.width, 55);
    EXPECT_EQ(buttons[i]->rect.height, 20);
  }
  const auto* client = fw::scripted::client_of(cycle);
  EXPECT_TRUE(client->has_background);
  EXPECT_EQ(client->background, scripted_colour(fw::SystemColour::menu));
  EXPECT_EQ(client->parent, cycle.frame);
}

INSTANTIATE_TEST_SUITE_P(Widths, ButtonBarTest,
                         ::testing::Values(BarCase{567, 567, 18}, BarCase{639, 639, 54},
                                           BarCase{1280, 1280, 374}, BarCase{1281, 639, 54},
                                           BarCase{566, 639, 54}),
                         [](const auto& info) {
                           return "Wit" + std::to_string(info.param.wit_written);
                         });

class GrooveTest : public ViewerTest, public ::testing::WithParamInterface<int> {};

TEST_P(GrooveTest, TwoRowsPixelByPixelWithTheColourReadForEach) {
  const int wit = GetParam();
  write_settings(0, "Courier New", 13, wit);
  int reads_before = 0;
  then([&] { reads_before = windows.colour_reads; });
  fw::scripted::paint();
  then([&] {
    // One read per pixel and one for the text background.
    EXPECT_EQ(windows.colour_reads - reads_before, 2 * (wit - 22) + 1);
  });
  click(app::CM_OK);
  ASSERT_EQ(run(), 0);

  const auto& paints = windows.cycles.at(0).paints;
  ASSERT_EQ(paints.size(), 2u);  // the first showing and the scripted one
  const auto& pixels = paints[1].pixels;
  ASSERT_EQ(pixels.size(), 2u * static_cast<std::size_t>(wit - 22));
  const std::size_t row_length = static_cast<std::size_t>(wit - 22);
  for (std::size_t i = 0; i < row_length; ++i) {
    const auto& lower = pixels[i];
    const auto& upper = pixels[row_length + i];
    ASSERT_EQ(lower.y, 26);
    ASSERT_EQ(lower.x, 6 + static_cast<int>(i));
    ASSERT_EQ(lower.colour, scripted_colour(fw::SystemColour::highlight_text));
    ASSERT_EQ(upper.y, 25);
    ASSERT_EQ(upper.x, 5 + static_cast<int>(i));
    ASSERT_EQ(upper.colour, scripted_colour(fw::SystemColour::inactive_caption));
  }
  EXPECT_EQ(pixels[row_length - 1].x, wit - 17);
  EXPECT_EQ(pixels.back().x, wit - 18);
  EXPECT_TRUE(paints[1].erased);
  EXPECT_EQ(paints[1].erased_with, scripted_colour(fw::SystemColour::menu));
}

INSTANTIATE_TEST_SUITE_P(Widths, GrooveTest, ::testing::Values(639, 567, 1280),
                         [](const auto& info) { return "Wit" + std::to_string(info.param); });

TEST_F(ViewerTest, GrooveFor639CoversSixTo622AndFiveTo621) {
  write_settings(0, "Courier New", 13, 639);
  click(app::CM_OK);
  ASSERT_EQ(run(), 0);
  const auto& pixels = windows.cycles.at(0).paints.at(0).pixels;
  ASSERT_EQ(pixels.size(), 2u * 617u);
  EXPECT_EQ(pixels.front().x, 6);
  EXPECT_EQ(pixels[616].x, 622);
  EXPECT_EQ(pixels[617].x, 5);
  EXPECT_EQ(pixels.back().x, 621);
}

TEST_F(ViewerTest, RowsAreRunsOfTheGridInTheDisplayFontOneSizApart) {
  write_settings(0, "Courier New Bold Italic", 17, 639);
  click(app::CM_OK);
  ASSERT_EQ(run(), 0);

  ASSERT_EQ(windows.fonts.size(), 1u);
  const fw::FontSpec& font_spec = windows.fonts[0].font_spec;
  EXPECT_EQ(font_spec.face, "Courier New Bold Italic");
  EXPECT_EQ(font_spec.height, 17);
  EXPECT_TRUE(windows.fonts[0].deleted);  // released with its window
  EXPECT_EQ(windows.font_double_deletes, 0);

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
  EXPECT_EQ(paint.font_at_end, 0);
  EXPECT_EQ(paint.text_backgrounds,
            (std::vector<fw::Colour>{scripted_colour(fw::SystemColour::menu)}));
}

TEST_F(ViewerTest, AFontThatCannotBeMadeIsProblemNine) {
  write_settings(0, "Courier New", 13, 639);
  windows.fail_fonts = true;
  EXPECT_EQ(run(), -1);
  EXPECT_TRUE(process_ended());
  ASSERT_EQ(dialogs.box_calls.size(), 1u);
  EXPECT_EQ(dialogs.box_calls[0].text, "Illegal font specified. Choose another.");
  EXPECT_TRUE(windows.cycles.at(0).paints.empty());
}

// Painting a window whose set-up never ran: no font to select or restore.
class PaintWithoutWindowTest : public ViewerTest {
 protected:
  fw::scripted::PaintRecord paint_grid(const char* text, std::size_t length) {
    std::memset(database::choice.display_grid, 0, sizeof database::choice.display_grid);
    std::memcpy(database::choice.display_grid, text, length);
    app::TMainWindow window;
    fw::scripted::PaintRecord record;
    fw::scripted::RecordingContext dc(record);
    window.paint_cookie(dc);
    return record;
  }
};

TEST_F(PaintWithoutWindowTest, MissingFontSkipsTheSelectAndLineFeedsEndRows) {
  settings::current.wit = 639;
  settings::current.siz = 10;
  const std::string long_line(80, 'x');
  const std::string text = "ab\ncd\n\n" + long_line + "\nz";
  const auto record = paint_grid(text.c_str(), text.size());

  EXPECT_TRUE(record.font_selections.empty());
  EXPECT_EQ(record.pixels.size(), 2u * 617u);
  ASSERT_EQ(record.runs.size(), 5u);
  const char* expected[] = {"ab", "cd", "", long_line.c_str(), "z"};
  for (std::size_t k = 0; k < record.runs.size(); ++k) {
    EXPECT_EQ(record.runs[k].text, expected[k]);
    EXPECT_EQ(record.runs[k].y, 28 + 10 * static_cast<int>(k));
    EXPECT_EQ(record.runs[k].font, 0);
  }
}

TEST_F(PaintWithoutWindowTest, AGridWithoutTerminatorStopsAtItsCapacity) {
  settings::current.siz = 12;
  const std::size_t capacity = sizeof database::choice.display_grid;
  const std::string full(capacity, 'q');
  const auto record = paint_grid(full.data(), capacity);
  ASSERT_EQ(record.runs.size(), capacity / 80 + 1);
  EXPECT_EQ(record.runs.back().text, std::string(capacity % 80, 'q'));
}

}  // namespace
}  // namespace viewer_test
