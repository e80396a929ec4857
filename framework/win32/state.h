// Process-wide state of the Win32 backend.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h leaves the common dialogs out when lean.
#include <commdlg.h>

#include <optional>
#include <string>

#include "framework/dialogs.h"
#include "framework/framework.h"

namespace fw::win32 {

inline constexpr const char* frame_class_name = "DrollboxFrame";
inline constexpr const char* client_class_name = "DrollboxWindow";

struct Win32State {
  HINSTANCE instance = nullptr;
  int show_command = SW_SHOWDEFAULT;  // what the process was started with
  bool started = false;               // instance, show command and classes are set
  int dpi = 96;                       // of the last frame placed
};

extern Win32State state;

inline HWND hwnd_of(const TWindow& window) {
  return static_cast<HWND>(window.peer);
}
// The TWindow of one of our frames or clients, or of a button; null for any other window.
TWindow* window_of(HWND hwnd);
// The frame whose window hwnd is or lies in; null when it is none of ours.
TFrameWindow* frame_of(HWND hwnd);

// One message of the event loop: the main window's keys, else dispatched.
void process_message(MSG& msg);

// The keys of a frame: Tab and Shift+Tab along the client's buttons, Return
// for the default button, a button's letter, Escape, Ctrl+C. True when msg
// was one of them and has been handled.
bool handle_frame_key(const MSG& msg);
// Called once the frame is shown: the leftmost button becomes the default
// one and takes a visible focus, labels show their letters.
void set_up_keyboard(TFrameWindow& frame);
// The frame got the focus: it goes on to the button that had it last.
void pass_focus_on(HWND frame);
void remember_focus(HWND button);
void forget_focus(HWND frame);

// What the client shows as text: its rows from the top down, trailing blanks
// and empty rows after the last dropped, joined with CR LF.
std::wstring shown_text(TWindow& client);
// Puts the client's text on the clipboard as Unicode text.
bool copy_shown_text(TWindow& client);
// Opens the client's menu ("Copy") at a screen point, or under its top-left
// corner for (-1, -1).
void show_context_menu(TWindow& client, int x, int y);

// The font dialog's records live for the process: a later dialog reopens on
// all that the last one returned, not only on what a FontChoice holds.
struct FontDialogRecords {
  LOGFONTA log_font = {};
  CHOOSEFONTA request = {};
  std::optional<FontChoice> returned;  // what the records hold once a font was chosen
};

extern FontDialogRecords font_dialog;

// Fills the records for a dialog opened on shown: from shown itself the
// first time, or the small update when shown is the font they returned.
void prepare_font_dialog(FontDialogRecords& records, const FontChoice& shown);
// The font the records hold after the dialog returned.
FontChoice chosen_font(const FontDialogRecords& records);

// Fills state once: the module, the start-up show command, the window classes.
void start_backend();

}  // namespace fw::win32
