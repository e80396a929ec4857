// The Qt backend's own translations: Windows-1252 text, the display font's
// cell height, the message boxes' buttons and answers, the font dialog's
// choice, the groove colours, and a frame's outer geometry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <cstring>

#include "framework/backend.h"
#include "framework/qt/qt_backend.h"
#include "modal_script.h"

namespace {

using qt_test::ModalScript;

TEST(QtText, Windows1252DecodesItsOwnCharactersAndRoundTrips) {
  const char bytes[] = "\x80\x85\x8A\x92\x99\x9F\x81\xA0\xE9\xFF A";
  const QString decoded = fw::qt::decode_windows_1252(bytes);
  EXPECT_EQ(decoded,
            QString::fromUtf8("\u20AC\u2026\u0160\u2019\u2122\u0178\u0081\u00A0\u00E9\u00FF A"));

  char all[256];
  for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
  char back[257];
  fw::qt::encode_windows_1252(fw::qt::decode_windows_1252(all, 256), back, sizeof back);
  EXPECT_EQ(std::memcmp(all, back, 256), 0);

  char small[5];
  fw::qt::encode_windows_1252(QString::fromUtf8("\u4E2D\u20ACabcdef"), small, sizeof small);
  EXPECT_STREQ(small,
               "?\x80"
               "ab");
}

TEST(QtFonts, CellHeightIsTheLineHeightAndTheFaceIsTakenWhole) {
  fw::qt::application();
  for (int siz : {8, 11, 13, 16, 21, 27, 40}) {
    auto font = fw::TFont::create({"Courier New", siz});
    ASSERT_NE(font, nullptr);
    QFont made = *static_cast<const QFont*>(font->handle());
    EXPECT_LE(QFontMetrics(made).height(), siz) << "rows would overlap at siz " << siz;
    QFont larger = made;
    larger.setPixelSize(made.pixelSize() + 1);
    EXPECT_GT(QFontMetrics(larger).height(), siz) << "a larger font fits siz " << siz;
    EXPECT_EQ(QFontInfo(made).family(), "Liberation Mono");
  }
  fw::FontSpec hostile;  // found by halving, not by stepping through every size
  hostile.face = "Courier New";
  hostile.height = 1'000'000'000;
  EXPECT_LE(QFontMetrics(fw::qt::font_from_spec(hostile)).height(), hostile.height);

  QFont made = fw::qt::font_from_spec({"Courier New Bold Italic", 13});
  EXPECT_EQ(made.family(), "Courier New Bold Italic");
  EXPECT_EQ(made.weight(), QFont::Normal);
  EXPECT_FALSE(made.italic());
  EXPECT_EQ(fw::qt::font_from_spec({"Courier New", -15}).pixelSize(), 15);
}

TEST(QtMessageBoxes, ButtonsOrderAndAnswersFollowWin32) {
  fw::qt::application();
  ModalScript script;
  QStringList labels;
  script.answer_box("Caption \u20AC", "&No", [&labels](QMessageBox& box) {
    labels = qt_test::labels_left_to_right(box);
    EXPECT_EQ(box.text(), QString::fromUtf8("Text \u2019quoted\u2019"));
  });
  script.answer_box("Q", "&Yes");
  script.answer_box("Q", "Cancel");
  script.answer_box("Q", "Escape");
  script.answer_box("Q", "close box");
  QStringList ok_labels;
  script.answer_box("N", "OK", [&ok_labels](QMessageBox& box) {
    ok_labels = qt_test::labels_left_to_right(box);
  });
  script.answer_box("N", "Escape");
  script.answer_box("N", "close box");
  script.start();

  using fw::Answer;
  const auto question = fw::BoxKind::question;
  EXPECT_EQ(fw::message_box(nullptr, "Text \x92quoted\x92", "Caption \x80", question), Answer::no);
  EXPECT_EQ(labels, QStringList({"&Yes", "&No", "Cancel"}));
  EXPECT_EQ(fw::message_box(nullptr, "t", "Q", question), Answer::yes);
  EXPECT_EQ(fw::message_box(nullptr, "t", "Q", question), Answer::cancel);
  EXPECT_EQ(fw::message_box(nullptr, "t", "Q", question), Answer::cancel);
  EXPECT_EQ(fw::message_box(nullptr, "t", "Q", question), Answer::cancel);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(fw::message_box(nullptr, "t", "N", fw::BoxKind::notice), Answer::none);
  EXPECT_EQ(ok_labels, QStringList({"OK"}));
  EXPECT_TRUE(script.finished());
}

QFontDialog* active_font_dialog() {
  return qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
}

TEST(QtFontDialog, OpensOnTheFontShownAndReturnsTheChoice) {
  fw::qt::application();
  QFont offered;
  ModalScript script;
  script.then(
      "font dialog to cancel", [] { return active_font_dialog() != nullptr; },
      [] { active_font_dialog()->reject(); });
  script.then(
      "font dialog", [] { return active_font_dialog() != nullptr; },
      [&offered] {
        offered = active_font_dialog()->currentFont();
        QFont chosen("Liberation Sans", 12);
        chosen.setBold(true);
        chosen.setItalic(true);
        active_font_dialog()->setCurrentFont(chosen);
        active_font_dialog()->accept();
      });
  script.start();

  const fw::FontChoice courier{"Courier New", 210, 0, false};
  EXPECT_FALSE(fw::choose_font(courier));
  EXPECT_EQ(fw::choose_font(courier), (fw::FontChoice{"Liberation Sans", 120, 700, true}));
  EXPECT_EQ(offered.family(), "Liberation Mono");
  EXPECT_EQ(offered.pointSize(), 21);
  EXPECT_TRUE(script.finished());
}

TEST(QtFontDialog, OnlyBoldIsWeight700AndHalfPointsAreKept) {
  fw::qt::application();
  QFont semibold("Liberation Serif", 10);
  semibold.setWeight(QFont::DemiBold);
  EXPECT_EQ(fw::qt::choice_from_font(semibold), (fw::FontChoice{"Liberation Serif", 100, 400}));
  semibold.setWeight(QFont::ExtraBold);
  EXPECT_EQ(fw::qt::choice_from_font(semibold).weight, 400);

  const fw::FontChoice half{"Liberation Serif", 105, 700, true};
  QFont font = fw::qt::font_from_choice(half);
  EXPECT_EQ(font.pointSizeF(), 10.5);
  EXPECT_EQ(fw::qt::choice_from_font(font), half);
}

TEST(QtColours, GrooveStaysVisibleWhateverThePalette) {
  fw::qt::application();
  const QPalette original = QApplication::palette();
  for (QColor window : {QColor(0xEF, 0xEF, 0xEF), QColor(Qt::white), QColor(0x30, 0x30, 0x30)}) {
    QPalette flat = original;
    flat.setColor(QPalette::Window, window);
    flat.setColor(QPalette::Dark, window);
    flat.setColor(QPalette::HighlightedText, window);
    QApplication::setPalette(flat);
    const fw::Colour background = fw::system_colour(fw::SystemColour::menu);
    EXPECT_EQ(background, fw::qt::from_qcolor(window));
    EXPECT_NE(fw::system_colour(fw::SystemColour::inactive_caption), background)
        << window.name().toStdString();
    EXPECT_NE(fw::system_colour(fw::SystemColour::highlight_text), background)
        << window.name().toStdString();
    EXPECT_NE(fw::system_colour(fw::SystemColour::highlight_text),
              fw::system_colour(fw::SystemColour::inactive_caption));
  }
  QApplication::setPalette(original);
}

// A client that records its commands and closes on the last one.
class RecordingClient : public fw::TWindow {
 public:
  RecordingClient() : fw::TWindow(nullptr) {
    set_background(fw::rgb(0, 128, 0));
    new fw::TButton(this, 7, "Seven", 10, 5, 60, 20);
  }
  // Blanks in an opaque red cell, then a black pixel and a text run in the
  // context's own font after a font was selected and given back.
  void paint(fw::PaintContext& dc) override {
    auto font = fw::TFont::create({"Courier New", 20});
    previous_font = dc.select_font(font.get());
    first_background = dc.set_text_background(fw::rgb(255, 0, 0));
    dc.text_out(10, 40, "    ", 4);
    given_back_font = dc.select_font(previous_font);
    dc.set_pixel(200, 100, fw::rgb(0, 0, 0));
    dc.text_out(10, 70, "WWWW", 4);
  }
  bool find_command(int id) override {
    commands.push_back(id);
    close_window();
    return true;
  }
  std::vector<int> commands;
  const fw::TFont* previous_font = nullptr;
  const fw::TFont* given_back_font = nullptr;
  fw::Colour first_background;
};

class SmallApp : public fw::TApplication {
 public:
  RecordingClient* client = nullptr;

 protected:
  void make_main_window() override {
    client = new RecordingClient();
    auto* frame = new fw::TFrameWindow("Small \xE9", client);
    frame->rect = {40, 30, 300, 200};
    set_main_window(frame);
  }
};

TEST(QtWindows, FramePlacedWholeClientFollowsAndButtonsCommand) {
  fw::qt::application();
  SmallApp application;
  QRect frame_geometry;
  QRect client_after_resize;
  QImage picture;
  ModalScript script;
  auto small_window = [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible() && widget->windowTitle() == QString::fromUtf8("Small \u00E9"))
        return widget;
    }
    return static_cast<QWidget*>(nullptr);
  };
  script.then(
      "small window", [small_window] { return small_window() != nullptr; },
      [&] {
        QWidget* frame = small_window();
        frame_geometry = frame->frameGeometry();
        auto* client = frame->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        picture = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
        frame->resize(420, 260);
        client_after_resize = client->geometry();
        qt_test::button_labelled(*client, "Seven")->click();
      });
  script.start();

  EXPECT_EQ(application.run(), 0);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(frame_geometry, QRect(40, 30, 300, 200));
  EXPECT_EQ(client_after_resize, QRect(0, 0, 420, 260));
  const QRgb green = qRgb(0, 128, 0);
  const QRgb red = qRgb(255, 0, 0);
  EXPECT_EQ(picture.pixel(150, 150), green) << "erased with the window's background";
  EXPECT_EQ(picture.pixel(10, 40), red) << "text cells are opaque";
  EXPECT_EQ(picture.pixel(9, 40), green);
  EXPECT_EQ(picture.pixel(11, 40 + 19), red) << "the cell is the font's 20-pixel line height";
  EXPECT_EQ(picture.pixel(200, 100), qRgb(0, 0, 0));
  EXPECT_EQ(picture.pixel(201, 100), green);
  bool dark_text = false;
  for (int y = 70; y < 85; ++y) {
    for (int x = 10; x < 40; ++x) dark_text = dark_text || qGray(picture.pixel(x, y)) < 64;
  }
  EXPECT_TRUE(dark_text) << "text is black by default";
  EXPECT_EQ(application.client->previous_font, nullptr);
  EXPECT_NE(application.client->given_back_font, nullptr);
  EXPECT_EQ(application.client->first_background, fw::rgb(255, 255, 255));
  EXPECT_EQ(application.client->commands, std::vector<int>({7}));
  EXPECT_FALSE(application.main_window()->alive());
}

}  // namespace
