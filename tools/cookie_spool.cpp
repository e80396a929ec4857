#include "tools/cookie_spool.h"

#include "database/format.h"
#include "tools/block_plan.h"

namespace tools {

namespace {
constexpr std::size_t separator_room = 3;  // a block text size less the cookie's stored bytes
}  // namespace

// Each cookie is stored with a zero byte after it, which no cookie holds.
bool CookieSpool::add(const std::string& cookie) {
  if (sizes_.size() % database::cookies_per_block == 0) hundreds_.push_back(end_);
  sizes_.push_back(block_text_size(cookie.size()));
  end_ += cookie.size() + 1;
  failed_ = failed_ ||
            std::fwrite(cookie.c_str(), 1, cookie.size() + 1, file_.file()) != cookie.size() + 1;
  return !failed_;
}

bool CookieSpool::flush() {
  failed_ = failed_ || std::fflush(file_.file()) != 0;
  return !failed_;
}

std::string CookieSpool::read(std::uint32_t number) {
  const std::uint32_t first = number - number % database::cookies_per_block;
  std::uint64_t offset = hundreds_[first / database::cookies_per_block];
  for (std::uint32_t i = first; i < number; ++i) offset += sizes_[i] - separator_room;
  std::string cookie(sizes_[number] - separator_room, '\0');
  if (offset != at_ || writing_) {
    writing_ = false;
    std::fflush(file_.file());
    std::fseek(file_.file(), static_cast<long>(offset), SEEK_SET);
  }
  const std::size_t got = std::fread(cookie.data(), 1, cookie.size(), file_.file());
  at_ = offset + got;
  cookie.resize(cookie.size() - 1);  // its zero byte
  return cookie;
}

}  // namespace tools
