#include <cstdlib>
#include <cstring>

#include "codec/model.h"

namespace codec {

thread_local ContextModel model;

std::uint32_t take_block(unsigned size_class) {
  ContextModel& m = model;
  std::uint32_t block = m.free_blocks[size_class];
  if (block != NO_BLOCK) {
    m.free_blocks[size_class] = m.arena[block];
    return block;
  }
  block = m.arena_used;
  m.arena_used += block_capacity(size_class);
  return block;
}

void give_block(std::uint32_t block, unsigned size_class) {
  ContextModel& m = model;
  m.arena[block] = m.free_blocks[size_class];
  m.free_blocks[size_class] = block;
}

namespace {

// One block holds every table. It is obtained by the thread's first run
// and kept: later runs only reset what they use, so they meet no
// page faults, and the symbol arena is touched only as far as it is used.
bool obtain_tables() {
  ContextModel& m = model;
  if (CODEC_ALLOCATION_FAILS()) return false;
  if (m.arena) return true;
  constexpr std::size_t context_bytes = CONTEXT_SLOTS * sizeof(ContextSlot);
  constexpr std::size_t index_bytes = INDEX_PLACES * sizeof(std::uint32_t);
  // The last block may be read as a whole group by the tally.
  constexpr std::size_t arena_bytes = (ARENA_ENTRIES + TALLY_GROUP) * sizeof(SymbolEntry);
  void* block = std::malloc(context_bytes + index_bytes + arena_bytes);
  if (!block) return false;
  auto* bytes = static_cast<unsigned char*>(block);
  m.contexts = static_cast<ContextSlot*>(block);
  m.index = reinterpret_cast<std::uint32_t*>(bytes + context_bytes);
  m.arena = reinterpret_cast<SymbolEntry*>(bytes + context_bytes + index_bytes);
  return true;
}

}  // namespace

void release_model() {
  std::free(model.contexts);
  model.contexts = nullptr;
  model.index = nullptr;
  model.arena = nullptr;
}

namespace {

void reset_tables() {
  ContextModel& m = model;
  std::memset(m.index, 0xFF, INDEX_PLACES * sizeof(std::uint32_t));
  for (auto& c : m.low_orders) c = NO_LINK;
  for (unsigned c = 0; c < CONTEXT_SLOTS; ++c) {
    ContextSlot& slot = m.contexts[c];
    slot.context_order = NEVER_USED;
    slot.context_extra = 0;
    slot.lru_newer = static_cast<std::uint16_t>(c - 1);
    slot.lru_older = static_cast<std::uint16_t>(c + 1);
  }
  m.arena_used = 0;
  for (auto& head : m.free_blocks) head = NO_BLOCK;
  m.spare_nodes = SPARE_NODES;
}

void reset_scalars() {
  ContextModel& m = model;
  set_history(0);
  m.search_order = 0;
  m.lru_head = 0;
  m.lru_tail = CONTEXT_SLOTS - 1;
  m.recycle_cursor = 0;
  m.max_new_order = MAX_ORDER;
  m.order4_evictions_left = 2500;
  m.singleton_bias[0] = 16;
  for (unsigned k = 1; k <= MAX_ORDER; ++k) m.singleton_bias[k] = 15;
  m.run_length = 0;
  m.excluded.clear();
  m.excluded_count = 0;
  m.path_length = 0;
}

}  // namespace

bool model_init() {
  if (!obtain_tables()) return false;
  reset_tables();
  reset_scalars();
  return true;
}

void probe_history(std::uint32_t bytes, IndexProbe* probes) {
  for (unsigned k = 2; k <= MAX_ORDER; ++k) {
    probes[k] = index_probe(k, bytes);
    __builtin_prefetch(&model.index[probes[k].place]);
  }
}

// The probes always belong to last_bytes, so the search and the creations of
// a byte share one computation of them.
void set_history(std::uint32_t bytes) {
  model.last_bytes = bytes;
  probe_history(bytes, model.probes);
}

std::uint16_t find_first_context() {
  ContextModel& m = model;
  m.path_length = 0;
  m.excluded.clear();
  m.excluded_count = 0;
  m.search_order = MAX_ORDER + 1;
  return find_next_context();
}

std::uint16_t find_next_context() {
  ContextModel& m = model;
  const ContextSlot* contexts = m.contexts;
  const std::uint32_t history = m.last_bytes;
  for (unsigned k = m.search_order; k-- > 0;) {
    if (k <= 1) {
      std::uint16_t c = m.low_orders[low_order_place(k, history)];
      if (c == NO_LINK) continue;
      m.search_order = static_cast<std::uint16_t>(k);
      return c;
    }
    const std::uint32_t tag = m.probes[k].tag;
    for (std::uint32_t place = m.probes[k].place;; place = (place + 1) & (INDEX_PLACES - 1)) {
      std::uint32_t entry = m.index[place];
      if (entry == EMPTY_PLACE) break;
      if ((entry & 0xFFFF0000u) != tag) continue;
      auto c = static_cast<std::uint16_t>(entry);
      const ContextSlot& slot = contexts[c];
      if (slot.context_order == k && ((slot.context_key ^ history) & key_mask(k)) == 0) {
        m.search_order = static_cast<std::uint16_t>(k);
        return c;
      }
    }
  }
  return NO_LINK;
}

static std::uint16_t take_least_recent_slot() {
  ContextModel& m = model;
  ContextSlot* contexts = m.contexts;
  std::uint16_t c = m.lru_tail;
  m.lru_tail = contexts[c].lru_newer;
  contexts[m.lru_head].lru_newer = c;
  contexts[c].lru_older = m.lru_head;
  m.lru_head = c;
  return c;
}

static std::uint32_t home_place(std::uint16_t c) {
  const ContextSlot& slot = model.contexts[c];
  return index_probe(slot.context_order, slot.context_key).place;
}

// Removes c's entry and moves later entries of the probe run back into the
// gap, so that every entry stays reachable from its home place without
// tombstones.
static void remove_from_index(std::uint16_t c) {
  std::uint32_t* index = model.index;
  constexpr std::uint32_t wrap = INDEX_PLACES - 1;
  std::uint32_t gap = home_place(c);
  while (static_cast<std::uint16_t>(index[gap]) != c) gap = (gap + 1) & wrap;
  for (std::uint32_t next = gap;;) {
    next = (next + 1) & wrap;
    std::uint32_t entry = index[next];
    if (entry == EMPTY_PLACE) break;
    std::uint32_t home = home_place(static_cast<std::uint16_t>(entry));
    if (((next - home) & wrap) < ((next - gap) & wrap)) continue;  // home lies after the gap
    index[gap] = entry;
    gap = next;
  }
  index[gap] = EMPTY_PLACE;
}

static void add_to_index(std::uint16_t c, IndexProbe probe) {
  std::uint32_t place = probe.place;
  while (model.index[place] != EMPTY_PLACE) place = (place + 1) & (INDEX_PLACES - 1);
  model.index[place] = probe.tag | c;
}

static void evict(std::uint16_t c) {
  ContextModel& m = model;
  CODEC_NOTE(evictions);
  if (m.contexts[c].context_order == MAX_ORDER) {
    CODEC_NOTE(order4_evictions);
    if (--m.order4_evictions_left == 0 && m.max_new_order == MAX_ORDER) {
      m.max_new_order = MAX_ORDER - 1;
      CODEC_NOTE(max_new_order_drops);
    }
  }
  ContextSlot& slot = m.contexts[c];
  if (slot.context_order <= 1) {
    m.low_orders[low_order_place(slot.context_order, slot.context_key)] = NO_LINK;
  } else {
    remove_from_index(c);
  }
  m.spare_nodes = static_cast<std::uint16_t>(m.spare_nodes + slot.context_extra);
}

std::uint16_t create_context(unsigned order, std::uint8_t symbol) {
  ContextModel& m = model;
  std::uint16_t c = take_least_recent_slot();
  ContextSlot& slot = m.contexts[c];
  if (slot.context_order == NEVER_USED) {
    slot.symbols = take_block(0);
  } else {
    evict(c);
    if (slot.size_class != 0) {
      give_block(slot.symbols, slot.size_class);
      slot.symbols = take_block(0);
    }
  }
  slot.size_class = 0;
  m.arena[slot.symbols] = symbol_entry(symbol, 1);
  slot.context_key = m.last_bytes;
  slot.context_total = 1;
  slot.context_order = static_cast<std::uint8_t>(order);
  slot.context_extra = 0;
  slot.context_low = 1;
  slot.context_credit = 4;
  if (order <= 1) {
    m.low_orders[low_order_place(order, m.last_bytes)] = c;
  } else {
    add_to_index(c, m.probes[order]);
  }
  return c;
}

}  // namespace codec
