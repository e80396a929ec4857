#include "codec/coder.h"

#include <bit>

namespace codec {

std::uint8_t input_buffer[input_capacity];
std::int32_t input_remaining = 0;
std::uint32_t input_position = 0;
std::uint8_t output_buffer[output_capacity];
std::uint32_t output_length = 0;
std::uint32_t output_total = 0;

Coder coder;

bool input_fits() {
  if (input_remaining <= 0) return true;
  if (input_position > std::uint32_t(input_capacity)) return false;
  return std::uint32_t(input_remaining) <= input_capacity - input_position;
}

int read_input_byte() {
  if (input_remaining <= 0) return -1;
  --input_remaining;
  return input_buffer[input_position++];
}

bool write_output_byte(std::uint8_t byte) {
  if (output_length >= std::uint32_t(output_capacity)) {
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

static void narrow(std::uint16_t low_count, std::uint16_t high_count, std::uint16_t total) {
  if (coder.event_hook) [[unlikely]] coder.event_hook(low_count, high_count, total);
  std::uint32_t width = std::uint32_t(coder.high) - coder.low + 1;
  auto new_high = std::uint16_t(coder.low + (width * high_count) / total - 1);
  coder.low = std::uint16_t(coder.low + (width * low_count) / total);
  coder.high = new_high;
}

// ---- encoder ----

static void emit_bit(unsigned bit) {
  coder.out_bits = std::uint16_t((coder.out_bits << 1) | bit);
  if (coder.out_bits & 0x100) {
    write_output_byte(std::uint8_t(coder.out_bits));
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
  narrow(low_count, high_count, total);
  while (((coder.low ^ coder.high) & 0x8000) == 0) {
    emit_with_pending(coder.low >> 15);
    coder.low = std::uint16_t(coder.low << 1);
    coder.high = std::uint16_t((coder.high << 1) | 1);
  }
  while ((coder.low & 0x4000) && !(coder.high & 0x4000)) {
    ++coder.pending_bits;
    coder.low = std::uint16_t((coder.low << 1) & 0x7FFF);
    coder.high = std::uint16_t((coder.high << 1) | 0x8001);
  }
}

void encoder_finish() {
  ++coder.pending_bits;
  emit_with_pending((coder.low >> 14) & 1);
  if (coder.out_bits != 1) {
    while (!(coder.out_bits & 0x100)) coder.out_bits = std::uint16_t(coder.out_bits << 1);
    write_output_byte(std::uint8_t(coder.out_bits));
    coder.out_bits = 1;
  }
  commit_output();
}

// ---- decoder ----

namespace {

unsigned stream_byte_or_ones() {
  int byte = read_input_byte();
  return byte < 0 ? 0xFF : unsigned(byte);
}

// The next n (0..16) bits of the stream, earliest in the highest place;
// past the end of the input every bit is 1.
inline unsigned take_bits(unsigned n) {
  std::uint32_t bits = coder.in_bits, count = coder.in_count;
  while (count < n) {
    bits = (bits << 8) | stream_byte_or_ones();
    count += 8;
  }
  count -= n;
  coder.in_bits = bits & ((1u << count) - 1);
  coder.in_count = count;
  return (bits >> count) & ((1u << n) - 1);
}

}  // namespace

void decoder_start() {
  coder.high = 0xFFFF;
  coder.low = 0;
  coder.in_bits = 0;
  coder.in_count = 0;
  unsigned first = stream_byte_or_ones();
  coder.code = std::uint16_t(first * 256 + stream_byte_or_ones());
}

std::uint16_t decode_target(std::uint16_t total) {
  std::uint32_t width = std::uint32_t(coder.high) - coder.low + 1;
  std::uint32_t offset = std::uint16_t(coder.code - coder.low) + 1u;
  return std::uint16_t((offset * total - 1) / width);
}

// Both normalisation loops run in one step each: the settled bits are the
// leading bits where low and high agree, and the straddles the following
// bits where low has 1 and high has 0. Of the straddle's flips of code's top
// bit only the last one stays in the register.
void decode_range(std::uint16_t low_count, std::uint16_t high_count, std::uint16_t total) {
  narrow(low_count, high_count, total);
  std::uint32_t low = coder.low, high = coder.high, code = coder.code;
  auto settled = unsigned(std::countl_zero(std::uint16_t(low ^ high)));
  if (settled > 0) {
    low = (low << settled) & 0xFFFF;
    high = ((high << settled) | ((1u << settled) - 1)) & 0xFFFF;
    code = ((code << settled) | take_bits(settled)) & 0xFFFF;
  }
  auto straddles = unsigned(std::countl_one(std::uint32_t(low & ~high & 0x7FFF) << 17));
  if (straddles > 0) {
    low = (low << straddles) & 0x7FFF;
    high = ((high << straddles) | ((1u << straddles) - 1) | 0x8000) & 0xFFFF;
    code = (((code << straddles) | take_bits(straddles)) & 0xFFFF) ^ 0x8000;
  }
  coder.low = std::uint16_t(low);
  coder.high = std::uint16_t(high);
  coder.code = std::uint16_t(code);
}

}  // namespace codec
