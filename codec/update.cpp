#include "codec/model.h"

namespace codec {

void touch_context(std::uint16_t c) {
  ContextModel& m = model;
  if (c == m.lru_head) return;
  if (c == m.lru_tail) {
    m.lru_tail = m.lru_newer[c];
  } else {
    m.lru_newer[m.lru_older[c]] = m.lru_newer[c];
    m.lru_older[m.lru_newer[c]] = m.lru_older[c];
  }
  m.lru_newer[m.lru_head] = c;
  m.lru_older[c] = m.lru_head;
  m.lru_head = c;
}

void halve_context(std::uint16_t c) {
  ContextModel& m = model;
  ++m.context_credit[c];
  if (m.context_credit[c] == 5) ++m.counters.credit_five;
  std::uint16_t total = 0;
  std::uint8_t low = 0;
  for (std::uint16_t k = c; k != NO_LINK; k = m.node_next[k]) {
    std::uint16_t count = m.node_count[k];
    if (count > 1) count = std::uint16_t(count >> 1);
    m.node_count[k] = count;
    total = std::uint16_t(total + count);
    if (count < 3) ++low;
  }
  m.context_total[c] = total;
  m.context_low[c] = low;
}

namespace {

// Appends the byte after node `last` of context c; returns the new node.
std::uint16_t append_symbol(std::uint16_t c, std::uint16_t last, std::uint8_t symbol) {
  ContextModel& m = model;
  if (m.free_node_head == NO_LINK) recycle_nodes();
  std::uint16_t n = m.free_node_head;
  m.node_next[last] = n;
  m.free_node_head = m.node_next[n];
  m.node_next[n] = NO_LINK;
  m.node_count[n] = 1;
  m.node_symbol[n] = symbol;
  ++m.context_extra[c];
  ++m.context_low[c];
  return n;
}

// A poor prediction (the byte's count below half the context's average)
// costs credit; when it runs out, or the total grows large, counts halve.
void settle_credit(std::uint16_t c, std::uint16_t n) {
  ContextModel& m = model;
  // total div symbols > 2 * count, without the division.
  unsigned symbols = m.context_extra[c] + 1u;
  if (m.context_total[c] >= (2u * m.node_count[n] + 1) * symbols) {
    --m.context_credit[c];
  } else if (m.context_credit[c] < 4) {
    ++m.context_credit[c];
  }
  if (m.context_credit[c] == 0) {
    ++m.counters.halvings_by_credit;
    halve_context(c);
  } else if (m.context_total[c] >= 8000) {
    ++m.counters.halvings_by_total;
    halve_context(c);
  }
}

}  // namespace

void update_path(std::uint8_t symbol) {
  ContextModel& m = model;
  while (m.path_length > 0) {
    --m.path_length;
    std::uint16_t entry = m.path_context[m.path_length];
    std::uint16_t c = entry & 0x7FFF;
    std::uint16_t n = m.path_node[m.path_length];
    if (entry & ESCAPED) {
      n = append_symbol(c, n, symbol);
    } else if (++m.node_count[n] == 3) {
      --m.context_low[c];
    }
    ++m.context_total[c];
    settle_credit(c, n);
  }
}

}  // namespace codec
