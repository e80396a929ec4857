// Any text the input area holds compresses into a stream that decodes back
// to exactly that text, reading the stream to its last byte.
#include <algorithm>
#include <vector>

#include "codec/codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (codec::load_input(data, size) != codec::RunStatus::ok) return 0;
  const codec::RunStatus packed = codec::compress();
  FUZZ_CHECK(packed == codec::RunStatus::ok || packed == codec::RunStatus::output_overflow);
  if (packed != codec::RunStatus::ok || codec::output_total > codec::input_capacity) return 0;
  const std::vector<std::uint8_t> stream(codec::output_buffer,
                                         codec::output_buffer + codec::output_total);
  FUZZ_CHECK(codec::load_input(stream.data(), stream.size()) == codec::RunStatus::ok);
  FUZZ_CHECK(codec::decompress() == codec::RunStatus::ok);
  FUZZ_CHECK(codec::input_remaining == 0);
  FUZZ_CHECK(codec::output_total == size);
  FUZZ_CHECK(std::equal(data, data + size, codec::output_buffer));
  return 0;
}
