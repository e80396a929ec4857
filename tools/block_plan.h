// Orders cookies so that every block of 100 fits the codec: its text and its
// compressed stream both at most 32 767 bytes. Cookies stay in their order
// where the blocks fit; an overfull block trades its largest cookies for the
// smallest of blocks with room to spare, and a cookie no block can take is
// left out and counted. A plan of cookies that already fit is that order
// itself, so packing an unpacked file gives the same file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codec/codec.h"

namespace tools {

enum class StreamCheck { skip, compress_each_block };

// The codec failed on the stream of a block being checked: nothing planned.
struct PlanError {
  std::size_t block = 0;
  codec::RunStatus codec = codec::RunStatus::ok;

  explicit operator bool() const { return codec != codec::RunStatus::ok; }
};

// The plan is made from each cookie's block text size alone; the texts
// themselves are asked for (text_of, by cookie number) only to check streams.
struct BlockOrder {
  std::vector<std::uint32_t> cookies;  // numbers, in the order to write them
  std::size_t no_room = 0;             // cookies left out
  PlanError error;
};

// block_limit is the text and stream limit of a block (tests lower it).
// Skipping the stream check is for a first try that the data file writer,
// which compresses every block anyway, will catch if a stream outgrows it.
BlockOrder plan_block_order(std::vector<std::uint32_t> sizes, std::size_t block_limit,
                            StreamCheck check,
                            const std::function<std::string(std::uint32_t)>& text_of);

// The same for cookies held whole.
struct BlockPlan {
  std::vector<std::string> cookies;  // in the order to write them
  std::size_t no_room = 0;
  PlanError error;
};
BlockPlan plan_blocks(std::vector<std::string> cookies, std::size_t block_limit, StreamCheck check);

// A cookie's share of its block's text: itself and its separator.
std::uint32_t block_text_size(std::size_t cookie_length);

}  // namespace tools
