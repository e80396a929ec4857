// Frames, clients and push buttons as Qt widgets, and the close / destroy
// chain that the portable core drives. A frame opens where and as large as
// the program's fit puts it; its client lies in a scroll area, so a text
// larger than the screen or a frame the user makes smaller scrolls, and a
// maximised frame shows the same text in more room. Its buttons answer their
// letters, its text can be copied and read aloud.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
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
  QPointer<QScrollArea> scroller;  // holds the client
  Rect outer;

  // Has the program fit the frame to its screen, then places the frame, the
  // client's children and its scrolling as the fit says.
  void fit() {
    auto* frame = dynamic_cast<TFrameWindow*>(owner);
    if (frame == nullptr) return;
    frame->fit();
    place_frame(*this, frame->rect);
    if (TWindow* client_window = frame->client(); client_window != nullptr && client) {
      for (TWindow* child : client_window->children()) {
        if (QWidget* widget = widget_of(*child); widget != nullptr)
          widget->setGeometry(child->rect.x, child->rect.y, child->rect.width, child->rect.height);
      }
      fill_client();
      client->update();
    }
  }

 protected:
  // The frame's rect follows the user's moves, decorations included.
  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    if (owner == nullptr || !isVisible()) return;
    const QMargins margins = frame_margins(*this);
    owner->rect.x = geometry().x() - margins.left();
    owner->rect.y = geometry().y() - margins.top();
  }

  // The close box, the system menu and Alt+F4 close the frame our way.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (owner != nullptr) owner->handle_close();
  }

  void keyPressEvent(QKeyEvent* event) override {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((key == Qt::Key_Escape && modifiers == Qt::NoModifier) ||
        (key == Qt::Key_F4 && modifiers == Qt::AltModifier)) {
      close();
      return;
    }
    QPushButton* button = nullptr;
    if (modifiers == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      button = find_button([](QPushButton& candidate) { return candidate.isDefault(); });
    } else if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
      const QKeySequence alt_key(QKeyCombination(Qt::AltModifier, Qt::Key(key)));
      button = find_button([&alt_key](QPushButton& candidate) {
        return QKeySequence::mnemonic(candidate.text()) == alt_key;
      });
    }
    if (button != nullptr) {
      button->click();
      return;
    }
    QWidget::keyPressEvent(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    if (scroller) scroller->setGeometry(rect());
    fill_client();
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
    if (frameGeometry() != QRect(outer.x, outer.y, outer.width, outer.height)) fit();
  }

  // The client covers the view, or all it paints when that is larger.
  void fill_client() {
    if (!client || !scroller) return;
    const TWindow* client_window = owner_of(client);
    const Size wanted = client_window != nullptr ? client_window->scroll_size : Size{};
    const QSize view = scroller->maximumViewportSize();
    const bool scrolls = wanted.width > view.width() || wanted.height > view.height();
    const QSize area = scrolls ? scroller->viewport()->size() : view;
    client->resize(std::max(area.width(), wanted.width), std::max(area.height(), wanted.height));
  }

  template <class Test>
  QPushButton* find_button(Test test) const {
    if (!client) return nullptr;
    for (QPushButton* button : client->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
      if (button->isVisible() && button->isEnabled() && test(*button)) return button;
    }
    return nullptr;
  }

  QTimer settle_timer_{this};
  int settle_checks_left_ = 0;
};

class ClientWidget : public QWidget, public PeerLink {
 public:
  explicit ClientWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    auto* copy = new QAction(QStringLiteral("&Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WindowShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(plain_text()); });
    addAction(copy);
    setContextMenuPolicy(Qt::ActionsContextMenu);
  }

  QString plain_text() {
    return owner != nullptr ? shown_text(*this, *owner).plain_text() : QString();
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

// Screen readers meet the frame as a window named by its title, and the
// client as the static text it shows.
class ClientAccessible : public QAccessibleWidget {
 public:
  explicit ClientAccessible(ClientWidget* client)
      : QAccessibleWidget(client, QAccessible::StaticText) {}
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return static_cast<ClientWidget*>(widget())->plain_text();
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* accessible_for(const QString&, QObject* object) {
  if (auto* frame = dynamic_cast<FrameWidget*>(object); frame != nullptr)
    return new QAccessibleWidget(frame, QAccessible::Window);
  if (auto* client = dynamic_cast<ClientWidget*>(object); client != nullptr)
    return new ClientAccessible(client);
  return nullptr;
}

// Labels get a mnemonic on their first letter, as the keys that press them.
QString with_mnemonic(const QString& label) {
  return label.contains(u'&') || label.isEmpty() ? label : u'&' + label;
}

// Tab order left to right; the first button is the default one and starts
// with a visible focus.
void set_up_keyboard(QWidget& client) {
  QList<QPushButton*> buttons = client.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
  for (qsizetype i = 1; i < buttons.size(); ++i) QWidget::setTabOrder(buttons[i - 1], buttons[i]);
  if (buttons.isEmpty()) return;
  buttons.front()->setDefault(true);
  buttons.front()->setFocus(Qt::TabFocusReason);
}

// A frame's client scrolls when what it paints is larger than the frame.
QScrollArea* make_scroller(QWidget& frame, QWidget& client) {
  auto* scroller = new QScrollArea(&frame);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setWidgetResizable(false);
  scroller->setWidget(&client);
  scroller->setGeometry(frame.rect());
  scroller->setVisible(true);
  return scroller;
}

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
  auto* frame = dynamic_cast<FrameWidget*>(parent);
  if (dynamic_cast<TButton*>(&window) != nullptr) {
    auto* button = new ButtonWidget(parent);
    button->owner = &window;
    button->setText(with_mnemonic(decode_windows_1252(window.title.c_str())));
    widget = button;
  } else if (frame != nullptr && is_client_of_frame(window)) {
    auto* client = new ClientWidget(nullptr);
    client->owner = &window;
    frame->scroller = make_scroller(*frame, *client);
    frame->client = client;
    client->setVisible(true);
    return client;
  } else {
    auto* client = new ClientWidget(parent);
    client->owner = &window;
    widget = client;
  }
  widget->setGeometry(window.rect.x, window.rect.y, window.rect.width, window.rect.height);
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

QMargins frame_margins(const QWidget& frame) {
  QMargins margins =
      frame.windowHandle() != nullptr ? frame.windowHandle()->frameMargins() : QMargins();
  return margins.isNull() ? state.known_frame_margins : margins;
}

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
  const QMargins margins = frame_margins(frame);
  state.known_frame_margins = margins;
  if (auto* framed = dynamic_cast<FrameWidget*>(&frame); framed != nullptr) framed->outer = outer;
  int width = std::max(1, outer.width - margins.left() - margins.right());
  int height = std::max(1, outer.height - margins.top() - margins.bottom());
  frame.setGeometry(outer.x + margins.left(), outer.y + margins.top(), width, height);
}

}  // namespace fw::qt

namespace fw {

// Qt's logical pixels are layout pixels already.
Screen screen_at(const TFrameWindow& frame, int x, int y) {
  qt::application();
  QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  Screen seen;
  if (screen != nullptr) {
    const QRect area = screen->availableGeometry();
    seen.work_area = {area.x(), area.y(), area.width(), area.height()};
    seen.scale = screen->devicePixelRatio();
  }
  const QWidget* widget = qt::widget_of(frame);
  const QMargins margins =
      widget != nullptr ? qt::frame_margins(*widget) : qt::state.known_frame_margins;
  seen.decorations = {margins.left(), margins.top(), margins.right(), margins.bottom()};
  return seen;
}

}  // namespace fw

namespace fw::backend {

void create_window(TWindow& window) {
  qt::application();
  static const bool accessible = (QAccessible::installFactory(qt::accessible_for), true);
  (void)accessible;
  QWidget* parent = window.parent() != nullptr ? qt::widget_of(*window.parent()) : nullptr;
  window.peer =
      window.parent() == nullptr ? qt::make_frame(window) : qt::make_child(window, parent);
}

void show_window(TFrameWindow& frame) {
  auto* widget = dynamic_cast<qt::FrameWidget*>(qt::widget_of(frame));
  if (widget == nullptr) return;
  if (widget->client) qt::set_up_keyboard(*widget->client);
  widget->fit();
  widget->show();
  // Qt marks the focus only once a key has moved it; ours starts marked.
  widget->setAttribute(Qt::WA_KeyboardFocusChange);
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
