// The arithmetic coder's registers and operations, and the byte-area
// primitives beneath them. Internal to the codec and its tests.
#pragma once

#include <bit>
#include <cstdint>

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

CODEC_HOT unsigned stream_byte_or_ones() {
  int byte = read_input_byte();
  return byte < 0 ? 0xFF : static_cast<unsigned>(byte);
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
  // Input bits not yet taken: the low in_count bits of in_bits, earliest
  // first. A byte is read only when a bit is needed and none is left.
  std::uint32_t in_bits = 0;
  std::uint32_t in_count = 0;

  // Reads the first two stream bytes.
  CODEC_HOT void start() {
    unsigned first = stream_byte_or_ones();
    code = static_cast<std::uint16_t>(first * 256 + stream_byte_or_ones());
  }

  // The next n (0..16) bits of the stream, earliest in the highest place;
  // past the end of the input every bit is 1.
  CODEC_HOT unsigned take_bits(unsigned n) {
    std::uint32_t bits = in_bits, count = in_count;
    while (count < n) {
      bits = (bits << 8) | stream_byte_or_ones();
      count += 8;
    }
    count -= n;
    in_bits = bits & ((1u << count) - 1);
    in_count = count;
    return (bits >> count) & ((1u << n) - 1);
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
