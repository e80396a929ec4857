// The tool's command line: a subcommand, its operands and the few options
// every subcommand shares.
#pragma once

#include <string>
#include <vector>

namespace tools {

inline constexpr const char* default_data_file = "Drollbox.dat";

enum ExitCode : int { exit_ok = 0, exit_failure = 1, exit_usage = 2 };

struct Arguments {
  std::string command;
  std::vector<std::string> operands;
  std::string data_file;  // --file; else the one here or the installed one
  std::string output;     // -o; empty: the subcommand's default
  bool help = false;
  std::string error;  // set when the line cannot be understood
};

Arguments parse_arguments(int argc, const char* const* argv);

}  // namespace tools
