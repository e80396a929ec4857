// The test backend's windows. Windows are plain records; a test queues a
// script of actions (clicks, close box, paints, callbacks) before it runs the
// program, and looks at every Window cycle's records afterwards.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/framework.h"

namespace fw::scripted {

// A script that cannot go on (empty while the loop runs, a click on a
// button that is not there) is the test's own error.
struct ScriptError : std::logic_error {
  using std::logic_error::logic_error;
};

struct WindowRecord {
  int serial = 0;  // index in Windows::records
  int parent = -1;
  std::vector<int> children;
  std::string title;
  Rect rect;
  int id = 0;
  std::string icon;
  bool is_frame = false;
  Colour background;
  bool has_background = false;
  bool alive = true;
  bool shown = false;
  int close_requests = 0;     // sent or posted
  TWindow* window = nullptr;  // null once destroyed
};

struct FontRecord {
  int serial = 0;  // 1-based; 0 in a text run means the context's own font
  FontSpec font_spec;
  bool deleted = false;
};

struct Pixel {
  int x = 0;
  int y = 0;
  Colour colour;
};

struct TextRun {
  int x = 0;
  int y = 0;
  std::string text;
  int font = 0;
};

struct PaintRecord {
  Colour erased_with;
  std::vector<Pixel> pixels;
  std::vector<int> font_selections;  // in order, 0 for the context's own font
  std::vector<TextRun> runs;
  std::vector<Colour> text_backgrounds;
};

struct CycleRecord {
  int frame = -1;
  std::vector<PaintRecord> paints;
  bool loop_ended = false;
  int status = 0;
};

struct Windows {
  std::deque<WindowRecord> records;
  std::deque<FontRecord> fonts;
  std::vector<CycleRecord> cycles;  // one per frame created
  std::deque<std::function<void()>> script;
  std::deque<int> posted_closes;
  bool fail_fonts = false;
  bool loop_running = false;
  bool paint_pending = false;
  int loop_status = 0;
};
extern Windows windows;

void reset_windows();

// The colour system_colour gives: fixed and distinct for each.
Colour scripted_colour(SystemColour which);

// The serial of the scripted font behind font; 0 for none.
int font_serial(const TFont* font);

// A paint context that writes everything drawn into record.
class RecordingContext : public PaintContext {
 public:
  explicit RecordingContext(PaintRecord& record) : record_(record) {}
  void set_pixel(int x, int y, Colour colour) override;
  void text_out(int x, int y, const char* text, int length) override;
  const TFont* select_font(const TFont* font) override;
  Colour set_text_background(Colour colour) override;

 private:
  PaintRecord& record_;
  const TFont* font_ = nullptr;
  Colour background_ = rgb(255, 255, 255);
};

// Script actions, run one at a time by the event loop.
void click(int command_id);  // BN_CLICKED from the live button with that id
void close_box();            // a close request on the current frame itself
void paint();                // a paint request for the current frame's client
void then(std::function<void()> action);

// Immediate helpers for tests and actions.
WindowRecord* current_frame();  // the newest frame still alive, or null
const WindowRecord& record_of(const TWindow& window);
const FontRecord* font_of(int serial);
// The buttons of a cycle's client, in creation order.
std::vector<const WindowRecord*> buttons_of(const CycleRecord& cycle);
const WindowRecord* client_of(const CycleRecord& cycle);

}  // namespace fw::scripted
