// The portable half of the windowing layer: object ownership, creation
// order, command routing and the close / destroy chain of a Window cycle.
#include <algorithm>
#include <new>

#include "framework/backend.h"
#include "framework/framework.h"

namespace fw {

namespace {
TApplication* running_application = nullptr;
}

std::unique_ptr<TFont> TFont::create(const FontRequest& font_request) {
  void* handle = backend::create_font(font_request);
  if (handle == nullptr) return nullptr;
  std::unique_ptr<TFont> font(new (std::nothrow) TFont(font_request, handle));
  if (!font) backend::delete_font(handle);
  return font;
}

TFont::~TFont() {
  backend::delete_font(handle_);
}

int TFont::text_width(const char* text, int length) const {
  return backend::text_width(handle_, text, length);
}

TWindow::TWindow(TWindow* parent, const char* title) : title(title ? title : ""), parent_(parent) {
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

TWindow::~TWindow() {
  if (alive()) {
    destroying_ = true;
    backend::destroy_window(*this);
  }
  for (TWindow* child : children_) {
    child->parent_ = nullptr;
    delete child;
  }
  if (parent_ != nullptr) std::erase(parent_->children_, this);
}

void TWindow::paint(PaintContext&) {}

void TWindow::set_up_window() {
  for (TWindow* child : children_) child->create();
}

bool TWindow::find_command(int) {
  return false;
}

void TWindow::fit_frame(TFrameWindow&) {}

void TWindow::create() {
  backend::create_window(*this);
  set_up_window();
}

void TWindow::close_window() {
  if (alive()) backend::send_close(*this);
}

void TWindow::set_background(Colour colour) {
  background = colour;
  has_background = true;
}

void TWindow::handle_command(int command_id) {
  find_command(command_id);
}

void TWindow::handle_paint(PaintContext& dc) {
  paint(dc);
}

void TWindow::handle_close() {
  if (!alive() || destroying_) return;
  destroying_ = true;
  backend::destroy_window(*this);
}

// A destroyed client makes its frame close itself; a destroyed main window
// ends the Window cycle's event loop with status 0.
void TWindow::handle_destroyed() {
  peer = nullptr;
  TFrameWindow* frame = adopted_by_;
  if (frame != nullptr && frame->alive() && !frame->destroying_) backend::post_close(*frame);
  if (running_application != nullptr && this == running_application->main_window()) {
    backend::end_event_loop(0);
  }
}

TButton::TButton(TWindow* parent, int command_id, const char* label, int x, int y, int width,
                 int height)
    : TWindow(parent, label) {
  id = command_id;
  rect = {x, y, width, height};
}

TFrameWindow::TFrameWindow(const char* title, TWindow* client)
    : TWindow(nullptr, title), client_(client) {
  if (client_ != nullptr) {
    client_->parent_ = this;
    client_->adopted_by_ = this;
    children_.push_back(client_);
  }
}

void TFrameWindow::fit() {
  if (client_ != nullptr) client_->fit_frame(*this);
}

TApplication::~TApplication() = default;

void TApplication::set_main_window(TFrameWindow* frame) {
  main_window_.reset(frame);
}

int TApplication::run() {
  // Restored however the cycle ends, so a window destroyed later never
  // reports to an application that is no longer running.
  struct Running {
    TApplication* outer = running_application;
    ~Running() { running_application = outer; }
  } running;
  running_application = this;
  make_main_window();
  if (!main_window_) return 0;
  main_window_->fit();
  main_window_->create();
  backend::show_window(*main_window_);
  return backend::run_event_loop();
}

}  // namespace fw
