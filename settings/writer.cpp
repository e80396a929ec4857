#include <cstdio>
#include <string_view>

#include "files/write_file.h"
#include "problems/problems.h"
#include "settings/settings.h"

namespace settings {

namespace {

constexpr int contents_capacity = 128;

// Five lines; the width is always written as 639.
int format_contents(char (&contents)[contents_capacity], char scr_digit) {
  int length = std::snprintf(contents, sizeof contents,
                             ":Config:\r\nscr=%c\r\nfon=%s\r\nsiz=%d\r\nwit=639\r\n", scr_digit,
                             current.font_text, static_cast<int>(current.siz));
  return length > 0 && length < contents_capacity ? length : -1;
}

}  // namespace

void write_settings_file(char scr_digit) {
  char contents[contents_capacity];
  const int length = format_contents(contents, scr_digit);
  if (length > 0 && files::write_file(settings_file_name,
                                      std::string_view(contents, static_cast<std::size_t>(length)))
                        .ok())
    return;
  problems::report_problem(problems::problem_cannot_write_settings);
}

}  // namespace settings
