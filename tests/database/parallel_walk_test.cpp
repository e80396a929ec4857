#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "database/data_file_writer.h"
#include "database/walk.h"
#include "database/ordered_workers.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void set_workers(const char* count) {
#if defined(_WIN32)
  _putenv_s("DROLLBOX_WORKERS", count);
#else
  setenv("DROLLBOX_WORKERS", count, 1);
#endif
}

// What a walk hands over, block by block, and the damage it ends with.
struct Walked {
  std::vector<std::string> taken;
  std::string damage;
  bool operator==(const Walked&) const = default;
};

Walked walk(const char* path, bool as_stream) {
  Walked walked;
  const database::BlockWalk each{
      [](database::WalkedBlock& block) { block.count = block.cookies.size(); },
      [&](database::WalkedBlock& block) {
        std::string line = std::to_string(block.number) + ":" + std::to_string(block.count);
        for (const std::string& cookie : block.cookies) line += "|" + cookie;
        walked.taken.push_back(line);
        return true;
      }};
  std::FILE* stream = as_stream ? std::fopen(path, "rb") : nullptr;
  walked.damage = database::describe(stream ? database::walk_stream(stream, each)
                                            : database::walk_data_file(path, each));
  if (stream) std::fclose(stream);
  return walked;
}

// 40 blocks, more than any window holds; each way of walking them, from a
// file and from standard input, on one worker and on several, sees the same.
TEST(ParallelWalk, EveryWorkerCountTakesTheSameBlocksAndStopsAtTheFirstDamage) {
  std::vector<std::string> cookies;
  for (int i = 0; i < 3950; ++i) cookies.push_back("cookie " + std::to_string(i * 7919 % 10007));
  set_workers("1");
  const Bytes whole = database::build_data_file(cookies).bytes;
  set_workers("5");
  EXPECT_EQ(database::build_data_file(cookies).bytes, whole);
  // The third-last block's stream decodes to noise; a late block has no separators.
  Bytes damaged = whole;
  const auto entry = [&](std::size_t block) {
    const std::size_t at = 38 + 4 * block;
    return 38 + 164 +
           (damaged[at] << 24 | damaged[at + 1] << 16 | damaged[at + 2] << 8 | damaged[at + 3]);
  };
  damaged[entry(37) + 5] ^= 0x55;
  damaged[entry(39) + 5] ^= 0x55;
  const std::string path = "parallel-" + std::to_string(std::rand()) + ".dat";
  std::vector<Walked> seen;
  for (const Bytes& file : {whole, damaged}) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    for (const char* workers : {"1", "2", "7"}) {
      set_workers(workers);
      seen.push_back(walk(path.c_str(), false));
      EXPECT_EQ(walk(path.c_str(), true), seen.back()) << workers;
    }
  }
  std::filesystem::remove(path);
  EXPECT_EQ(seen[0].taken.size(), 40u);
  EXPECT_EQ(seen[0].damage, "");
  EXPECT_EQ(seen[3].taken.size(), 38u);  // the damaged block's cookies before its damage
  EXPECT_NE(seen[3].damage.find("cookie 37"), std::string::npos) << seen[3].damage;
  for (std::size_t i : {1u, 2u}) EXPECT_EQ(seen[i], seen[0]);
  for (std::size_t i : {4u, 5u}) EXPECT_EQ(seen[i], seen[3]);
}

// On workers, or on the caller when there are none.
TEST(ParallelWalk, WhatATaskThrowsComesBackInOrder) {
  for (const unsigned count : {0u, 3u}) {
    database::OrderedWorkers workers(count);
    std::vector<int> done(workers.window());
    for (unsigned i = 0; i < workers.window(); ++i) {
      const unsigned slot = workers.next_slot();
      workers.give([&done, slot, i] {
        if (i == 1) throw std::bad_alloc();
        done[slot] = 1;
      });
    }
    EXPECT_TRUE(workers.full());
    workers.take_oldest();
    EXPECT_THROW(workers.take_oldest(), std::bad_alloc);
    while (!workers.empty()) workers.take_oldest();
    EXPECT_EQ(std::count(done.begin(), done.end(), 1), static_cast<int>(workers.window()) - 1);
  }
}

}  // namespace
