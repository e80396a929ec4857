// CreateFontA's rules on Qt: a positive height is the character cell (the
// line height), a negative one the character height, zero the default.
#include <QApplication>
#include <QFontMetrics>
#include <algorithm>
#include <new>

#include "framework/backend.h"
#include "framework/qt/qt_backend.h"

namespace fw::qt {

namespace {

int line_height_at(QFont font, int pixel_size) {
  font.setPixelSize(pixel_size);
  return QFontMetrics(font).height();
}

}  // namespace

int pixel_size_for_cell_height(QFont font, int cell_height) {
  int size = std::max(1, cell_height);
  while (size > 1 && line_height_at(font, size) > cell_height) --size;
  while (size < 2 * cell_height && line_height_at(font, size + 1) <= cell_height) ++size;
  return size;
}

QFont font_from_spec(const FontSpec& font_spec) {
  QFont font;
  font.setFamily(decode_windows_1252(font_spec.face.c_str()));
  font.setWeight(font_spec.weight > 0
                     ? static_cast<QFont::Weight>(std::clamp(font_spec.weight, 1, 1000))
                     : QFont::Normal);
  font.setItalic(font_spec.italic);
  font.setUnderline(font_spec.underline);
  font.setStrikeOut(font_spec.strike_out);
  if (font_spec.height > 0) {
    font.setPixelSize(pixel_size_for_cell_height(font, font_spec.height));
  } else if (font_spec.height < 0) {
    font.setPixelSize(-font_spec.height);
  }
  return font;
}

}  // namespace fw::qt

namespace fw::backend {

void* create_font(const FontSpec& font_spec) {
  qt::application();
  return new (std::nothrow) QFont(qt::font_from_spec(font_spec));
}

void delete_font(void* handle) {
  delete static_cast<QFont*>(handle);
}

}  // namespace fw::backend
