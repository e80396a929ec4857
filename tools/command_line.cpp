#include "tools/command_line.h"

#include <charconv>
#include <string_view>

#include "places/places.h"

namespace tools {

namespace {

// Handles "--name VALUE" and "--name=VALUE"; false when arg is not the option.
bool take_value(std::string_view arg, std::string_view name, int argc, const char* const* argv,
                int& index, std::string& value, std::string& error) {
  if (arg == name) {
    if (index + 1 >= argc) {
      error = std::string(name) + " needs a value";
      return true;
    }
    value = argv[++index];
    if (value.empty()) error = std::string(name) + " needs a value";
    return true;
  }
  if (name.starts_with("--") && arg.starts_with(name) && arg.size() > name.size() &&
      arg[name.size()] == '=') {
    value = std::string(arg.substr(name.size() + 1));
    if (value.empty()) error = std::string(name) + " needs a value";
    return true;
  }
  return false;
}

struct Flag {
  const char* short_name;
  const char* long_name;
  bool Arguments::*field;
};

constexpr Flag flags[] = {
    {"-s", "--short", &Arguments::short_only},  {"-l", "--long", &Arguments::long_only},
    {"-w", "--wait", &Arguments::wait},         {"-i", "--ignore-case", &Arguments::ignore_case},
    {"-E", "--extended", &Arguments::extended},
};

bool take_flag(std::string_view arg, Arguments& args) {
  for (const Flag& flag : flags) {
    if (arg == flag.short_name || arg == flag.long_name) {
      args.*flag.field = true;
      args.letters += flag.short_name[1];
      return true;
    }
  }
  return false;
}

void parse_limit(const std::string& text, Arguments& args) {
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, args.short_limit);
  if (failure != std::errc() || stop != end) args.error = "-n wants a number of characters";
  args.letters += 'n';
}

}  // namespace

Arguments parse_arguments(int argc, const char* const* argv) {
  Arguments args;
  args.data_file = places::data_file();
  bool options_done = false;
  for (int i = 1; i < argc && args.error.empty(); ++i) {
    const std::string_view arg = argv[i];
    if (!options_done && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options_done = true;
      } else if (arg == "--help" || arg == "-h") {
        args.help = true;
      } else if (arg == "--version") {
        args.version = true;
      } else if (take_flag(arg, args)) {
      } else if (std::string limit; take_value(arg, "-n", argc, argv, i, limit, args.error)) {
        if (args.error.empty()) parse_limit(limit, args);
      } else if (take_value(arg, "--file", argc, argv, i, args.data_file, args.error) ||
                 take_value(arg, "--output", argc, argv, i, args.output, args.error) ||
                 take_value(arg, "-o", argc, argv, i, args.output, args.error)) {
      } else {
        args.error = "unknown option '" + std::string(arg) + "'";
      }
      continue;
    }
    if (args.command.empty())
      args.command = arg;
    else
      args.operands.emplace_back(arg);
  }
  return args;
}

}  // namespace tools
