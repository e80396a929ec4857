#include <algorithm>

#include "codec/codec.h"
#include "database/database.h"

namespace database {

namespace {

Damage in_file(DamageKind kind) {
  return {kind, Damage::Where::file, 0};
}

DamageKind open_and_read_header(const char* path) {
  const DamageKind damage = open_data_file(path);
  return damage != DamageKind::none ? damage : read_header();
}

// Closes the file on the way out, whatever was found.
Damage closing(Damage damage) {
  close_data_file();
  return damage;
}

struct CookieSpan {
  const std::uint8_t* text;
  std::uint32_t length;
};

// Visits every cookie of every block in order; stops at the first damage, or
// where visit returns false.
template <typename Visit>
Damage walk_data_file(const char* path, Visit visit) {
  if (const DamageKind damage = open_and_read_header(path); damage != DamageKind::none)
    return closing(in_file(damage));
  const std::uint32_t blocks = block_count(reader.cookie_count);
  if (index_length_for(blocks) > reader.index_length)
    return closing(in_file(DamageKind::index_too_short));
  for (std::uint32_t block = 0; block < blocks; ++block) {
    DamageKind damage = read_block_entries(block);
    if (damage == DamageKind::none) damage = read_block();
    if (damage != DamageKind::none) return closing({damage, Damage::Where::block, block});
    const std::uint8_t* text = codec::output_buffer;
    const std::uint32_t length = codec::output_total;
    const std::uint32_t first = block * cookies_per_block;
    const std::uint32_t in_block =
        std::min<std::uint32_t>(cookies_per_block, reader.cookie_count - first);
    std::uint32_t start = 0;
    std::uint32_t search_from = 0;
    for (std::uint32_t k = 0; k < in_block; ++k) {
      const Damage at_cookie{DamageKind::missing_separator, Damage::Where::cookie, first + k};
      if (k > 0) {
        const std::uint32_t separator = next_separator(text, length, search_from);
        if (separator == length) return closing(at_cookie);
        start = separator + 2;
        search_from = separator + 1;
      }
      std::uint32_t end = 0;
      if (find_cookie_end(text, length, start, end) != DamageKind::none) return closing(at_cookie);
      if (!visit(k, CookieSpan{text + start, end - start})) return closing({});
    }
  }
  return closing({});
}

}  // namespace

Damage read_summary(const char* path, DataFileSummary& summary) {
  const DamageKind damage = open_and_read_header(path);
  if (damage != DamageKind::none) return closing(in_file(damage));
  summary.cookie_count = reader.cookie_count;
  summary.block_count = block_count(reader.cookie_count);
  summary.index_length = reader.index_length;
  summary.file_size = reader.file_size;
  return closing({});
}

Damage load_cookie(const char* path, std::uint32_t number) {
  if (const DamageKind damage = open_and_read_header(path); damage != DamageKind::none)
    return closing(in_file(damage));
  const Damage at_cookie{DamageKind::no_such_cookie, Damage::Where::cookie, number};
  if (number >= reader.cookie_count) return closing(at_cookie);
  reader.cookie_number = number;
  const std::uint32_t k = number % cookies_per_block;
  DamageKind damage = read_block_entries(number / cookies_per_block);
  if (damage == DamageKind::none) damage = read_block_through_cookie(k);
  if (damage == DamageKind::none) damage = cut_cookie(k);
  return closing(damage == DamageKind::none ? Damage{} : Damage{damage, at_cookie.where, number});
}

Damage read_each_cookie(const char* path, const std::function<bool(std::string&&)>& take) {
  return walk_data_file(path, [&](std::uint32_t k, CookieSpan cookie) {
    std::string text(reinterpret_cast<const char*>(cookie.text), cookie.length);
    // After a separator the block text has the LF that ended the separator's line.
    if (k > 0 && !text.empty() && text.front() == '\n') text.erase(0, 1);
    return take(std::move(text));
  });
}

Damage verify_data_file(const char* path) {
  return walk_data_file(path, [](std::uint32_t, CookieSpan) { return true; });
}

}  // namespace database
