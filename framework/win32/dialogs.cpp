// Message boxes, the font dialog and process exit on Win32.
#include <cstdlib>
#include <cstring>

#include "framework/dialogs.h"
#include "framework/framework.h"
#include "framework/win32/state.h"
#include <commdlg.h>

namespace fw {

int message_box(TWindow* owner, const char* text, const char* caption, unsigned style) {
  HWND owner_hwnd = (owner != nullptr && owner->alive()) ? static_cast<HWND>(owner->peer) : nullptr;
  return MessageBoxExA(owner_hwnd, text, caption, style, 0);
}

namespace {

// Our record and the platform's share their field names, so one copy serves
// both directions.
template <class From, class To>
void copy_log_font(const From& from, To& to) {
  to.lfHeight = from.lfHeight;
  to.lfWidth = from.lfWidth;
  to.lfEscapement = from.lfEscapement;
  to.lfOrientation = from.lfOrientation;
  to.lfWeight = from.lfWeight;
  to.lfItalic = from.lfItalic;
  to.lfUnderline = from.lfUnderline;
  to.lfStrikeOut = from.lfStrikeOut;
  to.lfCharSet = from.lfCharSet;
  to.lfOutPrecision = from.lfOutPrecision;
  to.lfClipPrecision = from.lfClipPrecision;
  to.lfQuality = from.lfQuality;
  to.lfPitchAndFamily = from.lfPitchAndFamily;
  static_assert(sizeof(to.lfFaceName) == sizeof(from.lfFaceName));
  std::memcpy(to.lfFaceName, from.lfFaceName, sizeof(to.lfFaceName));
  to.lfFaceName[sizeof(to.lfFaceName) - 1] = '\0';
}

::CHOOSEFONTA platform_request(const fw::CHOOSEFONTA& request, ::LOGFONTA* log_font) {
  ::CHOOSEFONTA real = {};
  real.lStructSize = sizeof(::CHOOSEFONTA);  // the size of this build's record
  real.hwndOwner = static_cast<HWND>(request.hwndOwner);
  real.hDC = static_cast<HDC>(request.hDC);
  real.lpLogFont = log_font;
  real.iPointSize = request.iPointSize;
  real.Flags = request.Flags;
  real.rgbColors = request.rgbColors;
  real.lCustData = static_cast<LPARAM>(request.lCustData);
  real.lpfnHook = reinterpret_cast<LPCFHOOKPROC>(request.lpfnHook);
  real.lpTemplateName = request.lpTemplateName;
  real.hInstance = static_cast<HINSTANCE>(request.hInstance);
  real.lpszStyle = request.lpszStyle;
  real.nFontType = request.nFontType;
  real.nSizeMin = request.nSizeMin;
  real.nSizeMax = request.nSizeMax;
  return real;
}

// Only what the dialog hands back; the caller's pointers stay its own.
void copy_answer(const ::CHOOSEFONTA& real, fw::CHOOSEFONTA& request) {
  request.iPointSize = real.iPointSize;
  request.Flags = real.Flags;
  request.rgbColors = real.rgbColors;
  request.nFontType = real.nFontType;
}

}  // namespace

int choose_font(CHOOSEFONTA& request) {
  ::LOGFONTA log_font = {};
  if (request.lpLogFont != nullptr) copy_log_font(*request.lpLogFont, log_font);
  ::CHOOSEFONTA real = platform_request(request, &log_font);
  if (!ChooseFontA(&real)) return 0;
  copy_answer(real, request);
  if (request.lpLogFont != nullptr) copy_log_font(log_font, *request.lpLogFont);
  return 1;
}

void exit_process(int status) {
  std::exit(status);
}

}  // namespace fw
