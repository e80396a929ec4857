// The dialogs and the process exit of the windowing layer. Every backend
// (console, scripted, win32, qt) implements these; the settings, the database
// and the problem reports reach the user through nothing else.
#pragma once

#include <cstdint>

namespace fw {

class TWindow;

// Message box styles and answers carry the Win32 values, so the Win32
// backend passes them through unchanged. (Win32's own names are macros.)
enum BoxStyle : unsigned { box_style_ok = 0, box_style_yes_no_cancel = 3 };
enum BoxAnswer : int { box_none = 0, box_ok = 1, box_cancel = 2, box_yes = 6, box_no = 7 };

// Modal message box; owner may be null (no owner window). Returns a BoxAnswer,
// box_none when the box could not be shown.
int message_box(TWindow* owner, const char* text, const char* caption, unsigned style);

// The platform's logical-font record and font-dialog request, with the fields
// and widths of their Win32 originals; the Win32 backend copies them across.
struct LOGFONTA {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};

struct CHOOSEFONTA {
  std::uint32_t lStructSize = 0;
  void* hwndOwner = nullptr;
  void* hDC = nullptr;
  LOGFONTA* lpLogFont = nullptr;
  std::int32_t iPointSize = 0;  // tenths of a point
  std::uint32_t Flags = 0;
  std::uint32_t rgbColors = 0;
  std::intptr_t lCustData = 0;
  void* lpfnHook = nullptr;
  const char* lpTemplateName = nullptr;
  void* hInstance = nullptr;
  char* lpszStyle = nullptr;
  std::uint16_t nFontType = 0;
  std::int32_t nSizeMin = 0;
  std::int32_t nSizeMax = 0;
};

namespace font_flags {
inline constexpr std::uint32_t screen_fonts = 0x00000001;
inline constexpr std::uint32_t init_to_logfont = 0x00000040;
inline constexpr std::uint32_t effects = 0x00000100;
inline constexpr std::uint32_t force_font_exist = 0x00010000;
inline constexpr std::uint16_t screen_fonttype = 0x2000;
}  // namespace font_flags

// The standard font dialog, filled from and written back to request and its
// lpLogFont. Returns 1 when a font was chosen, anything else when not.
int choose_font(CHOOSEFONTA& request);

// Ends the process with the given status through the orderly exit. The
// scripted backend throws fw::scripted::ProcessExit instead, so tests live on.
[[noreturn]] void exit_process(int status);

}  // namespace fw
