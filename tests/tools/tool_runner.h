// Runs the built drollbox-db in a scratch folder and checks what it did.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/write_file.h"

namespace tools_test {

namespace fs = std::filesystem;

struct ToolRun {
  int status;  // exit code
  std::string out, err;
};

inline std::string read_file(const fs::path& path) {
  return files::read_file(path.string()).value_or("");
}

// A fresh folder, removed with everything in it when the object goes.
struct ScratchFolder {
  const fs::path path = mkdtemp((fs::temp_directory_path() / "drollbox-XXXXXX").string().data());
  ~ScratchFolder() { fs::remove_all(path); }
  fs::path operator/(const std::string& name) const { return path / name; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return read_file(path / name); }
  // drollbox-db run inside the folder on the stdin bytes; shell_setup comes just before it
  // (limits, traps, variables, or a command such as timeout to run it under).
  ToolRun run(const std::vector<std::string>& arguments, const std::string& stdin_bytes = "",
              const std::string& shell_setup = "") const {
    write(".stdin", stdin_bytes);
    std::string command = "cd '" + path.string() + "' && " + shell_setup + DROLLBOX_DB_TOOL;
    for (const std::string& argument : arguments)
      command += " '" + argument + "'";  // no quotes in them
    const int raw = std::system((command + " <.stdin >.stdout 2>.stderr").c_str());
    const ToolRun result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read(".stdout"), read(".stderr")};
    for (const char* name : {".stdin", ".stdout", ".stderr"}) fs::remove(path / name);
    return result;
  }
};

// The project's collection (60 aphorisms, 31 oddities, 60 quips) packed into
// Drollbox.dat; its text.
inline std::string pack_collection(const ScratchFolder& folder) {
  std::vector<std::string> arguments = {"pack"};
  std::string source;
  for (const char* name : {"/aphorisms", "/oddities", "/quips"}) {
    arguments.push_back(DROLLBOX_COOKIES_DIR + std::string(name));
    source += read_file(arguments.back());
  }
  EXPECT_EQ(folder.run(arguments).status, 0);
  return source;
}

// A run and what it must give: out exactly, or up to a final "*" ("*" alone:
// anything); err holding the text given, or nothing when that is empty.
struct Row {
  std::vector<std::string> arguments;
  std::string stdin_bytes;
  int status;
  std::string out, err;
};

inline void expect_rows(const ScratchFolder& folder, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.arguments));
    const ToolRun run = folder.run(row.arguments, row.stdin_bytes);
    EXPECT_EQ(run.status, row.status) << run.err;
    const std::size_t compared = row.out.ends_with('*') ? row.out.size() - 1 : std::string::npos;
    EXPECT_EQ(run.out.substr(0, compared), row.out.substr(0, compared));
    EXPECT_TRUE(row.err.empty() ? run.err.empty() : run.err.find(row.err) != std::string::npos)
        << run.err;
  }
}

}  // namespace tools_test
