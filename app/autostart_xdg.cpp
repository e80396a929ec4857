#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/autostart.h"
#include "files/write_file.h"

namespace app {

namespace {

namespace fs = std::filesystem;

// $XDG_CONFIG_HOME/autostart, ~/.config/autostart when that is unset or
// relative (as the XDG base directory rules ask); empty without either.
fs::path autostart_folder() {
  const char* config_home = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (config_home != nullptr && config_home[0] == '/') return fs::path(config_home) / "autostart";
  if (home != nullptr && home[0] == '/') return fs::path(home) / ".config" / "autostart";
  return {};
}

// One argument of an Exec line: quoted, with the quoting's and the value
// string's escapes, and "%" doubled.
std::string exec_argument(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
    if (c == '\\') quoted += "\\\\\\";
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

std::string desktop_entry(const std::string& data_file) {
  std::error_code error;
  std::string exec = exec_argument(fs::read_symlink("/proc/self/exe", error).string());
  if (!data_file.empty()) exec += " " + exec_argument(fs::absolute(data_file, error).string());
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Drollbox\n"
         "Comment=A fortune cookie at login\n"
         "Exec=" +
         exec +
         "\n"
         "Icon=drollbox\n"
         "Terminal=false\n";
}

AutostartOutcome failed(const std::string& what, const fs::path& path, int error_number) {
  return {false, "cannot " + what + " '" + path.string() + "': " + std::strerror(error_number)};
}

}  // namespace

AutostartOutcome change_autostart(bool on, const std::string& data_file) {
  const fs::path folder = autostart_folder();
  if (folder.empty()) return {false, "neither XDG_CONFIG_HOME nor HOME names a folder"};
  const fs::path entry = folder / "drollbox.desktop";
  if (!on) {
    if (::unlink(entry.c_str()) == 0)
      return {true, "removed the login entry '" + entry.string() + "'"};
    if (errno == ENOENT) return {true, "there is no login entry '" + entry.string() + "'"};
    return failed("remove", entry, errno);
  }
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return failed("make the folder", folder, error.value());
  const files::WriteResult written = files::write_file(entry.string(), desktop_entry(data_file));
  if (!written.ok()) return {false, written.message()};
  return {true, "added the login entry '" + entry.string() + "'"};
}

}  // namespace app
