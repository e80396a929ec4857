// The viewer on the screen its test run was given (QT_QPA_PLATFORM and
// QT_SCALE_FACTOR, see CMakeLists.txt): the widest and the tallest default
// cookies, at the first-use font and at 28 points, shown whole: every column
// and row in view, the bar reachable where it is wider than the screen.
#include <QScreen>
#include <QtMath>
#include <QScrollArea>
#include <QScrollBar>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/window_cycles.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "framework/qt/qt_backend.h"
#include "modal_script.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

struct Extremes {
  std::string widest, tallest;
};

// Widest by the rows' measured extent in the face at siz, tallest by rows.
Extremes default_extremes(int siz) {
  const QFontMetrics metrics(fw::qt::font_from_spec({"Liberation Mono", siz}));
  Extremes found;
  int widest = 0, tallest = 0;
  database::read_each_cookie(DROLLBOX_DEFAULT_DATABASE, [&](std::string&& cookie) {
    database::choice.cookie_text[cookie.copy(database::choice.cookie_text, 1999)] = '\0';
    database::lay_out_cookie(siz);
    const int rows = static_cast<int>(std::strlen(database::choice.display_grid)) / 80;
    for (int row = 0; row < rows; ++row) {
      const int width = metrics.horizontalAdvance(
          fw::qt::decode_windows_1252(database::choice.display_grid + 80 * row, 80).trimmed());
      if (width > widest) widest = width, found.widest = cookie;
    }
    if (rows > tallest) tallest = rows, found.tallest = cookie;
    return true;
  });
  return found;
}

// The ink of the text rows (from y 28) in a picture of the whole client, in
// layout pixels: its right and bottom edges.
QSize text_ink(const QImage& picture, QRgb background) {
  const qreal scale = picture.devicePixelRatio();
  QRect ink;
  for (int y = qRound(28 * scale); y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (std::abs(qGray(picture.pixel(x, y)) - qGray(background)) > 96) ink |= QRect(x, y, 1, 1);
    }
  }
  return QSize(qCeil((ink.right() + 1) / scale), qCeil((ink.bottom() + 1) / scale));
}

struct Shown {
  QRect frame, work_area;
  QSize view, client;
  QSize ink;  // right and bottom edges
  int font_height = 0, rows = 0, widest = 0;
  bool reaches_all = false;  // the scroll bars reach every part of the client
};

Shown look_at(QWidget& frame) {
  auto* scroller = frame.findChild<QScrollArea*>();
  QWidget* client = scroller->widget();
  const auto& window = dynamic_cast<const app::TMainWindow&>(*fw::qt::owner_of(client));
  const QFontMetrics metrics(*static_cast<const QFont*>(window.display_font()->handle()));
  Shown shown;
  shown.frame = frame.frameGeometry();
  shown.work_area = frame.screen()->availableGeometry();
  shown.view = scroller->viewport()->size();
  shown.client = client->size();
  shown.ink = text_ink(client->grab().toImage(), frame.palette().color(QPalette::Window).rgb());
  shown.font_height = window.row_pitch();
  shown.rows = static_cast<int>(std::strlen(database::choice.display_grid)) / 80;
  for (int row = 0; row < shown.rows; ++row)
    shown.widest = std::max(
        shown.widest,
        metrics.horizontalAdvance(
            fw::qt::decode_windows_1252(database::choice.display_grid + 80 * row, 80).trimmed()));
  shown.reaches_all = scroller->horizontalScrollBar()->maximum() ==
                          std::max(0, client->width() - shown.view.width()) &&
                      scroller->verticalScrollBar()->maximum() ==
                          std::max(0, client->height() - shown.view.height());
  return shown;
}

Shown show_one(const std::string& cookie, int siz) {
  const std::vector<std::string> cookies{cookie};
  const std::vector<std::uint8_t> image = database::build_data_file(cookies).bytes;
  std::ofstream("Drollbox.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  std::ofstream("Drollbox.cfg", std::ios::binary)
      << ":Config:\r\nscr=0\r\nfon=Liberation Mono\r\nsiz=" << siz << "\r\nwit=639\r\n";
  app::reset_lifetime();
  Shown shown;
  qt_test::ModalScript script;
  script.then(
      "the window", [] { return fw::qt::owner_of(QApplication::activeWindow()) != nullptr; },
      [&shown] {
        QWidget& frame = *QApplication::activeWindow();
        shown = look_at(frame);
        QTest::keyClick(frame.focusWidget(), Qt::Key_Escape);
      });
  script.start();
  EXPECT_EQ(app::run_window_cycles(0, nullptr), 0);
  return shown;
}

class QtScreen : public ::testing::TestWithParam<int> {};

TEST_P(QtScreen, TheWidestAndTallestDefaultCookiesAreShownWhole) {
  const int siz = GetParam();
  fw::qt::application();
  const fs::path folder = fs::path(DROLLBOX_QT_TEST_OUTPUT) / ("screen-" + std::to_string(siz));
  fs::create_directories(folder);
  fs::current_path(folder);
  const Extremes extremes = default_extremes(siz);
  for (const auto& [name, cookie] :
       {std::pair{"widest", extremes.widest}, {"tallest", extremes.tallest}}) {
    const Shown s = show_one(cookie, siz);
    const int last_row_top = 28 + (s.rows - 1) * s.font_height;
    const bool scrolls = s.client != s.view;
    std::printf("%dx%d at scale %g, siz %d, %s cookie (%d rows): frame %dx%d, font %d%s\n",
                s.work_area.width(), s.work_area.height(), qApp->devicePixelRatio(), siz, name,
                s.rows, s.frame.width(), s.frame.height(), s.font_height,
                scrolls ? ", the bar scrolls" : "");
    EXPECT_TRUE(s.work_area.contains(s.frame)) << name;
    EXPECT_LE(s.font_height, siz) << name;
    EXPECT_GE(s.ink.width(), 4 + s.widest - s.font_height) << name << ": the last column drawn";
    EXPECT_LE(s.ink.width(), s.view.width()) << name << ": and in view";
    EXPECT_GT(s.ink.height(), last_row_top) << name << ": the last row drawn";
    EXPECT_LE(s.ink.height(), s.view.height()) << name << ": and in view";
    EXPECT_TRUE(s.reaches_all) << name << ": the scroll bars reach the whole client";
  }
}

// The first-use font (21 pixels, siz 22) and 28 points.
INSTANTIATE_TEST_SUITE_P(Fonts, QtScreen, ::testing::Values(22, 29));

}  // namespace
