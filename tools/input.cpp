#include "tools/input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tools {

namespace {

std::string system_reason(int error_number) {
  return std::strerror(error_number);
}

// Reads to the end of the descriptor; false (errno set) on a read error.
bool read_all(int descriptor, std::string& bytes) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::string why_unreadable(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return system_reason(errno);
  struct stat status {};
  const bool is_directory = ::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
  ::close(descriptor);
  return is_directory ? system_reason(EISDIR) : std::string();
}

std::optional<std::string> read_input(const std::string& path, std::string& reason) {
  std::string bytes;
  if (path == "-") {
    if (read_all(STDIN_FILENO, bytes)) return bytes;
    reason = system_reason(errno);
    return std::nullopt;
  }
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    reason = system_reason(errno);
    return std::nullopt;
  }
  const bool read = read_all(descriptor, bytes);
  const int error_number = errno;
  ::close(descriptor);
  if (read) return bytes;
  reason = system_reason(error_number);
  return std::nullopt;
}

SpooledInput::~SpooledInput() {
  if (!path_.empty()) std::remove(path_.c_str());
}

std::string SpooledInput::take_stdin(std::string& reason) {
  std::string bytes;
  if (!read_all(STDIN_FILENO, bytes)) {
    reason = system_reason(errno);
    return {};
  }
  std::error_code error;
  std::string name = (std::filesystem::temp_directory_path(error) / "drollbox-db-XXXXXX").string();
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) {
    reason = system_reason(errno);
    return {};
  }
  path_ = name;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      reason = system_reason(errno);
      ::close(descriptor);
      return {};
    }
    done += static_cast<std::size_t>(put);
  }
  ::close(descriptor);
  return path_;
}

}  // namespace tools
