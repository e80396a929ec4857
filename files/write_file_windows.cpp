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

// Ctrl+C, termination and Ctrl+Break: the catchable signals that end a
// process here (Windows has no SIGHUP, SIGQUIT or SIGPIPE).
constexpr int guarded_signals[] = {SIGINT, SIGTERM, SIGBREAK};
constexpr std::size_t guarded_count = std::size(guarded_signals);

}  // namespace

struct FileWriter::State {
  std::string target;
  std::string temporary;  // empty when a device is written in place
  int descriptor = -1;
  void (*previous[guarded_count])(int) = {};
  bool guarded = false;
  WriteResult failed;

  WriteResult fail(WriteFailure kind, const std::string& path, int error_number) {
    if (failed.ok()) failed = failure(kind, path, error_number);
    return failed;
  }

  void release() {
    temporary_pending = 0;
    if (!guarded) return;
    for (std::size_t i = 0; i < guarded_count; ++i) std::signal(guarded_signals[i], previous[i]);
    guarded = false;
  }

  ~State() {
    if (descriptor >= 0) ::_close(descriptor);
    if (temporary_pending) ::_unlink(temporary.c_str());
    release();
  }
};

FileWriter::FileWriter() : state_(std::make_unique<State>()) {}
FileWriter::~FileWriter() = default;

WriteResult FileWriter::open(const std::string& path) {
  State& s = *state_;
  s.target = path;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (std::filesystem::exists(status)) {
    if (std::filesystem::is_directory(status)) return s.fail(WriteFailure::is_directory, path, 0);
    const bool in_place = !std::filesystem::is_regular_file(status);
    const int opened = ::_open(path.c_str(), _O_WRONLY | _O_BINARY);
    if (opened < 0) return s.fail(WriteFailure::not_writable, path, errno);
    if (in_place) {
      s.descriptor = opened;
      return {WriteFailure::none, 0, path};
    }
    ::_close(opened);
  }
  s.temporary = path + ".tmp." + std::to_string(::_getpid());
  if (s.temporary.size() >= sizeof pending_temporary)
    return s.fail(WriteFailure::cannot_create_temporary, path, ENAMETOOLONG);
  for (std::size_t i = 0; i < guarded_count; ++i)
    s.previous[i] = std::signal(guarded_signals[i], remove_temporary_and_stop);
  s.guarded = true;
  s.descriptor = ::_open(s.temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                         _S_IREAD | _S_IWRITE);
  if (s.descriptor < 0) return s.fail(WriteFailure::cannot_create_temporary, path, errno);
  std::memcpy(pending_temporary, s.temporary.c_str(), s.temporary.size() + 1);
  temporary_pending = 1;
  return {WriteFailure::none, 0, path};
}

WriteResult FileWriter::write(std::string_view bytes) {
  State& s = *state_;
  if (!s.failed.ok()) return s.failed;
  if (!write_all(s.descriptor, bytes))
    return s.fail(WriteFailure::cannot_write, s.temporary.empty() ? s.target : s.temporary, errno);
  return {WriteFailure::none, 0, s.target};
}

WriteResult FileWriter::commit() {
  State& s = *state_;
  if (!s.failed.ok()) return s.failed;
  const std::string& written = s.temporary.empty() ? s.target : s.temporary;
  if (!s.temporary.empty() && ::_commit(s.descriptor) != 0)
    return s.fail(WriteFailure::cannot_sync, written, errno);
  const int descriptor = s.descriptor;
  s.descriptor = -1;
  if (::_close(descriptor) != 0) return s.fail(WriteFailure::cannot_write, written, errno);
  if (s.temporary.empty()) return {WriteFailure::none, 0, s.target};
  if (!::MoveFileExA(s.temporary.c_str(), s.target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return s.fail(WriteFailure::cannot_replace, s.target, EACCES);
  s.release();
  return {WriteFailure::none, 0, s.target};
}

}  // namespace files
