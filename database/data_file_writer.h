// Writes data files: the cookies in blocks of 100, each block compressed by
// the codec, behind the header and the index.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace database {

// Each cookie followed by LF "%%" LF, the layout cut_cookie reads.
std::string block_text(std::span<const std::string> cookies);

struct DataFileImage {
  std::vector<std::uint8_t> bytes;
  std::string error;  // empty on success
};

// Header ("Drollbox fortune file", pad byte 0, version 4, revision 1801,
// count, index length), the index (one entry per block plus the end entry)
// and the compressed blocks. error when there are no cookies, a cookie holds
// a "%", or a block's text or its stream passes 32 767 bytes.
DataFileImage build_data_file(std::span<const std::string> cookies);

}  // namespace database
