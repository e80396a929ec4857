// Problem reports and notices: the one place every fatal problem ends.
#pragma once

namespace problems {

enum ProblemCode : int {
  problem_memory = 1,
  problem_unknown_data_file = 2,
  problem_cannot_read_data_file = 6,
  problem_incompatible_data_file = 7,
  problem_cannot_write_settings = 8,
  problem_illegal_font = 9,
  problem_settings_parse = 10,
};

// The fixed message of a Problem code; null for a code no caller passes.
const char* problem_message(int code);

// Shows the code's message in a "Drollbox Problem" box, then ends the process
// with status -1.
[[noreturn]] void report_problem(int code);

// "Configuration cancelled, sir." in a "Drollbox Notify" box; returns.
void show_cancelled_notice();

}  // namespace problems
