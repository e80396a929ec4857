// The command-line tools' dialogs: messages go to stderr, and since a tool
// never sets anything up interactively, every question is answered Cancel.
#include <cstdio>
#include <cstdlib>

#include "framework/dialogs.h"

namespace fw {

Answer message_box(const TWindow*, const char* text, const char* caption, BoxKind kind) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  return kind == BoxKind::question ? Answer::cancel : Answer::none;
}

std::optional<FontChoice> choose_font(const FontChoice&) {
  return std::nullopt;
}

void exit_process(int status) {
  std::exit(status);
}

}  // namespace fw
