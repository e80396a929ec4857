#include "framework/scripted/dialogs.h"

namespace fw::scripted {

DialogScript dialogs;

void queue_box_answer(Answer answer) {
  dialogs.box_answers.push_back(answer);
}

void queue_font(const FontChoice& chosen) {
  dialogs.font_answers.emplace_back(chosen);
}

void queue_font_cancel() {
  dialogs.font_answers.emplace_back(std::nullopt);
}

void reset_dialogs() {
  dialogs = DialogScript{};
}

}  // namespace fw::scripted

namespace fw {

using scripted::dialogs;

Answer message_box(const TWindow* owner, const char* text, const char* caption, BoxKind kind) {
  Answer answer = kind == BoxKind::question ? Answer::cancel : Answer::none;
  if (!dialogs.box_answers.empty()) {
    answer = dialogs.box_answers.front();
    dialogs.box_answers.pop_front();
  }
  dialogs.box_calls.push_back({owner, text ? text : "", caption ? caption : "", kind, answer});
  return answer;
}

std::optional<FontChoice> choose_font(const FontChoice& shown) {
  std::optional<FontChoice> chosen;
  if (!dialogs.font_answers.empty()) {
    chosen = dialogs.font_answers.front();
    dialogs.font_answers.pop_front();
  }
  dialogs.font_calls.push_back({shown, chosen});
  return chosen;
}

void exit_process(int status) {
  throw scripted::ProcessExit{status};
}

}  // namespace fw
