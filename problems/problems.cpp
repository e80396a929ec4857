#include "problems/problems.h"

#include "framework/dialogs.h"

namespace problems {

const char* problem_message(int code) {
  switch (code) {
    case problem_memory:
      return "Memory problem.";
    case problem_unknown_data_file:
      return "Couldn't identify data file.";
    case problem_cannot_read_data_file:
      return "Couldn't read 'Drollbox.dat' file.";
    case problem_incompatible_data_file:
      return "Incompatible data file. Update.";
    case problem_cannot_write_settings:
      return "Couldn't write 'Drollbox.cfg'. Aborting!";
    case problem_illegal_font:
      return "Illegal font specified. Choose another.";
    case problem_settings_parse:
      return "Parse error in config file.";
    default:
      return nullptr;
  }
}

void report_problem(int code) {
  const char* message = problem_message(code);
  // No caller passes an unassigned code; should one appear, the user still
  // learns that the program stopped, and why it cannot say more.
  fw::message_box(nullptr, message ? message : "Unknown problem.", "Drollbox Problem",
                  fw::BoxKind::problem);
  fw::exit_process(-1);
}

void show_cancelled_notice() {
  fw::message_box(nullptr, "Configuration cancelled, sir.", "Drollbox Notify", fw::BoxKind::notice);
}

}  // namespace problems
