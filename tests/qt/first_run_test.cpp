// The viewer on the Qt backend, headless: a first run in a dark palette.
#include <QAccessible>
#include <QClipboard>
#include <QFontMetrics>
#include <QScrollArea>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/window_cycles.h"
#include "database/data_file_writer.h"
#include "framework/qt/qt_backend.h"
#include "modal_script.h"
#include "settings/settings.h"

namespace {

QString shown_row(std::string_view row) {
  QString text = fw::qt::decode_windows_1252(row.data(), static_cast<int>(row.size()));
  while (text.endsWith(u' ')) text.chop(1);
  return text;
}

// Checks that the groove and the rows (nothing below) stand out, that the frame is as wide as
// the widest row, and that copying and screen readers give the text read; gives the frame.
QRect look_at(QWidget& frame) {
  QWidget* client = frame.findChild<QScrollArea*>()->widget();
  const QImage picture = client->grab().toImage();
  const int siz = settings::current.siz;
  const viewer_model::LaidOutCookie& cookie =
      dynamic_cast<const app::TMainWindow&>(*fw::qt::owner_of(client)).cookie();
  const int rows = cookie.rows;
  const QFontMetrics metrics(fw::qt::font_from_request({settings::current.font_text, siz}));
  const int background = qGray(frame.palette().color(QPalette::Window).rgb());
  EXPECT_NE(picture.pixel(99, 25), picture.pixel(99, 24)) << "the groove's upper row";
  EXPECT_NE(picture.pixel(99, 26), picture.pixel(99, 27)) << "the groove's lower row";
  int text_width = 0;
  QStringList text;
  for (int row = 0; row <= rows; ++row) {
    text << (row < rows ? shown_row(cookie.row(row)) : "");
    text_width = std::max(text_width, metrics.horizontalAdvance(text.back()));
    bool ink = false;
    for (int y = 28 + row * siz; y < (row < rows ? 28 + (row + 1) * siz : picture.height()); ++y) {
      for (int x = 0; x < picture.width(); ++x)
        ink = ink || std::abs(qGray(picture.pixel(x, y)) - background) > 96;
    }
    EXPECT_EQ(ink, !text.back().isEmpty()) << "row " << row << " of " << rows;
  }
  while (text.back().isEmpty()) text.removeLast();
  client->actions().value(0)->trigger();  // the context menu's Copy
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text.join('\n'));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(client)->text(QAccessible::Name),
            text.join('\n'));
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&frame);
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name), app::frame_title);
  EXPECT_GT(text_width, 639) << "the first-use font needs more than wit";
  EXPECT_EQ(frame.width(), 4 + text_width + 4);
  return frame.frameGeometry();
}

TEST(QtViewer, FirstRunInADarkPaletteShowsWholeRowsWhereTheUserLeftTheWindow) {
  std::filesystem::current_path(DROLLBOX_QT_TEST_OUTPUT);
  std::filesystem::remove("Drollbox.cfg");
  std::vector<std::string> cookies;  // 61 columns: wider than 639 pixels at the first-use font
  for (int i = 0; i < 150; ++i)
    cookies.push_back("A row of " + std::string(52, 'a' + i % 26) + std::string(1 + i % 4, '\n') +
                      "Short \xE9.");
  const std::vector<std::uint8_t> image = database::build_data_file(cookies).bytes;
  std::ofstream("Drollbox.dat").write(reinterpret_cast<const char*>(image.data()), image.size());
  fw::qt::application();
  QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30)));
  std::vector<QRect> seen;
  qt_test::ModalScript script;
  auto window = [&, first = fw::qt::state.frames_created + 1](int n, Qt::Key key) {
    auto shown = [n, first] {
      return fw::qt::state.frames_created == first + n &&
             fw::qt::owner_of(QApplication::activeWindow());
    };
    script.then("window " + std::to_string(n), shown, [&seen, n, key] {
      QWidget& frame = *QApplication::activeWindow();
      seen.push_back(look_at(frame));
      if (n == 0) frame.move(30, 40);
      QTest::keyClick(frame.focusWidget(), key);
    });
  };
  for (const char* default_answer : {"the first question", "the font dialog"})
    script.then(default_answer, QApplication::activeModalWidget,
                [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
  window(0, Qt::Key_N);
  window(1, Qt::Key_Escape);
  script.start();

  EXPECT_EQ(app::run_window_cycles(""), 0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(QRect(0, 0, 800, 600).contains(seen[0])) << "the settings place, on the screen";
  EXPECT_EQ(seen[1].topLeft(), QPoint(30, 40)) << "where the user left the last window";
}

}  // namespace
