// Process-wide state of the Win32 backend.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace fw::win32 {

inline constexpr const char* frame_class_name = "DrollboxFrame";
inline constexpr const char* client_class_name = "DrollboxWindow";

struct Win32State {
  HINSTANCE instance = nullptr;
  int show_command = SW_SHOWDEFAULT;  // what the process was started with
  bool started = false;               // instance, show command and classes are set
};

extern Win32State state;

// Fills state once: the module, the start-up show command, the window classes.
void start_backend();

}  // namespace fw::win32
