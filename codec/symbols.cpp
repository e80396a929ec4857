#include "codec/coder.h"
#include "codec/model.h"

namespace codec {

std::uint16_t escape_weight(unsigned low, std::uint16_t c) {
  ContextModel& m = model;
  const ContextSlot& slot = m.contexts[c];
  std::uint32_t total = slot.context_total;
  if (total == 1) return m.singleton_bias[slot.context_order] >= 16 ? 2 : 1;
  if (slot.context_extra == 255) {
    CODEC_NOTE(full_alphabet_weights);
    return 1;
  }
  std::uint32_t e = low;
  if (slot.context_extra != 0) {
    std::uint32_t n = slot.context_extra + 1u;
    if (2 * n >= total) {
      e = (2 * n * low) / total;
      if (n == total) e += n / 2;
    }
  }
  return e == 0 ? 1 : static_cast<std::uint16_t>(e);
}

namespace {

// log2 of the boost of the first context's counts during a run of successes.
unsigned boost_shift(std::uint16_t total) {
  ContextModel& m = model;
  if (m.run_length < 5) return 0;
  if (total <= 4 && m.run_length == 10) {
    CODEC_NOTE(quadruple_boosts);
    return 2;
  }
  return 1;
}

void after_success(const ContextSlot& slot) {
  std::uint8_t& bias = model.singleton_bias[slot.context_order];
  if (slot.context_total == 1 && bias != 0) --bias;
}

void after_escape(const ContextSlot& slot) {
  std::uint8_t& bias = model.singleton_bias[slot.context_order];
  if (slot.context_total == 1 && bias < 32) ++bias;
}

// Excludes every symbol of c not yet excluded and records the escape on the
// path, with the last node of c's list as the place to append the byte.
// Branch-free: whether a symbol is already excluded is data, not a pattern.
void record_escape(std::uint16_t c) {
  ContextModel& m = model;
  const SymbolNode* nodes = m.nodes;
  std::uint8_t* excluded = m.excluded;
  std::uint8_t* list = m.excluded_list;
  unsigned listed = m.excluded_count;
  std::uint16_t last = c;
  for (std::uint16_t p = c; p != NO_LINK; p = nodes[p].node_next) {
    std::uint8_t s = nodes[p].node_symbol;
    list[listed] = s;
    listed += 1u - excluded[s];
    excluded[s] = 1;
    last = p;
  }
  m.excluded_count = static_cast<std::uint16_t>(listed);
  m.path_context[m.path_length] = c | ESCAPED;
  m.path_node[m.path_length] = last;
  ++m.path_length;
}

void record_success(std::uint16_t c, std::uint16_t node) {
  ContextModel& m = model;
  m.path_context[m.path_length] = c;
  m.path_node[m.path_length] = node;
  ++m.path_length;
}

// The symbols of a context that are not excluded, gathered in one list walk:
// the decoder then searches and excludes them without walking the list again.
struct Candidates {
  std::uint16_t count = 0;
  std::uint16_t sum = 0;
  unsigned low = 0;
  std::uint16_t last_node = NO_LINK;
  // 32-bit entries: the walk then stores at n * 4, a plain scaled address.
  std::uint32_t node[256];
  std::uint32_t cumulative[256];
};

// Branch-free: whether a symbol is excluded is data, not a pattern the
// processor could predict. Every node is stored; only candidates advance n.
void gather_candidates(std::uint16_t c, Candidates& found) {
  const SymbolNode* nodes = model.nodes;
  const std::uint8_t* excluded = model.excluded;
  std::uint32_t* node_of = found.node;
  std::uint32_t* cumulative = found.cumulative;
  unsigned n = 0, sum = 0, low = 0;
  unsigned p = c, last;
  do {
    const SymbolNode& node = nodes[p];
    unsigned count = node.node_count;
    unsigned keep = 1u - excluded[node.node_symbol];
    node_of[n] = p;
    cumulative[n] = sum;
    n += keep;
    sum += count * keep;
    low += ((count - 3) >> 31) & keep;  // counts are never 0: 1 for 1 and 2
    last = p;
    p = node.node_next;
  } while (p != NO_LINK);
  found.count = static_cast<std::uint16_t>(n);
  found.sum = static_cast<std::uint16_t>(sum);
  found.low = low;
  found.last_node = static_cast<std::uint16_t>(last);
}

unsigned excluded_below(unsigned symbol) {
  const ContextModel& m = model;
  unsigned below = 0;
  for (unsigned i = 0; i < m.excluded_count; ++i) below += m.excluded_list[i] < symbol;
  return below;
}

}  // namespace

bool encode_first(std::uint16_t c, unsigned symbol) {
  ContextModel& m = model;
  const SymbolNode* nodes = m.nodes;
  const ContextSlot& slot = m.contexts[c];
  std::uint16_t cum = 0;
  std::uint16_t p = c;
  for (; p != NO_LINK && nodes[p].node_symbol != symbol; p = nodes[p].node_next)
    cum = static_cast<std::uint16_t>(cum + nodes[p].node_count);
  std::uint16_t escape = escape_weight(slot.context_low, c);
  unsigned shift = boost_shift(slot.context_total);
  auto total = static_cast<std::uint16_t>(slot.context_total << shift);
  m.path_length = 0;
  if (p != NO_LINK) {
    auto low = static_cast<std::uint16_t>(cum << shift);
    encode_range(low, static_cast<std::uint16_t>(low + (nodes[p].node_count << shift)),
                 static_cast<std::uint16_t>(total + escape));
    if (m.run_length < 10) ++m.run_length;
    after_success(slot);
    record_success(c, p);
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
  const SymbolNode* nodes = m.nodes;
  std::uint16_t sum = 0, cum = 0, node = NO_LINK;
  unsigned low = 0;
  for (std::uint16_t p = c; p != NO_LINK; p = nodes[p].node_next) {
    std::uint8_t s = nodes[p].node_symbol;
    if (m.excluded[s]) continue;
    if (nodes[p].node_count < 3) ++low;
    if (node == NO_LINK && s == symbol) {
      node = p;
      cum = sum;
    }
    sum = static_cast<std::uint16_t>(sum + nodes[p].node_count);
  }
  std::uint16_t escape = escape_weight(low, c);
  auto total = static_cast<std::uint16_t>(sum + escape);
  const ContextSlot& slot = m.contexts[c];
  if (node != NO_LINK) {
    encode_range(cum, static_cast<std::uint16_t>(cum + nodes[node].node_count), total);
    ++m.run_length;
    after_success(slot);
    record_success(c, node);
    return true;
  }
  encode_range(sum, total, total);
  after_escape(slot);
  record_escape(c);
  return false;
}

void encode_flat(unsigned symbol) {
  const ContextModel& m = model;
  auto cum = static_cast<std::uint16_t>(symbol - excluded_below(symbol));
  encode_range(cum, static_cast<std::uint16_t>(cum + 1),
               static_cast<std::uint16_t>(257 - m.excluded_count));
}

unsigned decode_first(std::uint16_t c) {
  ContextModel& m = model;
  const SymbolNode* nodes = m.nodes;
  const ContextSlot& slot = m.contexts[c];
  std::uint16_t escape = escape_weight(slot.context_low, c);
  unsigned shift = boost_shift(slot.context_total);
  auto total = static_cast<std::uint16_t>(slot.context_total << shift);
  unsigned target = decode_target(static_cast<std::uint16_t>(total + escape)) >> shift;
  m.path_length = 0;
  unsigned cum = 0;
  std::uint16_t first = target < slot.context_total ? c : NO_LINK;
  for (std::uint16_t p = first; p != NO_LINK; p = nodes[p].node_next) {
    unsigned count = nodes[p].node_count;
    if (cum + count > target) {
      decode_range(static_cast<std::uint16_t>(cum << shift),
                   static_cast<std::uint16_t>((cum + count) << shift),
                   static_cast<std::uint16_t>(total + escape));
      if (m.run_length < 10) ++m.run_length;
      after_success(slot);
      record_success(c, p);
      return nodes[p].node_symbol;
    }
    cum += count;
  }
  decode_range(total, static_cast<std::uint16_t>(total + escape),
               static_cast<std::uint16_t>(total + escape));
  m.run_length = 0;
  after_escape(slot);
  record_escape(c);
  return END_SYMBOL;
}

unsigned decode_excluding(std::uint16_t c) {
  ContextModel& m = model;
  Candidates candidates;
  gather_candidates(c, candidates);
  std::uint16_t escape = escape_weight(candidates.low, c);
  auto total = static_cast<std::uint16_t>(candidates.sum + escape);
  unsigned target = decode_target(total);
  const ContextSlot& slot = m.contexts[c];
  if (target >= candidates.sum) {
    decode_range(candidates.sum, total, total);
    after_escape(slot);
    record_escape(c);
    return END_SYMBOL;
  }
  // Cumulative counts rise strictly, so the symbol's index is the number of
  // later boundaries at or below the target.
  unsigned i = 0;
  for (unsigned j = 1; j < candidates.count; ++j) i += candidates.cumulative[j] <= target;
  auto p = static_cast<std::uint16_t>(candidates.node[i]);
  auto cum = static_cast<std::uint16_t>(candidates.cumulative[i]);
  decode_range(cum, static_cast<std::uint16_t>(cum + m.nodes[p].node_count), total);
  ++m.run_length;
  after_success(slot);
  record_success(c, p);
  return m.nodes[p].node_symbol;
}

unsigned decode_flat() {
  const ContextModel& m = model;
  auto total = static_cast<std::uint16_t>(257 - m.excluded_count);
  unsigned target = decode_target(total);
  unsigned rank = 0;
  unsigned symbol = 0;
  for (; symbol < 256; ++symbol) {
    if (m.excluded[symbol]) continue;
    if (rank == target) break;
    ++rank;
  }
  decode_range(static_cast<std::uint16_t>(rank), static_cast<std::uint16_t>(rank + 1), total);
  return symbol;
}

}  // namespace codec
