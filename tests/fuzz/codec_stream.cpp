// A codec stream from outside (a data file's block) decodes only inside the
// output bound (picked by the first byte).
#include "fuzz_check.h"
#include "output_bound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t bound = limit_output_by(data[0]);
  if (codec::load_input(data + 1, size - 1) != codec::RunStatus::ok) return 0;
  const codec::RunStatus status = codec::decompress();
  FUZZ_CHECK((status == codec::RunStatus::ok || status == codec::RunStatus::output_overflow) &&
             codec::output_total <= bound && codec::input_remaining >= 0);
  return 0;
}
