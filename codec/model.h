// The context model: its tables, the search, the update and the coding of
// one symbol in one context. Internal to the codec and its tests.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/exclusions.h"
#include "codec/observer.h"

namespace codec {

inline constexpr std::uint16_t NO_LINK = 0xFFFF;
inline constexpr unsigned END_SYMBOL = 256;
inline constexpr unsigned CONTEXT_SLOTS = 10000;
inline constexpr unsigned NODE_SLOTS = 32760;
inline constexpr unsigned MAX_ORDER = 4;
inline constexpr std::uint8_t NEVER_USED = 255;
inline constexpr std::uint16_t ESCAPED = 0x8000;

// The symbols of a context lie in list order in one block of the symbol
// arena, one 32-bit entry each: the count in the low 16 bits, the byte above.
// Where a block lies changes no coded bit; only the list order does.
using SymbolEntry = std::uint32_t;

constexpr SymbolEntry symbol_entry(unsigned symbol, unsigned count) {
  return (symbol << 16) | count;
}
constexpr unsigned count_of(SymbolEntry entry) {
  return entry & 0xFFFF;
}
constexpr std::uint8_t symbol_of(SymbolEntry entry) {
  return static_cast<std::uint8_t>(entry >> 16);
}

// Blocks hold 2, 4, ... 256 entries; a context's block is at most twice as
// large as its list (or 2), so that no size class ever holds more than
// twice the symbols of the whole model, live or free.
inline constexpr unsigned BLOCK_CLASSES = 8;
inline constexpr unsigned SPARE_NODES = NODE_SLOTS - CONTEXT_SLOTS;
inline constexpr std::size_t ARENA_ENTRIES = BLOCK_CLASSES * (2 * NODE_SLOTS + 256);

inline constexpr std::uint32_t NO_BLOCK = 0xFFFFFFFF;

constexpr unsigned block_capacity(unsigned size_class) {
  return 2u << size_class;
}

// The contexts of orders 2 to 4 are found through an open-addressed index:
// entries hold a context's slot in the low half and a tag from its key's hash
// in the high half. Which structure finds a context changes no coded bit:
// no two contexts share an order and a key.
inline constexpr std::uint32_t INDEX_PLACES = 32768;
inline constexpr std::uint32_t EMPTY_PLACE = 0xFFFFFFFF;

struct IndexProbe {
  std::uint32_t place = 0;
  std::uint32_t tag = 0;
};

// The key bytes that take part in matching a context of the order.
constexpr std::uint32_t key_mask(unsigned order) {
  return order >= 4 ? 0xFFFFFFFFu : (1u << (8 * order)) - 1;
}

constexpr IndexProbe index_probe(unsigned order, std::uint32_t key) {
  std::uint64_t h =
      ((std::uint64_t{order} << 32) | (key & key_mask(order))) * 0x9E3779B97F4A7C15ull;
  return {static_cast<std::uint32_t>(h >> 49), static_cast<std::uint32_t>(h >> 16) & 0xFFFF0000u};
}

// One record per context slot, so that a search touches one cache line per
// step instead of one per field.
struct ContextSlot {
  std::uint32_t context_key;  // byte j of the key in bits 8j..8j+7
  std::uint32_t symbols;      // the first entry of the context's block
  std::uint16_t context_total;
  std::uint16_t lru_newer;
  std::uint16_t lru_older;
  std::uint8_t context_order;
  std::uint8_t context_extra;  // symbols in the list, minus one
  std::uint8_t context_low;
  std::uint8_t context_credit;
  std::uint8_t size_class;  // of the block
};

struct ContextModel {
  // Obtained by the thread's first model_init and kept for its later runs.
  std::uint32_t* index = nullptr;
  ContextSlot* contexts = nullptr;
  SymbolEntry* arena = nullptr;

  std::uint32_t arena_used = 0;                   // entries ever handed out this run
  std::uint32_t free_blocks[BLOCK_CLASSES] = {};  // per size class, linked through entry 0
  // Spare symbols left: a context's first symbol is its own, every further
  // one takes a spare; when none is left, recycling frees some.
  std::uint16_t spare_nodes = 0;

  // The contexts of order 1 by their byte, and the one of order 0 last: no
  // bucket walk for the orders every escape ends in.
  std::uint16_t low_orders[257] = {};
  IndexProbe probes[MAX_ORDER + 1] = {};  // for last_bytes, orders 2 to 4
  std::uint16_t search_order = 0;
  std::uint32_t last_bytes = 0;  // byte j (0 the most recent) in bits 8j..8j+7

  std::uint16_t lru_head = 0;
  std::uint16_t lru_tail = 0;
  std::uint16_t recycle_cursor = 0;
  std::uint8_t max_new_order = 0;
  std::uint16_t order4_evictions_left = 0;
  std::uint8_t singleton_bias[MAX_ORDER + 1] = {};
  std::uint8_t run_length = 0;

  ExclusionMap excluded;
  std::uint16_t excluded_count = 0;

  std::uint16_t path_length = 0;
  std::uint16_t path_context[MAX_ORDER + 1] = {};
  // For a context that coded the byte, the symbol's place in its list.
  std::uint16_t path_index[MAX_ORDER + 1] = {};
};

extern thread_local ContextModel model;

// The place of an order-0 or order-1 context with the key in low_orders.
constexpr unsigned low_order_place(unsigned order, std::uint32_t key) {
  return order == 0 ? 256 : key & 0xFF;
}

// Tables and memory.
// Obtains the tables (once per process) and gives every field its start value;
// false when they cannot be had.
bool model_init();
// Sets last_bytes and the index probes that go with it.
void set_history(std::uint32_t bytes);
// The probes of a history; the index places they name are fetched ahead.
void probe_history(std::uint32_t bytes, IndexProbe* probes);
std::uint16_t find_first_context();
std::uint16_t find_next_context();
std::uint16_t create_context(unsigned order, std::uint8_t symbol);
void recycle_nodes();
// The symbols of context c: entries symbols_of(c)[0 .. context_extra].
inline SymbolEntry* symbols_of(std::uint16_t c) {
  return model.arena + model.contexts[c].symbols;
}
// A block of the size class, and its return.
std::uint32_t take_block(unsigned size_class);
void give_block(std::uint32_t block, unsigned size_class);

// Update after a byte.
void touch_context(std::uint16_t c);
void update_path(std::uint8_t symbol);
void halve_context(std::uint16_t c);

// One coding step in one context.
std::uint16_t escape_weight(unsigned low, std::uint16_t c);
bool encode_first(std::uint16_t c, unsigned symbol);
bool encode_excluding(std::uint16_t c, unsigned symbol);
void encode_flat(unsigned symbol);
struct Decoder;
unsigned decode_first(Decoder& decoder, std::uint16_t c);
unsigned decode_excluding(Decoder& decoder, std::uint16_t c);
unsigned decode_flat(Decoder& decoder);

}  // namespace codec
