#include "app/viewer_options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/autostart.h"
#include "app/window_cycles.h"
#include "database/data_file.h"
#include "places/file_names.h"

namespace app {

namespace {

// A printf format given the data file's name.
const char* const viewer_usage =
    "Usage: drollbox [FILE | --file FILE] [--autostart on|off] [--help | --version]\n"
    "Shows a fortune cookie picked at random from its database in a small window.\n"
    "\n"
    "Keys: N New cookie, P Prev (back through the last 16), C Config (screen and\n"
    "font), A About, Return New, Escape or Ok to quit, Ctrl+C copies the cookie.\n"
    "\n"
    "  FILE, --file FILE    show the cookies of this data file (one made by\n"
    "                       drollbox-db pack) instead of %s\n"
    "  --autostart on|off   add or remove the entry that shows a cookie once at\n"
    "                       every login (with FILE, of that file); tells what it\n"
    "                       did and opens no window\n";

void set_autostart(std::string_view value, ViewerOptions& options) {
  if (value == "on")
    options.autostart = AutostartChange::on;
  else if (value == "off")
    options.autostart = AutostartChange::off;
  else
    options.error = "--autostart wants on or off";
}

void set_data_file(std::string_view value, ViewerOptions& options) {
  if (value.empty())
    options.error = "the data file's name is empty";
  else if (!options.data_file.empty())
    options.error = "names more than one data file";
  else
    options.data_file = value;
}

// "--name VALUE" or "--name=VALUE": the value, or nothing when arg is another option.
const char* option_value(std::string_view arg, std::string_view name, int argc,
                         const char* const* argv, int& index) {
  if (arg == name) return index + 1 < argc ? argv[++index] : "";
  if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=')
    return arg.data() + name.size() + 1;
  return nullptr;
}

}  // namespace

ViewerOptions parse_viewer_options(int argc, const char* const* argv) {
  ViewerOptions options;
  bool options_done = false;
  for (int i = 1; i < argc && options.error.empty(); ++i) {
    const std::string_view arg = argv[i];
    if (options_done || arg.size() < 2 || arg[0] != '-') {
      set_data_file(arg, options);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (const char* file = option_value(arg, "--file", argc, argv, i)) {
      set_data_file(file, options);
    } else if (const char* change = option_value(arg, "--autostart", argc, argv, i)) {
      set_autostart(change, options);
    } else {
      options.error = "unknown option '" + std::string(arg) + "'";
    }
  }
  return options;
}

std::optional<int> answer_on_terminal(const ViewerOptions& options, const std::string& usage_tail) {
  if (!options.error.empty()) {
    std::fprintf(stderr, "drollbox: %s (see --help)\n", options.error.c_str());
    return 2;
  }
  if (options.help) {
    std::printf(viewer_usage, places::data_file_name);
    std::printf("\n%s", usage_tail.c_str());
    return 0;
  }
  if (options.version) {
    std::printf("%s\n", frame_title);
    return 0;
  }
  if (options.autostart == AutostartChange::none) return std::nullopt;
  const AutostartOutcome outcome =
      change_autostart(options.autostart == AutostartChange::on, options.data_file);
  std::fprintf(outcome.done ? stdout : stderr, "drollbox: %s\n", outcome.message.c_str());
  return outcome.done ? 0 : 1;
}

void explain_unusable_data_file(const std::string& path) {
  errno = 0;
  const database::DamageKind damage = database::DataFile::open(path.c_str()).damage.kind;
  const int error_number = errno;
  if (damage == database::DamageKind::none) return;
  const std::string reason = damage == database::DamageKind::cannot_open && error_number != 0
                                 ? std::strerror(error_number)
                                 : database::damage_text(damage);
  std::fprintf(stderr, "drollbox: cannot show '%s': %s\n", path.c_str(), reason.c_str());
}

}  // namespace app
