// Files the tool reads, with the reason the system gives when it cannot,
// and standard input ("-") in their place.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tools {

// Why path cannot be read, in the system's words ("No such file or
// directory", "Is a directory", "Permission denied"); empty when it can.
std::string why_unreadable(const std::string& path);

// All the bytes of the file, or of standard input for "-"; when they cannot
// be read, nothing, and reason says why.
std::optional<std::string> read_input(const std::string& path, std::string& reason);

// The bytes of the file, or of standard input for "-", handed to take a
// part at a time until it returns false; false, and reason says why, when
// they cannot be read.
bool read_in_parts(const std::string& path, const std::function<bool(std::string_view)>& take,
                   std::string& reason);

// A file in the temporary folder without a name, gone when this is.
class ScratchFile {
 public:
  ScratchFile() = default;
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // False, and reason says why, when it cannot be made.
  bool open(std::string& reason);
  std::FILE* file() const { return file_; }

 private:
  std::FILE* file_ = nullptr;
};

// Standard input copied into a temporary file that goes when this does, for
// a data file, which is read out of order.
class SpooledInput {
 public:
  SpooledInput() = default;
  ~SpooledInput();
  SpooledInput(const SpooledInput&) = delete;
  SpooledInput& operator=(const SpooledInput&) = delete;

  // The temporary file's name; empty when it could not be made, and reason says why.
  std::string take_stdin(std::string& reason);

 private:
  std::string path_;
};

}  // namespace tools
