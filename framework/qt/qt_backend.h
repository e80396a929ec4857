// The Qt half of the windowing layer, as far as its own files and its tests
// need to see it: the backend's state, the peer widgets and the helpers that
// translate between the framework's small types and Qt.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QMargins>
#include <QString>
#include <QWidget>
#include <QRect>
#include <climits>
#include <cstddef>
#include <string>
#include <vector>

#include "framework/framework.h"

class QApplication;
class QEventLoop;

namespace fw::qt {

struct BackendState {
  QApplication* application = nullptr;
  QEventLoop* loop = nullptr;  // the running Window cycle's loop
  bool end_requested = false;  // end_event_loop came before the loop ran
  int end_status = 0;
  QMargins known_frame_margins;  // the decorations of the last frame
  int frames_created = 0;
};
extern BackendState state;

// The one QApplication of the process, made on first use.
QApplication& application();

// Every platform window the backend makes knows the TWindow it stands for,
// until that window is destroyed (then owner is null and the widget is
// deleted later, so a handler running inside it can still return).
struct PeerLink {
  TWindow* owner = nullptr;
};
QWidget* widget_of(const TWindow& window);
TWindow* owner_of(QObject* widget);

// Erases with the window's background, then lets it paint.
void paint_window(QWidget& widget, TWindow& window);

// Qt's geometry excludes the decorations; ours includes them. A frame not
// yet decorated counts with the decorations the last one got.
void place_frame(QWidget& frame, const Rect& outer);
QMargins frame_margins(const QWidget& frame);

// What a window's paint shows as text: its runs from the top down, trailing
// blanks trimmed, and the columns the ink of them spans (left > right: none).
struct ShownText {
  struct Row {
    int y;
    QString text;
  };
  std::vector<Row> rows;
  int left = INT_MAX;
  int right = 0;
  // The text the user reads: rows joined with line feeds, no empty rows after the last.
  QString plain_text() const;
};
ShownText shown_text(QWidget& widget, TWindow& window);

QColor to_qcolor(Colour colour);
Colour from_qcolor(const QColor& colour);

// Cookies and messages are 8-bit Windows-1252 text.
QString decode_windows_1252(const char* text, int length);
QString decode_windows_1252(const char* text);
// Characters outside Windows-1252 become '?'; writes at most capacity - 1
// bytes and the terminator.
void encode_windows_1252(const QString& text, char* out, std::size_t capacity);

// The largest pixel size at which the font's line height fits cell_height.
int pixel_size_for_cell_height(QFont font, int cell_height);
// A face with " Bold", " Italic" or " Bold Italic" after an installed
// family's name is that family in that style.
QFont font_of_face(const QString& face);
QFont font_from_request(const FontRequest& font_request);

// The font dialog's choice as a QFont, and back.
QFont font_from_choice(const FontChoice& choice);
FontChoice choice_from_font(const QFont& font);

// The icon resources compiled into the program ("DROLLBOXICON"); a null
// icon for any other name.
QIcon resource_icon(const std::string& name);
const unsigned char* icon_png_bytes();
std::size_t icon_png_size();

}  // namespace fw::qt
