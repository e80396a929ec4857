// A codec stream from outside (a data file's block) decodes only inside the
// output bound that the input picks.
#include "fuzz_check.h"
#include "output_bound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint32_t bound = limit_output_by(data, size);
  if (codec::load_input(data, size) != codec::RunStatus::ok) return 0;
  const codec::RunStatus status = codec::decompress();
  FUZZ_CHECK((status == codec::RunStatus::ok || status == codec::RunStatus::output_overflow) &&
             codec::output_total <= bound && codec::input_remaining >= 0);
  return 0;
}
