// The client window in which a cookie is read: the button bar, the groove,
// the cookie's rows, and the five commands.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/viewer_state.h"
#include "app/window_fit.h"
#include "framework/framework.h"

namespace app {

inline constexpr int CM_NEW = 101;
inline constexpr int CM_CONFIG = 102;
inline constexpr int CM_ABOUT = 103;
inline constexpr int CM_OK = 104;
inline constexpr int CM_PREV = 105;

// The About box's text; the count line only for a count that is known.
std::string about_text(std::optional<std::uint32_t> cookie_count);
// The cookie count in a data file's header; none when it cannot be read.
std::optional<std::uint32_t> cookie_count_of(const char* data_file);
inline constexpr const char* about_caption = "About Drollbox...";

inline constexpr int button_top = 1;
inline constexpr int button_width = bar_button_width;
inline constexpr int button_height = 20;

// Centres the bar of a 567-pixel-wide layout in a window wit pixels wide.
inline constexpr int bar_offset(int wit) {
  return (wit - 567) / 2;
}

class TMainWindow : public fw::TWindow {
 public:
  explicit TMainWindow(ViewerState& state);
  ~TMainWindow() override;

  void paint(fw::PaintContext& dc) override { paint_cookie(dc); }
  void set_up_window() override;
  bool find_command(int id) override;
  // The fitting rule of window_fit.h, for the cookie on its way to screen.
  void fit_frame(fw::TFrameWindow& frame) override;

  // Where the frame is wanted before it is fitted to its screen.
  int wanted_x = 0;
  int wanted_y = 0;

  void paint_cookie(fw::PaintContext& dc);
  void make_display_font(int height);
  const fw::TFont* display_font() const { return display_font_.get(); }
  int row_pitch() const { return font_height_; }
  const viewer_model::LaidOutCookie& cookie() const { return state_.cookie; }

  void on_new();
  void on_prev();
  void on_config();
  void on_about();
  void on_ok();
  void show_about();

 private:
  int widest_row(int font_height) const;
  // The next cookie prepared while this window is still up, then a new window for it.
  void restart();
  ViewerState& state_;
  std::unique_ptr<fw::TFont> display_font_;
  int font_height_;   // siz, unless this window shrank its font to fit
  int layout_width_;  // wit, unless this window is wider or narrower
  int placed_x_ = 0;  // where the fit put the frame
  int placed_y_ = 0;
};

}  // namespace app
