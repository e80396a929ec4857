// The data file's header, checked in one place for a file read with seeks
// and for standard input read once.
#pragma once

#include <cstdint>
#include <span>

#include "database/damage.h"

namespace database {

struct Header {
  std::uint32_t cookie_count = 0;
  std::uint32_t index_length = 0;
};

// bytes: the file's first header_length bytes, or the whole file when it is
// shorter. A short file is told as a reader taking one byte at a time would
// find it: a magic cut short is the wrong magic, anything later ends early.
DamageKind parse_header(std::span<const std::uint8_t> bytes, Header& header);

}  // namespace database
