// Painting, fonts and system colours on GDI.
#include <new>

#include "framework/backend.h"
#include "framework/win32/dpi.h"
#include "framework/win32/paint_context.h"

namespace fw {

Colour system_colour(SystemColour which) {
  switch (which) {
    case SystemColour::menu:
      return win32::from_colorref(GetSysColor(COLOR_MENU));
    case SystemColour::inactive_caption:
      return win32::from_colorref(GetSysColor(COLOR_INACTIVECAPTION));
    case SystemColour::highlight_text:
      return win32::from_colorref(GetSysColor(COLOR_HIGHLIGHTTEXT));
  }
  return Colour{};
}

namespace win32 {

namespace {

struct Win32Font {
  FontRequest asked;
  int dpi = 0;
  HFONT at_dpi = nullptr;
};

HFONT make_font(const FontRequest& asked, int dpi) {
  return CreateFontA(to_device(asked.height, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, asked.face.c_str());
}

HFONT font_for_dpi(Win32Font& font, int dpi) {
  if (font.dpi == dpi) return font.at_dpi;
  HFONT made = make_font(font.asked, dpi);
  if (made == nullptr) return font.at_dpi;
  DeleteObject(font.at_dpi);
  font.at_dpi = made;
  font.dpi = dpi;
  return made;
}

}  // namespace

HFONT font_at_dpi(const TFont& font, int dpi) {
  return font_for_dpi(*static_cast<Win32Font*>(font.handle()), dpi);
}

COLORREF to_colorref(Colour colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

Colour from_colorref(COLORREF colour) {
  return rgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// A font still selected when the paint ends must not be deleted while the DC
// holds it, so the context's own font goes back first.
HdcPaintContext::~HdcPaintContext() {
  if (own_font_ != nullptr) SelectObject(hdc_, own_font_);
}

void HdcPaintContext::set_pixel(int x, int y, Colour colour) {
  if (dpi_ == layout_dpi) {
    SetPixel(hdc_, x, y, to_colorref(colour));
    return;
  }
  const RECT square = {to_device(x, dpi_), to_device(y, dpi_), to_device(x + 1, dpi_),
                       to_device(y + 1, dpi_)};
  const COLORREF previous = SetDCBrushColor(hdc_, to_colorref(colour));
  FillRect(hdc_, &square, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(hdc_, previous);
}

void HdcPaintContext::text_out(int x, int y, const char* text, int length) {
  TextOutA(hdc_, to_device(x, dpi_), to_device(y, dpi_), text, length);
}

const TFont* HdcPaintContext::select_font(const TFont* font) {
  const TFont* previous = selected_;
  HGDIOBJ wanted = font != nullptr ? font_at_dpi(*font, dpi_) : own_font_;
  if (wanted == nullptr) return previous;  // back to our own font, never left it
  HGDIOBJ replaced = SelectObject(hdc_, wanted);
  if (replaced == nullptr || replaced == HGDI_ERROR) return previous;
  if (own_font_ == nullptr) own_font_ = replaced;
  selected_ = font;
  return previous;
}

Colour HdcPaintContext::set_text_background(Colour colour) {
  return from_colorref(SetBkColor(hdc_, to_colorref(colour)));
}

}  // namespace win32

namespace backend {

// Made at the dpi of the last frame placed, where it is most likely drawn.
void* create_font(const FontRequest& font_request) {
  HFONT made = win32::make_font(font_request, win32::state.dpi);
  if (made == nullptr) return nullptr;
  auto* font = new (std::nothrow) win32::Win32Font{font_request, win32::state.dpi, made};
  if (font == nullptr) DeleteObject(made);
  return font;
}

void delete_font(void* handle) {
  auto* font = static_cast<win32::Win32Font*>(handle);
  if (font == nullptr) return;
  DeleteObject(font->at_dpi);
  delete font;
}

// Measured at the dpi of the screen the frame is being fitted to.
int text_width(void* font_handle, const char* text, int length) {
  const int dpi = win32::state.dpi;
  HFONT font = win32::font_for_dpi(*static_cast<win32::Win32Font*>(font_handle), dpi);
  if (font == nullptr) return 0;
  HDC hdc = GetDC(nullptr);
  if (hdc == nullptr) return 0;
  HGDIOBJ previous = SelectObject(hdc, font);
  SIZE extent = {};
  GetTextExtentPoint32A(hdc, text, length, &extent);
  SelectObject(hdc, previous);
  ReleaseDC(nullptr, hdc);
  return win32::to_layout_ceiling(extent.cx, dpi);
}

}  // namespace backend
}  // namespace fw
