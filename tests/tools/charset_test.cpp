#include "tools/charset.h"

#include <gtest/gtest.h>

namespace tools {
namespace {

TEST(Charset, EveryByteHasOneUtf8FormThatComesBack) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string utf8 = cp1252_to_utf8(all);
  const Conversion back = utf8_to_cp1252(utf8);
  EXPECT_EQ(back.text, all);
  EXPECT_EQ(back.replaced, 0u);
  EXPECT_EQ(back.raw_bytes, 0u);
}

TEST(Charset, MapsTheWindows1252RowAndLatin1) {
  EXPECT_EQ(cp1252_to_utf8("\x80"), "\xE2\x82\xAC");                  // €
  EXPECT_EQ(cp1252_to_utf8("\x96\x97"), "\xE2\x80\x93\xE2\x80\x94");  // – —
  EXPECT_EQ(cp1252_to_utf8("\x93\x94"), "\xE2\x80\x9C\xE2\x80\x9D");  // “ ”
  EXPECT_EQ(cp1252_to_utf8("\x9F"), "\xC5\xB8");                      // Ÿ
  EXPECT_EQ(cp1252_to_utf8("\x81"), "\xC2\x81");                      // undefined: the C1 control
  EXPECT_EQ(cp1252_to_utf8("\xE9\xFC\xA0"), "\xC3\xA9\xC3\xBC\xC2\xA0");
  EXPECT_EQ(utf8_to_cp1252("\xE2\x82\xAC \xC3\xA9 \xC5\x92").text, "\x80 \xE9 \x8C");
}

TEST(Charset, ReplacesWhatTheSetCannotHoldAndCountsIt) {
  const Conversion converted = utf8_to_cp1252("\xE2\x86\x92 \xF0\x9F\x98\x80 \xC2\x80 \xCE\xA9");
  EXPECT_EQ(converted.text, "? ? ? ?");  // arrow, emoji, U+0080 (its byte means €), omega
  EXPECT_EQ(converted.replaced, 4u);
  EXPECT_EQ(converted.raw_bytes, 0u);
}

TEST(Charset, KeepsBytesThatAreNotUtf8AsTheyAre) {
  struct Case {
    std::string input;
    std::size_t raw;
  };
  const Case cases[] = {
      {"\xE9t\xE9", 2},         // Latin-1 text
      {"\xC0\x80", 2},          // overlong zero
      {"\xE0\x80\xAF", 3},      // overlong slash
      {"\xED\xA0\x80", 3},      // a surrogate
      {"\xF4\x90\x80\x80", 4},  // past U+10FFFF
      {"\x80", 1},              // a lone continuation byte
      {"ab\xE2\x82", 2},        // cut short at the end
  };
  for (const Case& c : cases) {
    const Conversion converted = utf8_to_cp1252(c.input);
    EXPECT_EQ(converted.text, c.input);
    EXPECT_EQ(converted.raw_bytes, c.raw) << c.input;
    EXPECT_EQ(converted.replaced, 0u);
  }
  // A broken sequence does not swallow the valid character after it.
  EXPECT_EQ(utf8_to_cp1252("\xE2\x82\xC3\xA9").text, "\xE2\x82\xE9");
}

}  // namespace
}  // namespace tools
