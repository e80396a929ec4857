// Scripted windows: each Window cycle a record of its frame and its paints;
// the event loop runs the actions a test queued, one at a time.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/framework.h"
#include "framework/scripted/dialogs.h"

namespace fw::scripted {

struct TextRun {
  int x, y;
  std::string text;
  FontRequest font;  // the selected font's; empty for the context's own
};

struct PaintRecord {
  std::vector<std::tuple<int, int, Colour>> pixels;
  std::vector<TextRun> runs;
  std::vector<std::string> selections;  // faces selected, in order; empty for the own
  Colour text_background = rgb(255, 255, 255);
};

struct CycleRecord {
  TFrameWindow* frame = nullptr;  // null once destroyed
  std::string title, icon;
  Rect rect;
  std::vector<PaintRecord> paints;
  bool open_at_exit = false;  // the window still whole when the process ended
};

struct Windows {
  std::vector<CycleRecord> cycles;  // one per frame made
  // What the user does, and what the program posts to itself ahead of that.
  std::deque<std::function<void()>> actions;
  std::optional<int> loop_status;  // set when the running event loop is to end
  bool fail_fonts = false;
  // What screen_at reports wherever asked.
  Screen screen{{0, 0, 1280, 1024}, {}, 1.0};
};

extern Windows windows;

class RecordingContext : public PaintContext {
 public:
  explicit RecordingContext(PaintRecord& record) : record_(record) {}
  void set_pixel(int x, int y, Colour colour) override {
    record_.pixels.emplace_back(x, y, colour);
  }
  void text_out(int x, int y, const char* text, int length) override {
    record_.runs.push_back({x, y, std::string(text, static_cast<std::size_t>(length)),
                            font_ != nullptr ? font_->font_request() : FontRequest{}});
  }
  const TFont* select_font(const TFont* font) override {
    record_.selections.push_back(font != nullptr ? font->font_request().face : "");
    return std::exchange(font_, font);
  }
  Colour set_text_background(Colour colour) override {
    return std::exchange(record_.text_background, colour);
  }

 private:
  PaintRecord& record_;
  const TFont* font_ = nullptr;
};

// Actions of the user: a click on a button of the window, or on its close box.
void click(int command_id);
void close_box();

}  // namespace fw::scripted
