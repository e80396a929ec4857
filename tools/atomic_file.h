// Whole-file reads and writes for the tool. A write goes to a temporary file
// beside the target and is renamed over it only when every byte is on disk,
// so a failed write leaves the old file as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tools {

// Nothing when the file cannot be read.
std::optional<std::string> read_whole_file(const std::string& path);

// Empty on success, otherwise what went wrong.
std::string write_file_atomically(const std::string& path, std::string_view bytes);

}  // namespace tools
