// The client window in which a cookie is read: the button bar, the display
// font, the groove and the rows, the five commands and the About box.
#include "app/main_window.h"

#include <algorithm>
#include <string_view>

#include "app/refresh.h"
#include "app/title.h"
#include "app/window_fit.h"
#include "database/data_file.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace app {

namespace {

struct ButtonPlace {
  int id;
  const char* label;
  int order;  // left to right in the bar
};

// Creation order, which is also the tab order.
constexpr ButtonPlace button_places[] = {
    {CM_OK, "Ok", 4},         {CM_NEW, "New", 0},     {CM_PREV, "Prev", 1},
    {CM_CONFIG, "Config", 2}, {CM_ABOUT, "About", 3},
};

constexpr int groove_upper_row = 25;
constexpr int groove_lower_row = 26;

// Trailing blanks are drawn but never seen, so they take no room.
int shown_length(std::string_view row) {
  auto length = static_cast<int>(row.size());
  while (length > 0 && row[length - 1] == ' ') --length;
  return length;
}

}  // namespace

std::string about_text(std::optional<std::uint32_t> cookie_count) {
  std::string text = frame_title;
  text +=
      "\n"
      "WinNT/95 May '96\n"
      "Freely distributable. A cookie a day keeps the gloom away.\n"
      "\n"
      "   - the cookie bakers, for every text in the jar\n"
      "   - the context model and its arithmetic coder\n"
      "   - the testers on every supported system\n"
      "   - you, for reading\n"
      "\n"
      "Supported with following OS: Amiga, Unix,\n"
      "Digital Unix, Linux, Sun, MsDOS and WinNT/95.";
  if (cookie_count)
    text += "\nThere are " + std::to_string(*cookie_count) + " cookies for you to read :-)";
  return text;
}

std::optional<std::uint32_t> cookie_count_of(const char* data_file) {
  const database::OpenedDataFile opened = database::DataFile::open(data_file);
  if (!opened.file) return std::nullopt;
  return opened.file->cookie_count();
}

TMainWindow::TMainWindow(ViewerState& state)
    : fw::TWindow(nullptr, ""),
      state_(state),
      font_height_(settings::current.siz),
      layout_width_(settings::current.wit) {
  set_background(fw::system_colour(fw::SystemColour::menu));
  const int offset = bar_offset(settings::current.wit);
  for (const ButtonPlace& place : button_places) {
    new fw::TButton(this, place.id, place.label, offset + bar_lefts[place.order], button_top,
                    button_width, button_height);
  }
}

TMainWindow::~TMainWindow() = default;

bool TMainWindow::find_command(int id) {
  static constexpr Command<TMainWindow> commands[] = {
      {CM_NEW, &TMainWindow::on_new},       {CM_PREV, &TMainWindow::on_prev},
      {CM_CONFIG, &TMainWindow::on_config}, {CM_ABOUT, &TMainWindow::on_about},
      {CM_OK, &TMainWindow::on_ok},
  };
  return run_command(*this, commands, id) || fw::TWindow::find_command(id);
}

// The restarting commands prepare the next cookie while this window is still
// up, so a problem is reported over it and nothing is closed for nothing.
void TMainWindow::on_new() {
  restart();
}

void TMainWindow::on_prev() {
  if (request_step_back(state_.history)) restart();
}

void TMainWindow::on_config() {
  settings::run_setup();
  restart();
}

// A window the user moved has the next open where this one was left.
void TMainWindow::restart() {
  state_.lifetime.restart_request = restart_wanted;
  refresh_cookie(state_);
  const fw::TWindow* frame = parent();
  if (frame != nullptr && (frame->rect.x != placed_x_ || frame->rect.y != placed_y_))
    state_.lifetime.last_frame_origin = {frame->rect.x, frame->rect.y};
  close_window();
}

void TMainWindow::on_about() {
  show_about();
}

void TMainWindow::on_ok() {
  close_window();
}

void TMainWindow::set_up_window() {
  fw::TWindow::set_up_window();
  make_display_font(font_height_);
}

int TMainWindow::widest_row(int font_height) const {
  const std::unique_ptr<fw::TFont> font =
      fw::TFont::create({settings::current.font_text, font_height});
  if (!font) return 0;
  int widest = 0;
  for (int row = 0; row < state_.cookie.rows; ++row) {
    const std::string_view text = state_.cookie.row(row);
    widest = std::max(widest, font->text_width(text.data(), shown_length(text)));
  }
  return widest;
}

void TMainWindow::fit_frame(fw::TFrameWindow& frame) {
  const WindowFit fit =
      fit_window({state_.cookie.rows, settings::current.siz, settings::current.wit,
                  [this](int height) { return widest_row(height); },
                  fw::screen_at(frame, wanted_x, wanted_y), wanted_x, wanted_y});
  frame.rect = fit.frame;
  placed_x_ = fit.frame.x;
  placed_y_ = fit.frame.y;
  scroll_size = fit.scroll_size;
  layout_width_ = fit.layout_width;
  for (std::size_t i = 0; i < children().size() && i < std::size(button_places); ++i)
    children()[i]->rect.x = fit.button_lefts[button_places[i].order];
  if (fit.font_height != font_height_) {
    font_height_ = fit.font_height;
    if (display_font_) make_display_font(font_height_);
  }
}

// The face is font_text whole, " Bold" and " Italic" included, at normal
// weight: the platform's font matching decides what that looks like.
void TMainWindow::make_display_font(int height) {
  display_font_.reset();
  display_font_ = fw::TFont::create({settings::current.font_text, height});
  if (!display_font_) problems::report_problem(problems::problem_illegal_font);
}

void TMainWindow::paint_cookie(fw::PaintContext& dc) {
  const int wit = layout_width_;
  for (int x = 6; x < wit - 16; ++x) {
    dc.set_pixel(x, groove_lower_row, fw::system_colour(fw::SystemColour::highlight_text));
  }
  for (int x = 5; x < wit - 17; ++x) {
    dc.set_pixel(x, groove_upper_row, fw::system_colour(fw::SystemColour::inactive_caption));
  }

  const fw::TFont* previous_font = dc.select_font(display_font_.get());
  dc.set_text_background(fw::system_colour(fw::SystemColour::menu));

  for (int row = 0; row < state_.cookie.rows; ++row) {
    const std::string_view text = state_.cookie.row(row);
    dc.text_out(text_left, first_text_row + row * font_height_, text.data(),
                static_cast<int>(text.size()));
  }

  dc.select_font(previous_font);
}

void TMainWindow::show_about() {
  const std::string text = about_text(cookie_count_of(state_.data_file.c_str()));
  fw::message_box(this, text.c_str(), about_caption, fw::BoxKind::notice);
}

}  // namespace app
