#include <cstring>
#include <string>
#include <string_view>

#include "files/write_file.h"
#include "problems/problems.h"
#include "settings/file_format.h"
#include "settings/settings.h"

namespace settings {

namespace {

std::string file_contents(char scr_digit) {
  std::string contents;
  const auto line = [&contents](std::string_view key, std::string_view value) {
    contents.append(key).append(value).append(line_end);
  };
  line(header_line, "");
  line(screen_key, std::string_view(&scr_digit, 1));
  line(font_key,
       std::string_view(current.font_text, strnlen(current.font_text, font_text_capacity)));
  line(size_key, std::to_string(current.siz));
  line(width_key, std::to_string(usual_width));
  return contents;
}

}  // namespace

void write_settings_file(char scr_digit) {
  if (files::write_file(settings_file_name, file_contents(scr_digit)).ok()) return;
  problems::report_problem(problems::problem_cannot_write_settings);
}

}  // namespace settings
