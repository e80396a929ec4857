// MessageBoxExA and ChooseFontA on Qt: the Win32 buttons, answers and
// records, so the settings and problem reports cannot tell the difference.
#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <cstring>
#include <vector>

#include "framework/dialogs.h"
#include "framework/framework.h"
#include "framework/qt/qt_backend.h"

namespace fw::qt {

namespace {

constexpr std::uint16_t bold_fonttype = 0x0100;
constexpr std::uint16_t italic_fonttype = 0x0200;
constexpr std::uint16_t regular_fonttype = 0x0400;
constexpr std::int32_t weight_normal = 400;
constexpr std::int32_t weight_bold = 700;

struct BoxButton {
  const char* label;
  int answer;
};

// Win32's order and labels; all buttons share one role so that no desktop
// button layout reorders them.
std::vector<BoxButton> buttons_of_style(unsigned style) {
  if (style == box_style_yes_no_cancel)
    return {{"&Yes", box_yes}, {"&No", box_no}, {"Cancel", box_cancel}};
  return {{"OK", box_ok}};
}

double screen_dpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 0.0;
  return dpi > 0.0 ? dpi : 96.0;
}

double points_of(const QFont& font) {
  if (font.pointSizeF() > 0) return font.pointSizeF();
  return font.pixelSize() > 0 ? font.pixelSize() * 72.0 / screen_dpi() : 0.0;
}

}  // namespace

QFont font_from_records(const CHOOSEFONTA& request) {
  QFont font;
  const LOGFONTA* log = request.lpLogFont;
  if (log == nullptr) return font;
  font.setFamily(decode_windows_1252(
      log->lfFaceName, static_cast<int>(strnlen(log->lfFaceName, sizeof log->lfFaceName))));
  if (request.iPointSize > 0) {
    font.setPointSizeF(request.iPointSize / 10.0);
  } else if (log->lfHeight != 0) {
    font.setPointSizeF(std::abs(log->lfHeight) * 72.0 / screen_dpi());
  }
  font.setWeight(log->lfWeight > 0
                     ? static_cast<QFont::Weight>(std::clamp<int>(log->lfWeight, 1, 1000))
                     : QFont::Normal);
  font.setItalic(log->lfItalic != 0);
  font.setUnderline(log->lfUnderline != 0);
  font.setStrikeOut(log->lfStrikeOut != 0);
  return font;
}

void write_font_to_records(const QFont& font, CHOOSEFONTA& request) {
  double points = points_of(font);
  bool bold = font.weight() == QFont::Bold;
  request.iPointSize = static_cast<std::int32_t>(std::lround(points * 10.0));
  request.nFontType = static_cast<std::uint16_t>(font_flags::screen_fonttype |
                                                 (bold ? bold_fonttype : regular_fonttype) |
                                                 (font.italic() ? italic_fonttype : 0));
  LOGFONTA* log = request.lpLogFont;
  if (log == nullptr) return;
  encode_windows_1252(font.family(), log->lfFaceName, sizeof log->lfFaceName);
  log->lfHeight = -static_cast<std::int32_t>(std::lround(points * screen_dpi() / 72.0));
  log->lfWidth = 0;
  log->lfEscapement = 0;
  log->lfOrientation = 0;
  log->lfWeight = bold ? weight_bold : weight_normal;
  log->lfItalic = font.italic() ? 1 : 0;
  log->lfUnderline = font.underline() ? 1 : 0;
  log->lfStrikeOut = font.strikeOut() ? 1 : 0;
}

}  // namespace fw::qt

namespace fw {

int message_box(TWindow* owner, const char* text, const char* caption, unsigned style) {
  qt::application();
  ++qt::state.message_boxes_shown;
  QWidget* parent = owner != nullptr ? qt::widget_of(*owner) : nullptr;
  QMessageBox box(parent != nullptr ? parent->window() : nullptr);
  box.setWindowTitle(qt::decode_windows_1252(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(qt::decode_windows_1252(text));
  box.setIcon(QMessageBox::NoIcon);

  std::vector<qt::BoxButton> choices = qt::buttons_of_style(style);
  std::vector<QPushButton*> buttons;
  for (const qt::BoxButton& choice : choices) {
    buttons.push_back(box.addButton(QString::fromLatin1(choice.label), QMessageBox::ActionRole));
  }
  box.setDefaultButton(buttons.front());
  // Escape and the close box answer with the last button: Cancel, or OK.
  box.setEscapeButton(buttons.back());
  box.exec();

  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return choices[i].answer;
  }
  return choices.back().answer;
}

int choose_font(CHOOSEFONTA& request) {
  qt::application();
  ++qt::state.font_dialogs_shown;
  QFontDialog dialog;
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if ((request.Flags & font_flags::init_to_logfont) != 0) {
    QFont font = qt::font_from_records(request);
    // The dialog lists installed families only: a face like "Courier New"
    // opens on the font the system substitutes for it.
    if (!QFontDatabase::hasFamily(font.family())) font.setFamily(QFontInfo(font).family());
    dialog.setCurrentFont(font);
  }
  if (dialog.exec() != QDialog::Accepted) return 0;
  qt::write_font_to_records(dialog.selectedFont(), request);
  return 1;
}

}  // namespace fw
