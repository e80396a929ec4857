// The arithmetic coder's registers and operations, and the byte-area
// primitives beneath them. Internal to the codec and its tests.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "codec/codec.h"
#include "codec/hot.h"
#include "codec/observer.h"

namespace codec {

// The encoder's registers.
struct Coder {
  std::uint16_t low = 0;
  std::uint16_t high = 0xFFFF;
  std::uint16_t pending_bits = 0;
  std::uint16_t out_bits = 1;
  // Set by write_output_byte when output_buffer is full; the byte is dropped.
  bool output_overflow = false;
};

extern thread_local Coder coder;

// True when input_position and input_remaining describe bytes that lie
// wholly inside input_buffer; a run checks this once before it reads.
bool input_fits();
// False (and nothing stored) once output_buffer is full.
bool write_output_byte(std::uint8_t byte);
void commit_output();

void encoder_start();
void encode_range(std::uint16_t low_count, std::uint16_t high_count, std::uint16_t total);
void encoder_finish();

// The per-event steps are defined here so that the model's loops inline
// them; a call per event costs more than the narrowing itself.

CODEC_HOT int read_input_byte() {
  if (input_remaining <= 0) return -1;
  --input_remaining;
  return input_buffer[input_position++];
}

CODEC_HOT void narrow(std::uint16_t& low, std::uint16_t& high, std::uint16_t low_count,
                      std::uint16_t high_count, std::uint16_t total) {
  CODEC_NOTE_EVENT(low_count, high_count, total);
  std::uint32_t width = static_cast<std::uint32_t>(high) - low + 1;
  auto new_high = static_cast<std::uint16_t>(low + (width * high_count) / total - 1);
  low = static_cast<std::uint16_t>(low + (width * low_count) / total);
  high = new_high;
}

// The decoder's registers. A run keeps them in a local, so that they stay in
// processor registers through the model's steps, which inline around them.
struct Decoder {
  std::uint16_t low = 0;
  std::uint16_t high = 0xFFFF;
  std::uint16_t code = 0;
  // The stream's next bits, earliest in bit 63, of which `available` are
  // taken from the input; refilled 8 bytes at a time. Offsets into
  // input_buffer: where the stream starts, where the next refill reads, and
  // where the stream ends; past its end every bit is 1.
  std::uint64_t window = 0;
  unsigned available = 0;
  std::uint32_t first = 0, next = 0, end = 0;

  // Reads the first two stream bytes.
  CODEC_HOT void start() {
    first = next = end = input_position;
    if (input_remaining > 0) end += static_cast<std::uint32_t>(input_remaining);
    refill();
    code = static_cast<std::uint16_t>(take_bits(16));
  }

  // Leaves the input counters as a byte-at-a-time reader would have: every
  // byte read that held a bit taken, and no other.
  CODEC_HOT void finish() const {
    std::uint32_t taken = (next - first) * 8 - available;
    std::uint32_t read = (taken + 7) / 8;
    if (read > end - first) read = end - first;
    input_position = first + read;
    input_remaining -= static_cast<std::int32_t>(read);
  }

  // Tops the window up to at least 56 bits. Bits below `available` that a
  // whole-word load already placed are the stream's own next bits, so
  // loading them again changes nothing.
  CODEC_HOT void refill() {
    if (next + 8 <= end) {
      std::uint64_t word;
      std::memcpy(&word, input_buffer + next, 8);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
      window |= word >> available;
      next += (63 - available) >> 3;
      available |= 56;
      return;
    }
    for (; available <= 56; available += 8, ++next) {
      std::uint64_t byte = next < end ? input_buffer[next] : 0xFF;
      window |= byte << (56 - available);
    }
  }

  // The next n (0..16) bits, earliest in the highest place; `available`
  // must be at least n.
  CODEC_HOT unsigned take_bits(unsigned n) {
    unsigned bits = static_cast<unsigned>(window >> 48) >> (16 - n);
    window <<= n;
    available -= n;
    return bits;
  }

  // The count value, below total, that the stream points at.
  CODEC_HOT std::uint16_t target(std::uint16_t total) const {
    std::uint32_t width = static_cast<std::uint32_t>(high) - low + 1;
    std::uint32_t offset = static_cast<std::uint16_t>(code - low) + 1u;
    return static_cast<std::uint16_t>((offset * total - 1) / width);
  }

  // Narrows as the encoder did and normalises, both loops in one step each:
  // the settled bits are the leading bits where low and high agree, and the
  // straddles the following bits where low has 1 and high has 0. Of the
  // straddle's flips of code's top bit only the last one stays. No branch on
  // the counts: a shift by none leaves every register as it was.
  CODEC_HOT void take_range(std::uint16_t low_count, std::uint16_t high_count,
                            std::uint16_t total) {
    narrow(low, high, low_count, high_count, total);
    if (available < 32) refill();  // a step takes at most 16 + 14 bits
    std::uint32_t l = low, h = high, c = code;
    auto settled = static_cast<unsigned>(std::countl_zero(static_cast<std::uint16_t>(l ^ h)));
    l = (l << settled) & 0xFFFF;
    h = ((h << settled) | ((1u << settled) - 1)) & 0xFFFF;
    c = ((c << settled) | take_bits(settled)) & 0xFFFF;
    auto straddles =
        static_cast<unsigned>(std::countl_one(static_cast<std::uint32_t>(l & ~h & 0x7FFF) << 17));
    const std::uint32_t top = straddles == 0 ? 0 : 0x8000;
    l = (l << straddles) & (0xFFFF ^ top);
    h = ((h << straddles) | ((1u << straddles) - 1) | top) & 0xFFFF;
    c = (((c << straddles) | take_bits(straddles)) & 0xFFFF) ^ top;
    low = static_cast<std::uint16_t>(l);
    high = static_cast<std::uint16_t>(h);
    code = static_cast<std::uint16_t>(c);
  }
};

}  // namespace codec
