// The command-line tools' dialogs: messages go to stderr, and since a tool
// never sets anything up interactively, every question is answered Cancel.
#include <cstdio>
#include <cstdlib>

#include "framework/dialogs.h"

namespace fw {

int message_box(TWindow*, const char* text, const char* caption, unsigned style) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  return style == box_style_ok ? box_ok : box_cancel;
}

int choose_font(CHOOSEFONTA&) {
  return 0;
}

void exit_process(int status) {
  std::exit(status);
}

}  // namespace fw
