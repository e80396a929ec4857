// Any text the input area holds compresses into a stream that decodes back
// to exactly that text, reading the stream to its last byte.
#include "codec/codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using codec::RunStatus, codec::output_buffer, codec::output_total;
  if (codec::load_input(data, size) != RunStatus::ok) return 0;
  if (codec::compress() != RunStatus::ok || output_total > codec::input_capacity) return 0;
  const std::string stream(reinterpret_cast<char*>(output_buffer), output_total);
  codec::load_input(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size());
  FUZZ_CHECK(codec::decompress() == RunStatus::ok && codec::input_remaining == 0);
  FUZZ_CHECK(std::string_view(reinterpret_cast<char*>(output_buffer), output_total) ==
             std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
