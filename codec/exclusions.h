// The byte values excluded for the current byte, as a 256-bit map, and the
// tally of a context's candidates over it. Internal to the codec and its tests.
#pragma once

#include <bit>
#include <cstdint>

#include "codec/hot.h"

namespace codec {

// Bit v of the map (word v / 64, place v % 64) is set when byte value v is
// excluded. Aligned so that a vector path loads it whole.
struct alignas(32) ExclusionMap {
  std::uint64_t words[4] = {};

  CODEC_HOT bool has(unsigned value) const { return (words[value >> 6] >> (value & 63)) & 1; }
  CODEC_HOT void add(unsigned value) { words[value >> 6] |= std::uint64_t{1} << (value & 63); }
  CODEC_HOT void clear() { words[0] = words[1] = words[2] = words[3] = 0; }
  CODEC_HOT unsigned count() const {
    return static_cast<unsigned>(std::popcount(words[0]) + std::popcount(words[1]) +
                                 std::popcount(words[2]) + std::popcount(words[3]));
  }
  // How many values below `value` (0..256) are excluded.
  CODEC_HOT unsigned count_below(unsigned value) const {
    unsigned below = 0;
    for (unsigned w = 0; w < 4; ++w) {
      unsigned start = w * 64;
      std::uint64_t word = words[w];
      if (value < start + 64)
        word &= value <= start ? 0 : ~std::uint64_t{0} >> (start + 64 - value);
      below += static_cast<unsigned>(std::popcount(word));
    }
    return below;
  }
  // The value that is the rank-th (from 0) not excluded, or 256 when fewer
  // values than that are left.
  unsigned nth_candidate(unsigned rank) const;
};

// The sum of the counts of a context's symbols that are not excluded, and how
// many of those counts are below 3.
struct Tally {
  unsigned sum = 0;
  unsigned low = 0;
};

// How the tally is computed: every path gives the same figures. The AVX2 one
// reads whole groups of 8 entries, so the symbol arena ends in a group's slack.
enum class TallyPath { portable, avx2 };
inline constexpr unsigned TALLY_GROUP = 8;

// What this processor runs best; the codec starts on it.
TallyPath best_tally_path();
bool tally_path_supported(TallyPath path);
extern TallyPath tally_path;

Tally tally_candidates(const std::uint32_t* symbols, unsigned size, const ExclusionMap& excluded);

}  // namespace codec
