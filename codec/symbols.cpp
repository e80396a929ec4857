#include <algorithm>
#include <array>

#include "codec/coder.h"
#include "codec/model.h"

namespace codec {
namespace {

// The escape weight's quotient is used only when the total is at most twice
// the number of symbols, so at most 512, and its dividend is below 2^18; for
// those, multiplying by ceil(2^27 / total) and shifting is exact, and it
// leaves the divider to the coder, which divides three times per event.
constexpr unsigned RECIPROCAL_SHIFT = 27;
constexpr unsigned MAX_DIVIDED_TOTAL = 512;
constexpr auto RECIPROCALS = [] {
  std::array<std::uint32_t, MAX_DIVIDED_TOTAL + 1> table{};
  for (std::uint32_t d = 1; d <= MAX_DIVIDED_TOTAL; ++d)
    table[d] = ((std::uint32_t{1} << RECIPROCAL_SHIFT) + d - 1) / d;
  return table;
}();
// Exact for every dividend below 2^18 when each reciprocal overshoots
// 2^27 / total by at most 2^(27 - 18) / total.
static_assert([] {
  for (std::uint32_t d = 1; d <= MAX_DIVIDED_TOTAL; ++d)
    if (RECIPROCALS[d] * std::uint64_t{d} - (std::uint64_t{1} << RECIPROCAL_SHIFT) >
        (std::uint64_t{1} << (RECIPROCAL_SHIFT - 18)))
      return false;
  return true;
}());

}  // namespace

// Every case is computed and the answer picked without a branch: which case
// applies changes from step to step in a way the processor cannot foresee.
std::uint16_t escape_weight(unsigned low, std::uint16_t c) {
  ContextModel& m = model;
  const ContextSlot& slot = m.contexts[c];
  std::uint32_t total = slot.context_total, extra = slot.context_extra, n = extra + 1;
  std::uint64_t reciprocal = RECIPROCALS[std::min(total, MAX_DIVIDED_TOTAL)];
  auto quotient = static_cast<std::uint32_t>((2 * n * low * reciprocal) >> RECIPROCAL_SHIFT);
  std::uint32_t scaled = quotient + (n == total ? n / 2 : 0);
  // One symbol with a total of 2 scales to low itself, so that case needs
  // no test of its own; a total of 1 is decided below.
  std::uint32_t use_scaled = 0u - static_cast<std::uint32_t>(2 * n >= total);
  std::uint32_t e = (scaled & use_scaled) | (low & ~use_scaled);
  e = e == 0 ? 1 : e;
  if (extra == 255) CODEC_NOTE(full_alphabet_weights);
  e = extra == 255 ? 1 : e;
  std::uint32_t singleton = m.singleton_bias[slot.context_order] >= 16 ? 2 : 1;
  return static_cast<std::uint16_t>(total == 1 ? singleton : e);
}

namespace {

// log2 of the boost of the first context's counts during a run of successes.
unsigned boost_shift(std::uint16_t total) {
  ContextModel& m = model;
  if (m.run_length < 5) return 0;
  return total <= 4 && m.run_length == 10 ? 2 : 1;
}

void after_success(const ContextSlot& slot) {
  std::uint8_t& bias = model.singleton_bias[slot.context_order];
  if (slot.context_total == 1 && bias != 0) --bias;
}

void after_escape(const ContextSlot& slot) {
  std::uint8_t& bias = model.singleton_bias[slot.context_order];
  if (slot.context_total == 1 && bias < 32) ++bias;
}

// Excludes every symbol of c and records the escape on the path; the byte
// will be appended to c's list.
void record_escape(std::uint16_t c) {
  ContextModel& m = model;
  m.excluded.add_symbols_of(symbols_of(c), m.contexts[c].context_extra + 1u);
  m.path_context[m.path_length] = c | ESCAPED;
  ++m.path_length;
}

void record_success(std::uint16_t c, unsigned index) {
  ContextModel& m = model;
  m.path_context[m.path_length] = c;
  m.path_index[m.path_length] = static_cast<std::uint16_t>(index);
  ++m.path_length;
}

Tally tally_of(std::uint16_t c) {
  return tally_candidates(symbols_of(c), model.contexts[c].context_extra + 1u, model.excluded);
}

}  // namespace

bool encode_first(std::uint16_t c, unsigned symbol) {
  ContextModel& m = model;
  const ContextSlot& slot = m.contexts[c];
  const SymbolEntry* symbols = symbols_of(c);
  unsigned size = slot.context_extra + 1u;
  unsigned cum = 0, i = 0;
  for (; i < size && symbol_of(symbols[i]) != symbol; ++i) cum += count_of(symbols[i]);
  std::uint16_t escape = escape_weight(slot.context_low, c);
  unsigned shift = boost_shift(slot.context_total);
  auto total = static_cast<std::uint16_t>(slot.context_total << shift);
  m.path_length = 0;
  if (i < size) {
    auto low = static_cast<std::uint16_t>(cum << shift);
    encode_range(low, static_cast<std::uint16_t>(low + (count_of(symbols[i]) << shift)),
                 static_cast<std::uint16_t>(total + escape));
    if (m.run_length < 10) ++m.run_length;
    after_success(slot);
    record_success(c, i);
    return true;
  }
  encode_range(total, static_cast<std::uint16_t>(total + escape),
               static_cast<std::uint16_t>(total + escape));
  m.run_length = 0;
  after_escape(slot);
  record_escape(c);
  return false;
}

bool encode_excluding(std::uint16_t c, unsigned symbol) {
  ContextModel& m = model;
  Tally tally = tally_of(c);
  std::uint16_t escape = escape_weight(tally.low, c);
  auto total = static_cast<std::uint16_t>(tally.sum + escape);
  const ContextSlot& slot = m.contexts[c];
  const SymbolEntry* symbols = symbols_of(c);
  unsigned cum = 0;
  for (unsigned i = 0, size = slot.context_extra + 1u; i < size; ++i) {
    SymbolEntry entry = symbols[i];
    if (m.excluded.has(symbol_of(entry))) continue;
    if (symbol_of(entry) == symbol) {
      encode_range(static_cast<std::uint16_t>(cum),
                   static_cast<std::uint16_t>(cum + count_of(entry)), total);
      ++m.run_length;
      after_success(slot);
      record_success(c, i);
      return true;
    }
    cum += count_of(entry);
  }
  encode_range(static_cast<std::uint16_t>(tally.sum), total, total);
  after_escape(slot);
  record_escape(c);
  return false;
}

void encode_flat(unsigned symbol) {
  const ContextModel& m = model;
  auto cum = static_cast<std::uint16_t>(symbol - m.excluded.count_below(symbol));
  encode_range(cum, static_cast<std::uint16_t>(cum + 1),
               static_cast<std::uint16_t>(257 - m.excluded.count()));
}

unsigned decode_first(Decoder& decoder, std::uint16_t c) {
  ContextModel& m = model;
  const ContextSlot& slot = m.contexts[c];
  const SymbolEntry* symbols = symbols_of(c);
  std::uint16_t escape = escape_weight(slot.context_low, c);
  unsigned shift = boost_shift(slot.context_total);
  auto total = static_cast<std::uint16_t>(slot.context_total << shift);
  unsigned target = decoder.target(static_cast<std::uint16_t>(total + escape)) >> shift;
  m.path_length = 0;
  if (target < slot.context_total) {
    unsigned cum = 0, i = 0;
    for (;; ++i) {
      unsigned count = count_of(symbols[i]);
      if (cum + count > target) break;
      cum += count;
    }
    decoder.take_range(static_cast<std::uint16_t>(cum << shift),
                       static_cast<std::uint16_t>((cum + count_of(symbols[i])) << shift),
                       static_cast<std::uint16_t>(total + escape));
    if (m.run_length < 10) ++m.run_length;
    after_success(slot);
    record_success(c, i);
    return symbol_of(symbols[i]);
  }
  decoder.take_range(total, static_cast<std::uint16_t>(total + escape),
                     static_cast<std::uint16_t>(total + escape));
  m.run_length = 0;
  after_escape(slot);
  record_escape(c);
  return END_SYMBOL;
}

unsigned decode_excluding(Decoder& decoder, std::uint16_t c) {
  ContextModel& m = model;
  Tally tally = tally_of(c);
  std::uint16_t escape = escape_weight(tally.low, c);
  auto total = static_cast<std::uint16_t>(tally.sum + escape);
  unsigned target = decoder.target(total);
  const ContextSlot& slot = m.contexts[c];
  if (target >= tally.sum) {
    decoder.take_range(static_cast<std::uint16_t>(tally.sum), total, total);
    after_escape(slot);
    record_escape(c);
    return END_SYMBOL;
  }
  Candidate found = find_candidate(symbols_of(c), m.excluded, target);
  SymbolEntry entry = symbols_of(c)[found.index];
  decoder.take_range(static_cast<std::uint16_t>(found.cum),
                     static_cast<std::uint16_t>(found.cum + count_of(entry)), total);
  ++m.run_length;
  after_success(slot);
  record_success(c, found.index);
  return symbol_of(entry);
}

// The target is the rank of the symbol among the values not excluded, the
// end symbol ranking after all of them.
unsigned decode_flat(Decoder& decoder) {
  const ContextModel& m = model;
  auto total = static_cast<std::uint16_t>(257 - m.excluded.count());
  std::uint16_t rank = decoder.target(total);
  decoder.take_range(rank, static_cast<std::uint16_t>(rank + 1), total);
  return m.excluded.nth_candidate(rank);
}

}  // namespace codec
