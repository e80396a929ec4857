#include "codec/model.h"

namespace codec {

void touch_context(std::uint16_t c) {
  ContextModel& m = model;
  if (c == m.lru_head) return;
  LruLinks& links = m.lru[c];
  if (c == m.lru_tail) {
    m.lru_tail = links.newer;
  } else {
    m.lru[links.older].newer = links.newer;
    m.lru[links.newer].older = links.older;
  }
  m.lru[m.lru_head].newer = c;
  links.older = m.lru_head;
  m.lru_head = c;
}

// Counts of 1 stay 1, so halving never removes a symbol.
void halve_context(std::uint16_t c) {
  ContextSlot& slot = model.contexts[c];
  ++slot.context_credit;
  if (slot.context_credit == 5) CODEC_NOTE(credit_five);
  SymbolEntry* list = symbols_of(c);
  unsigned total = 0, low = 0;
  for (unsigned i = 0, size = slot.context_extra + 1u; i < size; ++i) {
    unsigned count = count_of(list[i]);
    count = count > 1 ? count >> 1 : count;
    list[i] = symbol_entry(symbol_of(list[i]), count);
    total += count;
    low += count < 3;
  }
  slot.context_total = static_cast<std::uint16_t>(total);
  slot.context_low = static_cast<std::uint8_t>(low);
}

namespace {

// Appends the byte to context c's list. A full block moves to one twice its
// size.
void append_symbol(std::uint16_t c, std::uint8_t symbol) {
  ContextModel& m = model;
  if (m.spare_nodes == 0) recycle_nodes();
  --m.spare_nodes;
  ContextSlot& slot = m.contexts[c];
  unsigned size = slot.context_extra + 1u;
  if (size == block_capacity(slot.size_class)) {
    std::uint32_t block = take_block(slot.size_class + 1u);
    for (unsigned i = 0; i < size; ++i) m.arena[block + i] = m.arena[slot.symbols + i];
    give_block(slot.symbols, slot.size_class);
    slot.symbols = block;
    ++slot.size_class;
  }
  m.arena[slot.symbols + size] = symbol_entry(symbol, 1);
  ++slot.context_extra;
  ++slot.context_low;
}

// A poor prediction (the byte's count below half the context's average)
// costs credit; when it runs out, or the total grows large, counts halve.
void settle_credit(std::uint16_t c, unsigned count) {
  ContextSlot& slot = model.contexts[c];
  // total div symbols > 2 * count, without the division.
  unsigned symbols = slot.context_extra + 1u;
  if (slot.context_total >= (2u * count + 1) * symbols) {
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
    unsigned count = 1;
    if (entry & ESCAPED) {
      append_symbol(c, symbol);
    } else {
      SymbolEntry& coded = symbols_of(c)[m.path_index[m.path_length]];
      coded += 1;
      count = count_of(coded);
      if (count == 3) --m.contexts[c].context_low;
    }
    ++m.contexts[c].context_total;
    settle_credit(c, count);
  }
}

}  // namespace codec
