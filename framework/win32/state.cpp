#include "framework/win32/state.h"

namespace fw::win32 {

Win32State state;

LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

namespace {

void register_class(const char* name) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = window_procedure;
  wc.hInstance = state.instance;
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

int startup_show_command() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

void start_backend() {
  if (state.started) return;
  state.instance = GetModuleHandleA(nullptr);
  state.show_command = startup_show_command();
  register_class(frame_class_name);
  register_class(client_class_name);
  state.started = true;
}

}  // namespace fw::win32
