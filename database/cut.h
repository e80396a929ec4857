// Where the cookies of a block text lie. A separator is two "%" side by side
// (so "%%%" holds two); cookie k starts after the k-th separator and ends
// before the first "%" from its start on, without the character just before
// that "%" (the line feed of the separator's line). The scan is fed the text
// as it grows, so one pass serves a decode that stops once its cookie is
// complete, the cut of that cookie and the cut of a whole block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/damage.h"

namespace database {

class CookieScan {
 public:
  // True once cookie k's end is in text[0, length), from where on no later
  // byte changes its cut. The text only grows between calls, k never shrinks.
  bool reach(const std::uint8_t* text, std::uint32_t length, std::uint32_t k);
  // The bounds of the cookie reach last found.
  std::uint32_t start() const { return start_; }
  std::uint32_t end() const { return end_; }

 private:
  bool pass_separator(const std::uint8_t* text, std::uint32_t length);
  bool find_end(const std::uint8_t* text, std::uint32_t length);

  std::uint32_t separators_ = 0;
  std::uint32_t separator_from_ = 0;  // where the next separator may start
  std::uint32_t start_ = 0;           // of cookie separators_
  std::uint32_t end_from_ = 0;        // where its ending "%" may be
  std::uint32_t end_ = 0;
  bool ended_ = false;
};

// Cookie k of a block text as the viewer shows it: the line feed after its
// separator kept, cut at shown_cookie_length characters. A scan that followed
// the text's decoding goes on from where it stopped.
DamageKind cut_cookie(const std::uint8_t* text, std::uint32_t length, std::uint32_t k,
                      std::string& cookie, CookieScan scan = {});
// The first count cookies of a block text, as the writer was given them, up
// to the first that does not cut: the number within the block of that one,
// or count when all cut.
std::uint32_t cut_cookies(const std::uint8_t* text, std::uint32_t length, std::uint32_t count,
                          std::vector<std::string>& cookies);

}  // namespace database
