#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "files/write_file.h"
#include "files/write_file_posix.h"

namespace files {

namespace {

constexpr int most_link_hops = 40;  // as the kernel's own ELOOP limit

WriteResult failure(WriteFailure kind, const std::string& path, int error_number) {
  return {kind, error_number, path};
}

// Up to and including the last slash; empty for a bare name.
std::string folder_part(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path with every symbolic link of its last component followed. The
// file it names need not exist yet (a dangling link is written through).
bool follow_links(std::string& path, int& error_number) {
  for (int hop = 0; hop < most_link_hops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length < 0 || length == static_cast<ssize_t>(sizeof target)) {
      error_number = length < 0 ? errno : ENAMETOOLONG;
      return false;
    }
    const std::string link(target, static_cast<std::size_t>(length));
    path = link.front() == '/' ? link : folder_part(path) + link;
  }
  error_number = ELOOP;
  return false;
}

bool write_all(int descriptor, std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      if (count == 0) errno = EIO;
      return false;
    }
    written += static_cast<std::size_t>(count);
  }
  return true;
}

// The temporary file's name for the signal handler, which may only use what
// is async-signal-safe: a fixed buffer and unlink.
char pending_temporary[4096];
std::atomic<bool> temporary_pending{false};

extern "C" void remove_temporary_and_stop(int signal_number) {
  if (temporary_pending.load()) ::unlink(pending_temporary);
  // SA_RESETHAND has restored the default action: the signal ends the
  // process as it would have, once this handler returns.
  ::raise(signal_number);
}

// The signals that end a process by default and can be caught: closing the
// terminal, Ctrl+C, Ctrl+Backslash, a reader that went away, kill.
constexpr int guarded_signals[] = {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM};
constexpr std::size_t guarded_count = std::size(guarded_signals);

sigset_t guarded_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : guarded_signals) sigaddset(&set, signal_number);
  return set;
}

// Errors by which open() says that the folder's file system (or the kernel)
// cannot make a file without a name.
bool unnamed_unsupported(int error_number) {
  return error_number == EOPNOTSUPP || error_number == EISDIR || error_number == EINVAL;
}

std::string descriptor_path(int descriptor) {
  return "/proc/self/fd/" + std::to_string(descriptor);
}

// Gives the unnamed file open at descriptor the name path, through /proc (a
// link by the descriptor itself would need a privilege).
bool link_unnamed(int descriptor, const std::string& path) {
  return ::linkat(AT_FDCWD, descriptor_path(descriptor).c_str(), AT_FDCWD, path.c_str(),
                  AT_SYMLINK_FOLLOW) == 0;
}

// Signals the program already handles or ignores are left to it.
bool guard(int signal_number) {
  struct sigaction previous {};
  ::sigaction(signal_number, nullptr, &previous);
  if (previous.sa_handler != SIG_DFL || (previous.sa_flags & SA_SIGINFO) != 0) return false;
  struct sigaction action {};
  action.sa_handler = remove_temporary_and_stop;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  return ::sigaction(signal_number, &action, nullptr) == 0;
}

void unguard(int signal_number) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal_number, &action, nullptr);
}

// The new file gets the old one's mode and, when root writes it, its owner;
// chown first, since it clears the set-id bits.
bool keep_owner_and_mode(int descriptor, const struct stat& old) {
  if (::geteuid() == 0 && ::fchown(descriptor, old.st_uid, old.st_gid) != 0) return false;
  return ::fchmod(descriptor, old.st_mode & 07777) == 0;
}

// Makes the rename itself durable. Some file systems cannot sync a folder;
// the file is already in place by then, so that is not a failure.
void sync_folder(const std::string& file) {
  const std::string folder = folder_part(file);
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

bool named_temporaries_only = false;

struct FileWriter::State {
  std::string target;     // the file to write, links followed
  std::string temporary;  // a named temporary file's name, else empty
  bool unnamed = false;   // the bytes go to a file without a name until commit
  int descriptor = -1;
  bool has_old = false;
  struct stat old {};
  bool guarded[guarded_count] = {};
  WriteResult failed;  // the first failure, kept

  WriteResult fail(WriteFailure kind, const std::string& path, int error_number) {
    if (failed.ok()) failed = failure(kind, path, error_number);
    return failed;
  }

  // A file without a name leaves nothing behind whatever ends the process,
  // even SIGKILL or a power cut; it is only used where /proc can name it later.
  bool create_unnamed() {
    const std::string folder = folder_part(target);
    // 0666 less the umask, as any new file the program writes.
    descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) return false;
    if (::access(descriptor_path(descriptor).c_str(), F_OK) == 0) {
      unnamed = true;
      return true;
    }
    ::close(descriptor);
    descriptor = -1;
    errno = EOPNOTSUPP;
    return false;
  }

  bool create_temporary() {
    if (!named_temporaries_only) {
      if (create_unnamed()) return true;
      if (!unnamed_unsupported(errno)) return false;
    }
    for (std::size_t i = 0; i < guarded_count; ++i) guarded[i] = guard(guarded_signals[i]);
    for (int attempt = 0; attempt < 100; ++attempt) {
      if (!next_temporary_name()) return false;
      // A signal between creating the file and recording its name would leave
      // it behind, so the two happen with the guarded signals held back.
      const sigset_t held = guarded_set();
      sigset_t previous;
      ::pthread_sigmask(SIG_BLOCK, &held, &previous);
      descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      const int open_error = errno;
      if (descriptor >= 0) {
        std::memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
        temporary_pending = true;
      }
      ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
      if (descriptor >= 0) return true;
      errno = open_error;
      if (errno != EEXIST) return false;
    }
    return false;
  }

  bool next_temporary_name() {
    static unsigned serial = 0;
    temporary = target + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
    if (temporary.size() < sizeof pending_temporary) return true;
    errno = ENAMETOOLONG;
    return false;
  }

  // The complete unnamed file takes the target's place: linked under a
  // temporary name and renamed over the target with the catchable signals
  // held back, so that no name is left behind but by SIGKILL in those two
  // calls.
  bool name_unnamed() {
    const sigset_t held = guarded_set();
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &held, &previous);
    bool named = false;
    for (int attempt = 0; attempt < 100 && !named; ++attempt) {
      if (!next_temporary_name()) break;
      named = link_unnamed(descriptor, temporary);
      if (!named && errno != EEXIST) break;
    }
    const bool renamed = named && ::rename(temporary.c_str(), target.c_str()) == 0;
    const int error_number = errno;
    if (named && !renamed) ::unlink(temporary.c_str());
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error_number;
    return renamed;
  }

  void release() {
    for (std::size_t i = 0; i < guarded_count; ++i) {
      if (guarded[i]) unguard(guarded_signals[i]);
      guarded[i] = false;
    }
    temporary_pending = false;
  }

  ~State() {
    if (descriptor >= 0) ::close(descriptor);
    if (temporary_pending) ::unlink(temporary.c_str());
    release();
  }
};

FileWriter::FileWriter() : state_(std::make_unique<State>()) {}
FileWriter::~FileWriter() = default;

WriteResult FileWriter::open(const std::string& path) {
  State& s = *state_;
  s.target = path;
  int error_number = 0;
  if (!follow_links(s.target, error_number))
    return s.fail(WriteFailure::cannot_follow_link, path, error_number);
  if (::stat(s.target.c_str(), &s.old) == 0) {
    s.has_old = true;
    if (S_ISDIR(s.old.st_mode)) return s.fail(WriteFailure::is_directory, s.target, 0);
    const bool in_place = S_ISCHR(s.old.st_mode) || S_ISFIFO(s.old.st_mode);
    if (!in_place && !S_ISREG(s.old.st_mode)) return s.fail(WriteFailure::is_special, s.target, 0);
    // A device or FIFO takes the bytes where it is. Whoever could not open a
    // regular file for writing may not replace it either, even when the
    // folder would let the rename through.
    const int opened = ::open(s.target.c_str(), O_WRONLY | O_CLOEXEC | (in_place ? 0 : O_NONBLOCK));
    if (opened < 0) return s.fail(WriteFailure::not_writable, s.target, errno);
    if (in_place) {
      s.descriptor = opened;
      return {WriteFailure::none, 0, s.target};
    }
    ::close(opened);
  } else if (errno != ENOENT) {
    return s.fail(WriteFailure::cannot_examine, s.target, errno);
  }
  if (!s.create_temporary()) return s.fail(WriteFailure::cannot_create_temporary, s.target, errno);
  return {WriteFailure::none, 0, s.target};
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
  const bool replaces = s.unnamed || !s.temporary.empty();
  const std::string& written = s.temporary.empty() ? s.target : s.temporary;
  if (replaces) {
    if (s.has_old && !keep_owner_and_mode(s.descriptor, s.old))
      return s.fail(WriteFailure::cannot_keep_owner, s.target, errno);
    if (::fsync(s.descriptor) != 0) return s.fail(WriteFailure::cannot_sync, written, errno);
  }
  if (s.unnamed && !s.name_unnamed()) return s.fail(WriteFailure::cannot_replace, s.target, errno);
  const int descriptor = s.descriptor;
  s.descriptor = -1;
  if (::close(descriptor) != 0 && !s.unnamed)
    return s.fail(WriteFailure::cannot_write, written, errno);
  if (!replaces) return {WriteFailure::none, 0, s.target};
  if (!s.unnamed && ::rename(s.temporary.c_str(), s.target.c_str()) != 0)
    return s.fail(WriteFailure::cannot_replace, s.target, errno);
  s.release();  // after the rename there is nothing left to remove
  sync_folder(s.target);
  return {WriteFailure::none, 0, s.target};
}

}  // namespace files
