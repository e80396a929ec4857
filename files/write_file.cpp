#include "files/write_file.h"

#include <cstdio>
#include <cstring>

namespace files {

std::string WriteResult::message() const {
  const std::string quoted = "'" + path + "'";
  const std::string reason =
      error_number != 0 ? std::string(": ") + std::strerror(error_number) : "";
  switch (failure) {
    case WriteFailure::none:
      break;
    case WriteFailure::is_directory:
      return "refused to write " + quoted + ": it is a directory";
    case WriteFailure::is_special:
      return "refused to write " + quoted + ": it is neither a regular file, a device nor a FIFO";
    case WriteFailure::not_writable:
      return "refused to write " + quoted + reason;
    case WriteFailure::cannot_follow_link:
      return "cannot follow the symbolic link " + quoted + reason;
    case WriteFailure::cannot_examine:
      return "cannot examine " + quoted + reason;
    case WriteFailure::cannot_create_temporary:
      return "cannot create a temporary file beside " + quoted + reason;
    case WriteFailure::cannot_write:
      return "cannot write " + quoted + reason;
    case WriteFailure::cannot_sync:
      return "cannot flush " + quoted + " to disk" + reason;
    case WriteFailure::cannot_keep_owner:
      return "cannot keep the owner and mode of " + quoted + reason;
    case WriteFailure::cannot_replace:
      return "cannot replace " + quoted + reason;
  }
  return "";
}

WriteResult write_file(const std::string& path, std::string_view bytes) {
  FileWriter writer;
  if (WriteResult opened = writer.open(path); !opened.ok()) return opened;
  if (WriteResult written = writer.write(bytes); !written.ok()) return written;
  return writer.commit();
}

std::optional<std::string> read_file(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

}  // namespace files
