// The Settings: read from the settings file at every refresh, written by the
// first-run setup. Plain module state, one instance.
#pragma once

#include <cstdint>
#include <optional>

#include "framework/dialogs.h"

namespace settings {

inline constexpr int font_text_capacity = 44;  // 43 characters and the terminator
inline constexpr int token_capacity = 80;      // 79 characters and the terminator
// siz is read into -largest_size..largest_size: a font and a row pitch of
// more pixels than any window can show, small enough that no layout or
// painting sum over 25 rows can overflow.
inline constexpr std::int32_t largest_size = 32767;

struct Settings {
  std::int32_t scr = 0;
  char font_text[font_text_capacity] = {};
  std::int32_t siz = 12;
  std::int32_t wit = 567;
  std::int32_t window_x = 0;
  std::int32_t window_y = 0;
};
extern Settings current;

// The font chosen last in this process, so a later setup reopens the dialog
// on it; none until a font dialog returns one.
extern std::optional<fw::FontChoice> chosen_font;

// The file name; the viewer keeps places::settings_file_name (the current
// folder), tests point it into a folder of their own.
extern const char* settings_file_name;

void read_settings();
void run_setup();

// The five CR LF lines with the given screen class digit and the font_text
// and siz in memory, through the one safe writer (files/write_file.h). Any
// failure, a file the user may not write included, is Problem code 8; the
// old file stays as it was.
void write_settings_file(char scr_digit);

// Back to the state of a fresh process (tests).
void reset_settings();

}  // namespace settings
