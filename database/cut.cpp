#include <algorithm>
#include <cstring>

#include "codec/codec.h"
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

DamageKind find_cookie_end(const std::uint8_t* text, std::uint32_t length, std::uint32_t start,
                           std::uint32_t& end) {
  for (end = start; end < length; ++end) {
    if (is_percent(text, length, end) || is_percent(text, length, end + 1)) return DamageKind::none;
  }
  return DamageKind::missing_separator;
}

// Every separator is seen once, when its second "%" is written, so that the
// count runs as cut_cookie's scan counts (overlapping ones included).
bool CookieEndWatch::cookie_complete(const std::uint8_t* text, std::uint32_t length) {
  const std::uint32_t newest = length - 1;
  if (separators_ == k_) return newest >= start_;
  if (newest > 0 && text[newest - 1] == percent && ++separators_ == k_) start_ = length;
  return false;
}

DamageKind cut_cookie(std::uint32_t k) {
  const std::uint8_t* text = codec::output_buffer;
  const std::uint32_t length = codec::output_total;
  choice.cookie_text[0] = '\0';
  std::uint32_t start = 0;
  for (std::uint32_t found = 0; found < k; ++found) {
    const std::uint32_t separator = next_separator(text, length, found == 0 ? 0 : start - 1);
    if (separator == length) return DamageKind::missing_separator;
    start = separator + 2;
  }
  std::uint32_t end = 0;
  if (const DamageKind damage = find_cookie_end(text, length, start, end);
      damage != DamageKind::none)
    return damage;
  const std::uint32_t kept = std::min<std::uint32_t>(end - start, cookie_capacity - 1);
  std::memcpy(choice.cookie_text, text + start, kept);
  choice.cookie_text[kept] = '\0';
  return DamageKind::none;
}

}  // namespace database
