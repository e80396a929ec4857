// The classic fortune-file form: cookies separated by lines holding a single
// "%". Cookies here carry no final line feed.
#pragma once

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
};

// Splits LF-ended text at "%" lines. A UTF-8 byte-order mark at the start is dropped.
std::vector<FortunePiece> split_fortune_text(std::string_view text);

// Each cookie followed by a "%" line.
std::string join_fortune_text(const std::vector<std::string>& cookies);

}  // namespace tools
