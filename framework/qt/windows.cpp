// Frames, clients and push buttons as Qt widgets, and the close / destroy
// chain that the portable core drives.
#include <QCloseEvent>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "framework/backend.h"
#include "framework/qt/qt_backend.h"

namespace fw::qt {

namespace {

class FrameWidget : public QWidget, public PeerLink {
 public:
  FrameWidget() : QWidget(nullptr) {
    connect(&settle_timer_, &QTimer::timeout, this, [this] { check_decorations(); });
  }

  QPointer<QWidget> client;
  Rect outer;

 protected:
  // The close box, the system menu and Alt+F4 close the frame our way.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (owner != nullptr) owner->handle_close();
  }
  void resizeEvent(QResizeEvent* event) override {
    if (client) client->setGeometry(rect());
    QWidget::resizeEvent(event);
  }
  // A window manager adds its decorations some time after the frame is
  // shown; until they settle, the frame is placed again whenever its outer
  // edges are not where they were asked to be.
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    settle_checks_left_ = settle_checks;
    check_decorations();
    settle_timer_.start(settle_interval_ms);
  }

 private:
  static constexpr int settle_checks = 40;
  static constexpr int settle_interval_ms = 25;

  void check_decorations() {
    if (--settle_checks_left_ <= 0) settle_timer_.stop();
    if (windowHandle() == nullptr) return;
    QRect wanted(outer.x, outer.y, outer.width, outer.height);
    if (frameGeometry() != wanted) place_frame(*this, outer);
  }

  QTimer settle_timer_{this};
  int settle_checks_left_ = 0;
};

class ClientWidget : public QWidget, public PeerLink {
 public:
  explicit ClientWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (owner != nullptr) paint_window(*this, *owner);
  }
};

class ButtonWidget : public QPushButton, public PeerLink {
 public:
  explicit ButtonWidget(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
      if (owner != nullptr && owner->parent() != nullptr)
        owner->parent()->handle_command(owner->id);
    });
  }
};

bool is_client_of_frame(const TWindow& window) {
  auto* frame = dynamic_cast<const TFrameWindow*>(window.parent());
  return frame != nullptr && frame->client() == &window;
}

QWidget* make_frame(TWindow& window) {
  auto* frame = new FrameWidget();
  ++state.frames_created;
  frame->owner = &window;
  frame->outer = window.rect;
  frame->setWindowTitle(decode_windows_1252(window.title.c_str()));
  if (auto* framed = dynamic_cast<TFrameWindow*>(&window);
      framed != nullptr && !framed->icon.empty()) {
    frame->setWindowIcon(resource_icon(framed->icon));
  }
  place_frame(*frame, window.rect);
  return frame;
}

QWidget* make_child(TWindow& window, QWidget* parent) {
  QWidget* widget = nullptr;
  if (dynamic_cast<TButton*>(&window) != nullptr) {
    auto* button = new ButtonWidget(parent);
    button->owner = &window;
    button->setText(decode_windows_1252(window.title.c_str()));
    widget = button;
  } else {
    auto* client = new ClientWidget(parent);
    client->owner = &window;
    widget = client;
  }
  if (is_client_of_frame(window)) {
    if (auto* frame = dynamic_cast<FrameWidget*>(parent); frame != nullptr) frame->client = widget;
    widget->setGeometry(parent->rect());
  } else {
    widget->setGeometry(window.rect.x, window.rect.y, window.rect.width, window.rect.height);
  }
  widget->setVisible(true);
  return widget;
}

void unlink(TWindow& window) {
  if (auto* link = dynamic_cast<PeerLink*>(widget_of(window)); link != nullptr)
    link->owner = nullptr;
}

// The window first, then its children, as Win32 reports them.
void report_destroyed(TWindow& window) {
  unlink(window);
  window.handle_destroyed();
  std::vector<TWindow*> children = window.children();
  for (TWindow* child : children) {
    if (child->alive()) report_destroyed(*child);
  }
}

}  // namespace

QWidget* widget_of(const TWindow& window) {
  return static_cast<QWidget*>(window.peer);
}

TWindow* owner_of(QObject* widget) {
  auto* link = dynamic_cast<PeerLink*>(widget);
  return link != nullptr ? link->owner : nullptr;
}

// A frame not yet decorated is placed with the decorations the last one
// got, so a restarted Window cycle does not jump once they arrive.
void place_frame(QWidget& frame, const Rect& outer) {
  QMargins margins =
      frame.windowHandle() != nullptr ? frame.windowHandle()->frameMargins() : QMargins();
  if (margins.isNull()) {
    margins = state.known_frame_margins;
  } else {
    state.known_frame_margins = margins;
  }
  if (auto* framed = dynamic_cast<FrameWidget*>(&frame); framed != nullptr) framed->outer = outer;
  int width = std::max(1, outer.width - margins.left() - margins.right());
  int height = std::max(1, outer.height - margins.top() - margins.bottom());
  frame.setGeometry(outer.x + margins.left(), outer.y + margins.top(), width, height);
}

}  // namespace fw::qt

namespace fw::backend {

void create_window(TWindow& window) {
  qt::application();
  QWidget* parent = window.parent() != nullptr ? qt::widget_of(*window.parent()) : nullptr;
  window.peer =
      window.parent() == nullptr ? qt::make_frame(window) : qt::make_child(window, parent);
}

void show_window(TFrameWindow& frame) {
  QWidget* widget = qt::widget_of(frame);
  if (widget == nullptr) return;
  qt::place_frame(*widget, frame.rect);
  widget->show();
}

// The widget may be the one whose signal is running right now, so it is
// hidden and unlinked at once and deleted when control is back in a loop.
void destroy_window(TWindow& window) {
  QWidget* widget = qt::widget_of(window);
  if (widget == nullptr) return;
  widget->hide();
  widget->deleteLater();
  qt::report_destroyed(window);
}

void send_close(TWindow& window) {
  if (window.alive()) window.handle_close();
}

void post_close(TWindow& window) {
  QWidget* widget = qt::widget_of(window);
  if (widget == nullptr) return;
  QMetaObject::invokeMethod(
      widget,
      [widget] {
        if (TWindow* owner = qt::owner_of(widget); owner != nullptr) owner->handle_close();
      },
      Qt::QueuedConnection);
}

}  // namespace fw::backend
