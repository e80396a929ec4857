#include "tools/fortune_file.h"

namespace tools {

std::string normalise_line_ends(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pending_cr = 0;
  for (const char c : text) {
    if (c == '\r') {
      ++pending_cr;
      continue;
    }
    if (c != '\n') out.append(pending_cr, '\r');
    pending_cr = 0;
    out += c;
  }
  return out;
}

std::string expand_tabs(std::string_view text) {
  constexpr std::size_t tab_stop = 8;
  std::string out;
  out.reserve(text.size());
  std::size_t column = 0;
  for (const char c : text) {
    if (c == '\t') {
      const std::size_t spaces = tab_stop - column % tab_stop;
      out.append(spaces, ' ');
      column += spaces;
      continue;
    }
    out += c;
    column = c == '\n' ? 0 : column + 1;
  }
  return out;
}

std::vector<FortunePiece> split_fortune_text(std::string_view text) {
  constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
  if (text.starts_with(byte_order_mark)) text.remove_prefix(byte_order_mark.size());

  std::vector<FortunePiece> pieces;
  std::string current;
  bool has_lines = false;
  std::size_t line_start = 0;
  while (line_start < text.size()) {
    std::size_t line_end = text.find('\n', line_start);
    if (line_end == std::string_view::npos) line_end = text.size();
    const std::string_view line = text.substr(line_start, line_end - line_start);
    if (line == "%") {
      pieces.push_back({std::move(current), pieces.empty() && !has_lines});
      current.clear();
      has_lines = false;
    } else {
      if (has_lines) current += '\n';
      current += line;
      has_lines = true;
    }
    line_start = line_end + 1;
  }
  pieces.push_back({std::move(current), !has_lines});
  return pieces;
}

std::string join_fortune_text(const std::vector<std::string>& cookies) {
  std::string out;
  for (const std::string& cookie : cookies) {
    out += cookie;
    out += "\n%\n";
  }
  return out;
}

}  // namespace tools
