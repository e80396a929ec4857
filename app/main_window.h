// The client window in which a cookie is read: the button bar, the groove,
// the cookie's rows, and the five commands.
#pragma once

#include <memory>

#include "framework/framework.h"

namespace app {

inline constexpr int CM_NEW = 101;
inline constexpr int CM_CONFIG = 102;
inline constexpr int CM_ABOUT = 103;
inline constexpr int CM_OK = 104;
inline constexpr int CM_PREV = 105;

extern const char* const about_text;
inline constexpr const char* about_caption = "About Drollbox...";

inline constexpr int button_top = 1;
inline constexpr int button_width = 55;
inline constexpr int button_height = 20;

// Centres the bar of a 567-pixel-wide layout in a window wit pixels wide.
inline constexpr int bar_offset(int wit) {
  return (wit - 567) / 2;
}

class TMainWindow : public fw::TWindow {
 public:
  TMainWindow();
  ~TMainWindow() override;

  void paint(fw::PaintContext& dc) override { paint_cookie(dc); }
  void set_up_window() override;
  bool find_command(int id) override;

  void paint_cookie(fw::PaintContext& dc);
  void make_display_font(int height);
  const fw::TFont* display_font() const { return display_font_.get(); }

  void on_new();
  void on_prev();
  void on_config();
  void on_about();
  void on_ok();
  void show_about();

 private:
  int layout_width() const;
  std::unique_ptr<fw::TFont> display_font_;
};

}  // namespace app
