#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "charset/windows_1252.h"

namespace charset {
namespace {

TEST(Windows1252, EveryByteIsOneCharacterThatComesBackAndNoOtherCharacterHasAByte) {
  for (int byte = 0; byte < 256; ++byte)
    EXPECT_EQ(byte_of(character_of(static_cast<unsigned char>(byte))), byte) << byte;
  EXPECT_EQ(to_utf16("a\x80\x81\x8A\x9F\xA0\xE9\xFF"),
            u"a\u20AC\u0081\u0160\u0178\u00A0\u00E9\u00FF");
  // U+0080 and U+009F are C1 controls whose bytes Windows gave to the euro and Y diaeresis.
  for (const std::uint32_t character : {0x80u, 0x9Fu, 0x100u, 0x20ADu, 0x4E2Du, 0x1F600u})
    EXPECT_EQ(byte_of(character), std::nullopt) << std::hex << character;
}

}  // namespace
}  // namespace charset
