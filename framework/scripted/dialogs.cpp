#include "framework/scripted/dialogs.h"

#include <utility>

namespace fw::scripted {

DialogScript dialogs;

void queue_box_answer(int answer) {
  dialogs.box_answers.push_back(answer);
}

void queue_font(const LOGFONTA& log_font, std::int32_t point_size) {
  FontAnswer answer;
  answer.result = 1;
  answer.log_font = log_font;
  answer.point_size = point_size;
  queue_font_answer(answer);
}

void queue_font_cancel() {
  queue_font_answer(FontAnswer{});
}

void queue_font_answer(const FontAnswer& answer) {
  dialogs.font_answers.push_back(answer);
}

void reset_dialogs() {
  dialogs = DialogScript{};
}

static int default_box_answer(unsigned style) {
  return style == box_style_ok ? box_ok : box_cancel;
}

static FontAnswer next_font_answer() {
  if (dialogs.font_answers.empty()) return FontAnswer{};
  FontAnswer answer = dialogs.font_answers.front();
  dialogs.font_answers.pop_front();
  return answer;
}

static void apply_font_answer(const FontAnswer& answer, CHOOSEFONTA& request) {
  if (answer.result != 1) return;
  if (request.lpLogFont) *request.lpLogFont = answer.log_font;
  request.iPointSize = answer.point_size;
  request.rgbColors = answer.colour;
}

}  // namespace fw::scripted

namespace fw {

int message_box(TWindow* owner, const char* text, const char* caption, unsigned style) {
  using namespace scripted;
  int answer = default_box_answer(style);
  if (!dialogs.box_answers.empty()) {
    answer = dialogs.box_answers.front();
    dialogs.box_answers.pop_front();
  }
  dialogs.box_calls.push_back(
      BoxCall{owner, text ? text : "", caption ? caption : "", style, answer});
  return answer;
}

int choose_font(CHOOSEFONTA& request) {
  using namespace scripted;
  FontCall call;
  call.request = request;
  call.had_log_font = request.lpLogFont != nullptr;
  if (call.had_log_font) call.log_font = *request.lpLogFont;
  FontAnswer answer = next_font_answer();
  call.result = answer.result;
  dialogs.font_calls.push_back(call);
  apply_font_answer(answer, request);
  return answer.result;
}

void exit_process(int status) {
  throw scripted::ProcessExit{status};
}

}  // namespace fw
