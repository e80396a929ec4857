#include <windows.h>

#include "app/autostart.h"

namespace app {

namespace {

constexpr const char* run_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* value_name = "Drollbox";
constexpr const char* shown_value =
    "'Drollbox' of HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string system_reason(LSTATUS status) {
  char text[256] = {};
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(status), 0, text, sizeof text, nullptr);
  std::string reason = text;
  while (!reason.empty() &&
         (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
    reason.pop_back();
  return reason.empty() ? "error " + std::to_string(status) : reason;
}

// The program's full path, quoted, and the data file's when there is one.
std::string command_line(const std::string& data_file) {
  char program[MAX_PATH * 2] = {};
  ::GetModuleFileNameA(nullptr, program, sizeof program);
  std::string command = "\"" + std::string(program) + "\"";
  if (data_file.empty()) return command;
  char full[MAX_PATH * 2] = {};
  const DWORD length = ::GetFullPathNameA(data_file.c_str(), sizeof full, full, nullptr);
  return command + " \"" + (length > 0 && length < sizeof full ? full : data_file) + "\"";
}

}  // namespace

AutostartOutcome change_autostart(bool on, const std::string& data_file) {
  HKEY key = nullptr;
  LSTATUS status = ::RegCreateKeyExA(HKEY_CURRENT_USER, run_key, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS)
    return {false,
            std::string("cannot open the value ") + shown_value + ": " + system_reason(status)};
  std::string done;
  if (on) {
    const std::string command = command_line(data_file);
    status =
        ::RegSetValueExA(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>(command.size() + 1));
    done = std::string("added the login entry ") + shown_value;
  } else {
    status = ::RegDeleteValueA(key, value_name);
    done = std::string(status == ERROR_FILE_NOT_FOUND ? "there is no login entry "
                                                      : "removed the login entry ") +
           shown_value;
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  }
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS)
    return {false, std::string("cannot ") + (on ? "set" : "remove") + " the value " + shown_value +
                       ": " + system_reason(status)};
  return {true, done};
}

}  // namespace app
