// The settings file's words, the same for the reader and the writer: five
// lines, each ended by CR LF.
#pragma once

#include <cstdint>
#include <string_view>

namespace settings {

inline constexpr std::string_view header_line = ":Config:";
inline constexpr std::string_view line_end = "\r\n";
inline constexpr std::string_view screen_key = "scr=";
inline constexpr std::string_view font_key = "fon=";
inline constexpr std::string_view size_key = "siz=";
inline constexpr std::string_view width_key = "wit=";

// The width always written, and read in place of one out of range.
inline constexpr std::int32_t usual_width = 639;

}  // namespace settings
