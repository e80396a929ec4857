// A hash of the whole input picks the output bound of a codec or data-file
// run, so that one run in eight may fill the whole output area while the
// rest end after a few bytes, however the corpus leans: a mutation of any
// byte draws the bound afresh.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codec/codec.h"

inline std::uint32_t limit_output_by(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint32_t bounds[8] = {64,  64,   64,   256,
                                              256, 1024, 4096, codec::output_capacity};
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  const std::uint32_t bound = bounds[(hash ^ (hash >> 16)) & 7];
  codec::limit_output(bound);
  return bound;
}
