// The cookie codec's public face: the two byte areas with their counters and
// the drivers. Callers fill input_buffer, set input_remaining and
// input_position, run a driver and read output_buffer[0 .. output_total).
// Every thread has its own areas and model, so threads may run at once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace codec {

inline constexpr std::int32_t input_capacity = 32767;
inline constexpr std::int32_t output_capacity = 32769;

extern thread_local std::uint8_t input_buffer[input_capacity];
extern thread_local std::int32_t input_remaining;
extern thread_local std::uint32_t input_position;
extern thread_local std::uint8_t output_buffer[output_capacity];
extern thread_local std::uint32_t output_length;
extern thread_local std::uint32_t output_total;

// How a run ended. Only ok leaves a complete result in output_buffer.
enum class RunStatus {
  ok,
  input_too_long,   // more than input_capacity bytes handed in; nothing written
  output_overflow,  // the run would have written past output_buffer: a damaged stream
  out_of_memory,    // the model's tables could not be obtained
};

// The line whoever ran the codec writes to the standard output (flushed, so
// that it stays in order with what went before) when a run ends out_of_memory.
inline constexpr char out_of_memory_line[] =
    "Error: Had problems allocating a few bytes of memory :-(\n";

// Lets a caller end a decompression once the text so far is all it needs:
// after each written byte equal to `byte`, enough(output_buffer,
// output_length, context) is asked. A stopped run is ok and leaves the text
// so far in output_buffer[0 .. output_total).
struct StopRule {
  std::uint8_t byte = 0;
  bool (*enough)(const std::uint8_t* text, std::uint32_t length, void* context) = nullptr;
  void* context = nullptr;
};

RunStatus compress();
RunStatus decompress();
RunStatus decompress_until(const StopRule& rule);

// Caps what a run may write to output_buffer (never above output_capacity);
// a run that would write more ends with output_overflow. Fuzzing lowers it so
// that a damaged stream ends soon; every other caller keeps the capacity.
void limit_output(std::uint32_t bytes);

// Loads text (or a stream) into input_buffer and sets the counters;
// input_too_long when it does not fit, and then nothing is changed.
RunStatus load_input(const std::uint8_t* bytes, std::size_t length);

// The calling thread's model tables, kept from its first run for its later
// ones, go back; a thread that ran the codec calls this before it ends.
void release_model();

}  // namespace codec
