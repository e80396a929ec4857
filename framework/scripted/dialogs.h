// The dialog half of the scripted backend: a test queues the answers the
// user would give and reads back every box and font dialog that was shown.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialogs.h"

namespace fw::scripted {

// Thrown by exit_process, so a test can look at what happened before the
// process would have ended.
struct ProcessExit {
  int status;
};

struct BoxCall {
  const TWindow* owner = nullptr;
  std::string text;
  std::string caption;
  BoxKind kind = BoxKind::notice;
  Answer answer = Answer::none;
};

struct FontCall {
  FontChoice shown;
  std::optional<FontChoice> chosen;
};

// Unqueued answers: Cancel to a question, nothing chosen in a font dialog.
struct DialogScript {
  std::deque<Answer> box_answers;
  std::deque<std::optional<FontChoice>> font_answers;
  std::vector<BoxCall> box_calls;
  std::vector<FontCall> font_calls;
};
extern DialogScript dialogs;

void queue_box_answer(Answer answer);
void queue_font(const FontChoice& chosen);
void queue_font_cancel();

// Forgets every queued answer and every recorded call.
void reset_dialogs();

}  // namespace fw::scripted
