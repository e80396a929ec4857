// Painting through a QPainter with the device-context rules of Win32: text
// cells drawn opaque in the text background colour, fonts selected into the
// context and given back; the text in the desktop's window-text colour.
// A second context only records what a paint would show as text.
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "framework/qt/qt_backend.h"

namespace fw::qt {

QColor to_qcolor(Colour colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

Colour from_qcolor(const QColor& colour) {
  return rgb(static_cast<unsigned>(colour.red()), static_cast<unsigned>(colour.green()),
             static_cast<unsigned>(colour.blue()));
}

namespace {

constexpr Colour win32_default_text_background = rgb(255, 255, 255);
constexpr int least_visible_step = 16;

class QtPaintContext : public PaintContext {
 public:
  explicit QtPaintContext(QPainter& painter) : painter_(painter), own_font_(painter.font()) {
    painter_.setPen(application().palette().color(QPalette::Active, QPalette::WindowText));
  }

  void set_pixel(int x, int y, Colour colour) override {
    painter_.fillRect(x, y, 1, 1, to_qcolor(colour));
  }

  void text_out(int x, int y, const char* text, int length) override {
    QString run = decode_windows_1252(text, length);
    QFontMetrics metrics(painter_.font());
    painter_.fillRect(x, y, metrics.horizontalAdvance(run), metrics.height(),
                      to_qcolor(text_background_));
    painter_.drawText(x, y + metrics.ascent(), run);
  }

  const TFont* select_font(const TFont* font) override {
    const TFont* previous = selected_;
    selected_ = font;
    painter_.setFont(font != nullptr ? *static_cast<const QFont*>(font->handle()) : own_font_);
    return previous;
  }

  Colour set_text_background(Colour colour) override {
    return std::exchange(text_background_, colour);
  }

 private:
  QPainter& painter_;
  QFont own_font_;
  const TFont* selected_ = nullptr;
  Colour text_background_ = win32_default_text_background;
};

int largest_channel_step(const QColor& a, const QColor& b) {
  return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                   std::abs(a.blue() - b.blue())});
}

// The groove's two rows must show against the window background whatever
// the desktop's palette says; a colour too close to it is shaded away.
QColor visible_against(const QColor& wanted, const QColor& background, bool darker) {
  if (largest_channel_step(wanted, background) >= least_visible_step) return wanted;
  QColor shaded = darker ? background.darker(140) : background.lighter(140);
  if (largest_channel_step(shaded, background) >= least_visible_step) return shaded;
  return darker ? background.lighter(160) : background.darker(125);
}

class RecordingContext : public PaintContext {
 public:
  explicit RecordingContext(const QFont& own_font) : own_font_(own_font), font_(own_font) {}

  void set_pixel(int, int, Colour) override {}

  void text_out(int x, int y, const char* text, int length) override {
    while (length > 0 && text[length - 1] == ' ') --length;
    shown_.rows.push_back({y, decode_windows_1252(text, length)});
    if (length == 0) return;
    shown_.left = std::min(shown_.left, x);
    shown_.right =
        std::max(shown_.right, x + QFontMetrics(font_).horizontalAdvance(shown_.rows.back().text));
  }

  const TFont* select_font(const TFont* font) override {
    font_ = font != nullptr ? *static_cast<const QFont*>(font->handle()) : own_font_;
    return std::exchange(selected_, font);
  }

  Colour set_text_background(Colour colour) override { return std::exchange(background_, colour); }

  ShownText shown() {
    std::stable_sort(shown_.rows.begin(), shown_.rows.end(),
                     [](const ShownText::Row& a, const ShownText::Row& b) { return a.y < b.y; });
    return shown_;
  }

 private:
  QFont own_font_;
  QFont font_;
  const TFont* selected_ = nullptr;
  Colour background_ = win32_default_text_background;
  ShownText shown_;
};

}  // namespace

QString ShownText::plain_text() const {
  QStringList lines;
  for (const Row& row : rows) lines << row.text;
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines.join(u'\n');
}

ShownText shown_text(QWidget& widget, TWindow& window) {
  RecordingContext context(widget.font());
  window.handle_paint(context);
  return context.shown();
}

void paint_window(QWidget& widget, TWindow& window) {
  QPainter painter(&widget);
  if (window.has_background) painter.fillRect(widget.rect(), to_qcolor(window.background));
  QtPaintContext context(painter);
  window.handle_paint(context);
}

}  // namespace fw::qt

namespace fw {

Colour system_colour(SystemColour which) {
  QPalette palette = qt::application().palette();
  QColor background = palette.color(QPalette::Active, QPalette::Window);
  switch (which) {
    case SystemColour::menu:
      return qt::from_qcolor(background);
    case SystemColour::inactive_caption:
      return qt::from_qcolor(
          qt::visible_against(palette.color(QPalette::Active, QPalette::Dark), background, true));
    case SystemColour::highlight_text:
      return qt::from_qcolor(
          qt::visible_against(palette.color(QPalette::Active, QPalette::Light), background, false));
  }
  return qt::from_qcolor(background);
}

}  // namespace fw
