// The small windowing layer the viewer is built on: an application object
// with its event loop, a frame window that adopts a client, windows with
// paint / set-up / command-table hooks, push buttons, fonts and a paint
// context. Portable; a backend (framework/<name>/) supplies the platform
// half through the hooks in backend.h and is chosen at link time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialogs.h"

namespace fw {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

inline constexpr Colour rgb(unsigned r, unsigned g, unsigned b) {
  return Colour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                static_cast<std::uint8_t>(b)};
}

// The desktop's colours the viewer paints with, read at the moment of use.
enum class SystemColour { menu, inactive_caption, highlight_text };
Colour system_colour(SystemColour which);

// A font of regular weight, upright. A positive height is the character
// cell (the line height) in pixels, a negative one the character height, 0
// the platform's default.
struct FontRequest {
  std::string face;
  int height = 0;
};

// A font object owning its platform font.
class TFont {
 public:
  // Null when the font cannot be made (no memory, or the platform refuses).
  static std::unique_ptr<TFont> create(const FontRequest& font_request);
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  const FontRequest& font_request() const { return request_; }
  // How far a run of 8-bit (Windows-1252) characters reaches to the right
  // of where it is drawn, in layout pixels.
  int text_width(const char* text, int length) const;
  void* handle() const { return handle_; }

 private:
  TFont(const FontRequest& font_request, void* handle) : request_(font_request), handle_(handle) {}
  FontRequest request_;
  void* handle_;
};

// Drawing operations of one paint request; the backend implements it.
class PaintContext {
 public:
  virtual ~PaintContext() = default;
  virtual void set_pixel(int x, int y, Colour colour) = 0;
  // One run of 8-bit (Windows-1252) characters, top-left corner at (x, y).
  virtual void text_out(int x, int y, const char* text, int length) = 0;
  // Selects font (null: the context's own font); returns the one it replaced.
  virtual const TFont* select_font(const TFont* font) = 0;
  // Background of text cells, drawn opaque; returns the previous colour.
  virtual Colour set_text_background(Colour colour) = 0;
};

// Every place and size of the framework is in layout pixels: pixels of a
// 96-dpi screen, which a backend scales by its screen's dpi.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// What a frame's caption and borders add around its client.
struct Margins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Margins&) const = default;
};

// The screen a frame lies on, as far as fitting the frame to it goes.
struct Screen {
  Rect work_area;       // the desktop without its panels and task bars
  Margins decorations;  // the frame's, as they are or will be on this screen
  double scale = 1.0;   // device pixels per layout pixel
};

class TFrameWindow;

// The screen holding the point (x, y), with the decorations frame gets there.
Screen screen_at(const TFrameWindow& frame, int x, int y);

class TWindow {
 public:
  // A window with a parent becomes one of its children and is deleted with it.
  explicit TWindow(TWindow* parent, const char* title = "");
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  // Called for every paint request, after the backend erased the background.
  virtual void paint(PaintContext& dc);
  // Runs once the platform window exists; the base creates the children's.
  virtual void set_up_window();
  // The command table: true when id was found and its handler ran.
  virtual bool find_command(int id);
  // Asked of a frame's client before the frame is made, and again whenever
  // the frame's screen, decorations or dpi change: sets the frame's rect and
  // its own layout (children's rects, scroll_size). The base keeps them.
  virtual void fit_frame(TFrameWindow& frame);

  // Creates the platform window, then runs set_up_window.
  void create();
  // Sends a close request to the platform window and waits until it is handled.
  void close_window();
  void set_background(Colour colour);

  // Entry points for the backend.
  void handle_command(int id);
  void handle_paint(PaintContext& dc);
  void handle_close();      // a close request arrived: destroy the window
  void handle_destroyed();  // the platform window is gone

  TWindow* parent() const { return parent_; }
  const std::vector<TWindow*>& children() const { return children_; }
  bool alive() const { return peer != nullptr; }

  std::string title;
  // Frame: the whole frame on the desktop, kept where the user moves it;
  // child: in its parent's client.
  Rect rect;
  int id = 0;  // command id of a button
  // What the window paints; when larger than the client area it scrolls.
  Size scroll_size;
  Colour background;
  bool has_background = false;
  void* peer = nullptr;  // the backend's platform window

 protected:
  template <class W>
  struct Command {
    int id;
    void (W::*handler)();
  };
  // Runs the handler of id from table; false when the table lacks it.
  template <class W, std::size_t N>
  static bool run_command(W& window, const Command<W> (&table)[N], int id) {
    for (const Command<W>& entry : table) {
      if (entry.id == id) {
        (window.*entry.handler)();
        return true;
      }
    }
    return false;
  }

 private:
  TWindow* parent_;
  TFrameWindow* adopted_by_ = nullptr;  // the frame whose client this is
  std::vector<TWindow*> children_;
  bool destroying_ = false;
  friend class TFrameWindow;
};

class TButton : public TWindow {
 public:
  TButton(TWindow* parent, int id, const char* label, int x, int y, int width, int height);
};

class TFrameWindow : public TWindow {
 public:
  // Adopts client: it becomes the frame's child and is deleted with it.
  TFrameWindow(const char* title, TWindow* client);
  TWindow* client() const { return client_; }
  void set_icon(const char* resource_name) { icon = resource_name; }
  // Has the client fit the frame (rect, children, scroll_size); a backend
  // then places all of them as they say.
  void fit();

  std::string icon;

 private:
  TWindow* client_;
  friend class TWindow;
};

// One application object runs one Window cycle: make_main_window, the
// platform windows, show, and the event loop until the main window is gone.
class TApplication {
 public:
  TApplication() = default;
  virtual ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  int run();
  void set_main_window(TFrameWindow* frame);  // takes ownership
  TFrameWindow* main_window() const { return main_window_.get(); }

 protected:
  virtual void make_main_window() = 0;

 private:
  std::unique_ptr<TFrameWindow> main_window_;
};

}  // namespace fw
