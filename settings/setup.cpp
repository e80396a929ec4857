#include <cstring>

#include "app/problems.h"
#include "settings/settings.h"

namespace settings {

namespace {

constexpr char cancelled = 0;

// Yes gives the digit, No moves on (or gives no_digit), anything but
// Yes or No - a box that could not be shown included - cancels.
struct Question {
  const char* text;
  char yes_digit;
};

constexpr Question questions[] = {
    {"Are you normally running a 1024x768 screen resolution?", '2'},
    {"Are you normally running a 1280x1024 screen resolution?", '3'},
    {"Are you normally running a 800x600 screen resolution?", '1'},
};
constexpr char no_digit = '0';

char ask_screen_class() {
  for (const Question& question : questions) {
    int answer =
        fw::message_box(nullptr, question.text, "Drollbox Notify", fw::box_style_yes_no_cancel);
    if (answer == fw::box_yes) return question.yes_digit;
    if (answer != fw::box_no) return cancelled;
  }
  return no_digit;
}

constexpr std::uint32_t first_use_flags =
    fw::font_flags::screen_fonts | fw::font_flags::init_to_logfont | fw::font_flags::effects |
    fw::font_flags::force_font_exist;
constexpr std::uint32_t dialog_colour = 0x0000000A;

void set_first_use_records() {
  fw::LOGFONTA& log_font = font_records.log_font;
  log_font = fw::LOGFONTA{};
  std::strcpy(log_font.lfFaceName, "Courier New");
  log_font.lfHeight = 21;

  fw::CHOOSEFONTA& request = font_records.request;
  request = fw::CHOOSEFONTA{};
  request.lStructSize = sizeof(fw::CHOOSEFONTA);
  request.lpLogFont = &log_font;
  request.iPointSize = 210;
  request.Flags = first_use_flags;
  request.rgbColors = dialog_colour;
  request.nFontType = fw::font_flags::screen_fonttype;
  request.nSizeMin = 8;
  request.nSizeMax = 20;
}

void prepare_font_records() {
  if (!font_records.font_chosen) {
    set_first_use_records();
    return;
  }
  font_records.request.lpLogFont = &font_records.log_font;
  font_records.request.Flags |= fw::font_flags::init_to_logfont;
  font_records.request.rgbColors = dialog_colour;
}

void append(char* text, int& length, const char* part) {
  for (; *part; ++part) text[length++] = *part;
  text[length] = '\0';
}

// A face name has at most 31 characters, so the suffixes always fit; the
// dialog's record is not trusted to be terminated.
constexpr int face_name_limit = sizeof(fw::LOGFONTA::lfFaceName) - 1;
static_assert(face_name_limit + sizeof " Bold Italic" <= font_text_capacity);

void take_chosen_font() {
  const fw::LOGFONTA& log_font = font_records.log_font;
  std::int64_t point_size = font_records.request.iPointSize;
  current.siz = static_cast<std::int32_t>((point_size + 10) / 10);

  char* text = current.font_text;
  int length = 0;
  while (length < face_name_limit && log_font.lfFaceName[length] != '\0') {
    text[length] = log_font.lfFaceName[length];
    ++length;
  }
  text[length] = '\0';
  if (log_font.lfWeight == 700) append(text, length, " Bold");
  if (log_font.lfItalic != 0) append(text, length, " Italic");
}

}  // namespace

void run_setup() {
  char scr_digit = ask_screen_class();
  if (scr_digit == cancelled) {
    app::show_cancelled_notice();
    return;
  }
  prepare_font_records();
  if (fw::choose_font(font_records.request) != 1) {
    app::show_cancelled_notice();
    return;
  }
  font_records.font_chosen = true;
  take_chosen_font();
  write_settings_file(scr_digit);
}

}  // namespace settings
