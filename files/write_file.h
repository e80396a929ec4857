// Whole-file reads and writes that cannot harm what was there: the one way
// both programs write a file.
//
// A regular file is replaced atomically: the bytes go to a temporary file
// beside it, which is flushed to disk and renamed over the old one only when
// complete, with the old file's mode (and, for root, its owner). On Linux the
// temporary file has no name until then, so nothing is left of it whatever
// ends the process; elsewhere, and on file systems that cannot make such a
// file, it is named and removed on any failure and on SIGHUP, SIGINT,
// SIGQUIT, SIGPIPE or SIGTERM (SIGINT, SIGTERM and SIGBREAK on Windows).
// Either way the old file is left as it was until the rename. A symbolic link
// is followed and its target replaced, so the link stays a link. An existing
// character device or FIFO is written in place, as a shell redirection
// would. A directory or any other special file is refused, and so is a file
// the user could not open for writing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace files {

enum class WriteFailure {
  none,
  is_directory,
  is_special,  // a block device, socket or the like
  not_writable,
  cannot_follow_link,
  cannot_examine,
  cannot_create_temporary,
  cannot_write,
  cannot_sync,
  cannot_keep_owner,
  cannot_replace,
};

struct WriteResult {
  WriteFailure failure = WriteFailure::none;
  int error_number = 0;  // errno of the failing call, 0 when there is none
  std::string path;      // the file written or refused (a link's target)

  bool ok() const { return failure == WriteFailure::none; }
  // One line for the user, naming the file and the reason.
  std::string message() const;
};

WriteResult write_file(const std::string& path, std::string_view bytes);

// The same for output made piece by piece (a tool streaming a large file):
// open, write as often as needed, commit. Nothing replaces the old file
// before commit succeeds; a writer dropped before that leaves it as it was.
// One writer at a time per process.
class FileWriter {
 public:
  FileWriter();
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  WriteResult open(const std::string& path);
  WriteResult write(std::string_view bytes);  // after a failure, that failure again
  WriteResult commit();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Nothing when the file cannot be read.
std::optional<std::string> read_file(const std::string& path);

}  // namespace files
