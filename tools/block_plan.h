// Orders cookies so that every block of 100 fits the codec: its text and its
// compressed stream both at most 32 767 bytes. Cookies stay in their order
// where the blocks fit; an overfull block trades its largest cookies for the
// smallest of blocks with room to spare, and a cookie no block can take is
// left out and counted. A plan of cookies that already fit is that order
// itself, so packing an unpacked file gives the same file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tools {

struct BlockPlan {
  std::vector<std::string> cookies;  // in the order to write them
  std::size_t no_room = 0;           // cookies left out
  std::string error;                 // the codec failed; nothing planned
};

enum class StreamCheck { skip, compress_each_block };

// block_limit is the text and stream limit of a block (tests lower it).
// Skipping the stream check is for a first try that the data file writer,
// which compresses every block anyway, will catch if a stream outgrows it.
BlockPlan plan_blocks(std::vector<std::string> cookies, std::size_t block_limit, StreamCheck check);
BlockPlan plan_blocks(std::vector<std::string> cookies, StreamCheck check);

}  // namespace tools
