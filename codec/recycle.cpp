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
    if (m.node_next[v] != NO_LINK && !on_path(v)) return v;
  }
}

std::uint16_t smallest_count(std::uint16_t v) {
  const ContextModel& m = model;
  std::uint16_t least = m.node_count[v];
  for (std::uint16_t n = m.node_next[v]; n != NO_LINK; n = m.node_next[n])
    if (m.node_count[n] < least) least = m.node_count[n];
  return least;
}

void set_single_symbol_stats(std::uint16_t v) {
  ContextModel& m = model;
  m.context_extra[v] = 0;
  m.context_total[v] = m.node_count[v];
  m.context_low[v] = m.node_count[v] < 3 ? 1 : 0;
}

// The head holds the minimum: the first survivor (or the last node) moves into
// the head and every node up to it goes back to the free list. Returns false
// when no node is left after the head.
bool replace_head(std::uint16_t v, std::uint16_t threshold) {
  ContextModel& m = model;
  std::uint16_t first = m.node_next[v];
  std::uint16_t s = first;
  while (m.node_count[s] < threshold && m.node_next[s] != NO_LINK) s = m.node_next[s];
  m.node_count[v] = m.node_count[s];
  m.node_symbol[v] = m.node_symbol[s];
  std::uint16_t rest = m.node_next[s];
  m.node_next[s] = m.free_node_head;
  m.free_node_head = first;
  m.node_next[v] = rest;
  if (rest != NO_LINK) return true;
  set_single_symbol_stats(v);
  return false;
}

void prune_and_divide(std::uint16_t v, std::uint16_t threshold) {
  ContextModel& m = model;
  m.node_count[v] = std::uint16_t(m.node_count[v] / threshold);
  set_single_symbol_stats(v);
  std::uint16_t before = v;
  for (std::uint16_t n = m.node_next[v]; n != NO_LINK;) {
    std::uint16_t after = m.node_next[n];
    if (m.node_count[n] < threshold) {
      m.node_next[before] = after;
      m.node_next[n] = m.free_node_head;
      m.free_node_head = n;
    } else {
      auto count = std::uint16_t(m.node_count[n] / threshold);
      m.node_count[n] = count;
      ++m.context_extra[v];
      m.context_total[v] = std::uint16_t(m.context_total[v] + count);
      if (count < 3) ++m.context_low[v];
      before = n;
    }
    n = after;
  }
}

}  // namespace

void recycle_nodes() {
  ++model.counters.recycle_calls;
  std::uint16_t v = choose_victim();
  auto threshold = std::uint16_t(smallest_count(v) + 1);
  if (model.node_count[v] < threshold && !replace_head(v, threshold)) return;
  prune_and_divide(v, threshold);
}

}  // namespace codec
