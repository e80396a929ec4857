// The context model: its tables, the search, the update and the coding of
// one symbol in one context. Internal to the codec and its tests.
#pragma once

#include <array>
#include <cstdint>

#include "codec/observer.h"

namespace codec {

inline constexpr std::uint16_t NO_LINK = 0xFFFF;
inline constexpr unsigned END_SYMBOL = 256;
inline constexpr unsigned CONTEXT_SLOTS = 10000;
inline constexpr unsigned NODE_SLOTS = 32760;
inline constexpr unsigned HASH_BUCKETS = 16384;
inline constexpr unsigned MAX_ORDER = 4;
inline constexpr std::uint8_t NEVER_USED = 255;
inline constexpr std::uint16_t ESCAPED = 0x8000;

extern const std::array<std::uint16_t, HASH_BUCKETS> random_table;

// One record per context slot and one per symbol node, so that a search or a
// list walk touches one cache line per step instead of one per field.
struct ContextSlot {
  std::uint32_t context_key;  // byte j of the key in bits 8j..8j+7
  std::uint16_t context_chain;
  std::uint16_t context_total;
  std::uint16_t lru_newer;
  std::uint16_t lru_older;
  std::uint8_t context_order;
  std::uint8_t context_extra;
  std::uint8_t context_low;
  std::uint8_t context_credit;
};

// Eight bytes rather than six: a node index then scales by a shift in the
// address, which the list walks do once per step.
struct alignas(8) SymbolNode {
  std::uint16_t node_next;
  std::uint16_t node_count;
  std::uint8_t node_symbol;
};

struct ContextModel {
  // Obtained by the first model_init of the process and kept for later runs.
  std::uint16_t* hash_heads = nullptr;
  ContextSlot* contexts = nullptr;
  SymbolNode* nodes = nullptr;

  std::uint16_t order_hash[MAX_ORDER + 1] = {};  // element 0 stays 0
  std::uint16_t search_order = 0;
  std::uint32_t last_bytes = 0;  // byte j (0 the most recent) in bits 8j..8j+7

  std::uint16_t free_node_head = 0;
  std::uint16_t lru_head = 0;
  std::uint16_t lru_tail = 0;
  std::uint16_t recycle_cursor = 0;
  std::uint8_t max_new_order = 0;
  std::uint16_t order4_evictions_left = 0;
  std::uint8_t singleton_bias[MAX_ORDER + 1] = {};
  std::uint8_t run_length = 0;

  std::uint8_t excluded[256] = {};
  // One spare entry: the branch-free append writes before it counts.
  std::uint8_t excluded_list[257] = {};
  std::uint16_t excluded_count = 0;

  std::uint16_t path_length = 0;
  std::uint16_t path_context[MAX_ORDER + 1] = {};
  std::uint16_t path_node[MAX_ORDER + 1] = {};
};

extern ContextModel model;

// Tables and memory.
// Obtains the tables (once per process) and gives every field its start value;
// false, after printing the allocation message, when they cannot be had.
bool model_init();
// Gives the tables back; the next model_init obtains them again.
void model_free();
std::uint16_t context_hash(unsigned order, std::uint32_t key);
// The buckets of orders 1..4 for a history (byte j in bits 8j..8j+7).
void hash_history(std::uint32_t bytes, std::uint16_t* hashes);
// Sets last_bytes and the buckets that go with it.
void set_history(std::uint32_t bytes);
void prefetch_buckets(const std::uint16_t* hashes);
void prefetch_bucket_heads(const std::uint16_t* hashes);
void shift_history(std::uint8_t byte);
std::uint16_t find_first_context();
std::uint16_t find_next_context();
std::uint16_t create_context(unsigned order, std::uint8_t symbol);
void recycle_nodes();

// Update after a byte.
void touch_context(std::uint16_t c);
void update_path(std::uint8_t symbol);
void halve_context(std::uint16_t c);

// One coding step in one context.
std::uint16_t escape_weight(unsigned low, std::uint16_t c);
bool encode_first(std::uint16_t c, unsigned symbol);
bool encode_excluding(std::uint16_t c, unsigned symbol);
void encode_flat(unsigned symbol);
unsigned decode_first(std::uint16_t c);
unsigned decode_excluding(std::uint16_t c);
unsigned decode_flat();

}  // namespace codec
