#include "app/main_window.h"

#include "app/refresh.h"
#include "app/window_cycles.h"
#include "settings/settings.h"

namespace app {

namespace {

struct ButtonPlace {
  int id;
  const char* label;
  int left;  // before bar_offset
};

// Creation order, which is also the tab order.
constexpr ButtonPlace button_places[] = {
    {CM_OK, "Ok", 480},         {CM_NEW, "New", 18},      {CM_PREV, "Prev", 90},
    {CM_CONFIG, "Config", 163}, {CM_ABOUT, "About", 323},
};

}  // namespace

TMainWindow::TMainWindow() : fw::TWindow(nullptr, "") {
  set_background(fw::system_colour(fw::SystemColour::menu));
  const int offset = bar_offset(settings::current.wit);
  for (const ButtonPlace& place : button_places) {
    new fw::TButton(this, place.id, place.label, offset + place.left, button_top, button_width,
                    button_height);
  }
}

TMainWindow::~TMainWindow() = default;

bool TMainWindow::find_command(int id) {
  static constexpr Command<TMainWindow> commands[] = {
      {CM_NEW, &TMainWindow::on_new},       {CM_PREV, &TMainWindow::on_prev},
      {CM_CONFIG, &TMainWindow::on_config}, {CM_ABOUT, &TMainWindow::on_about},
      {CM_OK, &TMainWindow::on_ok},
  };
  return run_command(*this, commands, id) || fw::TWindow::find_command(id);
}

// The restarting commands prepare the next cookie while this window is still
// up, so a problem is reported over it and nothing is closed for nothing.
void TMainWindow::on_new() {
  lifetime.restart_request = restart_wanted;
  refresh_cookie();
  close_window();
}

void TMainWindow::on_prev() {
  if (!request_step_back()) return;
  lifetime.restart_request = restart_wanted;
  refresh_cookie();
  close_window();
}

void TMainWindow::on_config() {
  settings::run_setup();
  lifetime.restart_request = restart_wanted;
  refresh_cookie();
  close_window();
}

void TMainWindow::on_about() {
  show_about();
}

void TMainWindow::on_ok() {
  close_window();
}

}  // namespace app
