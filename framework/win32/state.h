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

#include "framework/dialogs.h"

namespace fw::win32 {

inline constexpr const char* frame_class_name = "DrollboxFrame";
inline constexpr const char* client_class_name = "DrollboxWindow";

struct Win32State {
  HINSTANCE instance = nullptr;
  int show_command = SW_SHOWDEFAULT;  // what the process was started with
  bool started = false;               // instance, show command and classes are set
};

extern Win32State state;

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
