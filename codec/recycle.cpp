#include <bit>

#include "codec/model.h"

namespace codec {
namespace {

bool on_path(std::uint16_t c) {
  const ContextModel& m = model;
  for (unsigned i = 0; i <= m.path_length; ++i)
    if ((m.path_context[i] & 0x7FFF) == c) return true;
  return false;
}

// The next context after the cursor with two symbols or more that no path
// entry still to be processed holds; slots never used hold none.
std::uint16_t choose_victim() {
  ContextModel& m = model;
  for (;;) {
    if (++m.recycle_cursor == CONTEXT_SLOTS) m.recycle_cursor = 0;
    std::uint16_t v = m.recycle_cursor;
    if (m.contexts[v].context_extra != 0 && !on_path(v)) return v;
  }
}

// A list that shrank to size moves to the smallest block that holds it.
void fit_block(ContextSlot& slot, unsigned size) {
  unsigned size_class = size <= 2 ? 0 : static_cast<unsigned>(std::bit_width(size - 1)) - 1;
  if (size_class == slot.size_class) return;
  std::uint32_t block = take_block(size_class);
  for (unsigned i = 0; i < size; ++i) model.arena[block + i] = model.arena[slot.symbols + i];
  give_block(slot.symbols, slot.size_class);
  slot.symbols = block;
  slot.size_class = static_cast<std::uint8_t>(size_class);
}

}  // namespace

// Every symbol whose count is the list's minimum goes, and the survivors keep
// their order with their counts divided by the minimum plus one. When the
// head holds the minimum, the first survivor (or the last symbol) takes its
// place first; if nothing follows that one, its count stays undivided.
void recycle_nodes() {
  CODEC_NOTE(recycle_calls);
  ContextModel& m = model;
  std::uint16_t v = choose_victim();
  ContextSlot& slot = m.contexts[v];
  SymbolEntry* list = symbols_of(v);
  unsigned size = slot.context_extra + 1u;
  unsigned least = count_of(list[0]);
  for (unsigned i = 1; i < size; ++i) least = count_of(list[i]) < least ? count_of(list[i]) : least;
  unsigned threshold = least + 1;

  unsigned from = 1;
  bool divide_head = true;
  if (count_of(list[0]) < threshold) {
    unsigned s = 1;
    while (count_of(list[s]) < threshold && s + 1 < size) ++s;
    list[0] = list[s];
    from = s + 1;
    divide_head = from < size;
  }
  unsigned head = count_of(list[0]);
  if (divide_head) head /= threshold;
  list[0] = symbol_entry(symbol_of(list[0]), head);
  unsigned kept = 1, total = head, low = head < 3;
  for (unsigned i = from; i < size; ++i) {
    unsigned count = count_of(list[i]);
    if (count < threshold) continue;
    count /= threshold;
    list[kept++] = symbol_entry(symbol_of(list[i]), count);
    total += count;
    low += count < 3;
  }
  m.spare_nodes = static_cast<std::uint16_t>(m.spare_nodes + size - kept);
  slot.context_extra = static_cast<std::uint8_t>(kept - 1);
  slot.context_total = static_cast<std::uint16_t>(total);
  slot.context_low = static_cast<std::uint8_t>(low);
  fit_block(slot, kept);
}

}  // namespace codec
