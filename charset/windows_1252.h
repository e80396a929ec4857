// Windows-1252, the 8-bit set cookies and messages are written in: Latin-1
// except 0x80-0x9F, where Windows put its typographic characters. The five
// codes it leaves unassigned keep their C1 values, as Windows' own
// conversion does, so every byte has exactly one character and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace charset {

// What a character the set cannot hold is written as.
inline constexpr char unheld_character = '?';

char16_t character_of(unsigned char byte);

// Nothing when the set has no byte for the character.
std::optional<unsigned char> byte_of(char32_t character);

std::u16string to_utf16(std::string_view windows_1252);

}  // namespace charset
