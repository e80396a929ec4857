#include "problems/problems.h"

#include <string>

#include "framework/dialogs.h"
#include "places/file_names.h"

namespace problems {

namespace {

const std::string cannot_read_data_file =
    std::string("Couldn't read '") + places::data_file_name + "' file.";
const std::string cannot_write_settings =
    std::string("Couldn't write '") + places::settings_file_name + "'. Aborting!";

}  // namespace

const char* problem_message(int code) {
  switch (code) {
    case problem_memory:
      return "Memory problem.";
    case problem_unknown_data_file:
      return "Couldn't identify data file.";
    case problem_cannot_read_data_file:
      return cannot_read_data_file.c_str();
    case problem_incompatible_data_file:
      return "Incompatible data file. Update.";
    case problem_cannot_write_settings:
      return cannot_write_settings.c_str();
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
