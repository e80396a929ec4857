#include "tools/cookie_source.h"

#include <cstdint>
#include <string>

#include "database/format.h"
#include "tools/charset.h"
#include "tools/fortune_file.h"
#include "viewer_model/layout.h"

namespace tools {

namespace {

const char* too_long_text() {
  static const std::string text =
      "longer than " + std::to_string(database::shown_cookie_length) + " characters";
  return text.c_str();
}

const char* too_many_rows_text() {
  static const std::string text = "more than " + std::to_string(most_rows) + " rows";
  return text.c_str();
}

}  // namespace

const char* skip_reason_text(SkipReason reason) {
  switch (reason) {
    case SkipReason::holds_percent:
      return "holding \"%\"";
    case SkipReason::holds_zero_byte:
      return "holding a zero byte";
    case SkipReason::too_long:
      return too_long_text();
    case SkipReason::too_many_rows:
      return too_many_rows_text();
    case SkipReason::empty:
      return "empty";
    case SkipReason::no_room_in_block:
      return "no room in a block";
    case SkipReason::count_of_reasons:
      break;
  }
  return "";
}

std::size_t CookieSource::skipped_total() const {
  std::size_t total = 0;
  for (const std::size_t count : skipped) total += count;
  return total;
}

// A line feed always starts a fresh row and the layout of a line looks no
// further than its own end, so the rows of a cookie are the sum of the rows
// of its lines. Each line is laid out alone by the viewer's own layout; a
// line the viewer can hold (1999 characters) fits its 25 rows, so no count
// is cut short.
std::size_t rows_needed(std::string_view cookie) {
  constexpr std::size_t line_capacity = database::shown_cookie_length;
  std::size_t rows = 0;
  std::size_t line_start = 0;
  while (line_start <= cookie.size()) {
    std::size_t line_end = cookie.find('\n', line_start);
    if (line_end == std::string_view::npos) line_end = cookie.size();
    const std::string_view line = cookie.substr(line_start, line_end - line_start);
    if (line.size() > line_capacity) return SIZE_MAX;
    rows += static_cast<std::size_t>(viewer_model::lay_out(line, 0).rows);
    line_start = line_end + 1;
  }
  return rows;
}

namespace {

bool is_blank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The first reason the cookie cannot be stored, or count_of_reasons.
SkipReason reason_to_skip(std::string_view cookie) {
  if (is_blank(cookie)) return SkipReason::empty;
  if (cookie.find('%') != std::string_view::npos) return SkipReason::holds_percent;
  if (cookie.find('\0') != std::string_view::npos) return SkipReason::holds_zero_byte;
  if (cookie.size() > longest_cookie) return SkipReason::too_long;
  if (rows_needed(cookie) > most_rows) return SkipReason::too_many_rows;
  return SkipReason::count_of_reasons;
}

// What is not held is too long, unless an earlier reason applies.
SkipReason reason_to_skip_unheld(const FortunePiece& piece) {
  if (piece.blank) return SkipReason::empty;
  if (piece.holds_percent) return SkipReason::holds_percent;
  if (piece.holds_zero_byte) return SkipReason::holds_zero_byte;
  return SkipReason::too_long;
}

}  // namespace

void add_piece(CookieSource& source, FortunePiece&& piece) {
  if (piece.at_edge) return;
  if (piece.oversized) {
    ++source.skip_count(reason_to_skip_unheld(piece));
    return;
  }
  Conversion converted = utf8_to_cp1252(piece.text);
  converted.text = expand_tabs(converted.text);
  const SkipReason reason = reason_to_skip(converted.text);
  if (reason != SkipReason::count_of_reasons) {
    ++source.skip_count(reason);
    return;
  }
  source.replaced += converted.replaced;
  source.raw_bytes += converted.raw_bytes;
  if (source.keep) {
    source.keep(std::move(converted.text));
  } else {
    source.cookies.push_back(std::move(converted.text));
  }
}

void add_fortune_file(CookieSource& source, std::string_view file_bytes) {
  ++source.files;
  FortuneSplitter splitter([&](FortunePiece&& piece) { add_piece(source, std::move(piece)); },
                           longest_held_piece);
  splitter.feed(file_bytes);
  splitter.finish();
}

}  // namespace tools
