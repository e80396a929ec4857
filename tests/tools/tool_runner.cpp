#include "tool_runner.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tools_test {

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

}  // namespace

ScratchFolder::ScratchFolder() {
  std::string pattern = (fs::temp_directory_path() / "drollbox-tools-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

ToolRun ScratchFolder::run(const std::vector<std::string>& arguments,
                           const std::string& stdin_bytes, const std::string& shell_setup) const {
  write(".stdin", stdin_bytes);
  std::string command =
      shell_setup + "cd " + quoted(path_.string()) + " && " + quoted(DROLLBOX_DB_TOOL);
  for (const std::string& argument : arguments) command += " " + quoted(argument);
  command += " <.stdin >.stdout 2>.stderr";
  const int raw = std::system(command.c_str());
  ToolRun result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = read(".stdout");
  result.err = read(".stderr");
  for (const char* name : {".stdin", ".stdout", ".stderr"}) fs::remove(path_ / name);
  return result;
}

void ScratchFolder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchFolder::read(const std::string& name) const {
  return read_file(path_ / name);
}

std::vector<std::string> ScratchFolder::entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string read_file(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string cookies_folder() {
  return DROLLBOX_COOKIES_DIR;
}

std::vector<std::string> collection_files() {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(cookies_folder())) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name.front() != '.') files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

long long number_after(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label + ": ");
  if (at == std::string::npos) return -1;
  return std::strtoll(text.c_str() + at + label.size() + 2, nullptr, 10);
}

}  // namespace tools_test
