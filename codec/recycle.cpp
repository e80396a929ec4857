#include "codec/model.h"

namespace codec {
namespace {

bool on_path(std::uint16_t c) {
  const ContextModel& m = model;
  for (unsigned i = 0; i <= m.path_length; ++i)
    if ((m.path_context[i] & 0x7FFF) == c) return true;
  return false;
}

std::uint16_t choose_victim() {
  ContextModel& m = model;
  for (;;) {
    if (++m.recycle_cursor == CONTEXT_SLOTS) m.recycle_cursor = 0;
    std::uint16_t v = m.recycle_cursor;
    if (m.nodes[v].node_next != NO_LINK && !on_path(v)) return v;
  }
}

std::uint16_t smallest_count(std::uint16_t v) {
  const SymbolNode* nodes = model.nodes;
  std::uint16_t least = nodes[v].node_count;
  for (std::uint16_t n = nodes[v].node_next; n != NO_LINK; n = nodes[n].node_next)
    if (nodes[n].node_count < least) least = nodes[n].node_count;
  return least;
}

void set_single_symbol_stats(std::uint16_t v) {
  ContextModel& m = model;
  ContextSlot& slot = m.contexts[v];
  slot.context_extra = 0;
  slot.context_total = m.nodes[v].node_count;
  slot.context_low = m.nodes[v].node_count < 3 ? 1 : 0;
}

// The head holds the minimum: the first survivor (or the last node) moves into
// the head and every node up to it goes back to the free list. Returns false
// when no node is left after the head.
bool replace_head(std::uint16_t v, std::uint16_t threshold) {
  ContextModel& m = model;
  SymbolNode* nodes = m.nodes;
  std::uint16_t first = nodes[v].node_next;
  std::uint16_t s = first;
  while (nodes[s].node_count < threshold && nodes[s].node_next != NO_LINK) s = nodes[s].node_next;
  nodes[v].node_count = nodes[s].node_count;
  nodes[v].node_symbol = nodes[s].node_symbol;
  std::uint16_t rest = nodes[s].node_next;
  nodes[s].node_next = m.free_node_head;
  m.free_node_head = first;
  nodes[v].node_next = rest;
  if (rest != NO_LINK) return true;
  set_single_symbol_stats(v);
  return false;
}

void prune_and_divide(std::uint16_t v, std::uint16_t threshold) {
  ContextModel& m = model;
  SymbolNode* nodes = m.nodes;
  ContextSlot& slot = m.contexts[v];
  nodes[v].node_count = static_cast<std::uint16_t>(nodes[v].node_count / threshold);
  set_single_symbol_stats(v);
  std::uint16_t before = v;
  for (std::uint16_t n = nodes[v].node_next; n != NO_LINK;) {
    std::uint16_t after = nodes[n].node_next;
    if (nodes[n].node_count < threshold) {
      nodes[before].node_next = after;
      nodes[n].node_next = m.free_node_head;
      m.free_node_head = n;
    } else {
      auto count = static_cast<std::uint16_t>(nodes[n].node_count / threshold);
      nodes[n].node_count = count;
      ++slot.context_extra;
      slot.context_total = static_cast<std::uint16_t>(slot.context_total + count);
      if (count < 3) ++slot.context_low;
      before = n;
    }
    n = after;
  }
}

}  // namespace

void recycle_nodes() {
  CODEC_NOTE(recycle_calls);
  std::uint16_t v = choose_victim();
  auto threshold = static_cast<std::uint16_t>(smallest_count(v) + 1);
  if (model.nodes[v].node_count < threshold && !replace_head(v, threshold)) return;
  prune_and_divide(v, threshold);
}

}  // namespace codec
