// The subcommand table, its help texts and the shared output helpers.
#include <charconv>
#include <cstdio>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "codec/codec.h"
#include "database/format.h"
#include "drollbox_version.h"
#include "places/file_names.h"
#include "tools/commands.h"
#include "tools/input.h"
#include "tools/line_search.h"
#include "viewer_model/layout.h"

namespace tools {

namespace {

constexpr std::size_t any_number = std::numeric_limits<std::size_t>::max();

struct Operands {
  std::size_t fewest, most;
};

// What is wrong with the operands' values or the options' combination, in
// the words of a complaint; empty when nothing is.
using UsageCheck = std::string (*)(const Arguments&);

std::string no_check(const Arguments&) {
  return {};
}

std::string check_cookie_number(const Arguments& args) {
  const std::string& text = args.operands[0];
  std::uint32_t number = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (!text.empty() && error == std::errc() && stop == text.data() + text.size()) return {};
  return "'" + text + "' is not a cookie number (0, 1, 2, ...)";
}

std::string check_length_choice(const Arguments& args) {
  return args.short_only && args.long_only ? "-s and -l exclude each other (see --help)" : "";
}

std::string check_pattern(const Arguments& args) {
  LinePattern pattern;
  std::string error;
  if (pattern.compile(args.operands[0], {args.extended, args.ignore_case}, error)) return {};
  return "'" + args.operands[0] + "' is not a regular expression: " + error;
}

struct Command {
  const char* name;
  int (*run)(const Arguments&);
  const char* letters;  // the options of its own it takes
  bool reads_data_file;
  Operands operands;
  UsageCheck check;
  const char* usage;  // with {names} of the limits, filled in when printed
};

constexpr const char* file_option =
    "  --file PATH   the data file (default: \"{data_file}\" in the current folder,\n"
    "                else the one installed with drollbox-db)\n";

const Command commands[] = {
    {"compress",
     run_compress,
     "",
     false,
     {0, 0},
     no_check,
     "usage: drollbox-db compress < TEXT > STREAM\n"
     "Compresses stdin (at most {input} bytes) into one raw codec stream on stdout.\n"},
    {"decompress",
     run_decompress,
     "",
     false,
     {0, 0},
     no_check,
     "usage: drollbox-db decompress < STREAM > TEXT\n"
     "Decompresses one raw codec stream (at most {input} bytes) from stdin to stdout.\n"
     "A stream that decodes past {output} bytes, or that has bytes left over after its\n"
     "end symbol, is reported as damaged and nothing is written.\n"},
    {"pack",
     run_pack,
     "",
     false,
     {1, any_number},
     no_check,
     "usage: drollbox-db pack FILE... [-o OUT]\n"
     "Builds a data file from fortune files (cookies separated by lines holding a\n"
     "single \"%\"). UTF-8 text is stored as Windows-1252; characters it cannot hold\n"
     "become \"?\". Cookies holding \"%\" or a zero byte, longer than {longest} characters,\n"
     "laid out to more than {rows} rows of {columns}, or empty are skipped; the summary counts\n"
     "them. The output (default \"{data_file}\") is replaced only once complete.\n"
     "A FILE of \"-\" is standard input.\n"
     "  -o, --output OUT   the data file to write (\"-\": standard output, and the\n"
     "                     summary goes to standard error)\n"},
    {"unpack",
     run_unpack,
     "",
     true,
     {0, 0},
     no_check,
     "usage: drollbox-db unpack [--file PATH] [-o OUT]\n"
     "Writes every cookie of a data file as a UTF-8 fortune file (stdout by default),\n"
     "block by block. On damage OUT is left as it was; stdout has the blocks before it.\n"
     "  -o, --output OUT   the fortune file to write (\"-\": standard output)\n"},
    {"verify",
     run_verify,
     "",
     true,
     {0, 0},
     no_check,
     "usage: drollbox-db verify [--file PATH]\n"
     "Checks the header, the index, that every block decodes inside the codec's\n"
     "bounds and that every cookie cuts. Exits 1 with the first damage found.\n"},
    {"show",
     run_show,
     "",
     true,
     {1, 1},
     check_cookie_number,
     "usage: drollbox-db show N [--file PATH]\n"
     "Prints cookie N (counted from 0) in the viewer's 80-column rows.\n"},
    {"random",
     run_random,
     "slnw",
     true,
     {0, 0},
     check_length_choice,
     "usage: drollbox-db random [-s | -l] [-n N] [-w] [--file PATH]\n"
     "Prints a cookie chosen as the viewer chooses one, in its 80-column rows.\n"
     "  -s, --short   only a cookie of at most N characters\n"
     "  -l, --long    only a cookie of more than N characters\n"
     "  -n N          the limit between short and long (default 160)\n"
     "  -w, --wait    wait after printing: a second for every 20 characters, at least 6\n"
     "A data file does not record which fortune files its cookies came from, so\n"
     "there is no choice among them.\n"},
    {"search",
     run_search,
     "iE",
     true,
     {1, 1},
     check_pattern,
     "usage: drollbox-db search PATTERN [-i] [-E] [--file PATH]\n"
     "Prints every cookie that matches the regular expression PATTERN (basic\n"
     "syntax, as grep's), each followed by a line holding \"%\", and the number\n"
     "of matches on standard error. Exits 1 when none matches.\n"
     "  -i, --ignore-case   letter case does not matter\n"
     "  -E, --extended      PATTERN is an extended regular expression\n"},
    {"stats",
     run_stats,
     "",
     true,
     {0, 0},
     no_check,
     "usage: drollbox-db stats [--file PATH]\n"
     "Prints the cookie and block counts, the file, compressed and text sizes and\n"
     "the bits per character.\n"},
};

void print_overview(std::FILE* stream) {
  std::fputs(
      "usage: drollbox-db COMMAND [OPTIONS] [OPERANDS]\n"
      "Commands:\n"
      "  compress     stdin to stdout as a raw codec stream\n"
      "  decompress   a raw codec stream on stdin back to its text\n"
      "  pack         build a data file from fortune files\n"
      "  unpack       a data file back to a fortune file\n"
      "  verify       check a data file\n"
      "  show N       print cookie N as the viewer lays it out\n"
      "  random       print a cookie chosen as the viewer chooses\n"
      "  search P     print the cookies matching the regular expression P\n"
      "  stats        counts, sizes and bits per character of a data file\n"
      "\"drollbox-db help COMMAND\" (or \"drollbox-db COMMAND --help\") describes one\n"
      "command; --version tells the version. A FILE of \"-\" is standard input, or\n"
      "standard output for -o.\n",
      stream);
}

const Command* find_command(std::string_view name) {
  for (const Command& command : commands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

// The first option given that the command has no use for; 0 when none.
char foreign_letter(const Command& command, const Arguments& args) {
  for (const char letter : args.letters) {
    if (std::string_view(command.letters).find(letter) == std::string_view::npos) return letter;
  }
  return 0;
}

std::string operand_count_problem(const Operands& wanted, std::size_t given) {
  if (given >= wanted.fewest && given <= wanted.most) return {};
  if (wanted.most == 0) return "takes no operands (see --help)";
  const std::string plural = wanted.fewest == 1 ? "" : "s";
  return std::string("expects ") + (wanted.most == any_number ? "at least " : "") +
         std::to_string(wanted.fewest) + " operand" + plural + " (see --help)";
}

// Everything about the command line that can be wrong, found before any file
// is opened; empty when nothing is.
std::string usage_problem(const Command& command, const Arguments& args) {
  if (!args.error.empty()) return args.error + " (see --help)";
  if (const char letter = foreign_letter(command, args); letter != 0)
    return std::string("has no option -") + letter + " (see --help)";
  if (std::string problem = operand_count_problem(command.operands, args.operands.size());
      !problem.empty())
    return problem;
  return command.check(args);
}

// The help texts name the limits by these, so that they say what the code does.
std::string filled_in(std::string text) {
  const std::pair<std::string_view, std::string> values[] = {
      {"{data_file}", places::data_file_name},
      {"{input}", std::to_string(codec::input_capacity)},
      {"{output}", std::to_string(codec::output_capacity)},
      {"{longest}", std::to_string(database::shown_cookie_length)},
      {"{rows}", std::to_string(viewer_model::grid_rows)},
      {"{columns}", std::to_string(viewer_model::grid_columns)},
  };
  for (const auto& [name, value] : values) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
      text.replace(at, name.size(), value);
  }
  return text;
}

void print_usage(const Command& command) {
  std::fputs(filled_in(command.usage).c_str(), stdout);
  if (command.reads_data_file) std::fputs(filled_in(file_option).c_str(), stdout);
}

// Standard input for "--file -" is spooled; any other data file must be
// readable before the command starts.
int run_on_data_file(const Command& command, Arguments& args) {
  SpooledInput spooled;
  args.shown_file = args.data_file;
  if (command.reads_data_file) {
    std::string reason;
    if (args.data_file == standard_stream) {
      args.shown_file = "standard input";
      if (!reads_blocks_in_order(command.run)) args.data_file = spooled.take_stdin(reason);
    } else {
      reason = why_unreadable(args.data_file);
    }
    if (!reason.empty()) {
      complain(args, "cannot read '" + args.shown_file + "': " + reason);
      return exit_failure;
    }
  }
  return command.run(args);
}

int run_command_line(int argc, const char* const* argv) {
  Arguments args = parse_arguments(argc, argv);
  if (args.version) {
    std::puts("drollbox-db " DROLLBOX_VERSION);
    return exit_ok;
  }
  const bool asks_help = args.help || args.command == "help";
  if (args.command == "help" && !args.operands.empty()) {
    args.command = args.operands[0];
    args.operands.clear();
  }
  if (args.command.empty() || args.command == "help") {
    print_overview(asks_help ? stdout : stderr);
    return asks_help ? exit_ok : exit_usage;
  }
  const Command* command = find_command(args.command);
  if (command == nullptr) {
    std::fprintf(stderr, "drollbox-db: unknown command '%s'\n", args.command.c_str());
    print_overview(stderr);
    return exit_usage;
  }
  if (asks_help) {
    print_usage(*command);
    return exit_ok;
  }
  if (const std::string problem = usage_problem(*command, args); !problem.empty()) {
    complain(args, problem);
    return exit_usage;
  }
  return run_on_data_file(*command, args);
}

}  // namespace

// A memory shortage the commands do not meet themselves ends the run with a
// message rather than an abort.
int run_tool(int argc, const char* const* argv) {
  try {
    return run_command_line(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("drollbox-db: out of memory; a file it was writing is left as it was\n", stderr);
    return exit_failure;
  }
}

void complain(const Arguments& args, const std::string& message) {
  std::fprintf(stderr, "drollbox-db %s: %s\n", args.command.c_str(), message.c_str());
}

void tell_codec_out_of_memory() {
  std::fputs(codec::out_of_memory_line, stdout);
  std::fflush(stdout);
}

bool write_stdout(const Arguments& args, const void* bytes, std::size_t length) {
  if (std::fwrite(bytes, 1, length, stdout) != length || std::fflush(stdout) != 0) {
    complain(args, "cannot write to stdout");
    return false;
  }
  return true;
}

}  // namespace tools
