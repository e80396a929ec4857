#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/problems.h"
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

// fclose reports a failed flush, such as a full disk, as well.
bool write_whole_file(const std::string& path, const char* contents, int length) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(contents, 1, length, file) == static_cast<std::size_t>(length);
  return std::fclose(file) == 0 && written;
}

bool replace_settings_file(const std::string& temporary) {
  std::error_code error;
  std::filesystem::rename(temporary, settings_file_name, error);
  return !error;
}

}  // namespace

void write_settings_file(char scr_digit) {
  char contents[contents_capacity];
  int length = format_contents(contents, scr_digit);
  std::string temporary = std::string(settings_file_name) + ".tmp";
  if (length > 0 && write_whole_file(temporary, contents, length) &&
      replace_settings_file(temporary))
    return;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  app::report_problem(app::problem_cannot_write_settings);
}

}  // namespace settings
