// The viewer on the screen its test run was given (QT_QPA_PLATFORM and
// QT_SCALE_FACTOR, see CMakeLists.txt): the widest and the tallest default
// cookies, at the first-use font and at 28 points, shown whole: every column
// and row in view, with nothing to scroll.
#include <QScreen>
#include <QtMath>
#include <QScrollArea>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/window_cycles.h"
#include "database/data_file_writer.h"
#include "database/walk.h"
#include "framework/qt/qt_backend.h"
#include "modal_script.h"
#include "settings/settings.h"
#include "viewer_model/layout.h"

namespace {

namespace fs = std::filesystem;

int row_width(const QFontMetrics& metrics, const viewer_model::LaidOutCookie& cookie, int row) {
  const std::string_view text = cookie.row(row);
  return metrics.horizontalAdvance(
      fw::qt::decode_windows_1252(text.data(), static_cast<int>(text.size())).trimmed());
}

// The widest (by the rows' extent in the face at siz) and the tallest.
std::pair<std::string, std::string> default_extremes(int siz) {
  const QFontMetrics metrics(fw::qt::font_from_request({"Liberation Mono", siz}));
  std::pair<std::string, std::string> found;
  int widest = 0, tallest = 0;
  database::read_each_cookie(DROLLBOX_DEFAULT_DATABASE, [&](std::string&& cookie) {
    const viewer_model::LaidOutCookie laid_out = viewer_model::lay_out(
        std::string_view(cookie).substr(0, database::shown_cookie_length), siz);
    for (int row = 0; row < laid_out.rows; ++row) {
      const int width = row_width(metrics, laid_out, row);
      if (width > widest) widest = width, found.first = cookie;
    }
    if (laid_out.rows > tallest) tallest = laid_out.rows, found.second = cookie;
    return true;
  });
  return found;
}

// The right and bottom edges, in layout pixels, of the ink below the groove.
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

void check_shown_whole(QWidget& frame, int siz, const char* name) {
  auto* scroller = frame.findChild<QScrollArea*>();
  QWidget* client = scroller->widget();
  const auto& window = dynamic_cast<const app::TMainWindow&>(*fw::qt::owner_of(client));
  const QFontMetrics metrics(*static_cast<const QFont*>(window.display_font()->handle()));
  const QSize view = scroller->viewport()->size();
  const QSize ink =
      text_ink(client->grab().toImage(), frame.palette().color(QPalette::Window).rgb());
  const int pitch = window.row_pitch(), rows = window.cookie().rows;
  int widest = 0;
  for (int row = 0; row < rows; ++row)
    widest = std::max(widest, row_width(metrics, window.cookie(), row));
  const QRect area = frame.screen()->availableGeometry();
  std::printf("%dx%d at scale %g, siz %d, %s cookie (%d rows): frame %dx%d, font %d\n",
              area.width(), area.height(), frame.devicePixelRatioF(), siz, name, rows,
              frame.frameGeometry().width(), frame.frameGeometry().height(), pitch);
  EXPECT_TRUE(area.contains(frame.frameGeometry())) << name;
  EXPECT_LE(pitch, siz) << name;
  EXPECT_GE(ink.width(), 4 + widest - pitch) << name << ": the last column drawn";
  EXPECT_LE(ink.width(), view.width()) << name << ": and in view";
  EXPECT_GT(ink.height(), 28 + (rows - 1) * pitch) << name << ": the last row drawn";
  EXPECT_LE(ink.height(), view.height()) << name << ": and in view";
  EXPECT_EQ(client->size(), view) << name << ": nothing to scroll";
}

void show_one(const std::string& cookie, int siz, const char* name) {
  const std::vector<std::uint8_t> image = database::build_data_file(std::vector{cookie}).bytes;
  std::ofstream("Drollbox.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  std::ofstream("Drollbox.cfg", std::ios::binary)
      << ":Config:\r\nscr=0\r\nfon=Liberation Mono\r\nsiz=" << siz << "\r\nwit=639\r\n";
  qt_test::ModalScript script;
  script.then(
      "the window", [] { return fw::qt::owner_of(QApplication::activeWindow()) != nullptr; },
      [siz, name] {
        QWidget& frame = *QApplication::activeWindow();
        check_shown_whole(frame, siz, name);
        QTest::keyClick(frame.focusWidget(), Qt::Key_Escape);
      });
  script.start();
  EXPECT_EQ(app::run_window_cycles(""), 0);
}

class QtScreen : public ::testing::TestWithParam<int> {};

TEST_P(QtScreen, TheWidestAndTallestDefaultCookiesAreShownWhole) {
  const int siz = GetParam();
  fw::qt::application();
  const fs::path folder = fs::path(DROLLBOX_QT_TEST_OUTPUT) / ("screen-" + std::to_string(siz));
  fs::create_directories(folder);
  fs::current_path(folder);
  const auto [widest, tallest] = default_extremes(siz);
  show_one(widest, siz, "widest");
  show_one(tallest, siz, "tallest");
}

// The first-use font (21 pixels, siz 22) and 28 points.
INSTANTIATE_TEST_SUITE_P(Fonts, QtScreen, ::testing::Values(22, 29));

}  // namespace
