// The scripted backend: the hooks of backend.h and the dialogs over plain
// records, for tests that run the viewer without a display.
#include <stdexcept>
#include <utility>

#include "framework/backend.h"
#include "framework/scripted/scripted_windows.h"

namespace fw {

using namespace fw::scripted;

DialogScript scripted::dialogs;
Windows scripted::windows;

template <class T>
static T take(std::deque<T>& queue, T otherwise = T{}) {
  if (queue.empty()) return otherwise;
  T first = std::move(queue.front());
  queue.pop_front();
  return first;
}

Colour system_colour(SystemColour which) {
  const auto index = static_cast<unsigned>(which);
  return rgb(16 + index, 160 - index, 64 + 3 * index);
}

Screen screen_at(const TFrameWindow&, int, int) {
  return windows.screen;
}

Answer message_box(const TWindow* owner, const char* text, const char* caption, BoxKind kind) {
  dialogs.box_calls.push_back({owner, text, caption, kind});
  return take(dialogs.box_answers, kind == BoxKind::question ? Answer::cancel : Answer::none);
}

std::optional<FontChoice> choose_font(const FontChoice& shown) {
  dialogs.font_calls.push_back({shown});
  return take(dialogs.font_answers);
}

void exit_process(int status) {
  if (!windows.cycles.empty() && windows.cycles.back().frame != nullptr)
    windows.cycles.back().open_at_exit = windows.cycles.back().frame->client()->alive();
  throw ProcessExit{status};
}

void scripted::click(int command_id) {
  windows.actions.push_back([command_id] {
    TWindow* client = windows.cycles.back().frame->client();
    for (const TWindow* button : client->children()) {
      if (button->id == command_id) return client->handle_command(command_id);
    }
    throw std::logic_error("no button " + std::to_string(command_id));
  });
}

void scripted::close_box() {
  windows.actions.push_back([] { windows.cycles.back().frame->handle_close(); });
}

namespace backend {

void create_window(TWindow& window) {
  window.peer = &window;
  if (auto* frame = dynamic_cast<TFrameWindow*>(&window))
    windows.cycles.push_back({frame, frame->title, frame->icon, frame->rect, {}});
}

void show_window(TFrameWindow& frame) {
  windows.actions.push_front([&frame] {
    RecordingContext dc(windows.cycles.back().paints.emplace_back());
    frame.client()->handle_paint(dc);
  });
}

void destroy_window(TWindow& window) {
  if (!window.alive()) return;
  if (windows.cycles.back().frame == &window) windows.cycles.back().frame = nullptr;
  const std::vector<TWindow*> children = window.children();
  window.handle_destroyed();
  for (TWindow* child : children) destroy_window(*child);
}

void send_close(TWindow& window) {
  window.handle_close();
}

// Posted messages come before the user's next input.
void post_close(TWindow& window) {
  windows.actions.push_front([&window] { window.handle_close(); });
}

int run_event_loop() {
  windows.loop_status.reset();
  while (!windows.loop_status) {
    if (windows.actions.empty()) throw std::logic_error("the script ran out in the event loop");
    take(windows.actions)();
  }
  return *windows.loop_status;
}

void end_event_loop(int status) {
  windows.loop_status = status;
}

void* create_font(const FontRequest& font_request) {
  return windows.fail_fonts ? nullptr : new FontRequest(font_request);
}

void delete_font(void* handle) {
  delete static_cast<FontRequest*>(handle);
}

// Each character three fifths of the font height wide.
int text_width(void* font_handle, const char*, int length) {
  return length * (static_cast<const FontRequest*>(font_handle)->height * 3 / 5);
}

}  // namespace backend
}  // namespace fw
