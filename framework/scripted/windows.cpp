// The windows half of the scripted backend: the hooks of backend.h over plain
// records, and an event loop that runs the test's script.
#include "framework/scripted/windows.h"

#include <utility>

#include "framework/backend.h"

namespace fw::scripted {

Windows windows;

void reset_windows() {
  windows = Windows{};
}

Colour scripted_colour(SystemColour which) {
  const auto index = static_cast<unsigned>(which);
  return rgb(16 + index, 160 - index, 64 + 3 * index);
}

namespace {

WindowRecord& record_at(int serial) {
  if (serial < 0 || serial >= static_cast<int>(windows.records.size()))
    throw ScriptError("no such window");
  return windows.records[static_cast<std::size_t>(serial)];
}

WindowRecord& record_for(const TWindow& window) {
  if (window.peer == nullptr)
    throw ScriptError("window '" + window.title + "' has no platform window");
  return *static_cast<WindowRecord*>(window.peer);
}

CycleRecord& cycle_of_frame(int frame_serial) {
  for (CycleRecord& cycle : windows.cycles) {
    if (cycle.frame == frame_serial) return cycle;
  }
  throw ScriptError("frame without a cycle");
}

void paint_window(WindowRecord& target) {
  if (!target.alive || target.window == nullptr)
    throw ScriptError("paint of a window that is gone");
  int frame = target.serial;
  while (!record_at(frame).is_frame) frame = record_at(frame).parent;

  PaintRecord record;
  record.erased_with = target.window->background;
  RecordingContext dc(record);
  target.window->handle_paint(dc);
  cycle_of_frame(frame).paints.push_back(std::move(record));
}

WindowRecord* client_record(const WindowRecord& frame) {
  for (int child : frame.children) {
    WindowRecord& record = record_at(child);
    if (record.alive) return &record;
  }
  return nullptr;
}

WindowRecord* live_button(const WindowRecord& frame, int command_id) {
  WindowRecord* client = client_record(frame);
  if (client == nullptr) return nullptr;
  for (int child : client->children) {
    WindowRecord& record = record_at(child);
    if (record.alive && record.id == command_id) return &record;
  }
  return nullptr;
}

void destroy_tree(TWindow& window) {
  if (!window.alive()) return;
  WindowRecord& record = record_for(window);
  record.alive = false;
  record.window = nullptr;
  const std::vector<TWindow*> children = window.children();
  window.handle_destroyed();
  for (TWindow* child : children) destroy_tree(*child);
}

}  // namespace

WindowRecord* current_frame() {
  for (auto it = windows.records.rbegin(); it != windows.records.rend(); ++it) {
    if (it->is_frame && it->alive) return &*it;
  }
  return nullptr;
}

const WindowRecord& record_of(const TWindow& window) {
  return record_for(window);
}

int font_serial(const TFont* font) {
  if (font == nullptr) return 0;
  return static_cast<const FontRecord*>(font->handle())->serial;
}

void RecordingContext::set_pixel(int x, int y, Colour colour) {
  record_.pixels.push_back({x, y, colour});
}

void RecordingContext::text_out(int x, int y, const char* text, int length) {
  record_.runs.push_back(
      {x, y, std::string(text, static_cast<std::size_t>(length)), font_serial(font_)});
}

const TFont* RecordingContext::select_font(const TFont* font) {
  const TFont* previous = font_;
  font_ = font;
  record_.font_selections.push_back(font_serial(font));
  return previous;
}

Colour RecordingContext::set_text_background(Colour colour) {
  Colour previous = background_;
  background_ = colour;
  record_.text_backgrounds.push_back(colour);
  return previous;
}

const FontRecord* font_of(int serial) {
  if (serial < 1 || serial > static_cast<int>(windows.fonts.size())) return nullptr;
  return &windows.fonts[static_cast<std::size_t>(serial - 1)];
}

const WindowRecord* client_of(const CycleRecord& cycle) {
  const WindowRecord& frame = record_at(cycle.frame);
  return frame.children.empty() ? nullptr : &record_at(frame.children.front());
}

std::vector<const WindowRecord*> buttons_of(const CycleRecord& cycle) {
  std::vector<const WindowRecord*> buttons;
  const WindowRecord* client = client_of(cycle);
  if (client == nullptr) return buttons;
  for (int child : client->children) buttons.push_back(&record_at(child));
  return buttons;
}

void click(int command_id) {
  windows.script.push_back([command_id] {
    WindowRecord* frame = current_frame();
    WindowRecord* button = frame ? live_button(*frame, command_id) : nullptr;
    if (button == nullptr)
      throw ScriptError("no live button with id " + std::to_string(command_id));
    button->window->parent()->handle_command(command_id);
  });
}

void close_box() {
  windows.script.push_back([] {
    WindowRecord* frame = current_frame();
    if (frame == nullptr) throw ScriptError("close box without a frame");
    ++frame->close_requests;
    frame->window->handle_close();
  });
}

void paint() {
  windows.script.push_back([] {
    WindowRecord* frame = current_frame();
    WindowRecord* client = frame ? client_record(*frame) : nullptr;
    if (client == nullptr) throw ScriptError("paint without a client window");
    paint_window(*client);
  });
}

void then(std::function<void()> action) {
  windows.script.push_back(std::move(action));
}

}  // namespace fw::scripted

namespace fw {

using namespace fw::scripted;

Colour system_colour(SystemColour which) {
  return scripted_colour(which);
}

namespace backend {

void create_window(TWindow& window) {
  WindowRecord record;
  record.serial = static_cast<int>(windows.records.size());
  if (window.parent() != nullptr) record.parent = record_for(*window.parent()).serial;
  record.title = window.title;
  record.rect = window.rect;
  record.id = window.id;
  record.background = window.background;
  record.has_background = window.has_background;
  record.window = &window;
  if (auto* frame = dynamic_cast<TFrameWindow*>(&window);
      frame != nullptr && window.parent() == nullptr) {
    record.is_frame = true;
    record.icon = frame->icon;
  }
  windows.records.push_back(std::move(record));
  WindowRecord& stored = windows.records.back();
  if (stored.parent >= 0) record_at(stored.parent).children.push_back(stored.serial);
  if (stored.is_frame) windows.cycles.push_back(CycleRecord{stored.serial, {}, false, 0});
  window.peer = &stored;
}

void show_window(TFrameWindow& frame) {
  record_for(frame).shown = true;
  windows.paint_pending = true;
}

void destroy_window(TWindow& window) {
  destroy_tree(window);
}

void send_close(TWindow& window) {
  if (!window.alive()) return;
  WindowRecord& record = record_for(window);
  ++record.close_requests;
  window.handle_close();
}

void post_close(TWindow& window) {
  if (!window.alive()) return;
  WindowRecord& record = record_for(window);
  ++record.close_requests;
  windows.posted_closes.push_back(record.serial);
}

int run_event_loop() {
  if (windows.loop_running) throw ScriptError("event loop entered twice");
  windows.loop_running = true;
  windows.loop_status = 0;
  struct Stop {
    ~Stop() {
      windows.loop_running = false;
      windows.paint_pending = false;
      windows.posted_closes.clear();
    }
  } stop;
  while (windows.loop_running) {
    if (!windows.posted_closes.empty()) {
      WindowRecord& target = record_at(windows.posted_closes.front());
      windows.posted_closes.pop_front();
      if (target.alive && target.window != nullptr) target.window->handle_close();
    } else if (windows.paint_pending) {
      windows.paint_pending = false;
      if (WindowRecord* frame = current_frame()) {
        if (WindowRecord* client = client_record(*frame)) paint_window(*client);
      }
    } else if (windows.script.empty()) {
      throw ScriptError("the script ran out while the event loop runs");
    } else {
      std::function<void()> action = std::move(windows.script.front());
      windows.script.pop_front();
      action();
    }
  }
  return windows.loop_status;
}

void end_event_loop(int status) {
  if (!windows.loop_running) return;
  windows.loop_running = false;
  windows.loop_status = status;
  if (!windows.cycles.empty()) {
    windows.cycles.back().loop_ended = true;
    windows.cycles.back().status = status;
  }
}

void* create_font(const FontSpec& font_spec) {
  if (windows.fail_fonts) return nullptr;
  windows.fonts.push_back(FontRecord{static_cast<int>(windows.fonts.size()) + 1, font_spec, false});
  return &windows.fonts.back();
}

void delete_font(void* handle) {
  if (handle == nullptr) return;
  auto* font = static_cast<FontRecord*>(handle);
  font->deleted = true;
}

}  // namespace backend
}  // namespace fw
