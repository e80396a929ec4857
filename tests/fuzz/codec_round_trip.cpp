// Any text the input area holds compresses into a stream that decodes back
// to exactly that text, reading the stream to its last byte; a text longer
// than the output bound that the input picks overflows and leaves nothing.
#include "fuzz_check.h"
#include "output_bound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using codec::RunStatus, codec::output_buffer, codec::output_total;
  const std::uint32_t bound = limit_output_by(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (codec::load_input(data, size) != RunStatus::ok) return 0;
  if (codec::compress() != RunStatus::ok || output_total > codec::input_capacity) return 0;
  const std::string stream(reinterpret_cast<char*>(output_buffer), output_total);
  codec::load_input(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  const RunStatus status = codec::decompress();
  if (text.size() > bound)
    return FUZZ_CHECK(status == RunStatus::output_overflow && output_total == 0), 0;
  FUZZ_CHECK(status == RunStatus::ok && codec::input_remaining == 0);
  FUZZ_CHECK(std::string_view(reinterpret_cast<char*>(output_buffer), output_total) == text);
  return 0;
}
