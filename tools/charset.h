// The 8-bit character set the viewer draws (Windows-1252) and UTF-8, both
// ways: every byte has exactly one UTF-8 form, and converting back gives the
// same bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tools {

struct Conversion {
  std::string text;           // Windows-1252
  std::size_t replaced = 0;   // characters the set cannot hold, now "?"
  std::size_t raw_bytes = 0;  // bytes that were not valid UTF-8, kept as they are
};

// Bytes that do not form valid UTF-8 are taken to be Windows-1252 already.
Conversion utf8_to_cp1252(std::string_view utf8);

std::string cp1252_to_utf8(std::string_view cp1252);

}  // namespace tools
