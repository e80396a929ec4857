#include <cstddef>
#include <cstdint>
#include <optional>

#include "problems/problems.h"
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
    fw::Answer answer =
        fw::message_box(nullptr, question.text, "Drollbox Notify", fw::BoxKind::question);
    if (answer == fw::Answer::yes) return question.yes_digit;
    if (answer != fw::Answer::no) return cancelled;
  }
  return no_digit;
}

// What the dialog opens on until a font has been chosen in this process.
const fw::FontChoice first_font{"Courier New", 210, 0, false};

void append(char* text, int& length, const char* part) {
  for (; *part; ++part) text[length++] = *part;
  text[length] = '\0';
}

// A face name has at most 31 characters, so the suffixes always fit.
constexpr std::size_t face_name_limit = 31;
static_assert(face_name_limit + sizeof " Bold Italic" <= font_text_capacity);

void take_chosen_font(const fw::FontChoice& font) {
  current.siz = static_cast<std::int32_t>((std::int64_t{font.tenths} + 10) / 10);

  char* text = current.font_text;
  int length = static_cast<int>(font.face.copy(text, face_name_limit));
  text[length] = '\0';
  if (font.weight == 700) append(text, length, " Bold");
  if (font.italic) append(text, length, " Italic");
}

}  // namespace

void run_setup() {
  char scr_digit = ask_screen_class();
  if (scr_digit == cancelled) {
    problems::show_cancelled_notice();
    return;
  }
  std::optional<fw::FontChoice> font = fw::choose_font(chosen_font.value_or(first_font));
  if (!font) {
    problems::show_cancelled_notice();
    return;
  }
  chosen_font = font;
  take_chosen_font(*font);
  write_settings_file(scr_digit);
}

}  // namespace settings
