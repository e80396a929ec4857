#include "app/window_cycles.h"

#include <memory>

#include "app/main_window.h"
#include "app/refresh.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace app {

TMainApp::TMainApp(ViewerState& state) : state_(state) {}

TMainApp::~TMainApp() = default;

void TMainApp::make_main_window() {
  Lifetime& lifetime = state_.lifetime;
  // Only the first Window cycle finds no cookie prepared by a command.
  if (lifetime.restart_request == no_restart) {
    if (!allocate_history(state_.history)) problems::report_problem(problems::problem_memory);
    refresh_cookie(state_);
  }
  lifetime.restart_request = no_restart;

  auto* client = new TMainWindow(state_);
  const FrameOrigin origin = lifetime.last_frame_origin.value_or(
      FrameOrigin{settings::current.window_x, settings::current.window_y});
  client->wanted_x = origin.x;
  client->wanted_y = origin.y;
  auto* frame = new fw::TFrameWindow(frame_title, client);
  set_main_window(frame);
  frame->set_icon(frame_icon);
  frame->rect = {origin.x, origin.y, settings::current.wit, state_.cookie.window_height};
}

int run_window_cycles(const std::string& data_file) {
  ViewerState state;
  if (!data_file.empty()) state.data_file = data_file;
  return run_window_cycles(state);
}

int run_window_cycles(ViewerState& state) {
  auto first = std::make_unique<TMainApp>(state);
  int status = first->run();
  while (state.lifetime.restart_request == restart_wanted) {
    auto next = std::make_unique<TMainApp>(state);
    status = next->run();
  }
  first.reset();
  return status;
}

}  // namespace app
