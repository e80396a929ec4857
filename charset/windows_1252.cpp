#include "charset/windows_1252.h"

#include <array>

namespace charset {

namespace {

constexpr unsigned char first_windows_byte = 0x80;
constexpr unsigned char last_windows_byte = 0x9F;

constexpr std::array<char16_t, 32> windows_row = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

}  // namespace

char16_t character_of(unsigned char byte) {
  if (byte >= first_windows_byte && byte <= last_windows_byte)
    return windows_row[byte - first_windows_byte];
  return byte;
}

std::optional<unsigned char> byte_of(char32_t character) {
  if (character < first_windows_byte || (character > last_windows_byte && character <= 0xFF))
    return static_cast<unsigned char>(character);
  for (std::size_t i = 0; i < windows_row.size(); ++i) {
    if (windows_row[i] == character) return static_cast<unsigned char>(first_windows_byte + i);
  }
  return std::nullopt;
}

std::u16string to_utf16(std::string_view windows_1252) {
  std::u16string text;
  text.reserve(windows_1252.size());
  for (const char byte : windows_1252) text += character_of(static_cast<unsigned char>(byte));
  return text;
}

}  // namespace charset
