// The arithmetic coder's registers and operations, and the byte-area
// primitives beneath them. Internal to the codec and its tests.
#pragma once

#include <cstdint>

#include "codec/codec.h"

namespace codec {

// Test hook: sees every (low_count, high_count, total) handed to the coder.
using CoderEventHook = void (*)(std::uint16_t low_count, std::uint16_t high_count,
                                std::uint16_t total);

struct Coder {
  std::uint16_t low = 0;
  std::uint16_t high = 0xFFFF;
  std::uint16_t pending_bits = 0;
  std::uint16_t out_bits = 1;
  std::uint16_t code = 0;
  // Input bits not yet taken: the low in_count bits of in_bits, earliest
  // first. A byte is read only when a bit is needed and none is left.
  std::uint32_t in_bits = 0;
  std::uint32_t in_count = 0;
  // Set by write_output_byte when output_buffer is full; the byte is dropped.
  bool output_overflow = false;
  CoderEventHook event_hook = nullptr;
};

extern Coder coder;

// True when input_position and input_remaining describe bytes that lie
// wholly inside input_buffer; a run checks this once before it reads.
bool input_fits();
int read_input_byte();
// False (and nothing stored) once output_buffer is full.
bool write_output_byte(std::uint8_t byte);
void commit_output();

void encoder_start();
void encode_range(std::uint16_t low_count, std::uint16_t high_count, std::uint16_t total);
void encoder_finish();

void decoder_start();
std::uint16_t decode_target(std::uint16_t total);
void decode_range(std::uint16_t low_count, std::uint16_t high_count, std::uint16_t total);

}  // namespace codec
