#include "codec/model.h"

namespace codec {
namespace {

// Park and Miller's minimal standard generator, seed 10, by Schrage's method
// so that no product leaves 32 signed bits. The table never changes, so the
// compiler builds it once instead of every run building it again.
constexpr std::array<std::uint16_t, HASH_BUCKETS> build_random_table() {
  std::array<std::uint16_t, HASH_BUCKETS> table{};
  std::int32_t x = 10;
  for (auto& entry : table) {
    std::int32_t q = x / 127773;
    std::int32_t r = x % 127773;
    x = 16807 * r - 2836 * q;
    if (x <= 0) x += 2147483647;
    entry = static_cast<std::uint16_t>(x & 0x3FFF);
  }
  return table;
}

}  // namespace

constexpr std::array<std::uint16_t, HASH_BUCKETS> random_table = build_random_table();

}  // namespace codec
