// Without libFuzzer a harness replays every file of its committed corpus.
#include "fuzz_check.h"

int main(int argc, char** argv) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(argc > 1 ? argv[1] : "."))
    if (entry.is_regular_file()) {
      const std::string bytes = read_whole(entry.path().string());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  std::printf("replayed %d inputs\n", replayed);
  return replayed == 0;
}
