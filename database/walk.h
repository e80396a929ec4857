// Whole-file reads: every block of a data file decoded (and cut into its
// cookies) on worker threads, each with its own codec, and handed back in
// file order, with a few blocks in flight whatever the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "database/damage.h"
#include "database/data_file.h"

namespace database {

struct DataFileSummary {
  std::uint32_t cookie_count = 0;
  std::uint32_t block_count = 0;
  std::uint32_t index_length = 0;
  std::uint64_t file_size = 0;
};

// One block of a whole-file walk.
struct WalkedBlock {
  std::uint32_t number = 0;
  std::uint32_t compressed_length = 0;
  std::uint32_t text_length = 0;
  // Cut out, as the writer was given them: up to the block's damage, when it has one.
  std::vector<std::string> cookies;
  Damage damage;
  std::string output;  // what work made of the cookies
  std::uint64_t count = 0;
};

struct BlockWalk {
  // On a worker thread, for every block whose stream decoded and cut; may be empty.
  std::function<void(WalkedBlock&)> work;
  // On the calling thread, in file order, the damaged block included; false
  // ends the walk there.
  std::function<bool(WalkedBlock&)> take;
};

// The path of standard input, which walks read once from front to back.
inline constexpr const char* standard_input = "-";

// The first damage in file order; nothing after it is taken. summary, when
// given, is filled once the walk ends well.
Damage walk_blocks(DataFile& file, const BlockWalk& walk, DataFileSummary* summary = nullptr);
// The same from a stream, read once from front to back.
Damage walk_stream(std::FILE* stream, const BlockWalk& walk, DataFileSummary* summary = nullptr);
// The file at path opened and walked, or standard input for standard_input.
Damage walk_data_file(const char* path, const BlockWalk& walk, DataFileSummary* summary = nullptr);

// Every cookie of the file in order, as the writer was given it, handed to
// take one at a time, so memory holds one block whatever the file; take
// returning false stops the walk there.
Damage read_each_cookie(const char* path, const std::function<bool(std::string&&)>& take);
// Header, index entries increasing and inside the file, every block decoding
// inside the bounds, every cookie cutting; the first damage found.
Damage verify_data_file(const char* path);

// Cookie number of the file at path, as the viewer shows it; a number past
// the file's count is no such cookie.
Damage load_cookie(const char* path, std::uint32_t number, std::string& cookie);

}  // namespace database
