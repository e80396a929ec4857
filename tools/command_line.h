// The tool's command line: a subcommand, its operands and its options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// "-" for a file name: standard input where a file is read, standard output
// where one is written.
inline constexpr const char* standard_stream = "-";
inline constexpr std::uint32_t default_short_limit = 160;  // as fortune has it

enum ExitCode : int { exit_ok = 0, exit_failure = 1, exit_usage = 2 };

struct Arguments {
  std::string command;
  std::vector<std::string> operands;
  std::string data_file;   // --file; else the one here or the installed one
  std::string shown_file;  // how complaints name the data file
  std::string output;      // -o; empty: the subcommand's default
  bool help = false;
  bool version = false;
  bool short_only = false;                          // -s
  bool long_only = false;                           // -l
  std::uint32_t short_limit = default_short_limit;  // -n
  bool wait = false;                                // -w
  bool ignore_case = false;                         // -i
  bool extended = false;                            // -E
  // The letters of the options above that were given, for the subcommand
  // to refuse the ones it has no use for.
  std::string letters;
  std::string error;  // set when the line cannot be understood
};

Arguments parse_arguments(int argc, const char* const* argv);

}  // namespace tools
