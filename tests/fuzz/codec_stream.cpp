// A codec stream from outside (a data file's block): decoding stays inside
// the output area, and a stream is refused before anything is decoded only
// when it does not fit the input area.
#include <cstring>

#include "codec/codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const codec::RunStatus loaded = codec::load_input(data, size);
  FUZZ_CHECK((loaded == codec::RunStatus::input_too_long) == (size > codec::input_capacity));
  if (loaded != codec::RunStatus::ok) return 0;
  FUZZ_CHECK(std::memcmp(codec::input_buffer, data, size) == 0);
  const codec::RunStatus status = codec::decompress();
  FUZZ_CHECK(status == codec::RunStatus::ok || status == codec::RunStatus::output_overflow);
  FUZZ_CHECK(codec::output_total <= static_cast<std::uint32_t>(codec::output_capacity));
  FUZZ_CHECK(codec::input_remaining >= 0);
  return 0;
}
