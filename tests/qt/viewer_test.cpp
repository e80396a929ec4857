// The viewer on the Qt backend, headless: a first run without settings, the
// five commands and the painted windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/main_window.h"
#include "app/refresh.h"
#include "app/window_cycles.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "framework/qt/qt_backend.h"
#include "modal_script.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
using qt_test::ModalScript;

const fs::path output_folder = DROLLBOX_QT_TEST_OUTPUT;

// Every line has text, so every row of the window must show dark pixels.
std::vector<std::string> sample_cookies() {
  std::vector<std::string> cookies;
  for (int i = 0; i < 230; ++i) {
    std::string text = "Cookie " + std::to_string(i) + " opens with a line of its own.";
    for (int line = 0; line < i % 5; ++line)
      text += "\nAnd line " + std::to_string(line + 2) + " follows it.";
    cookies.push_back(text);
  }
  return cookies;
}

void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder under the build tree, made the current one.
class RunFolder {
 public:
  explicit RunFolder(const std::string& name)
      : path_(output_folder / name), previous_(fs::current_path()) {
    fs::remove_all(path_);
    fs::create_directories(path_);
    fs::current_path(path_);
  }
  ~RunFolder() { fs::current_path(previous_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  fs::path previous_;
};

// What the test sees of one Window cycle while it is on screen.
struct Seen {
  QRect frame_geometry;
  QRect client_geometry;
  QSize frame_inside;
  std::vector<QRect> button_rects;
  QStringList button_labels;
  bool buttons_in_default_font = true;
  std::uint32_t cookie_number = 0;
  int rows = 0;
  int window_x = 0;
  int window_y = 0;
  int wit = 0;
  int window_height = 0;
  QString title;
  bool has_icon = false;
  QImage picture;
  QFont display_font;
};

Seen look_at(QWidget& frame) {
  Seen seen;
  seen.frame_geometry = frame.frameGeometry();
  seen.frame_inside = frame.size();
  seen.title = frame.windowTitle();
  seen.has_icon = !frame.windowIcon().isNull();
  auto* client = frame.findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  seen.client_geometry = client->geometry();
  for (QPushButton* button : client->findChildren<QPushButton*>()) {
    seen.button_rects.push_back(button->geometry());
    seen.button_labels << button->text();
    seen.buttons_in_default_font =
        seen.buttons_in_default_font && button->font() == QApplication::font(button);
  }
  seen.cookie_number = database::reader.cookie_number;
  seen.rows = static_cast<int>(std::strlen(database::choice.display_grid)) / database::grid_columns;
  seen.window_x = settings::current.window_x;
  seen.window_y = settings::current.window_y;
  seen.wit = settings::current.wit;
  seen.window_height = database::choice.window_height;
  seen.picture = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
  if (auto* window = dynamic_cast<app::TMainWindow*>(fw::qt::owner_of(client));
      window && window->display_font()) {
    seen.display_font = *static_cast<const QFont*>(window->display_font()->handle());
  }
  return seen;
}

void reset_viewer() {
  settings::reset_settings();
  app::release_history();
  app::history = app::History{};
  database::reader = database::Reader{};
  database::choice = database::Choice{};
  app::reset_lifetime();
}

// Waits for Window cycle n's window, looks at it, then presses label.
void press_in_window(ModalScript& script, int cycle, const QString& label,
                     std::vector<Seen>& seen) {
  script.then(
      "window " + std::to_string(cycle) + ", then " + label.toStdString(),
      [cycle] {
        return fw::qt::state.frames_created == cycle && qt_test::shown_main_window() != nullptr;
      },
      [label, &seen] {
        QWidget* frame = qt_test::shown_main_window();
        seen.push_back(look_at(*frame));
        qt_test::button_labelled(*frame, label)->click();
      });
}

bool is_dark(QRgb pixel) {
  return qGray(pixel) < 96;
}

bool band_has_dark_pixel(const QImage& image, int top, int bottom) {
  for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (is_dark(image.pixel(x, y))) return true;
    }
  }
  return false;
}

void expect_groove(const QImage& image, int wit) {
  const QRgb background = fw::qt::to_qcolor(fw::system_colour(fw::SystemColour::menu)).rgb();
  const QRgb upper = fw::qt::to_qcolor(fw::system_colour(fw::SystemColour::inactive_caption)).rgb();
  const QRgb lower = fw::qt::to_qcolor(fw::system_colour(fw::SystemColour::highlight_text)).rgb();
  ASSERT_NE(upper, background);
  ASSERT_NE(lower, background);
  for (int x = 5; x <= wit - 18; ++x)
    EXPECT_EQ(image.pixel(x, 25), upper) << "upper groove at x " << x;
  for (int x = 6; x <= wit - 17; ++x)
    EXPECT_EQ(image.pixel(x, 26), lower) << "lower groove at x " << x;
  EXPECT_EQ(image.pixel(4, 25), background);
  EXPECT_EQ(image.pixel(wit - 17, 25), background);
  EXPECT_EQ(image.pixel(5, 26), background);
  EXPECT_EQ(image.pixel(wit - 16, 26), background);
  EXPECT_EQ(image.pixel(300, 24), background);
  EXPECT_EQ(image.pixel(300, 27), background);
}

void expect_rows_drawn(const QImage& image, int rows, int siz) {
  for (int row = 0; row < rows; ++row) {
    int top = 28 + row * siz;
    EXPECT_TRUE(band_has_dark_pixel(image, top, top + siz))
        << "row " << row << " of " << rows << " is empty";
  }
  EXPECT_FALSE(band_has_dark_pixel(image, 28 + rows * siz, image.height()))
      << "ink below the last row";
  EXPECT_FALSE(band_has_dark_pixel(image, 21, 28)) << "ink between the buttons and the first row";
}

TEST(QtViewer, FirstRunAnswersCommandsAndPaintedWindows) {
  reset_viewer();
  RunFolder folder("first-run");
  const database::DataFileImage image = database::build_data_file(sample_cookies());
  ASSERT_TRUE(image.error.empty()) << image.error;
  write_file("Drollbox.dat", std::string(image.bytes.begin(), image.bytes.end()));

  fw::qt::application();
  const int frames_before = fw::qt::state.frames_created;
  ModalScript script;
  QFont font_offered;
  QString about_text;
  int frames_during_about = -1;
  std::vector<Seen> seen;

  const QString notify = "Drollbox Notify";
  QStringList question_buttons;
  script.answer_box(notify, "&No", [&](QMessageBox& box) {
    EXPECT_EQ(box.text(), "Are you normally running a 1024x768 screen resolution?");
    question_buttons = qt_test::labels_left_to_right(box);
  });
  script.answer_box(notify, "&No", [](QMessageBox& box) {
    EXPECT_EQ(box.text(), "Are you normally running a 1280x1024 screen resolution?");
  });
  script.answer_box(notify, "&Yes", [](QMessageBox& box) {
    EXPECT_EQ(box.text(), "Are you normally running a 800x600 screen resolution?");
  });
  script.then(
      "font dialog",
      [] { return qobject_cast<QFontDialog*>(QApplication::activeModalWidget()) != nullptr; },
      [&font_offered] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        font_offered = dialog->currentFont();
        dialog->setCurrentFont(QFont("Liberation Mono", 12));
        dialog->accept();
      });
  // Frames are counted across the process; the first of this run is next.
  const int first = frames_before + 1;
  press_in_window(script, first, "New", seen);
  press_in_window(script, first + 1, "Prev", seen);
  press_in_window(script, first + 2, "About", seen);
  script.answer_box("About Drollbox...", "Escape", [&](QMessageBox& box) {
    about_text = box.text();
    frames_during_about = fw::qt::state.frames_created;
  });
  script.then(
      "the same window after About", [] { return QApplication::activeModalWidget() == nullptr; },
      [&] { qt_test::button_labelled(*qt_test::shown_main_window(), "Config")->click(); });
  script.answer_box(notify, "Cancel");
  script.answer_box(notify, "OK", [](QMessageBox& box) {
    EXPECT_EQ(box.text(), "Configuration cancelled, sir.");
  });
  press_in_window(script, first + 3, "Ok", seen);
  script.start();

  const int status = app::run_window_cycles(0, nullptr);

  EXPECT_EQ(status, 0);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(fw::qt::state.frames_created, first + 3) << "one frame per Window cycle";
  EXPECT_EQ(qt_test::shown_main_window(), nullptr);
  EXPECT_EQ(question_buttons, QStringList({"&Yes", "&No", "Cancel"}));
  EXPECT_EQ(font_offered.family(), "Liberation Mono");
  EXPECT_EQ(font_offered.pointSize(), 21);
  EXPECT_EQ(read_file("Drollbox.cfg"),
            ":Config:\r\nscr=1\r\nfon=Liberation Mono\r\nsiz=13\r\nwit=639\r\n");
  EXPECT_TRUE(about_text.startsWith("Drollbox v1.8.6\nWinNT/95 May '96\n"))
      << about_text.toStdString();
  EXPECT_EQ(frames_during_about, first + 2) << "About opened no window";

  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2].cookie_number, seen[0].cookie_number) << "Prev brings back the first cookie";
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const Seen& window = seen[i];
    SCOPED_TRACE("window " + std::to_string(i));
    EXPECT_EQ(window.title, "Drollbox v1.8.6");
    EXPECT_TRUE(window.has_icon);
    EXPECT_EQ(window.wit, 639);
    EXPECT_EQ(window.frame_geometry,
              QRect(window.window_x, window.window_y, 639, window.window_height));
    EXPECT_EQ(window.window_height, window.rows * 13 + 60);
    EXPECT_EQ(window.client_geometry, QRect(QPoint(0, 0), window.frame_inside))
        << "the client fills the frame";
    EXPECT_EQ(window.button_labels, QStringList({"Ok", "New", "Prev", "Config", "About"}));
    EXPECT_EQ(window.button_rects, std::vector<QRect>({QRect(516, 1, 55, 20), QRect(54, 1, 55, 20),
                                                       QRect(126, 1, 55, 20), QRect(199, 1, 55, 20),
                                                       QRect(359, 1, 55, 20)}));
    EXPECT_TRUE(window.buttons_in_default_font);
    EXPECT_EQ(window.display_font.family(), "Liberation Mono");
    EXPECT_LE(QFontMetrics(window.display_font).height(), 13);
    EXPECT_EQ(window.display_font.weight(), QFont::Normal);
    expect_groove(window.picture, window.wit);
    expect_rows_drawn(window.picture, window.rows, 13);
    window.picture.save(QString::fromStdString(
        (output_folder / ("window-" + std::to_string(i) + ".png")).string()));
  }
  reset_viewer();
}

}  // namespace
