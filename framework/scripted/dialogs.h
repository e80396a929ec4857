// Scripted dialogs: the user's answers queued, every box and font dialog kept.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialogs.h"

namespace fw::scripted {

// Thrown by exit_process, so a test sees what happened before the end.
struct ProcessExit {
  int status;
};

struct BoxCall {
  const TWindow* owner = nullptr;
  std::string text;
  std::string caption;
  BoxKind kind = BoxKind::notice;
};

struct FontCall {
  FontChoice shown;
};

// Unqueued answers: Cancel to a question, nothing chosen in a font dialog.
struct DialogScript {
  std::deque<Answer> box_answers;
  std::deque<std::optional<FontChoice>> font_answers;
  std::vector<BoxCall> box_calls;
  std::vector<FontCall> font_calls;
};
extern DialogScript dialogs;

inline void queue_box_answer(Answer answer) {
  dialogs.box_answers.push_back(answer);
}
inline void queue_font(const FontChoice& chosen) {
  dialogs.font_answers.emplace_back(chosen);
}
inline void queue_font_cancel() {
  dialogs.font_answers.emplace_back(std::nullopt);
}
inline void reset_dialogs() {
  dialogs = DialogScript{};
}

}  // namespace fw::scripted
