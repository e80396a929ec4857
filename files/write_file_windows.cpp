#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "files/write_file.h"

namespace files {

namespace {

WriteResult failure(WriteFailure kind, const std::string& path, int error_number) {
  return {kind, error_number, path};
}

bool write_all(int descriptor, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const std::size_t chunk = std::min<std::size_t>(bytes.size() - written, 1u << 30);
    const int count = ::_write(descriptor, bytes.data() + written, static_cast<unsigned>(chunk));
    if (count <= 0) {
      if (count == 0) errno = EIO;
      return false;
    }
    written += static_cast<std::size_t>(count);
  }
  return true;
}

char pending_temporary[MAX_PATH + 64];
volatile std::sig_atomic_t temporary_pending = 0;

extern "C" void remove_temporary_and_stop(int signal_number) {
  if (temporary_pending) ::_unlink(pending_temporary);
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

}  // namespace

WriteResult write_file(const std::string& path, std::string_view bytes) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  const bool exists = std::filesystem::exists(status);
  if (exists && std::filesystem::is_directory(status))
    return failure(WriteFailure::is_directory, path, 0);
  if (exists && !std::filesystem::is_regular_file(status)) {
    std::FILE* device = std::fopen(path.c_str(), "wb");
    if (device == nullptr) return failure(WriteFailure::not_writable, path, errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), device) == bytes.size();
    if (std::fclose(device) != 0 || !written)
      return failure(WriteFailure::cannot_write, path, errno);
    return {WriteFailure::none, 0, path};
  }
  if (exists) {
    const int probe = ::_open(path.c_str(), _O_WRONLY | _O_BINARY);
    if (probe < 0) return failure(WriteFailure::not_writable, path, errno);
    ::_close(probe);
  }

  const std::string temporary = path + ".tmp." + std::to_string(::_getpid());
  if (temporary.size() >= sizeof pending_temporary)
    return failure(WriteFailure::cannot_create_temporary, path, ENAMETOOLONG);
  std::memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
  const int descriptor =
      ::_open(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return failure(WriteFailure::cannot_create_temporary, path, errno);
  temporary_pending = 1;
  auto* previous_interrupt = std::signal(SIGINT, remove_temporary_and_stop);
  auto* previous_terminate = std::signal(SIGTERM, remove_temporary_and_stop);

  WriteResult result{WriteFailure::none, 0, path};
  if (!write_all(descriptor, bytes))
    result = failure(WriteFailure::cannot_write, temporary, errno);
  else if (::_commit(descriptor) != 0)
    result = failure(WriteFailure::cannot_sync, temporary, errno);
  if (::_close(descriptor) != 0 && result.ok())
    result = failure(WriteFailure::cannot_write, temporary, errno);
  if (result.ok() && !::MoveFileExA(temporary.c_str(), path.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    result = failure(WriteFailure::cannot_replace, path, EACCES);
  if (!result.ok()) ::_unlink(temporary.c_str());
  temporary_pending = 0;
  std::signal(SIGINT, previous_interrupt);
  std::signal(SIGTERM, previous_terminate);
  return result;
}

}  // namespace files
