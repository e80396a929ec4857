#include "codec/exclusions.h"

#if defined(CODEC_AVX2_TALLY)
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

// An excluded symbol adds nothing, so the first place where the running sum
// passes the target is a candidate's.
Candidate find_portable(const std::uint32_t* symbols, const ExclusionMap& excluded,
                        unsigned target) {
  unsigned cum = 0, i = 0;
  for (;; ++i) {
    std::uint32_t entry = symbols[i];
    unsigned next =
        cum + (entry & 0xFFFF) * (1u - static_cast<unsigned>(excluded.has(entry >> 16)));
    if (next > target) return {i, cum};
    cum = next;
  }
}

#if defined(CODEC_AVX2_TALLY)
// The candidates' counts of 8 entries, the excluded ones as 0.
[[gnu::target("avx2")]] inline __m256i candidate_counts(const std::uint32_t* symbols, __m256i map) {
  __m256i entry = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(symbols));
  __m256i symbol = _mm256_srli_epi32(entry, 16);
  __m256i word = _mm256_permutevar8x32_epi32(map, _mm256_srli_epi32(symbol, 5));
  __m256i bit =
      _mm256_and_si256(_mm256_srlv_epi32(word, _mm256_and_si256(symbol, _mm256_set1_epi32(31))),
                       _mm256_set1_epi32(1));
  __m256i keep = _mm256_cmpeq_epi32(bit, _mm256_setzero_si256());
  return _mm256_and_si256(_mm256_and_si256(entry, _mm256_set1_epi32(0xFFFF)), keep);
}

// Eight entries per step: the running sums of a group at once, and the first
// that passes the target by a comparison mask. Entries past the list lie
// after the place sought, so whatever they hold changes nothing.
[[gnu::target("avx2")]] Candidate find_avx2(const std::uint32_t* symbols,
                                            const ExclusionMap& excluded, unsigned target) {
  const __m256i map = _mm256_load_si256(reinterpret_cast<const __m256i*>(excluded.words));
  const __m256i limit = _mm256_set1_epi32(static_cast<int>(target));
  __m256i cum = _mm256_setzero_si256();
  for (unsigned i = 0;; i += TALLY_GROUP) {
    __m256i counts = candidate_counts(symbols + i, map);
    __m256i sums = _mm256_add_epi32(counts, _mm256_slli_si256(counts, 4));
    sums = _mm256_add_epi32(sums, _mm256_slli_si256(sums, 8));
    __m256i low_half = _mm256_shuffle_epi32(sums, 0xFF);
    sums = _mm256_add_epi32(sums, _mm256_permute2x128_si256(low_half, low_half, 0x08));
    sums = _mm256_add_epi32(sums, cum);
    auto passed = static_cast<unsigned>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(sums, limit))));
    if (passed != 0) {
      unsigned lane = static_cast<unsigned>(std::countr_zero(passed));
      alignas(32) std::uint32_t before[TALLY_GROUP];
      _mm256_store_si256(reinterpret_cast<__m256i*>(before), _mm256_sub_epi32(sums, counts));
      return {i + lane, before[lane]};
    }
    cum = _mm256_permutevar8x32_epi32(sums, _mm256_set1_epi32(7));
  }
}

// Eight entries per step; entries past the list are masked off. Counts are
// never 0, so a 0 lane is an excluded or unlisted one.
[[gnu::target("avx2")]] Tally tally_avx2(const std::uint32_t* symbols, unsigned size,
                                         const ExclusionMap& excluded) {
  const __m256i map = _mm256_load_si256(reinterpret_cast<const __m256i*>(excluded.words));
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i zero = _mm256_setzero_si256(), three = _mm256_set1_epi32(3);
  __m256i sum = zero, low = zero;
  for (unsigned i = 0; i < size; i += TALLY_GROUP) {
    __m256i listed = _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(size - i)), lanes);
    __m256i count = _mm256_and_si256(candidate_counts(symbols + i, map), listed);
    sum = _mm256_add_epi32(sum, count);
    __m256i small =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(count, zero), _mm256_cmpgt_epi32(three, count));
    low = _mm256_sub_epi32(low, small);
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
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
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

namespace codec {

Candidate find_candidate(const std::uint32_t* symbols, const ExclusionMap& excluded,
                         unsigned target) {
#if defined(CODEC_AVX2_TALLY)
  if (tally_path.load(std::memory_order_relaxed) == TallyPath::avx2)
    return find_avx2(symbols, excluded, target);
#endif
  return find_portable(symbols, excluded, target);
}

}  // namespace codec
