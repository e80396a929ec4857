// Message boxes and the font dialog on Qt.
#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/dialogs.h"
#include "framework/framework.h"
#include "framework/qt/qt_backend.h"

namespace fw::qt {

namespace {

constexpr int weight_normal = 400;
constexpr int weight_bold = 700;

struct BoxButton {
  const char* label;
  Answer answer;
};

// The classic order and labels; all buttons share one role so that no
// desktop button layout reorders them.
std::vector<BoxButton> buttons_of(BoxKind kind) {
  if (kind == BoxKind::question)
    return {{"&Yes", Answer::yes}, {"&No", Answer::no}, {"Cancel", Answer::cancel}};
  return {{"OK", Answer::none}};
}

double points_of(const QFont& font) {
  if (font.pointSizeF() > 0) return font.pointSizeF();
  QScreen* screen = QGuiApplication::primaryScreen();
  double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 0.0;
  if (dpi <= 0.0) dpi = 96.0;
  return font.pixelSize() > 0 ? font.pixelSize() * 72.0 / dpi : 0.0;
}

}  // namespace

QFont font_from_choice(const FontChoice& choice) {
  QFont font;
  font.setFamily(decode_windows_1252(choice.face.c_str()));
  if (choice.tenths > 0) font.setPointSizeF(choice.tenths / 10.0);
  font.setWeight(choice.weight > 0 ? static_cast<QFont::Weight>(std::clamp(choice.weight, 1, 1000))
                                   : QFont::Normal);
  font.setItalic(choice.italic);
  return font;
}

FontChoice choice_from_font(const QFont& font) {
  FontChoice choice;
  QByteArray face(font.family().size() + 1, '\0');
  encode_windows_1252(font.family(), face.data(), static_cast<std::size_t>(face.size()));
  choice.face = face.constData();
  choice.tenths = static_cast<int>(std::lround(points_of(font) * 10.0));
  choice.weight = font.weight() == QFont::Bold ? weight_bold : weight_normal;
  choice.italic = font.italic();
  return choice;
}

}  // namespace fw::qt

namespace fw {

Answer message_box(const TWindow* owner, const char* text, const char* caption, BoxKind kind) {
  qt::application();
  QWidget* parent = owner != nullptr ? qt::widget_of(*owner) : nullptr;
  QMessageBox box(parent != nullptr ? parent->window() : nullptr);
  box.setWindowTitle(qt::decode_windows_1252(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(qt::decode_windows_1252(text));
  box.setIcon(QMessageBox::NoIcon);

  std::vector<qt::BoxButton> choices = qt::buttons_of(kind);
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

std::optional<FontChoice> choose_font(const FontChoice& shown) {
  qt::application();
  QFontDialog dialog;
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  QFont font = qt::font_from_choice(shown);
  // The dialog lists installed families only: a face like "Courier New"
  // opens on the font the system substitutes for it.
  if (!QFontDatabase::hasFamily(font.family())) font.setFamily(QFontInfo(font).family());
  dialog.setCurrentFont(font);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return qt::choice_from_font(dialog.selectedFont());
}

}  // namespace fw
