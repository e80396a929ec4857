// Painting, fonts and system colours on GDI.
#include "framework/backend.h"
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
  SetPixel(hdc_, x, y, to_colorref(colour));
}

void HdcPaintContext::text_out(int x, int y, const char* text, int length) {
  TextOutA(hdc_, x, y, text, length);
}

const TFont* HdcPaintContext::select_font(const TFont* font) {
  const TFont* previous = selected_;
  HGDIOBJ wanted = font != nullptr ? static_cast<HGDIOBJ>(font->handle()) : own_font_;
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

void* create_font(const FontSpec& font_spec) {
  return CreateFontA(font_spec.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font_spec.face.c_str());
}

void delete_font(void* handle) {
  if (handle != nullptr) DeleteObject(static_cast<HGDIOBJ>(handle));
}

int text_width(void* font_handle, const char* text, int length) {
  HDC hdc = GetDC(nullptr);
  if (hdc == nullptr) return 0;
  HGDIOBJ previous = SelectObject(hdc, static_cast<HGDIOBJ>(font_handle));
  SIZE extent = {};
  GetTextExtentPoint32A(hdc, text, length, &extent);
  SelectObject(hdc, previous);
  ReleaseDC(nullptr, hdc);
  return extent.cx;
}

}  // namespace backend
}  // namespace fw
