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
bool read_parts(int descriptor, const std::function<bool(std::string_view)>& take) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!take({chunk, static_cast<std::size_t>(got)})) return true;
  }
}

bool read_all(int descriptor, std::string& bytes) {
  return read_parts(descriptor, [&](std::string_view part) {
    bytes += part;
    return true;
  });
}

std::string temporary_name() {
  std::error_code error;
  return (std::filesystem::temp_directory_path(error) / "drollbox-db-XXXXXX").string();
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

bool read_in_parts(const std::string& path, const std::function<bool(std::string_view)>& take,
                   std::string& reason) {
  const int descriptor = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    reason = system_reason(errno);
    return false;
  }
  const bool read = read_parts(descriptor, take);
  const int error_number = errno;
  if (descriptor != STDIN_FILENO) ::close(descriptor);
  if (!read) reason = system_reason(error_number);
  return read;
}

ScratchFile::~ScratchFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ScratchFile::open(std::string& reason) {
  std::string name = temporary_name();
  const int descriptor = ::mkstemp(name.data());
  if (descriptor >= 0) ::unlink(name.c_str());
  file_ = descriptor < 0 ? nullptr : ::fdopen(descriptor, "w+b");
  if (file_ == nullptr) {
    reason = system_reason(errno);
    if (descriptor >= 0) ::close(descriptor);
  }
  return file_ != nullptr;
}

SpooledInput::~SpooledInput() {
  if (!path_.empty()) std::remove(path_.c_str());
}

std::string SpooledInput::take_stdin(std::string& reason) {
  std::string name = temporary_name();
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) {
    reason = system_reason(errno);
    return {};
  }
  path_ = name;
  // Copied a part at a time, so that memory holds one part whatever the input.
  int write_error = 0;
  const bool read = read_parts(STDIN_FILENO, [&](std::string_view part) {
    while (!part.empty() && write_error == 0) {
      const ssize_t put = ::write(descriptor, part.data(), part.size());
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) write_error = errno;
      if (put > 0) part.remove_prefix(static_cast<std::size_t>(put));
    }
    return write_error == 0;
  });
  const int read_error = errno;
  ::close(descriptor);
  if (read && write_error == 0) return path_;
  reason = system_reason(write_error != 0 ? write_error : read_error);
  return {};
}

}  // namespace tools
