#include "modal_script.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "framework/qt/qt_backend.h"

namespace qt_test {

namespace {
constexpr int tick_milliseconds = 10;
}

void ModalScript::then(std::string name, std::function<bool()> ready, std::function<void()> act) {
  steps_.push_back({std::move(name), std::move(ready), std::move(act)});
}

void ModalScript::answer_box(const QString& caption, const QString& label,
                             std::function<void(QMessageBox&)> check) {
  then(
      "box '" + caption.toStdString() + "' answered with " + label.toStdString(),
      [caption] { return active_box(caption) != nullptr; },
      [caption, label, check] {
        QMessageBox* box = active_box(caption);
        if (check) check(*box);
        if (label == "Escape") {
          QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
          QApplication::sendEvent(box, &press);
        } else if (label == "close box") {
          box->close();
        } else if (QPushButton* button = button_labelled(*box, label); button != nullptr) {
          button->click();
        } else {
          std::fprintf(stderr, "no button '%s' in box '%s'\n", qPrintable(label),
                       qPrintable(caption));
          std::_Exit(3);
        }
      });
}

// A step that never becomes ready would hang the test in a modal loop; the
// test program ends then, naming the step.
void ModalScript::start(int seconds_allowed) {
  ticks_left_ = seconds_allowed * 1000 / tick_milliseconds;
  QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
  timer_.start(tick_milliseconds);
}

void ModalScript::tick() {
  if (steps_.empty()) {
    timer_.stop();
    return;
  }
  if (--ticks_left_ < 0) {
    stuck_at_ = steps_.front().name;
    std::fprintf(stderr, "script stuck waiting for: %s\n", stuck_at_.c_str());
    std::_Exit(3);
  }
  if (!steps_.front().ready()) return;
  // Acting from a posted event, not from inside the timer: an act that
  // opens a modal loop must leave the timer free to fire in it.
  QMetaObject::invokeMethod(&timer_, std::move(steps_.front().act), Qt::QueuedConnection);
  steps_.pop_front();
}

QMessageBox* active_box(const QString& caption) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible() || box->windowTitle() != caption) return nullptr;
  return box;
}

QPushButton* button_labelled(QWidget& parent, const QString& label) {
  for (QPushButton* button : parent.findChildren<QPushButton*>()) {
    if (button->text() == label && button->isVisible()) return button;
  }
  return nullptr;
}

QWidget* shown_main_window() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && fw::qt::owner_of(widget) != nullptr &&
        widget->windowTitle() == "Drollbox v1.8.6") {
      return widget;
    }
  }
  return nullptr;
}

QStringList labels_left_to_right(QMessageBox& box) {
  QList<QAbstractButton*> buttons = box.buttons();
  std::sort(buttons.begin(), buttons.end(), [&box](QAbstractButton* a, QAbstractButton* b) {
    return a->mapTo(&box, QPoint(0, 0)).x() < b->mapTo(&box, QPoint(0, 0)).x();
  });
  QStringList labels;
  for (QAbstractButton* button : buttons) labels << button->text();
  return labels;
}

}  // namespace qt_test
