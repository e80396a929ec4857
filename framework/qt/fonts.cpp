// Display fonts on Qt: a positive height is the character cell (the line
// height), a negative one the character height, zero the default.
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>
#include <cstdint>
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

// The largest pixel size up to twice the cell height whose line fits the
// cell (1 when none does). Line heights grow with the pixel size, so halving
// the range finds it in a few dozen measurements whatever the height.
int pixel_size_for_cell_height(QFont font, int cell_height) {
  std::int64_t fits = 1;
  std::int64_t beyond =
      std::min<std::int64_t>(2 * std::int64_t{std::max(1, cell_height)} + 1, INT32_MAX);
  while (beyond - fits > 1) {
    const std::int64_t middle = fits + (beyond - fits) / 2;
    (line_height_at(font, static_cast<int>(middle)) <= cell_height ? fits : beyond) = middle;
  }
  return static_cast<int>(fits);
}

// fontconfig knows no family "Liberation Mono Bold", as Windows' font
// mapper knows "Courier New Bold": a face ending in the style words the font
// dialog's choice adds asks for the family at that weight and slant.
QFont font_of_face(const QString& face) {
  QFont font(face);
  if (QFontDatabase::hasFamily(face)) return font;
  QString family = face;
  if (family.endsWith(QLatin1String(" Italic"))) {
    family.chop(7);
    font.setItalic(true);
  }
  if (family.endsWith(QLatin1String(" Bold"))) {
    family.chop(5);
    font.setWeight(QFont::Bold);
  }
  font.setFamily(family);
  return font;
}

QFont font_from_request(const FontRequest& font_request) {
  QFont font = font_of_face(decode_windows_1252(font_request.face.c_str()));
  if (font_request.height > 0) {
    font.setPixelSize(pixel_size_for_cell_height(font, font_request.height));
  } else if (font_request.height < 0) {
    font.setPixelSize(-font_request.height);
  }
  return font;
}

}  // namespace fw::qt

namespace fw::backend {

void* create_font(const FontRequest& font_request) {
  qt::application();
  return new (std::nothrow) QFont(qt::font_from_request(font_request));
}

void delete_font(void* handle) {
  delete static_cast<QFont*>(handle);
}

int text_width(void* font_handle, const char* text, int length) {
  return QFontMetrics(*static_cast<const QFont*>(font_handle))
      .horizontalAdvance(qt::decode_windows_1252(text, length));
}

}  // namespace fw::backend
