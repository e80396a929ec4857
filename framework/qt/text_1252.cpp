#include <algorithm>
#include <cstring>

#include "charset/windows_1252.h"
#include "framework/qt/qt_backend.h"

namespace fw::qt {

QString decode_windows_1252(const char* text, int length) {
  QString decoded;
  decoded.reserve(length);
  for (int i = 0; i < length; ++i)
    decoded.append(QChar(charset::character_of(static_cast<unsigned char>(text[i]))));
  return decoded;
}

QString decode_windows_1252(const char* text) {
  return decode_windows_1252(text, static_cast<int>(std::strlen(text)));
}

void encode_windows_1252(const QString& text, char* out, std::size_t capacity) {
  if (capacity == 0) return;
  std::size_t length = std::min(static_cast<std::size_t>(text.size()), capacity - 1);
  for (std::size_t i = 0; i < length; ++i) {
    const char16_t character = text[static_cast<qsizetype>(i)].unicode();
    out[i] = static_cast<char>(charset::byte_of(character).value_or(charset::unheld_character));
  }
  out[length] = '\0';
}

}  // namespace fw::qt
