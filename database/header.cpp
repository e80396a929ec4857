#include "database/header.h"

#include "database/format.h"

namespace database {

namespace {

constexpr std::size_t version_at = magic_length + 1;  // after the pad byte, which may be anything
constexpr std::size_t revision_at = version_at + 4;
constexpr std::size_t cookie_count_at = revision_at + 4;
constexpr std::size_t index_length_at = cookie_count_at + 4;
static_assert(index_length_at + 4 == header_length);

std::uint32_t be32_at(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
         std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

}  // namespace

DamageKind parse_header(std::span<const std::uint8_t> bytes, Header& header) {
  for (std::size_t i = 0; i < magic_length; ++i) {
    if (i >= bytes.size() || bytes[i] != static_cast<std::uint8_t>(magic[i]))
      return DamageKind::wrong_magic;
  }
  if (bytes.size() < revision_at) return DamageKind::ends_early;
  if (be32_at(bytes, version_at) != format_version) return DamageKind::incompatible;
  if (bytes.size() < cookie_count_at) return DamageKind::ends_early;
  if (be32_at(bytes, revision_at) != format_revision) return DamageKind::incompatible;
  if (bytes.size() < header_length) return DamageKind::ends_early;
  header.cookie_count = be32_at(bytes, cookie_count_at);
  header.index_length = be32_at(bytes, index_length_at);
  return header.cookie_count == 0 ? DamageKind::no_cookies : DamageKind::none;
}

}  // namespace database
