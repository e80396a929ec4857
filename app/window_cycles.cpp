#include "app/window_cycles.h"

#include <memory>

#include "app/main_window.h"
#include "app/refresh.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace app {

Lifetime lifetime;

void reset_lifetime() {
  lifetime = Lifetime{};
}

TMainApp::TMainApp() = default;

TMainApp::~TMainApp() = default;

void TMainApp::make_main_window() {
  // Only the first Window cycle finds no cookie prepared by a command.
  if (lifetime.restart_request == no_restart) {
    if (!allocate_history()) problems::report_problem(problems::problem_memory);
    refresh_cookie();
  }
  lifetime.restart_request = no_restart;

  auto* client = new TMainWindow();
  const FrameOrigin origin = lifetime.last_frame_origin.value_or(
      FrameOrigin{settings::current.window_x, settings::current.window_y});
  client->wanted_x = origin.x;
  client->wanted_y = origin.y;
  auto* frame = new fw::TFrameWindow(frame_title, client);
  set_main_window(frame);
  frame->set_icon(frame_icon);
  frame->rect = {origin.x, origin.y, settings::current.wit, database::choice.window_height};
}

int run_window_cycles(int, char**) {
  auto first = std::make_unique<TMainApp>();
  int status = first->run();
  while (lifetime.restart_request == restart_wanted) {
    auto next = std::make_unique<TMainApp>();
    status = next->run();
  }
  release_history();
  first.reset();
  return status;
}

}  // namespace app
