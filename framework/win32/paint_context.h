// A paint context over the HDC of one BeginPaint / EndPaint pair.
#pragma once

#include "framework/framework.h"
#include "framework/win32/state.h"

namespace fw::win32 {

COLORREF to_colorref(Colour colour);
Colour from_colorref(COLORREF colour);

// A TFont's platform font is made for each dpi it is drawn at; its height
// is in layout pixels.
HFONT font_at_dpi(const TFont& font, int dpi);

// Draws layout pixels at dpi: a pixel of the program is a square of the
// screen's pixels, text is drawn in the font at that dpi.
class HdcPaintContext : public PaintContext {
 public:
  explicit HdcPaintContext(HDC hdc, int dpi = 96) : hdc_(hdc), dpi_(dpi) {}
  ~HdcPaintContext() override;

  void set_pixel(int x, int y, Colour colour) override;
  void text_out(int x, int y, const char* text, int length) override;
  const TFont* select_font(const TFont* font) override;
  Colour set_text_background(Colour colour) override;

 private:
  HDC hdc_;
  int dpi_;
  const TFont* selected_ = nullptr;
  HGDIOBJ own_font_ = nullptr;  // the context's font before our first select
};

}  // namespace fw::win32
