#include "codec/model.h"

namespace codec {

void touch_context(std::uint16_t c) {
  ContextModel& m = model;
  if (c == m.lru_head) return;
  ContextSlot* contexts = m.contexts;
  ContextSlot& slot = contexts[c];
  if (c == m.lru_tail) {
    m.lru_tail = slot.lru_newer;
  } else {
    contexts[slot.lru_older].lru_newer = slot.lru_newer;
    contexts[slot.lru_newer].lru_older = slot.lru_older;
  }
  contexts[m.lru_head].lru_newer = c;
  slot.lru_older = m.lru_head;
  m.lru_head = c;
}

void halve_context(std::uint16_t c) {
  ContextModel& m = model;
  ContextSlot& slot = m.contexts[c];
  SymbolNode* nodes = m.nodes;
  ++slot.context_credit;
  if (slot.context_credit == 5) CODEC_NOTE(credit_five);
  std::uint16_t total = 0;
  std::uint8_t low = 0;
  for (std::uint16_t k = c; k != NO_LINK; k = nodes[k].node_next) {
    std::uint16_t count = nodes[k].node_count;
    if (count > 1) count = static_cast<std::uint16_t>(count >> 1);
    nodes[k].node_count = count;
    total = static_cast<std::uint16_t>(total + count);
    if (count < 3) ++low;
  }
  slot.context_total = total;
  slot.context_low = low;
}

namespace {

// Appends the byte after node `last` of context c; returns the new node.
std::uint16_t append_symbol(std::uint16_t c, std::uint16_t last, std::uint8_t symbol) {
  ContextModel& m = model;
  if (m.free_node_head == NO_LINK) recycle_nodes();
  SymbolNode* nodes = m.nodes;
  std::uint16_t n = m.free_node_head;
  nodes[last].node_next = n;
  m.free_node_head = nodes[n].node_next;
  nodes[n] = {NO_LINK, 1, symbol};
  ++m.contexts[c].context_extra;
  ++m.contexts[c].context_low;
  return n;
}

// A poor prediction (the byte's count below half the context's average)
// costs credit; when it runs out, or the total grows large, counts halve.
void settle_credit(std::uint16_t c, std::uint16_t n) {
  ContextModel& m = model;
  ContextSlot& slot = m.contexts[c];
  // total div symbols > 2 * count, without the division.
  unsigned symbols = slot.context_extra + 1u;
  if (slot.context_total >= (2u * m.nodes[n].node_count + 1) * symbols) {
    --slot.context_credit;
  } else if (slot.context_credit < 4) {
    ++slot.context_credit;
  }
  if (slot.context_credit == 0) {
    CODEC_NOTE(halvings_by_credit);
    halve_context(c);
  } else if (slot.context_total >= 8000) {
    CODEC_NOTE(halvings_by_total);
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
    } else if (++m.nodes[n].node_count == 3) {
      --m.contexts[c].context_low;
    }
    ++m.contexts[c].context_total;
    settle_credit(c, n);
  }
}

}  // namespace codec
