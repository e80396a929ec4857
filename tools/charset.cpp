#include "tools/charset.h"

#include <array>
#include <cstdint>

namespace tools {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the set is Latin-1.
constexpr std::array<char32_t, 32> high_control_row = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t code_point_of(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return high_control_row[byte - 0x80];
  return byte;
}

// -1 when the set has no byte for the code point.
int byte_of(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int>(code_point);
  }
  for (std::size_t i = 0; i < high_control_row.size(); ++i) {
    if (high_control_row[i] == code_point) return static_cast<int>(0x80 + i);
  }
  return -1;
}

struct Decoded {
  char32_t code_point = 0;
  std::size_t length = 0;  // 0: not a valid sequence
};

// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded decode_utf8(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t smallest = 0;
  if (lead < 0x80) return {lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return {};
    value = (value << 6) | (next & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

void append_utf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

}  // namespace

Conversion utf8_to_cp1252(std::string_view utf8) {
  Conversion result;
  result.text.reserve(utf8.size());
  std::size_t at = 0;
  while (at < utf8.size()) {
    const Decoded decoded = decode_utf8(utf8, at);
    if (decoded.length == 0) {
      result.text += utf8[at];
      ++result.raw_bytes;
      ++at;
      continue;
    }
    const int byte = byte_of(decoded.code_point);
    if (byte < 0) {
      result.text += '?';
      ++result.replaced;
    } else {
      result.text += static_cast<char>(byte);
    }
    at += decoded.length;
  }
  return result;
}

std::string cp1252_to_utf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 8);
  for (const char c : cp1252) append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace tools
