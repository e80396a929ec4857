// The classic fortune-file form: cookies separated by lines holding a single
// "%". Cookies here carry no final line feed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// CR LF becomes LF; so does any run of CRs before an LF, and the CRs that
// end the text go, so that no stored line ends in a CR that the unpacked file
// could not give back. A lone CR inside a line stays.
std::string normalise_line_ends(std::string_view text);

// Tabs become spaces up to the next multiple of 8 columns of their line: the
// viewer draws every byte as a character cell, and a tab there shows as a box.
std::string expand_tabs(std::string_view text);

struct FortunePiece {
  std::string text;
  bool at_edge = false;  // the empty stretch before the first or after the last "%"
  // Longer than the splitter holds: text is empty, and these tell what it had.
  bool oversized = false;
  bool blank = true;  // nothing but spaces, tabs, CRs and LFs
  bool holds_percent = false;
  bool holds_zero_byte = false;
};

// No fortune file has a piece this long: input that does is not one (an
// endless stream of zero bytes, say), and reading it ends there.
inline constexpr std::uint64_t longest_piece = std::uint64_t{16} << 20;

// Splits fortune text, given in as many parts as come, at "%" lines, with
// its line ends normalised, holding one piece at a time and of that piece at
// most hold_limit bytes. A UTF-8 byte-order mark at the start is dropped.
class FortuneSplitter {
 public:
  FortuneSplitter(std::function<void(FortunePiece&&)> take, std::size_t hold_limit);
  // False, and nothing more taken, once a piece has passed longest_piece.
  bool feed(std::string_view bytes);
  void finish();

 private:
  void put(char c);
  void begin_line();
  void end_line();
  void hand_over(bool at_edge);

  std::function<void(FortunePiece&&)> take_;
  std::size_t hold_limit_;
  std::size_t pending_cr_ = 0;
  std::uint64_t piece_bytes_ = 0;  // read since the last piece was handed over
  std::string head_;  // the first bytes, until they are known not to be a byte-order mark
  bool head_done_ = false;
  FortunePiece piece_;
  bool has_lines_ = false;
  bool first_piece_ = true;
  bool line_begun_ = false;
  std::size_t line_length_ = 0;
  std::size_t line_start_ = 0;  // where the line's text begins in piece_.text
  char line_first_ = 0;
  FortunePiece line_marks_;  // blank, percent and zero byte of the line so far
};

// The whole text at once, every piece held.
std::vector<FortunePiece> split_fortune_text(std::string_view text);

// Each cookie followed by a "%" line.
std::string join_fortune_text(const std::vector<std::string>& cookies);

}  // namespace tools
