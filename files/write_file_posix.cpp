#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "files/write_file.h"

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

// A device or FIFO takes the bytes where it is; it is never replaced.
WriteResult write_in_place(const std::string& path, std::string_view bytes) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (descriptor < 0) return failure(WriteFailure::not_writable, path, errno);
  const bool written = write_all(descriptor, bytes);
  const int error_number = errno;
  if (::close(descriptor) != 0 && written) return failure(WriteFailure::cannot_write, path, errno);
  if (!written) return failure(WriteFailure::cannot_write, path, error_number);
  return {WriteFailure::none, 0, path};
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

// Removes the temporary file on failure, and on SIGINT or SIGTERM while it
// exists. Signals the program already handles or ignores are left to it.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool create(const std::string& target) {
    static unsigned serial = 0;
    guard(SIGINT, 0);
    guard(SIGTERM, 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
      name_ = target + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(serial++);
      if (name_.size() >= sizeof pending_temporary) {
        errno = ENAMETOOLONG;
        return false;
      }
      // 0666 less the umask, as any new file the program writes.
      descriptor_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (descriptor_ >= 0) {
        std::memcpy(pending_temporary, name_.c_str(), name_.size() + 1);
        temporary_pending = true;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  int descriptor() const { return descriptor_; }
  const std::string& name() const { return name_; }

  bool close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0;
  }

  // After the rename there is nothing left to remove.
  void renamed() { release(); }

  ~TemporaryFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (temporary_pending) ::unlink(name_.c_str());
    release();
  }

 private:
  void guard(int signal_number, int slot) {
    struct sigaction previous {};
    ::sigaction(signal_number, nullptr, &previous);
    if (previous.sa_handler != SIG_DFL || (previous.sa_flags & SA_SIGINFO) != 0) return;
    struct sigaction action {};
    action.sa_handler = remove_temporary_and_stop;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    guarded_[slot] = ::sigaction(signal_number, &action, nullptr) == 0;
  }

  void unguard(int signal_number, int slot) {
    if (!guarded_[slot]) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
    guarded_[slot] = false;
  }

  void release() {
    unguard(SIGINT, 0);
    unguard(SIGTERM, 1);
    temporary_pending = false;
  }

  std::string name_;
  int descriptor_ = -1;
  bool guarded_[2] = {false, false};
};

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

WriteResult replace(const std::string& path, std::string_view bytes, const struct stat* old) {
  TemporaryFile temporary;
  if (!temporary.create(path)) return failure(WriteFailure::cannot_create_temporary, path, errno);
  if (!write_all(temporary.descriptor(), bytes))
    return failure(WriteFailure::cannot_write, temporary.name(), errno);
  if (old != nullptr && !keep_owner_and_mode(temporary.descriptor(), *old))
    return failure(WriteFailure::cannot_keep_owner, path, errno);
  if (::fsync(temporary.descriptor()) != 0)
    return failure(WriteFailure::cannot_sync, temporary.name(), errno);
  if (!temporary.close()) return failure(WriteFailure::cannot_write, temporary.name(), errno);
  if (::rename(temporary.name().c_str(), path.c_str()) != 0)
    return failure(WriteFailure::cannot_replace, path, errno);
  temporary.renamed();
  sync_folder(path);
  return {WriteFailure::none, 0, path};
}

}  // namespace

WriteResult write_file(const std::string& path, std::string_view bytes) {
  std::string target = path;
  int error_number = 0;
  if (!follow_links(target, error_number))
    return failure(WriteFailure::cannot_follow_link, path, error_number);
  struct stat old {};
  if (::stat(target.c_str(), &old) != 0) {
    if (errno != ENOENT) return failure(WriteFailure::cannot_examine, target, errno);
    return replace(target, bytes, nullptr);
  }
  if (S_ISCHR(old.st_mode) || S_ISFIFO(old.st_mode)) return write_in_place(target, bytes);
  if (S_ISDIR(old.st_mode)) return failure(WriteFailure::is_directory, target, 0);
  if (!S_ISREG(old.st_mode)) return failure(WriteFailure::is_special, target, 0);
  // Whoever could not open the file for writing may not replace it either,
  // even when the folder would let the rename through.
  const int probe = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return failure(WriteFailure::not_writable, target, errno);
  ::close(probe);
  return replace(target, bytes, &old);
}

}  // namespace files
