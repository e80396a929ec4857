#include "database/cut.h"

#include <algorithm>

#include "database/format.h"

namespace database {

namespace {

constexpr std::uint8_t percent = '%';

}  // namespace

bool CookieScan::pass_separator(const std::uint8_t* text, std::uint32_t length) {
  for (std::uint32_t i = separator_from_; i + 1 < length; ++i) {
    if (text[i] == percent && text[i + 1] == percent) {
      ++separators_;
      separator_from_ = i + 1;
      start_ = end_from_ = i + 2;
      ended_ = false;
      return true;
    }
  }
  if (length > separator_from_) separator_from_ = length - 1;
  return false;
}

bool CookieScan::find_end(const std::uint8_t* text, std::uint32_t length) {
  for (; !ended_ && end_from_ < length; ++end_from_) {
    if (text[end_from_] != percent) continue;
    end_ = std::max(start_, end_from_ - (end_from_ > 0 ? 1 : 0));
    ended_ = true;
  }
  return ended_;
}

bool CookieScan::reach(const std::uint8_t* text, std::uint32_t length, std::uint32_t k) {
  while (separators_ < k)
    if (!pass_separator(text, length)) return false;
  return find_end(text, length);
}

DamageKind cut_cookie(const std::uint8_t* text, std::uint32_t length, std::uint32_t k,
                      std::string& cookie, CookieScan scan) {
  if (!scan.reach(text, length, k)) return DamageKind::missing_separator;
  const std::uint32_t kept =
      std::min<std::uint32_t>(scan.end() - scan.start(), shown_cookie_length);
  cookie.assign(reinterpret_cast<const char*>(text + scan.start()), kept);
  return DamageKind::none;
}

std::uint32_t cut_cookies(const std::uint8_t* text, std::uint32_t length, std::uint32_t count,
                          std::vector<std::string>& cookies) {
  CookieScan scan;
  for (std::uint32_t k = 0; k < count; ++k) {
    if (!scan.reach(text, length, k)) return k;
    std::uint32_t start = scan.start();
    if (k > 0 && scan.end() > start && text[start] == '\n') ++start;
    cookies.emplace_back(reinterpret_cast<const char*>(text + start), scan.end() - start);
  }
  return count;
}

}  // namespace database
