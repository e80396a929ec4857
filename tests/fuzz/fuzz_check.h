// A failed check aborts (libFuzzer keeps the input); one scratch file per process.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
#define FUZZ_CHECK(c) ((c) ? void() : (std::fprintf(stderr, "%d %s\n", __LINE__, #c), std::abort()))
struct ScratchFile {
  // In memory where the system allows: a disk round trip costs 4 in 5 runs.
  const std::string path = (std::filesystem::is_directory("/dev/shm")
                                ? std::string("/dev/shm")
                                : std::filesystem::temp_directory_path().string()) +
                           "/drollbox-fuzz-" + std::to_string(::getpid());
  ~ScratchFile() { std::remove(path.c_str()); }
  void hold(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
};
inline std::string read_whole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}
