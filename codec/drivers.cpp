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

void encode_byte(std::uint8_t byte) {
  std::uint16_t c = find_first_context();
  NewOrders orders = orders_to_create(c);
  for (;;) {
    if (c == NO_LINK) {
      encode_flat(byte);
      break;
    }
    bool coded = model.excluded_count == 0 ? encode_first(c, byte) : encode_excluding(c, byte);
    if (coded) {
      touch_context(c);
      break;
    }
    c = find_next_context();
  }
  learn_byte(byte, orders);
}

void encode_end() {
  for (std::uint16_t c = find_first_context(); c != NO_LINK; c = find_next_context()) {
    if (model.excluded_count == 0) {
      encode_first(c, END_SYMBOL);
    } else {
      encode_excluding(c, END_SYMBOL);
    }
  }
  encode_flat(END_SYMBOL);
}

// Returns the byte decoded and learned, or END_SYMBOL.
unsigned decode_byte(Decoder& decoder) {
  std::uint16_t c = find_first_context();
  NewOrders orders = orders_to_create(c);
  unsigned symbol;
  for (;;) {
    if (c == NO_LINK) {
      symbol = decode_flat(decoder);
      break;
    }
    symbol = model.excluded_count == 0 ? decode_first(decoder, c) : decode_excluding(decoder, c);
    if (symbol != END_SYMBOL) {
      touch_context(c);
      break;
    }
    c = find_next_context();
  }
  if (symbol != END_SYMBOL) learn_byte(static_cast<std::uint8_t>(symbol), orders);
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

// Flattened: every step of the loop inlines into it, so that the decoder's
// registers stay in processor registers for the whole run.
#if defined(__GNUC__)
[[gnu::flatten]]
#endif
RunStatus
decompress_until(const StopRule& rule) {
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
