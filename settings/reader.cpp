#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "problems/problems.h"
#include "settings/file_format.h"
#include "settings/settings.h"

namespace settings {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using SettingsFile = std::unique_ptr<std::FILE, FileCloser>;

SettingsFile open_settings_file() {
  return SettingsFile(std::fopen(settings_file_name, "rb"));
}

[[noreturn]] void parse_failure() {
  problems::report_problem(problems::problem_settings_parse);
}

// A file that could not be opened reads as one that is already at its end.
int next_char(std::FILE* file) {
  return file ? std::fgetc(file) : EOF;
}

bool is_white_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// As "%s" reads: skip white space, take characters up to the next white
// space (left in the stream) or the end. False for a token too long for the
// buffer, which is read to its end but never truncated into a shorter one.
bool read_token(std::FILE* file, char (&token)[token_capacity]) {
  int c = next_char(file);
  while (is_white_space(c)) c = next_char(file);
  int length = 0;
  bool fits = true;
  while (c != EOF && !is_white_space(c)) {
    if (length == token_capacity - 1)
      fits = false;
    else
      token[length++] = static_cast<char>(c);
    c = next_char(file);
  }
  if (c != EOF) std::ungetc(c, file);
  token[length] = '\0';
  return fits;
}

void skip_chars(std::FILE* file, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) next_char(file);
}

// Saturates instead of overflowing; out-of-range widths then fall back to
// the usual width like any other bad width.
std::int32_t decimal_value(const char* text) {
  while (is_white_space(static_cast<unsigned char>(*text))) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  std::int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT32_MAX) {
      value = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
      break;
    }
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

// The key is compared one character at a time, so a short token stops at
// its terminator before anything past it is looked at.
std::int32_t keyed_value(std::FILE* file, std::string_view key) {
  char token[token_capacity];
  if (!read_token(file, token)) parse_failure();
  for (std::size_t i = 0; i < key.size(); ++i)
    if (token[i] != key[i]) parse_failure();
  return decimal_value(token + key.size());
}

void expect_chars(std::FILE* file, std::string_view expected) {
  for (const char c : expected)
    if (next_char(file) != static_cast<unsigned char>(c)) parse_failure();
}

// Everything up to the LF, less the last character (the CR).
void read_font_line(std::FILE* file) {
  char line[font_text_capacity];
  int length = 0;
  for (int c = next_char(file); c != '\n'; c = next_char(file)) {
    if (c == EOF || length == font_text_capacity) parse_failure();
    line[length++] = static_cast<char>(c);
  }
  int text_length = length > 0 ? length - 1 : 0;
  for (int i = 0; i < text_length; ++i) current.font_text[i] = line[i];
  current.font_text[text_length] = '\0';
}

SettingsFile open_at_first_line() {
  SettingsFile file = open_settings_file();
  if (!file) {
    run_setup();
    file = open_settings_file();
  }
  char token[token_capacity];
  // A first token of any length that is not the header marks a foreign file.
  if (read_token(file.get(), token) && token == header_line) return file;
  file.reset();
  run_setup();
  file = open_settings_file();
  read_token(file.get(), token);
  return file;
}

struct ScreenPlacement {
  std::int32_t width;
  std::int32_t top;
};

ScreenPlacement screen_placement(std::int32_t scr) {
  static constexpr ScreenPlacement table[4] = {{640, 106}, {800, 171}, {1024, 250}, {1280, 378}};
  return scr >= 0 && scr <= 3 ? table[scr] : table[0];
}

void place_window() {
  ScreenPlacement screen = screen_placement(current.scr);
  current.window_x = (screen.width - current.wit) / 2;
  current.window_y = screen.top;
}

}  // namespace

void read_settings() {
  SettingsFile file = open_at_first_line();
  current.scr = keyed_value(file.get(), screen_key);
  skip_chars(file.get(), line_end.size());
  expect_chars(file.get(), font_key);
  read_font_line(file.get());
  current.siz = std::clamp(keyed_value(file.get(), size_key), -largest_size, largest_size);
  skip_chars(file.get(), line_end.size());
  current.wit = keyed_value(file.get(), width_key);
  if (current.wit < 567 || current.wit > 1280) current.wit = usual_width;
  file.reset();
  place_window();
}

}  // namespace settings
