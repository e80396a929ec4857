#include "framework/win32/state.h"

#include <string>

namespace fw::win32 {

Win32State state;

LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

namespace {

// Unicode classes: a window's text, which screen readers read, holds any
// character of the cookie, whatever the system's code page.
void register_class(const char* ascii_name) {
  const std::wstring name(ascii_name, ascii_name + std::char_traits<char>::length(ascii_name));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = window_procedure;
  wc.hInstance = state.instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = name.c_str();
  RegisterClassW(&wc);
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
