// Pixels at a window's dpi. The program's places and sizes are layout
// pixels, pixels of a 96-dpi screen; here they become the device pixels of
// the screen a window is on.
#pragma once

#include "framework/framework.h"
#include "framework/win32/state.h"

namespace fw::win32 {

inline constexpr int layout_dpi = 96;
inline constexpr DWORD frame_style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;

// Where the platform cannot say (before Windows 10), the system's dpi.
int dpi_of_window(HWND hwnd);
int dpi_at(POINT device_point);

inline int to_device(int layout, int dpi) {
  return MulDiv(layout, dpi, layout_dpi);
}
// Rounded up, so what is measured in device pixels never shrinks.
inline int to_layout_ceiling(int device, int dpi) {
  return (device * layout_dpi + dpi - 1) / dpi;
}

// What a frame's caption and borders add around its client, in layout pixels.
Margins decorations(int dpi);

// The frame that holds a client of the given device size, at dpi.
RECT frame_around_client(int width, int height, DWORD style, int dpi);

// The desktop's font for dialogs and their buttons, at dpi; kept for the process.
HFONT gui_font(int dpi);

}  // namespace fw::win32
