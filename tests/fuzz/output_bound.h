// The first byte of a codec or data-file input picks the output bound of its
// runs, so that most damaged streams end after a few bytes while one input in
// eight may still fill the whole output area.
#pragma once
#include <cstdint>

#include "codec/codec.h"

inline std::uint32_t limit_output_by(std::uint8_t selector) {
  static constexpr std::uint32_t bounds[8] = {64,   64,   256,   256,
                                              1024, 4096, 16384, codec::output_capacity};
  codec::limit_output(bounds[selector % 8]);
  return bounds[selector % 8];
}
