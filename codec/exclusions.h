// The byte values excluded for the current byte, as a 256-bit map, and the
// tally of a context's candidates over it. Internal to the codec and its tests.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

#include "codec/hot.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
// MinGW cannot keep the 32-byte stack alignment that AVX2 spills assume, so
// the Windows build stays on the portable path.
#define CODEC_AVX2_TALLY 1
#endif

namespace codec {

// The baseline x86-64 has no population-count instruction, and the library
// call that std::popcount becomes there costs more than these few steps.
constexpr unsigned bit_count(std::uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ull;
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<unsigned>((x * 0x0101010101010101ull) >> 56);
}

// Bit v of the map (word v / 64, place v % 64) is set when byte value v is
// excluded. Aligned so that a vector path loads it whole.
struct alignas(32) ExclusionMap {
  std::uint64_t words[4] = {};

  CODEC_HOT bool has(unsigned value) const { return (words[value >> 6] >> (value & 63)) & 1; }
  CODEC_HOT void clear() { words[0] = words[1] = words[2] = words[3] = 0; }
  // Excludes the symbol of a list entry (in bits 16..23).
  CODEC_HOT void add_symbol_of(std::uint32_t entry) {
    unsigned value = (entry >> 16) & 0xFF;
    words[value >> 6] |= std::uint64_t{1} << (value & 63);
  }
  // Excludes the symbols of entries[0 .. size - 1] (each in bits 16..23),
  // size at least 1. Excluding a value twice changes nothing, so the last
  // one to four entries are taken by four marks that may overlap: most
  // lists are that short, and a loop that runs a varying number of times
  // is foreseen badly.
  CODEC_HOT void add_symbols_of(const std::uint32_t* entries, unsigned size) {
    unsigned i = 0;
    for (; i + 4 < size; i += 4) {
      add_symbol_of(entries[i]);
      add_symbol_of(entries[i + 1]);
      add_symbol_of(entries[i + 2]);
      add_symbol_of(entries[i + 3]);
    }
    unsigned left = size - i;
    add_symbol_of(entries[i]);
    add_symbol_of(entries[i + ((left - 1) >> 1)]);
    add_symbol_of(entries[i + (left >> 1)]);
    add_symbol_of(entries[size - 1]);
  }
  CODEC_HOT unsigned count() const {
    return bit_count(words[0]) + bit_count(words[1]) + bit_count(words[2]) + bit_count(words[3]);
  }
  // How many values below `value` (0..256) are excluded.
  CODEC_HOT unsigned count_below(unsigned value) const {
    unsigned below = 0;
    for (unsigned w = 0; w < 4; ++w) {
      unsigned start = w * 64;
      std::uint64_t word = words[w];
      if (value < start + 64)
        word &= value <= start ? 0 : ~std::uint64_t{0} >> (start + 64 - value);
      below += bit_count(word);
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
// (which also needs the bit instructions that come with it) reads whole
// groups of 8 entries, so the symbol arena has a group's slack after its end.
// The decoder's run is compiled once for each path.
enum class TallyPath { portable, avx2 };
inline constexpr unsigned TALLY_GROUP = 8;

// What this processor runs best; the codec starts on it. One choice for the
// whole process, whichever thread runs the codec.
TallyPath best_tally_path();
bool tally_path_supported(TallyPath path);
extern std::atomic<TallyPath> tally_path;

Tally tally_candidates(const std::uint32_t* symbols, unsigned size, const ExclusionMap& excluded);

// The candidate at which the running sum of candidates' counts first passes
// the target, which must lie below their whole sum: its place in the list
// and the sum before it.
struct Candidate {
  unsigned index = 0;
  unsigned cum = 0;
};
Candidate find_candidate(const std::uint32_t* symbols, const ExclusionMap& excluded,
                         unsigned target);

}  // namespace codec
