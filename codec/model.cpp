#include <cstdio>
#include <cstdlib>

#include "codec/model.h"

namespace codec {

ContextModel model;
AllocationHook allocation_hook;

namespace {

template <typename T>
void obtain(T*& table, std::size_t bytes) {
  if (++allocation_hook.requests == allocation_hook.fail_request) return;
  table = static_cast<T*>(std::malloc(bytes));
}

template <typename T>
void release(T*& table) {
  std::free(table);
  table = nullptr;
}

bool obtain_tables() {
  ContextModel& m = model;
  allocation_hook.requests = 0;
  obtain(m.hash_heads, 32768);
  obtain(m.context_chain, 20000);
  obtain(m.lru_newer, 20000);
  obtain(m.lru_older, 20000);
  obtain(m.context_order, 10000);
  obtain(m.context_extra, 10000);
  obtain(m.context_total, 20000);
  obtain(m.context_low, 10000);
  obtain(m.context_credit, 10000);
  obtain(m.context_key, 40000);
  obtain(m.node_symbol, 32760);
  obtain(m.node_count, 65520);
  obtain(m.node_next, 65520);
  return m.hash_heads && m.context_chain && m.lru_newer && m.lru_older && m.context_order &&
         m.context_extra && m.context_total && m.context_low && m.context_credit &&
         m.context_key && m.node_symbol && m.node_count && m.node_next;
}

void reset_tables() {
  ContextModel& m = model;
  for (unsigned b = 0; b < HASH_BUCKETS; ++b) m.hash_heads[b] = NO_LINK;
  for (unsigned c = 0; c < CONTEXT_SLOTS; ++c) {
    m.context_order[c] = NEVER_USED;
    m.lru_newer[c] = std::uint16_t(c - 1);
    m.lru_older[c] = std::uint16_t(c + 1);
    m.node_next[c] = NO_LINK;
  }
  for (unsigned n = CONTEXT_SLOTS; n < NODE_SLOTS - 1; ++n) m.node_next[n] = std::uint16_t(n + 1);
  m.node_next[NODE_SLOTS - 1] = NO_LINK;
}

void reset_scalars() {
  ContextModel& m = model;
  m.order_hash[0] = 0;
  set_history(0);
  m.search_order = 0;
  m.free_node_head = CONTEXT_SLOTS;
  m.lru_head = 0;
  m.lru_tail = CONTEXT_SLOTS - 1;
  m.recycle_cursor = 0;
  m.max_new_order = MAX_ORDER;
  m.order4_evictions_left = 2500;
  m.singleton_bias[0] = 16;
  for (unsigned k = 1; k <= MAX_ORDER; ++k) m.singleton_bias[k] = 15;
  m.run_length = 0;
  for (auto& flag : m.excluded) flag = 0;
  m.excluded_count = 0;
  m.path_length = 0;
  m.counters = {};
}

}  // namespace

bool model_init() {
  if (!obtain_tables()) {
    model_release();
    std::fputs("Error: Had problems allocating a few bytes of memory :-(\n", stdout);
    return false;
  }
  reset_tables();
  reset_scalars();
  return true;
}

void model_release() {
  ContextModel& m = model;
  release(m.hash_heads);
  release(m.context_chain);
  release(m.lru_newer);
  release(m.lru_older);
  release(m.context_order);
  release(m.context_extra);
  release(m.context_total);
  release(m.context_low);
  release(m.context_credit);
  release(m.context_key);
  release(m.node_symbol);
  release(m.node_count);
  release(m.node_next);
}

// The order is not mixed in: contexts of different orders may share a bucket.
std::uint16_t context_hash(unsigned order, std::uint32_t key) {
  std::uint16_t h = 0;
  for (unsigned k = 0; k < order; ++k) h = random_table[(((key >> (8 * k)) & 0xFF) + h) & 0x3FFF];
  return h;
}

// order_hash always belongs to last_bytes, so the search and the creations
// of a byte share one computation of it.
void set_history(std::uint32_t bytes) {
  ContextModel& m = model;
  m.last_bytes = bytes;
  std::uint16_t h = 0;
  for (unsigned k = 1; k <= MAX_ORDER; ++k) {
    h = random_table[(((bytes >> (8 * (k - 1))) & 0xFF) + h) & 0x3FFF];
    m.order_hash[k] = h;
  }
}

void shift_history(std::uint8_t byte) { set_history((model.last_bytes << 8) | byte); }

std::uint16_t find_first_context() {
  ContextModel& m = model;
  m.path_length = 0;
  std::uint8_t* excluded = m.excluded;
  for (unsigned i = 0; i < m.excluded_count; ++i) excluded[m.excluded_list[i]] = 0;
  m.excluded_count = 0;
  m.search_order = MAX_ORDER + 1;
  return find_next_context();
}

std::uint16_t find_next_context() {
  ContextModel& m = model;
  const std::uint16_t* chain = m.context_chain;
  const std::uint8_t* orders = m.context_order;
  const std::uint32_t* keys = m.context_key;
  const std::uint32_t history = m.last_bytes;
  for (unsigned k = m.search_order; k-- > 0;) {
    std::uint32_t mask = k == MAX_ORDER ? 0xFFFFFFFFu : (1u << (8 * k)) - 1;
    for (std::uint16_t c = m.hash_heads[m.order_hash[k]]; c != NO_LINK; c = chain[c]) {
      if (orders[c] == k && ((keys[c] ^ history) & mask) == 0) {
        m.search_order = std::uint16_t(k);
        return c;
      }
    }
  }
  return NO_LINK;
}

static std::uint16_t take_least_recent_slot() {
  ContextModel& m = model;
  std::uint16_t c = m.lru_tail;
  m.lru_tail = m.lru_newer[c];
  m.lru_newer[m.lru_head] = c;
  m.lru_older[c] = m.lru_head;
  m.lru_head = c;
  return c;
}

static void unlink_from_bucket(std::uint16_t c) {
  ContextModel& m = model;
  std::uint16_t bucket = context_hash(m.context_order[c], m.context_key[c]);
  if (m.hash_heads[bucket] == c) {
    m.hash_heads[bucket] = m.context_chain[c];
    return;
  }
  std::uint16_t before = m.hash_heads[bucket];
  while (m.context_chain[before] != c) before = m.context_chain[before];
  m.context_chain[before] = m.context_chain[c];
}

static void free_spare_nodes(std::uint16_t c) {
  ContextModel& m = model;
  std::uint16_t first = m.node_next[c];
  if (first == NO_LINK) return;
  std::uint16_t last = first;
  while (m.node_next[last] != NO_LINK) last = m.node_next[last];
  m.node_next[last] = m.free_node_head;
  m.free_node_head = first;
}

static void evict(std::uint16_t c) {
  ContextModel& m = model;
  ++m.counters.evictions;
  if (m.context_order[c] == MAX_ORDER) {
    ++m.counters.order4_evictions;
    if (--m.order4_evictions_left == 0 && m.max_new_order == MAX_ORDER) {
      m.max_new_order = MAX_ORDER - 1;
      ++m.counters.max_new_order_drops;
    }
  }
  unlink_from_bucket(c);
  free_spare_nodes(c);
}

std::uint16_t create_context(unsigned order, std::uint8_t symbol) {
  ContextModel& m = model;
  std::uint16_t c = take_least_recent_slot();
  if (m.context_order[c] != NEVER_USED) evict(c);
  m.node_next[c] = NO_LINK;
  m.node_count[c] = 1;
  m.node_symbol[c] = symbol;
  m.context_total[c] = 1;
  m.context_low[c] = 1;
  m.context_extra[c] = 0;
  m.context_credit[c] = 4;
  m.context_order[c] = std::uint8_t(order);
  m.context_key[c] = m.last_bytes;
  std::uint16_t bucket = m.order_hash[order];
  m.context_chain[c] = m.hash_heads[bucket];
  m.hash_heads[bucket] = c;
  return c;
}

}  // namespace codec
