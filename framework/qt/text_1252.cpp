// Windows-1252: Latin-1 except 0x80-0x9F, where Windows put its typographic
// characters. The five codes it leaves unassigned keep their C1 values, as
// Windows' own conversion does.
#include <algorithm>
#include <array>
#include <cstring>

#include "framework/qt/qt_backend.h"

namespace fw::qt {

namespace {

constexpr std::array<char16_t, 32> high_controls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char16_t decode_byte(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return high_controls[byte - 0x80];
  return byte;
}

char encode_character(char16_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
    return static_cast<char>(character);
  for (std::size_t i = 0; i < high_controls.size(); ++i) {
    if (high_controls[i] == character) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

QString decode_windows_1252(const char* text, int length) {
  QString decoded;
  decoded.reserve(length);
  for (int i = 0; i < length; ++i)
    decoded.append(QChar(decode_byte(static_cast<unsigned char>(text[i]))));
  return decoded;
}

QString decode_windows_1252(const char* text) {
  return decode_windows_1252(text, static_cast<int>(std::strlen(text)));
}

void encode_windows_1252(const QString& text, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  std::size_t length = std::min(static_cast<std::size_t>(text.size()), capacity - 1);
  for (std::size_t i = 0; i < length; ++i)
    out[i] = encode_character(text[static_cast<qsizetype>(i)].unicode());
  out[length] = '\0';
}

}  // namespace fw::qt
