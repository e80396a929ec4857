// The dialogs and the process exit of the windowing layer, in the program's
// own terms. Every backend (scripted, win32, qt) implements these; the
// settings and the problem reports reach the user through nothing else.
#pragma once

#include <optional>
#include <string>

namespace fw {

class TWindow;

// A question offers Yes, No and Cancel; a notice and a problem offer OK.
enum class BoxKind { question, notice, problem };
// none: the box offered no choice (OK), or it could not be shown.
enum class Answer { none, yes, no, cancel };

// Modal message box; owner may be null (no owner window).
Answer message_box(const TWindow* owner, const char* text, const char* caption, BoxKind kind);

// A font as the font dialog shows and returns it.
struct FontChoice {
  std::string face;
  int tenths = 0;  // size in tenths of a point
  int weight = 0;  // 0 leaves it to the platform, 400 is normal, 700 bold
  bool italic = false;
  bool operator==(const FontChoice&) const = default;
};

// The standard font dialog, modal and without owner, opened on `shown`;
// nothing when the user cancels or the dialog fails. A backend whose dialog
// knows more of a font than FontChoice holds reopens on all it knew of the
// font it returned last, when `shown` is that font.
std::optional<FontChoice> choose_font(const FontChoice& shown);

// Ends the process with the given status through the orderly exit. The
// scripted backend throws fw::scripted::ProcessExit instead, so tests live on.
[[noreturn]] void exit_process(int status);

}  // namespace fw
