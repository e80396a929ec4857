// The subcommand table, its help texts and the shared output helpers.
#include <cstdio>
#include <string_view>

#include "tools/commands.h"

namespace tools {

namespace {

struct Command {
  const char* name;
  int (*run)(const Arguments&);
  const char* usage;
};

constexpr const char* file_option =
    "  --file PATH   the data file (default: \"Drollbox.dat\" in the current folder,\n"
    "                else the one installed with drollbox-db)\n";

const Command commands[] = {
    {"compress", run_compress,
     "usage: drollbox-db compress < TEXT > STREAM\n"
     "Compresses stdin (at most 32767 bytes) into one raw codec stream on stdout.\n"},
    {"decompress", run_decompress,
     "usage: drollbox-db decompress < STREAM > TEXT\n"
     "Decompresses one raw codec stream (at most 32767 bytes) from stdin to stdout.\n"
     "A stream that decodes past 32769 bytes, or that has bytes left over after its\n"
     "end symbol, is reported as damaged and nothing is written.\n"},
    {"pack", run_pack,
     "usage: drollbox-db pack FILE... [-o OUT]\n"
     "Builds a data file from fortune files (cookies separated by lines holding a\n"
     "single \"%\"). UTF-8 text is stored as Windows-1252; characters it cannot hold\n"
     "become \"?\". Cookies holding \"%\" or a zero byte, longer than 1999 characters,\n"
     "laid out to more than 25 rows of 80, or empty are skipped; the summary counts\n"
     "them. The output (default \"Drollbox.dat\") is replaced only once complete.\n"
     "  -o, --output OUT   the data file to write\n"},
    {"unpack", run_unpack,
     "usage: drollbox-db unpack [--file PATH] [-o OUT]\n"
     "Writes every cookie of a data file as a UTF-8 fortune file (stdout by default),\n"
     "block by block. On damage OUT is left as it was; stdout has the blocks before it.\n"
     "  -o, --output OUT   the fortune file to write\n"},
    {"verify", run_verify,
     "usage: drollbox-db verify [--file PATH]\n"
     "Checks the header, the index, that every block decodes inside the codec's\n"
     "bounds and that every cookie cuts. Exits 1 with the first damage found.\n"},
    {"show", run_show,
     "usage: drollbox-db show N [--file PATH]\n"
     "Prints cookie N (counted from 0) in the viewer's 80-column rows.\n"},
    {"random", run_random,
     "usage: drollbox-db random [--file PATH]\n"
     "Prints a cookie chosen as the viewer chooses one, in its 80-column rows.\n"},
    {"stats", run_stats,
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
      "  stats        counts, sizes and bits per character of a data file\n"
      "\"drollbox-db COMMAND --help\" describes one command.\n",
      stream);
}

const Command* find_command(std::string_view name) {
  for (const Command& command : commands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

}  // namespace

int run_tool(int argc, const char* const* argv) {
  const Arguments args = parse_arguments(argc, argv);
  if (args.command.empty() || args.command == "help") {
    print_overview(args.help || args.command == "help" ? stdout : stderr);
    return args.help || args.command == "help" ? exit_ok : exit_usage;
  }
  const Command* command = find_command(args.command);
  if (command == nullptr) {
    std::fprintf(stderr, "drollbox-db: unknown command '%s'\n", args.command.c_str());
    print_overview(stderr);
    return exit_usage;
  }
  if (args.help) {
    std::fputs(command->usage, stdout);
    if (std::string_view(command->usage).find("--file") != std::string_view::npos) {
      std::fputs(file_option, stdout);
    }
    return exit_ok;
  }
  if (!args.error.empty()) {
    complain(args, args.error + " (see --help)");
    return exit_usage;
  }
  return command->run(args);
}

void complain(const Arguments& args, const std::string& message) {
  std::fprintf(stderr, "drollbox-db %s: %s\n", args.command.c_str(), message.c_str());
}

bool write_stdout(const Arguments& args, const void* bytes, std::size_t length) {
  if (std::fwrite(bytes, 1, length, stdout) != length || std::fflush(stdout) != 0) {
    complain(args, "cannot write to stdout");
    return false;
  }
  return true;
}

}  // namespace tools
