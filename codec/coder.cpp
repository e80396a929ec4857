#include "codec/coder.h"

#include <atomic>

namespace codec {

thread_local std::uint8_t input_buffer[input_capacity];
thread_local std::int32_t input_remaining = 0;
thread_local std::uint32_t input_position = 0;
thread_local std::uint8_t output_buffer[output_capacity];
thread_local std::uint32_t output_length = 0;
thread_local std::uint32_t output_total = 0;

thread_local Coder coder;

// One limit for the whole process, whichever thread runs the codec.
static std::atomic<std::uint32_t> output_limit = output_capacity;

void limit_output(std::uint32_t bytes) {
  constexpr auto capacity = static_cast<std::uint32_t>(output_capacity);
  output_limit.store(bytes < capacity ? bytes : capacity, std::memory_order_relaxed);
}

bool input_fits() {
  if (input_remaining <= 0) return true;
  if (input_position > static_cast<std::uint32_t>(input_capacity)) return false;
  return static_cast<std::uint32_t>(input_remaining) <= input_capacity - input_position;
}

bool write_output_byte(std::uint8_t byte) {
  if (output_length >= output_limit.load(std::memory_order_relaxed)) {
    coder.output_overflow = true;
    return false;
  }
  output_buffer[output_length++] = byte;
  return true;
}

void commit_output() {
  output_total += output_length;
  output_length = 0;
}

// ---- encoder ----

static void emit_bit(unsigned bit) {
  coder.out_bits = static_cast<std::uint16_t>((coder.out_bits << 1) | bit);
  if (coder.out_bits & 0x100) {
    write_output_byte(static_cast<std::uint8_t>(coder.out_bits));
    coder.out_bits = 1;
  }
}

static void emit_with_pending(unsigned bit) {
  emit_bit(bit);
  for (; coder.pending_bits > 0; --coder.pending_bits) emit_bit(bit ^ 1);
}

void encoder_start() {
  coder.high = 0xFFFF;
  coder.pending_bits = 0;
  coder.low = 0;
  coder.out_bits = 1;
}

void encode_range(std::uint16_t low_count, std::uint16_t high_count, std::uint16_t total) {
  narrow(coder.low, coder.high, low_count, high_count, total);
  while (((coder.low ^ coder.high) & 0x8000) == 0) {
    emit_with_pending(coder.low >> 15);
    coder.low = static_cast<std::uint16_t>(coder.low << 1);
    coder.high = static_cast<std::uint16_t>((coder.high << 1) | 1);
  }
  while ((coder.low & 0x4000) && !(coder.high & 0x4000)) {
    ++coder.pending_bits;
    coder.low = static_cast<std::uint16_t>((coder.low << 1) & 0x7FFF);
    coder.high = static_cast<std::uint16_t>((coder.high << 1) | 0x8001);
  }
}

void encoder_finish() {
  ++coder.pending_bits;
  emit_with_pending((coder.low >> 14) & 1);
  if (coder.out_bits != 1) {
    while (!(coder.out_bits & 0x100))
      coder.out_bits = static_cast<std::uint16_t>(coder.out_bits << 1);
    write_output_byte(static_cast<std::uint8_t>(coder.out_bits));
    coder.out_bits = 1;
  }
  commit_output();
}

}  // namespace codec
