// Placing windows from layout pixels at a window's dpi, and the client's scrolling.
#pragma once

#include "framework/win32/dpi.h"

namespace fw::win32 {

// How far the client's content is scrolled, in device pixels.
POINT scrolled_by(HWND client);
void place_child(TWindow& child, int dpi);
void fit_scroll_bars(TWindow& client);
// A scroll bar's request (SB_LINEUP and the others) on the client.
void scroll(HWND client, int bar, int request);
void place_frame(TFrameWindow& frame, int dpi);

}  // namespace fw::win32
