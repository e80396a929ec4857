// Turns fortune files into the cookies a data file can hold: Windows-1252
// text the viewer shows whole. What cannot be held is counted, not lost
// silently.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "database/format.h"
#include "viewer_model/layout.h"

namespace tools {

inline constexpr std::size_t longest_cookie = database::longest_stored_cookie;
inline constexpr std::size_t most_rows = viewer_model::grid_rows;

enum class SkipReason {
  holds_percent,
  holds_zero_byte,
  too_long,
  too_many_rows,
  empty,
  no_room_in_block,
  count_of_reasons,
};

const char* skip_reason_text(SkipReason reason);

// No cookie of more bytes than this converts to one that fits: a character
// takes at most four bytes of UTF-8. Pieces past it are judged unheld.
inline constexpr std::size_t longest_held_piece = 4 * longest_cookie;

struct FortunePiece;

struct CookieSource {
  // Where each kept cookie goes, in file order, Windows-1252; when empty, to cookies.
  std::function<void(std::string&&)> keep;
  std::vector<std::string> cookies;
  std::size_t skipped[static_cast<std::size_t>(SkipReason::count_of_reasons)] = {};
  std::size_t replaced = 0;   // characters stored as "?"
  std::size_t raw_bytes = 0;  // bytes that were not UTF-8, stored as they were
  std::size_t files = 0;

  std::size_t& skip_count(SkipReason reason) { return skipped[static_cast<std::size_t>(reason)]; }
  std::size_t skipped_total() const;
};

// Rows of 80 that the viewer's layout gives the text, however many.
std::size_t rows_needed(std::string_view cookie);

// Keeps the piece's cookie, or counts why it cannot be kept.
void add_piece(CookieSource& source, FortunePiece&& piece);

// Adds the cookies of one fortune file's bytes.
void add_fortune_file(CookieSource& source, std::string_view file_bytes);

}  // namespace tools
