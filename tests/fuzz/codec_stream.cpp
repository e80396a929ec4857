// A codec stream from outside (a data file's block) decodes only inside the
// output area.
#include "codec/codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (codec::load_input(data, size) != codec::RunStatus::ok) return 0;
  const codec::RunStatus status = codec::decompress();
  FUZZ_CHECK((status == codec::RunStatus::ok || status == codec::RunStatus::output_overflow) &&
             codec::output_total <= codec::output_capacity && codec::input_remaining >= 0);
  return 0;
}
