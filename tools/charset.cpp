#include "tools/charset.h"

#include "charset/windows_1252.h"

namespace tools {

namespace {

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
    if (const auto byte = charset::byte_of(decoded.code_point)) {
      result.text += static_cast<char>(*byte);
    } else {
      result.text += charset::unheld_character;
      ++result.replaced;
    }
    at += decoded.length;
  }
  return result;
}

std::string cp1252_to_utf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 8);
  for (const char c : cp1252)
    append_utf8(out, charset::character_of(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace tools
