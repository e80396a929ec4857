#include "tools/fortune_file.h"

#include <utility>

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

FortuneSplitter::FortuneSplitter(std::function<void(FortunePiece&&)> take, std::size_t hold_limit)
    : take_(std::move(take)), hold_limit_(hold_limit) {}

// CRs wait until the next byte tells whether they end a line.
bool FortuneSplitter::feed(std::string_view bytes) {
  for (const char c : bytes) {
    if (++piece_bytes_ > longest_piece) return false;
    if (c == '\r') {
      ++pending_cr_;
      continue;
    }
    if (c != '\n')
      for (; pending_cr_ > 0; --pending_cr_) put('\r');
    pending_cr_ = 0;
    put(c);
  }
  return true;
}

void FortuneSplitter::put(char c) {
  constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
  if (!head_done_) {
    head_ += c;
    if (head_.size() < byte_order_mark.size()) return;
    head_done_ = true;
    if (head_ != byte_order_mark)
      for (const char held : std::exchange(head_, {})) put(held);
    return;
  }
  if (c == '\n') {
    if (!line_begun_) begin_line();
    end_line();
    return;
  }
  if (!line_begun_) begin_line();
  if (line_length_++ == 0) line_first_ = c;
  if (c != ' ' && c != '\t' && c != '\r') line_marks_.blank = false;
  line_marks_.holds_percent = line_marks_.holds_percent || c == '%';
  line_marks_.holds_zero_byte = line_marks_.holds_zero_byte || c == '\0';
  if (piece_.oversized) return;
  piece_.text += c;
  // A "%" line and the LF before it may still go: two bytes of grace.
  if (piece_.text.size() > hold_limit_ + 2) {
    piece_.oversized = true;
    std::string().swap(piece_.text);
  }
}

void FortuneSplitter::begin_line() {
  line_begun_ = true;
  line_length_ = 0;
  line_marks_ = {};
  line_start_ = piece_.text.size();
  if (has_lines_ && !piece_.oversized) piece_.text += '\n';
}

void FortuneSplitter::end_line() {
  line_begun_ = false;
  if (line_length_ == 1 && line_first_ == '%') {
    if (!piece_.oversized) piece_.text.resize(line_start_);
    hand_over(first_piece_ && !has_lines_);
    return;
  }
  piece_.blank = piece_.blank && line_marks_.blank;
  piece_.holds_percent = piece_.holds_percent || line_marks_.holds_percent;
  piece_.holds_zero_byte = piece_.holds_zero_byte || line_marks_.holds_zero_byte;
  has_lines_ = true;
}

void FortuneSplitter::hand_over(bool at_edge) {
  FortunePiece piece = std::exchange(piece_, {});
  piece_bytes_ = 0;
  piece.at_edge = at_edge;
  has_lines_ = false;
  first_piece_ = false;
  take_(std::move(piece));
}

// CRs that end the text go; so does a line's lack of a final LF.
void FortuneSplitter::finish() {
  pending_cr_ = 0;
  if (!head_done_) {
    head_done_ = true;
    for (const char held : std::exchange(head_, {})) put(held);
  }
  if (line_begun_) end_line();
  hand_over(!has_lines_);
}

std::vector<FortunePiece> split_fortune_text(std::string_view text) {
  std::vector<FortunePiece> pieces;
  FortuneSplitter splitter([&](FortunePiece&& piece) { pieces.push_back(std::move(piece)); },
                           SIZE_MAX - 2);
  splitter.feed(text);
  splitter.finish();
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
