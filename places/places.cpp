#include "places/places.h"

#include <filesystem>
#include <system_error>

namespace places {

namespace fs = std::filesystem;

namespace {

bool is_file(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// Relative paths are ignored, as the XDG base directory rules ask.
bool usable_root(const char* value) {
  return value != nullptr && value[0] == '/';
}

}  // namespace

std::string data_file() {
  if (is_file(data_file_name)) return data_file_name;
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path installed =
        executable.parent_path() / DROLLBOX_DATA_FROM_BIN / "drollbox" / data_file_name;
    if (is_file(installed)) return installed.lexically_normal().string();
  }
  return data_file_name;
}

std::string settings_file(const char* config_home, const char* home) {
  fs::path root;
  if (usable_root(config_home))
    root = config_home;
  else if (usable_root(home))
    root = fs::path(home) / ".config";
  else
    return settings_file_name;
  return (root / "drollbox" / settings_file_name).string();
}

}  // namespace places
