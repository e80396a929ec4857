// What can be wrong with a data file, and where: every read of one returns
// this instead of ending the process or showing anything.
#pragma once

#include <cstdint>
#include <string>

namespace database {

enum class DamageKind {
  none,
  cannot_open,
  wrong_magic,
  incompatible,
  ends_early,  // the file ends inside the header, the index or a block
  no_cookies,
  index_too_short,  // the index lacks an entry the cookies need
  index_past_end,   // the index runs past the end of the file
  entries_backwards,
  block_past_end,
  block_too_long,  // more compressed bytes than the codec's input area holds
  text_too_long,   // the block decompresses past the codec's output area
  out_of_memory,
  missing_separator,  // the block ends before the cookie's "%"
  no_such_cookie,
  index_too_large,  // to be held for a file read from standard input
};

// A damage kind and where it was found. True when something is wrong.
struct Damage {
  enum class Where : std::uint8_t { file, block, cookie };
  DamageKind kind = DamageKind::none;
  Where where = Where::file;
  std::uint32_t number = 0;  // of the block or cookie

  explicit operator bool() const { return kind != DamageKind::none; }
};

const char* damage_text(DamageKind kind);
// "block 2: a block is longer than 32767 bytes", or the text alone for the file.
std::string describe(const Damage& damage);

}  // namespace database
