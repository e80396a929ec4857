// Painting, fonts and system colours on GDI.
#include "framework/backend.h"
#include "framework/win32/paint_context.h"

namespace fw {

Colour system_colour(int index) {
  return GetSysColor(index);
}

namespace win32 {

// A font still selected when the paint ends must not be deleted while the DC
// holds it, so the context's own font goes back first.
HdcPaintContext::~HdcPaintContext() {
  if (own_font_ != nullptr) SelectObject(hdc_, own_font_);
}

void HdcPaintContext::set_pixel(int x, int y, Colour colour) {
  SetPixel(hdc_, x, y, colour);
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
  return SetBkColor(hdc_, colour);
}

}  // namespace win32

namespace backend {

void* create_font(const FontSpec& font_spec) {
  return CreateFontA(
      font_spec.height, font_spec.width, font_spec.escapement, font_spec.orientation,
      font_spec.weight, font_spec.italic, font_spec.underline, font_spec.strike_out,
      static_cast<DWORD>(font_spec.char_set), static_cast<DWORD>(font_spec.out_precision),
      static_cast<DWORD>(font_spec.clip_precision), static_cast<DWORD>(font_spec.quality),
      static_cast<DWORD>(font_spec.pitch_and_family), font_spec.face.c_str());
}

void delete_font(void* handle) {
  if (handle != nullptr) DeleteObject(static_cast<HGDIOBJ>(handle));
}

}  // namespace backend
}  // namespace fw
