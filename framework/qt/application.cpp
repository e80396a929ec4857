// One QApplication per process; each Window cycle runs its own QEventLoop.
#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QPixmap>
#include <cstdlib>

#include "framework/backend.h"
#include "framework/qt/qt_backend.h"

namespace fw::qt {

BackendState state;

namespace {
int application_argc = 1;
char application_name[] = "drollbox";
char* application_argv[] = {application_name, nullptr};
}  // namespace

QIcon resource_icon(const std::string& name) {
  if (name != "DROLLBOXICON") return QIcon();
  QPixmap pixmap;
  pixmap.loadFromData(icon_png_bytes(), static_cast<unsigned>(icon_png_size()), "PNG");
  return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QApplication& application() {
  if (state.application == nullptr) {
    // Never deleted: the process may end from inside any handler through
    // exit_process, and the window system reclaims everything then.
    state.application = new QApplication(application_argc, application_argv);
    // Our loops end when a Window cycle's main window is destroyed; Qt's own
    // quit on the last closed window would end every loop, nested ones too.
    QApplication::setQuitOnLastWindowClosed(false);
  }
  return *state.application;
}

}  // namespace fw::qt

namespace fw::backend {

int run_event_loop() {
  qt::application();
  if (qt::state.end_requested) {
    qt::state.end_requested = false;
    return qt::state.end_status;
  }
  QEventLoop loop;
  qt::state.loop = &loop;
  int status = loop.exec();
  qt::state.loop = nullptr;
  // The destroyed windows' widgets were deleted later; later is now.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return status;
}

void end_event_loop(int status) {
  if (qt::state.loop != nullptr) {
    qt::state.loop->exit(status);
    return;
  }
  qt::state.end_requested = true;
  qt::state.end_status = status;
}

}  // namespace fw::backend

namespace fw {

void exit_process(int status) {
  std::exit(status);
}

}  // namespace fw
