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
  // `code` in the top 16 bits, then the stream's next `pending` bits, which
  // a shift of the whole word moves into code; refilled whole bytes at a
  // time, 8 at once where the stream has them. Offsets into input_buffer:
  // where the stream starts, where the next refill reads, and where the
  // stream ends; past its end every bit is 1.
  std::uint64_t stream = 0;
  unsigned pending = 0;
  std::uint32_t first = 0, next = 0, end = 0;

  static constexpr unsigned CODE_BITS = 16;
  static constexpr unsigned ROOM = 64 - CODE_BITS;

  // Reads the first two stream bytes.
  CODEC_HOT void start() {
    first = next = end = input_position;
    if (input_remaining > 0) end += static_cast<std::uint32_t>(input_remaining);
    refill();
    stream <<= CODE_BITS;
    pending -= CODE_BITS;
  }

  CODEC_HOT std::uint16_t code() const { return static_cast<std::uint16_t>(stream >> ROOM); }

  // Leaves the input counters as a byte-at-a-time reader would have: every
  // byte read that held a bit taken, and no other.
  CODEC_HOT void finish() const {
    std::uint32_t taken = (next - first) * 8 - pending;
    std::uint32_t read = (taken + 7) / 8;
    if (read > end - first) read = end - first;
    input_position = first + read;
    input_remaining -= static_cast<std::int32_t>(read);
  }

  // Tops the pending bits up to at least 40. Bits below `pending` that a
  // whole-word load already placed are the stream's own next bits, so
  // loading them again changes nothing.
  CODEC_HOT void refill() {
    if (next + 8 <= end) {
      std::uint64_t word;
      std::memcpy(&word, input_buffer + next, 8);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
      stream |= word >> (CODE_BITS + pending);
      next += (ROOM - 1 - pending) >> 3;
      pending = ROOM - 8 + (pending & 7);
      return;
    }
    for (; pending <= ROOM - 8; pending += 8, ++next) {
      std::uint64_t byte = next < end ? input_buffer[next] : 0xFF;
      stream |= byte << (ROOM - 8 - pending);
    }
  }

  // The count value, below total, that the stream points at.
  CODEC_HOT std::uint16_t target(std::uint16_t total) const {
    std::uint32_t width = static_cast<std::uint32_t>(high) - low + 1;
    std::uint32_t offset = static_cast<std::uint16_t>(code() - low) + 1u;
    return static_cast<std::uint16_t>((offset * total - 1) / width);
  }

  // Narrows as the encoder did and normalises, both loops in one shift: the
  // settled bits are the leading bits where low and high agree, and the
  // straddles the following bits where low has 1 and high has 0. Of the
  // straddles' flips of code's top bit only the last one stays. No branch on
  // the counts: a shift by none leaves every register as it was.
  CODEC_HOT void take_range(std::uint16_t low_count, std::uint16_t high_count,
                            std::uint16_t total) {
    narrow(low, high, low_count, high_count, total);
    if (pending < 32) refill();  // a step takes at most 16 + 15 bits
    std::uint32_t l = low, h = high;
    auto settled = static_cast<unsigned>(std::countl_zero(static_cast<std::uint16_t>(l ^ h)));
    std::uint32_t straddling = ((l & ~h) << settled) & 0x7FFF;
    auto straddles = static_cast<unsigned>(std::countl_one(straddling << 17));
    unsigned shift = settled + straddles;
    const std::uint32_t top = straddles == 0 ? 0 : 0x8000;
    low = static_cast<std::uint16_t>((l << shift) & (0xFFFF ^ top));
    high = static_cast<std::uint16_t>((h << shift) | ((1u << shift) - 1) | top);
    stream = (stream << shift) ^ (std::uint64_t{top} << ROOM);
    pending -= shift;
  }
};

}  // namespace codec
