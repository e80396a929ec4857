#include "app/about.h"

#include "app/main_window.h"
#include "framework/dialogs.h"

namespace app {

const char* const about_text =
    "Drollbox v1.8.6\n"
    "WinNT/95 May '96\n"
    "Freely distributable. A cookie a day keeps the gloom away.\n"
    "\n"
    "   - the cookie bakers, for every text in the jar\n"
    "   - the context model and its arithmetic coder\n"
    "   - the testers on every supported system\n"
    "   - you, for reading\n"
    "\n"
    "Supported with following OS: Amiga, Unix,\n"
    "Digital Unix, Linux, Sun, MsDOS and WinNT/95.\n"
    "There are 66711 cookies for you to read :-)";

void TMainWindow::show_about() {
  fw::message_box(this, about_text, about_caption, fw::BoxKind::notice);
}

}  // namespace app
