// Drives a Qt program from a timer: each step waits until its condition holds, then
// acts. Steps may open nested event loops; the timer keeps running in them.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << text.toStdString();
}

namespace qt_test {

class ModalScript {
 public:
  void then(std::string name, std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(name), std::move(ready), std::move(act)});
  }
  // A step still waiting after 30 seconds ends the test program, naming it.
  void start() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (steps_.empty()) return timer_.stop();
      if (--ticks_left_ < 0) {
        std::fprintf(stderr, "script stuck waiting for: %s\n", steps_.front().name.c_str());
        std::_Exit(3);
      }
      if (!steps_.front().ready()) return;
      // Acting from a posted event leaves the timer free to fire in a modal
      // loop that the act opens.
      QMetaObject::invokeMethod(&timer_, std::move(steps_.front().act), Qt::QueuedConnection);
      steps_.pop_front();
    });
    timer_.start(10);
  }

 private:
  struct Step {
    std::string name;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  std::deque<Step> steps_;
  QTimer timer_;
  int ticks_left_ = 3000;
};

}  // namespace qt_test
