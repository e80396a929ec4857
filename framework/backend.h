// The platform half of the windowing layer. framework/core/ calls these;
// each windowing backend (scripted, win32, qt) defines all of them.
#pragma once

#include "framework/framework.h"

namespace fw::backend {

// Makes the platform window of a frame (no parent), a frame's client or a
// button (a child of a client), from its title, rect and id; sets
// window.peer. Frames get the icon named by TFrameWindow::icon.
void create_window(TWindow& window);
void show_window(TFrameWindow& frame);
// Destroys the platform window and its children's, calling handle_destroyed
// on each (the window first, then its children, as Win32 does).
void destroy_window(TWindow& window);
// A close request delivered at once (SendMessage) or queued (PostMessage);
// either ends in window.handle_close() unless the window is gone by then.
void send_close(TWindow& window);
void post_close(TWindow& window);

// TApplication::run fits a frame (TFrameWindow::fit) before creating it. A
// backend that later learns other decorations or dpi for it calls fit again
// and places the frame, the client's children and its scrolling anew. Every
// rect given or kept is in layout pixels; a frame's rect follows the user's
// moves. fw::screen_at is the backend's too.

// Runs the event loop until end_event_loop; returns its status.
int run_event_loop();
void end_event_loop(int status);

void* create_font(const FontRequest& font_request);  // null when the platform refuses
void delete_font(void* handle);
// The extent TFont::text_width gives, of a font made by create_font.
int text_width(void* font_handle, const char* text, int length);

}  // namespace fw::backend
