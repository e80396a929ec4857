// Drives a Qt program from a timer: each step waits until its condition
// holds (a modal box with a given caption, a new main window, ...) and then
// acts. Steps may open nested event loops; the timer keeps running in them.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <ostream>
#include <string>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace qt_test {

class ModalScript {
 public:
  // The next step runs when ready() gives true; act() then runs at once.
  void then(std::string name, std::function<bool()> ready, std::function<void()> act);
  // Waits for a modal message box captioned caption, hands it to check,
  // then presses the button labelled label ("Escape" and "close box" press
  // the key or close the box instead).
  void answer_box(const QString& caption, const QString& label,
                  std::function<void(QMessageBox&)> check = nullptr);

  void start(int seconds_allowed = 30);
  bool finished() const { return steps_.empty(); }
  const std::string& stuck_at() const { return stuck_at_; }

 private:
  struct Step {
    std::string name;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  void tick();

  std::deque<Step> steps_;
  QTimer timer_;
  int ticks_left_ = 0;
  std::string stuck_at_;
};

QMessageBox* active_box(const QString& caption);
QPushButton* button_labelled(QWidget& parent, const QString& label);
// The visible main window whose TWindow is alive, or null.
QWidget* shown_main_window();
// Buttons of a box from left to right, by their labels.
QStringList labels_left_to_right(QMessageBox& box);

}  // namespace qt_test
