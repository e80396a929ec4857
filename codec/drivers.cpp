#include <cstring>

#include "codec/coder.h"
#include "codec/model.h"

namespace codec {
namespace {

// Orders from max_new_order (as read before the byte was coded) down to one
// above the highest order that existed; taken right after the first search.
struct NewOrders {
  unsigned top_plus_one;
  unsigned limit;
};

NewOrders orders_to_create(std::uint16_t first) {
  unsigned limit = first == NO_LINK ? 0 : model.contexts[first].context_order + 1u;
  return {model.max_new_order + 1u, limit};
}

void learn_byte(std::uint8_t byte, NewOrders orders) {
  std::uint32_t next_history = (model.last_bytes << 8) | byte;
  // The next byte's index places are fetched while this one is learned.
  IndexProbe next_probes[MAX_ORDER + 1];
  probe_history(next_history, next_probes);
  update_path(byte);
  for (unsigned k = orders.top_plus_one; k > orders.limit;) create_context(--k, byte);
  model.last_bytes = next_history;
  for (unsigned k = 2; k <= MAX_ORDER; ++k) model.probes[k] = next_probes[k];
}

// The first context tried for a byte is coded with nothing excluded; every
// escape excludes at least one symbol, so each later one excludes some.
void encode_byte(std::uint8_t byte) {
  std::uint16_t c = find_first_context();
  NewOrders orders = orders_to_create(c);
  bool coded = c != NO_LINK && encode_first(c, byte);
  while (!coded && c != NO_LINK) {
    c = find_next_context();
    coded = c != NO_LINK && encode_excluding(c, byte);
  }
  if (coded) {
    touch_context(c);
  } else {
    encode_flat(byte);
  }
  learn_byte(byte, orders);
}

void encode_end() {
  std::uint16_t c = find_first_context();
  if (c != NO_LINK) encode_first(c, END_SYMBOL);
  while (c != NO_LINK) {
    c = find_next_context();
    if (c != NO_LINK) encode_excluding(c, END_SYMBOL);
  }
  encode_flat(END_SYMBOL);
}

// Returns the byte decoded and learned, or END_SYMBOL.
unsigned decode_byte(Decoder& decoder) {
  std::uint16_t c = find_first_context();
  NewOrders orders = orders_to_create(c);
  unsigned symbol = c == NO_LINK ? END_SYMBOL : decode_first(decoder, c);
  while (symbol == END_SYMBOL && c != NO_LINK) {
    c = find_next_context();
    if (c != NO_LINK) symbol = decode_excluding(decoder, c);
  }
  if (symbol == END_SYMBOL) {
    symbol = decode_flat(decoder);
    if (symbol == END_SYMBOL) return symbol;
  } else {
    touch_context(c);
  }
  learn_byte(static_cast<std::uint8_t>(symbol), orders);
  return symbol;
}

RunStatus begin_run() {
  output_length = 0;
  output_total = 0;
  coder.output_overflow = false;
  if (!input_fits()) return RunStatus::input_too_long;
  if (!model_init()) return RunStatus::out_of_memory;
  return RunStatus::ok;
}

RunStatus end_run() {
  if (!coder.output_overflow) return RunStatus::ok;
  output_length = 0;
  output_total = 0;
  return RunStatus::output_overflow;
}

}  // namespace

RunStatus compress() {
  if (RunStatus status = begin_run(); status != RunStatus::ok) return status;
  encoder_start();
  for (int byte = read_input_byte(); byte >= 0 && !coder.output_overflow; byte = read_input_byte())
    encode_byte(static_cast<std::uint8_t>(byte));
  if (!coder.output_overflow) {
    encode_end();
    encoder_finish();
  }
  return end_run();
}

namespace {

// The run; each entry below has every step of it inlined, so that the
// decoder's registers stay in processor registers for the whole run.
CODEC_HOT RunStatus decode_run(const StopRule& rule) {
  if (RunStatus status = begin_run(); status != RunStatus::ok) return status;
  Decoder decoder;
  decoder.start();
  for (unsigned symbol = decode_byte(decoder); symbol != END_SYMBOL;
       symbol = decode_byte(decoder)) {
    if (!write_output_byte(static_cast<std::uint8_t>(symbol))) break;
    if (symbol == rule.byte && rule.enough &&
        rule.enough(output_buffer, output_length, rule.context))
      break;
  }
  decoder.finish();
  commit_output();
  return end_run();
}

}  // namespace

// Named after their entry, so that a profile of it takes them in.
#if defined(__GNUC__)
[[gnu::flatten]]
#endif
static RunStatus
decompress_until_portable(const StopRule& rule) {
  return decode_run(rule);
}

#if defined(CODEC_AVX2_TALLY)
// The same run for the processors that take the AVX2 tally: their bit
// instructions shorten the scalar steps as well, and the tally inlines.
[[gnu::flatten, gnu::target("avx2,bmi,bmi2,popcnt")]] static RunStatus decompress_until_avx2(
    const StopRule& rule) {
  return decode_run(rule);
}
#endif

RunStatus decompress_until(const StopRule& rule) {
#if defined(CODEC_AVX2_TALLY)
  if (tally_path.load(std::memory_order_relaxed) == TallyPath::avx2)
    return decompress_until_avx2(rule);
#endif
  return decompress_until_portable(rule);
}

RunStatus decompress() {
  return decompress_until({});
}

RunStatus load_input(const std::uint8_t* bytes, std::size_t length) {
  if (length > static_cast<std::size_t>(input_capacity)) return RunStatus::input_too_long;
  if (length > 0) std::memcpy(input_buffer, bytes, length);
  input_remaining = static_cast<std::int32_t>(length);
  input_position = 0;
  return RunStatus::ok;
}

}  // namespace codec
