// The context model: its tables, the search, the update and the coding of
// one symbol in one context. Internal to the codec and its tests.
#pragma once

#include <array>
#include <cstdint>

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

// How often each replacement and rescaling mechanism ran in the current run,
// so tests can tell that a text really exercised it. Cleared by model_init.
struct ModelCounters {
  std::uint32_t evictions = 0;
  std::uint32_t order4_evictions = 0;
  std::uint32_t max_new_order_drops = 0;
  std::uint32_t recycle_calls = 0;
  std::uint32_t halvings_by_total = 0;
  std::uint32_t halvings_by_credit = 0;
  std::uint32_t credit_five = 0;  // halvings that raised a credit to 5
  std::uint32_t quadruple_boosts = 0;
  std::uint32_t full_alphabet_weights = 0;  // escape weights of a 256-symbol context
};

// Test hook: request number fail_request (1-based) of the next model_init
// fails as if the allocator were exhausted; 0 means none fails.
struct AllocationHook {
  unsigned fail_request = 0;
  unsigned requests = 0;
};

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

inline constexpr unsigned MODEL_TABLES = 3;

struct ContextModel {
  // Obtained by model_init and released by model_release.
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
  std::uint8_t excluded_list[256] = {};
  std::uint16_t excluded_count = 0;

  std::uint16_t path_length = 0;
  std::uint16_t path_context[MAX_ORDER + 1] = {};
  std::uint16_t path_node[MAX_ORDER + 1] = {};

  ModelCounters counters;
};

extern ContextModel model;
extern AllocationHook allocation_hook;

// Tables and memory.
bool model_init();
void model_release();
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
int encode_first(std::uint16_t c, unsigned symbol);
int encode_excluding(std::uint16_t c, unsigned symbol);
void encode_flat(unsigned symbol);
unsigned decode_first(std::uint16_t c);
unsigned decode_excluding(std::uint16_t c);
unsigned decode_flat();

}  // namespace codec
