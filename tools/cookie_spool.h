// The cookies of a pack, kept in a temporary file rather than in memory:
// memory holds each one's block text size (what a plan needs) and where
// every hundredth lies, so that any can be read back by its number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/input.h"

namespace tools {

class CookieSpool {
 public:
  // False, and reason says why, when the file cannot be made.
  bool open(std::string& reason) { return file_.open(reason); }
  // False once a write has failed.
  bool add(const std::string& cookie);
  bool flush();
  std::uint32_t count() const { return static_cast<std::uint32_t>(sizes_.size()); }
  const std::vector<std::uint32_t>& sizes() const { return sizes_; }
  // Cookie number; cheapest when read in their order.
  std::string read(std::uint32_t number);

 private:
  ScratchFile file_;
  std::vector<std::uint32_t> sizes_;
  std::vector<std::uint64_t> hundreds_;  // offset of cookie 100 * i
  std::uint64_t end_ = 0;                // where the next is written
  std::uint64_t at_ = UINT64_MAX;        // where the next read starts without a seek
  bool writing_ = true;
  bool failed_ = false;
};

}  // namespace tools
