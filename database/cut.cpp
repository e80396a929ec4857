#include <algorithm>
#include <cstring>

#include "codec/codec.h"
#include "database/data_file.h"
#include "database/database.h"

namespace database {

namespace {

constexpr std::uint8_t percent = '%';

// Bytes past the text are never looked at: they count as "not a percent".
bool is_percent(const std::uint8_t* text, std::uint32_t length, std::uint32_t i) {
  return i < length && text[i] == percent;
}

}  // namespace

std::uint32_t next_separator(const std::uint8_t* text, std::uint32_t length, std::uint32_t from) {
  for (std::uint32_t i = from; i < length; ++i) {
    if (text[i] == percent && is_percent(text, length, i + 1)) return i;
  }
  return length;
}

Damage find_cookie_start(const std::uint8_t* text, std::uint32_t length, std::uint32_t k,
                         std::uint32_t& start) {
  start = 0;
  for (std::uint32_t found = 0; found < k; ++found) {
    const std::uint32_t separator = next_separator(text, length, found == 0 ? 0 : start - 1);
    if (separator == length) return Damage::missing_separator;
    start = separator + 2;
  }
  return Damage::none;
}

Damage find_cookie_end(const std::uint8_t* text, std::uint32_t length, std::uint32_t start,
                       std::uint32_t& end) {
  for (end = start; end < length; ++end) {
    if (is_percent(text, length, end) || is_percent(text, length, end + 1)) return Damage::none;
  }
  return Damage::missing_separator;
}

Damage cut_cookie_at(std::uint32_t k) {
  const std::uint8_t* text = codec::output_buffer;
  const std::uint32_t length = codec::output_total;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  choice.cookie_text[0] = '\0';
  if (const Damage damage = find_cookie_start(text, length, k, start); damage != Damage::none)
    return damage;
  if (const Damage damage = find_cookie_end(text, length, start, end); damage != Damage::none)
    return damage;
  const std::uint32_t kept = std::min<std::uint32_t>(end - start, cookie_capacity - 1);
  std::memcpy(choice.cookie_text, text + start, kept);
  choice.cookie_text[kept] = '\0';
  return Damage::none;
}

void cut_cookie() {
  stop_on(cut_cookie_at(reader.cookie_number % cookies_per_block));
}

}  // namespace database
