// A paint context over the HDC of one BeginPaint / EndPaint pair.
#pragma once

#include "framework/framework.h"
#include "framework/win32/state.h"

namespace fw::win32 {

COLORREF to_colorref(Colour colour);
Colour from_colorref(COLORREF colour);

class HdcPaintContext : public PaintContext {
 public:
  explicit HdcPaintContext(HDC hdc) : hdc_(hdc) {}
  ~HdcPaintContext() override;

  void set_pixel(int x, int y, Colour colour) override;
  void text_out(int x, int y, const char* text, int length) override;
  const TFont* select_font(const TFont* font) override;
  Colour set_text_background(Colour colour) override;

 private:
  HDC hdc_;
  const TFont* selected_ = nullptr;
  HGDIOBJ own_font_ = nullptr;  // the context's font before our first select
};

}  // namespace fw::win32
