// The dialog half of the scripted backend: a test queues the answers the
// user would give and reads back every box and font dialog that was shown.
#pragma once

#include <cstdint>
#include <deque>
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
  unsigned style = 0;
  int answer = box_none;
};

// The request and its LOGFONTA as they were when the dialog opened.
struct FontCall {
  CHOOSEFONTA request;
  LOGFONTA log_font;
  bool had_log_font = false;
  int result = 0;
};

// result 1 writes log_font, point_size and colour back into the request, as
// the real dialog does when a font is chosen; any other result changes nothing.
struct FontAnswer {
  int result = 0;
  LOGFONTA log_font;
  std::int32_t point_size = 0;
  std::uint32_t colour = 0;
};

struct DialogScript {
  std::deque<int> box_answers;
  std::deque<FontAnswer> font_answers;
  std::vector<BoxCall> box_calls;
  std::vector<FontCall> font_calls;
};
extern DialogScript dialogs;

void queue_box_answer(int answer);
void queue_font(const LOGFONTA& log_font, std::int32_t point_size);
void queue_font_cancel();
void queue_font_answer(const FontAnswer& answer);

// Forgets every queued answer and every recorded call.
void reset_dialogs();

}  // namespace fw::scripted
