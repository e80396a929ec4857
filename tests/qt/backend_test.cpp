// The Qt backend's own translations: Windows-1252 text, fonts and keys.
#include <QClipboard>
#include <QFontInfo>
#include <QPushButton>

#include "framework/qt/qt_backend.h"
#include "modal_script.h"

namespace {

TEST(QtText, Windows1252BothWaysWithinTheCapacity) {
  EXPECT_EQ(fw::qt::decode_windows_1252("\x80\x81\xE9"), QString::fromUtf8("\u20AC\u0081\u00E9"));
  char back[5];
  fw::qt::encode_windows_1252(QString::fromUtf8("\u4E2D\u20ACabc"), back, sizeof back);
  EXPECT_STREQ(back, "?\x80\x61\x62");
}

TEST(QtFonts, StyleWordsAfterTheFamilyGiveTheStyle) {
  fw::qt::application();
  struct Styled {  // Windows' font mapper knows such faces, fontconfig does not
    const char* face;
    bool bold, italic;
  };
  for (Styled row : {Styled{"Liberation Mono Bold", true, false},
                     {"Courier New Italic", false, true},
                     {"Courier New Bold Italic", true, true},
                     {"Liberation Mono", false, false}}) {
    const QFontInfo made(fw::qt::font_from_request({row.face, 13}));
    EXPECT_EQ(made.family(), QString("Liberation Mono")) << row.face;
    EXPECT_EQ(std::pair(made.bold(), made.italic()), std::pair(row.bold, row.italic)) << row.face;
  }
  EXPECT_EQ(fw::qt::font_of_face("Courier New Boldface").family(), "Courier New Boldface");
}

// The viewer's bar, made Ok first, over a row of text.
class BarClient : public fw::TWindow {
 public:
  BarClient() : fw::TWindow(nullptr) {
    const char* labels[] = {"Ok", "New", "Prev", "Config", "About"};
    const int ids[] = {5, 1, 2, 3, 4}, left[] = {516, 54, 126, 199, 359};
    for (int i = 0; i < 5; ++i) new fw::TButton(this, ids[i], labels[i], left[i], 1, 55, 20);
  }
  void paint(fw::PaintContext& dc) override { dc.text_out(4, 28, "A row  ", 7); }
  bool find_command(int id) override {
    commands.push_back(id);
    close_window();
    return true;
  }
  std::vector<int> commands;
};

// One Window cycle; act runs in its frame once it is shown.
class SmallApp : public fw::TApplication {
 public:
  explicit SmallApp(std::function<void(QWidget& frame)> act) {
    script.then("small window", QApplication::activeWindow,
                [act] { act(*QApplication::activeWindow()); });
    script.start();
  }
  void make_main_window() override {
    set_main_window(new fw::TFrameWindow("Small", client = new BarClient()));
    main_window()->rect = {500, 400, 639, 300};
  }
  BarClient* client = nullptr;
  qt_test::ModalScript script;
};

TEST(QtWindows, LettersPressTheirButtonsEscapeClosesAndFocusStartsMarkedOnNew) {
  fw::qt::application();
  struct Row {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<int> commands;
    QString copied{};
  };
  for (const Row& row :
       {Row{Qt::Key_N, {}, {1}}, Row{Qt::Key_P, {}, {2}}, Row{Qt::Key_C, {}, {3}},
        Row{Qt::Key_A, {}, {4}}, Row{Qt::Key_Return, {}, {1}}, Row{Qt::Key_Escape, {}, {}},
        Row{Qt::Key_F4, Qt::AltModifier, {}}, Row{Qt::Key_C, Qt::ControlModifier, {}, "A row"}}) {
    QStringList seen;
    SmallApp app([&](QWidget& frame) {
      for (QWidget* w = frame.focusWidget(); seen.size() < 6; w = w->nextInFocusChain()) {
        if (auto* button = qobject_cast<QPushButton*>(w))
          seen << button->text() + (button->isDefault() ? "*" : "");
      }
      seen << (frame.testAttribute(Qt::WA_KeyboardFocusChange) ? "marked" : "unmarked");
      QGuiApplication::clipboard()->clear();
      QTest::keyClick(frame.focusWidget(), row.key, row.modifiers);
      seen << QString::number(frame.frameGeometry().width())
           << QGuiApplication::clipboard()->text();
      if (frame.isVisible()) frame.close();
    });
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(app.client->commands, row.commands)
        << QKeySequence(row.modifiers | row.key).toString().toStdString();
    EXPECT_EQ(seen, QStringList({"&New*", "&Prev", "&Config", "&About", "&Ok", "&New*", "marked",
                                 "639", row.copied}))
        << "placed as the frame's rect says";
  }
}

}  // namespace
