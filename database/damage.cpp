#include "database/damage.h"

#include "codec/codec.h"

namespace database {

namespace {

const char* block_too_long_text() {
  static const std::string text =
      "a block is longer than " + std::to_string(codec::input_capacity) + " bytes";
  return text.c_str();
}

const char* text_too_long_text() {
  static const std::string text =
      "a block decompresses to more than " + std::to_string(codec::output_capacity) + " bytes";
  return text.c_str();
}

}  // namespace

const char* damage_text(DamageKind kind) {
  switch (kind) {
    case DamageKind::none:
      return "";
    case DamageKind::cannot_open:
      return "the file cannot be opened";
    case DamageKind::wrong_magic:
      return "not a Drollbox data file (magic differs)";
    case DamageKind::incompatible:
      return "incompatible format version or revision";
    case DamageKind::ends_early:
      return "the file ends early";
    case DamageKind::no_cookies:
      return "the cookie count is 0";
    case DamageKind::index_too_short:
      return "the index lacks entries the cookies need";
    case DamageKind::index_past_end:
      return "the index runs past the end of the file";
    case DamageKind::entries_backwards:
      return "index entries run backwards";
    case DamageKind::block_past_end:
      return "a block runs past the end of the file";
    case DamageKind::block_too_long:
      return block_too_long_text();
    case DamageKind::text_too_long:
      return text_too_long_text();
    case DamageKind::out_of_memory:
      return "no memory for the codec's tables";
    case DamageKind::missing_separator:
      return "a block ends before a cookie's separator";
    case DamageKind::no_such_cookie:
      return "no cookie with that number";
    case DamageKind::index_too_large:
      return "the index is too large to read from standard input";
  }
  return "unknown damage";
}

std::string describe(const Damage& damage) {
  const char* text = damage_text(damage.kind);
  switch (damage.where) {
    case Damage::Where::file:
      return text;
    case Damage::Where::block:
      return "block " + std::to_string(damage.number) + ": " + text;
    case Damage::Where::cookie:
      return "cookie " + std::to_string(damage.number) + ": " + text;
  }
  return text;
}

}  // namespace database
