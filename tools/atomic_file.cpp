#include "tools/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tools {

std::optional<std::string> read_whole_file(const std::string& path) {
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

namespace {

std::string describe(const std::string& what, const std::string& path) {
  return what + " '" + path + "': " + std::strerror(errno);
}

}  // namespace

std::string write_file_atomically(const std::string& path, std::string_view bytes) {
  std::string pattern = path + ".tmp.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) return describe("cannot create a temporary file for", path);
  const std::string temporary(name.data());

  std::string problem;
  std::size_t written = 0;
  while (problem.empty() && written < bytes.size()) {
    const ssize_t count = ::write(descriptor, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0)
      problem = describe("cannot write", temporary);
    else
      written += static_cast<std::size_t>(count);
  }
  if (problem.empty() && ::fsync(descriptor) != 0) problem = describe("cannot flush", temporary);
  if (::close(descriptor) != 0 && problem.empty()) problem = describe("cannot close", temporary);
  // mkstemp makes the file private; a database is meant to be read by anyone.
  if (problem.empty() && ::chmod(temporary.c_str(), 0644) != 0)
    problem = describe("cannot set permissions of", temporary);
  if (problem.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) {
    problem = describe("cannot replace", path);
  }
  if (!problem.empty()) std::remove(temporary.c_str());
  return problem;
}

}  // namespace tools
