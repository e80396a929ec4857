// Message boxes, the font dialog and process exit on Win32.
#include <cstdlib>
#include <cstring>

#include "framework/dialogs.h"
#include "framework/framework.h"
#include "framework/win32/state.h"

namespace fw {

namespace {

UINT box_type(BoxKind kind) {
  return kind == BoxKind::question ? MB_YESNOCANCEL : MB_OK;
}

Answer answer_of(int result) {
  switch (result) {
    case IDYES:
      return Answer::yes;
    case IDNO:
      return Answer::no;
    case IDCANCEL:
      return Answer::cancel;
    default:
      return Answer::none;
  }
}

}  // namespace

Answer message_box(const TWindow* owner, const char* text, const char* caption, BoxKind kind) {
  HWND owner_hwnd = (owner != nullptr && owner->alive()) ? static_cast<HWND>(owner->peer) : nullptr;
  int result = MessageBoxExA(owner_hwnd, text, caption, box_type(kind), 0);
  return kind == BoxKind::question ? answer_of(result) : Answer::none;
}

namespace win32 {

FontDialogRecords font_dialog;

namespace {

constexpr DWORD first_use_flags =
    CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_FORCEFONTEXIST;
constexpr COLORREF dialog_colour = RGB(10, 0, 0);

// The records carry the size twice: in tenths of a point, and as a height of
// as many units as whole points.
void set_first_use_records(FontDialogRecords& records, const FontChoice& shown) {
  LOGFONTA& log_font = records.log_font;
  log_font = LOGFONTA{};
  std::strncpy(log_font.lfFaceName, shown.face.c_str(), sizeof log_font.lfFaceName - 1);
  log_font.lfHeight = shown.tenths / 10;
  log_font.lfWeight = shown.weight;
  log_font.lfItalic = shown.italic ? 1 : 0;

  CHOOSEFONTA& request = records.request;
  request = CHOOSEFONTA{};
  request.lStructSize = sizeof(CHOOSEFONTA);
  request.lpLogFont = &log_font;
  request.iPointSize = shown.tenths;
  request.Flags = first_use_flags;
  request.rgbColors = dialog_colour;
  request.nFontType = SCREEN_FONTTYPE;
  request.nSizeMin = 8;
  request.nSizeMax = 20;
}

}  // namespace

void prepare_font_dialog(FontDialogRecords& records, const FontChoice& shown) {
  if (records.returned != shown) {
    set_first_use_records(records, shown);
    return;
  }
  records.request.lpLogFont = &records.log_font;
  records.request.Flags |= CF_INITTOLOGFONTSTRUCT;
  records.request.rgbColors = dialog_colour;
}

// The dialog is not trusted to terminate the face name.
FontChoice chosen_font(const FontDialogRecords& records) {
  const LOGFONTA& log_font = records.log_font;
  FontChoice choice;
  choice.face.assign(log_font.lfFaceName, strnlen(log_font.lfFaceName, sizeof log_font.lfFaceName));
  choice.tenths = records.request.iPointSize;
  choice.weight = log_font.lfWeight;
  choice.italic = log_font.lfItalic != 0;
  return choice;
}

}  // namespace win32

std::optional<FontChoice> choose_font(const FontChoice& shown) {
  win32::FontDialogRecords& records = win32::font_dialog;
  win32::prepare_font_dialog(records, shown);
  // A cancelled dialog leaves the records as they were.
  win32::FontDialogRecords working = records;
  working.request.lpLogFont = &working.log_font;
  if (ChooseFontA(&working.request) != TRUE) return std::nullopt;
  records.log_font = working.log_font;
  records.request = working.request;
  records.request.lpLogFont = &records.log_font;
  records.returned = win32::chosen_font(records);
  return records.returned;
}

void exit_process(int status) {
  std::exit(status);
}

}  // namespace fw
