#include "codec/exclusions.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
// MinGW cannot keep the 32-byte stack alignment that AVX2 spills assume, so
// the Windows build stays on the portable path.
#define CODEC_AVX2_TALLY 1
#include <immintrin.h>
#endif

namespace codec {

unsigned ExclusionMap::nth_candidate(unsigned rank) const {
  for (unsigned w = 0; w < 4; ++w) {
    std::uint64_t open = ~words[w];
    unsigned here = bit_count(open);
    if (rank < here) {
      for (; rank > 0; --rank) open &= open - 1;
      return w * 64 + static_cast<unsigned>(std::countr_zero(open));
    }
    rank -= here;
  }
  return 256;
}

namespace {

// One entry at a time, each symbol's bit tested by a shift: no table lookup
// that the vectoriser would turn into an emulated gather.
#if defined(__GNUC__) && !defined(__clang__)
[[gnu::optimize("no-tree-vectorize")]]
#endif
Tally tally_portable(const std::uint32_t* symbols, unsigned size, const ExclusionMap& excluded) {
  unsigned sum = 0, low = 0;
  for (unsigned i = 0; i < size; ++i) {
    std::uint32_t entry = symbols[i];
    unsigned count = entry & 0xFFFF;
    unsigned keep = 1u - static_cast<unsigned>(excluded.has(entry >> 16));
    sum += count & (0u - keep);
    low += static_cast<unsigned>(count < 3) & keep;
  }
  return {sum, low};
}

#if defined(CODEC_AVX2_TALLY)
// Eight entries per step: each symbol's word of the map by a lane permute,
// its bit by a variable shift; entries past the list are masked off.
[[gnu::target("avx2")]] Tally tally_avx2(const std::uint32_t* symbols, unsigned size,
                                         const ExclusionMap& excluded) {
  const __m256i map = _mm256_load_si256(reinterpret_cast<const __m256i*>(excluded.words));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i ones = _mm256_set1_epi32(1), counts = _mm256_set1_epi32(0xFFFF);
  const __m256i three = _mm256_set1_epi32(3);
  __m256i sum = _mm256_setzero_si256(), low = _mm256_setzero_si256();
  for (unsigned i = 0; i < size; i += TALLY_GROUP) {
    __m256i entry = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(symbols + i));
    __m256i symbol = _mm256_srli_epi32(entry, 16);
    __m256i word = _mm256_permutevar8x32_epi32(map, _mm256_srli_epi32(symbol, 5));
    __m256i bit = _mm256_and_si256(
        _mm256_srlv_epi32(word, _mm256_and_si256(symbol, _mm256_set1_epi32(31))), ones);
    __m256i listed = _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(size - i)), lanes);
    __m256i keep = _mm256_and_si256(listed, _mm256_cmpeq_epi32(bit, _mm256_setzero_si256()));
    __m256i count = _mm256_and_si256(entry, counts);
    sum = _mm256_add_epi32(sum, _mm256_and_si256(count, keep));
    low = _mm256_sub_epi32(low, _mm256_and_si256(_mm256_cmpgt_epi32(three, count), keep));
  }
  // Both totals in one horizontal add: sums in the low lanes, lows in the high.
  __m256i both = _mm256_hadd_epi32(sum, low);
  both = _mm256_hadd_epi32(both, both);
  __m128i folded = _mm_add_epi32(_mm256_castsi256_si128(both), _mm256_extracti128_si256(both, 1));
  return {static_cast<unsigned>(_mm_cvtsi128_si32(folded)),
          static_cast<unsigned>(_mm_extract_epi32(folded, 1))};
}
#endif

}  // namespace

bool tally_path_supported(TallyPath path) {
#if defined(CODEC_AVX2_TALLY)
  if (path == TallyPath::avx2) {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
  }
#endif
  return path == TallyPath::portable;
}

TallyPath best_tally_path() {
  return tally_path_supported(TallyPath::avx2) ? TallyPath::avx2 : TallyPath::portable;
}

std::atomic<TallyPath> tally_path = best_tally_path();

Tally tally_candidates(const std::uint32_t* symbols, unsigned size, const ExclusionMap& excluded) {
#if defined(CODEC_AVX2_TALLY)
  if (tally_path.load(std::memory_order_relaxed) == TallyPath::avx2)
    return tally_avx2(symbols, size, excluded);
#endif
  return tally_portable(symbols, size, excluded);
}

}  // namespace codec
