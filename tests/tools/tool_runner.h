// Runs the built drollbox-db in a scratch folder and collects what it did.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tools_test {

struct ToolRun {
  int status = -1;  // exit code
  std::string out;
  std::string err;
};

// A fresh folder, removed with everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // drollbox-db with the arguments, run inside this folder; stdin from the
  // bytes; shell_setup runs first in the same shell (limits, traps).
  ToolRun run(const std::vector<std::string>& arguments, const std::string& stdin_bytes = "",
              const std::string& shell_setup = "") const;

  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;
  std::vector<std::string> entries() const;

 private:
  std::filesystem::path path_;
};

std::string cookies_folder();
std::vector<std::string> collection_files();  // the project's collection, in name order
std::string read_file(const std::filesystem::path& path);

// A number after "label: " in the text; -1 when the label is not there.
long long number_after(const std::string& text, const std::string& label);

}  // namespace tools_test
