#include <algorithm>

#include "codec/codec.h"
#include "database/data_file.h"
#include "database/database.h"

namespace database {

namespace {

std::uint32_t block_count_of(std::uint32_t cookie_count) {
  return static_cast<std::uint32_t>((std::uint64_t{cookie_count} + cookies_per_block - 1) /
                                    cookies_per_block);
}

std::string describe(Damage damage, const char* place, std::uint32_t number) {
  close_data_file();
  if (damage == Damage::none) return {};
  if (place == nullptr) return damage_text(damage);
  return std::string(place) + " " + std::to_string(number) + ": " + damage_text(damage);
}

Damage open_and_read_header(const char* path) {
  const Damage damage = open_data_file(path);
  return damage != Damage::none ? damage : read_header();
}

// The chosen cookie (reader.cookie_number) from the open file, laid out.
std::string load_chosen_cookie() {
  const std::uint32_t number = reader.cookie_number;
  Damage damage = read_block_entries(number / cookies_per_block);
  if (damage == Damage::none) damage = read_block();
  if (damage == Damage::none) damage = cut_cookie_at(number % cookies_per_block);
  if (damage != Damage::none) return describe(damage, "cookie", number);
  close_data_file();
  lay_out_cookie();
  return {};
}

struct CookieSpan {
  const std::uint8_t* text;
  std::uint32_t length;
};

// Visits every cookie of every block in order; stops at the first damage.
template <typename Visit>
std::string walk_data_file(const char* path, Visit visit) {
  if (const Damage damage = open_and_read_header(path); damage != Damage::none)
    return describe(damage, nullptr, 0);
  const std::uint32_t blocks = block_count_of(reader.cookie_count);
  if (4 * (std::uint64_t{blocks} + 1) > reader.index_length)
    return describe(Damage::index_too_short, nullptr, 0);
  for (std::uint32_t block = 0; block < blocks; ++block) {
    Damage damage = read_block_entries(block);
    if (damage == Damage::none) damage = read_block();
    if (damage != Damage::none) return describe(damage, "block", block);
    const std::uint8_t* text = codec::output_buffer;
    const std::uint32_t length = codec::output_total;
    const std::uint32_t first = block * cookies_per_block;
    const std::uint32_t in_block =
        std::min<std::uint32_t>(cookies_per_block, reader.cookie_count - first);
    std::uint32_t start = 0;
    std::uint32_t search_from = 0;
    for (std::uint32_t k = 0; k < in_block; ++k) {
      if (k > 0) {
        const std::uint32_t separator = next_separator(text, length, search_from);
        if (separator == length) return describe(Damage::missing_separator, "cookie", first + k);
        start = separator + 2;
        search_from = separator + 1;
      }
      std::uint32_t end = 0;
      if (const Damage cut = find_cookie_end(text, length, start, end); cut != Damage::none) {
        return describe(cut, "cookie", first + k);
      }
      visit(k, CookieSpan{text + start, end - start});
    }
  }
  close_data_file();
  return {};
}

}  // namespace

std::string read_summary(const char* path, DataFileSummary& summary) {
  const Damage damage = open_and_read_header(path);
  if (damage != Damage::none) return describe(damage, nullptr, 0);
  summary.cookie_count = reader.cookie_count;
  summary.block_count = block_count_of(reader.cookie_count);
  summary.index_length = reader.index_length;
  summary.file_size = reader.file_size;
  close_data_file();
  return {};
}

std::string load_cookie(std::uint32_t number) {
  if (const Damage damage = open_and_read_header(reader.file_name); damage != Damage::none) {
    return describe(damage, nullptr, 0);
  }
  if (number >= reader.cookie_count) return describe(Damage::no_such_cookie, "cookie", number);
  reader.cookie_number = number;
  return load_chosen_cookie();
}

std::string load_random_cookie() {
  if (const Damage damage = open_and_read_header(reader.file_name); damage != Damage::none) {
    return describe(damage, nullptr, 0);
  }
  if (!choice.seeded) {
    seed_random();
    choice.seeded = true;
  }
  choose_cookie_number();
  return load_chosen_cookie();
}

std::string read_all_cookies(const char* path, std::vector<std::string>& cookies) {
  cookies.clear();
  return walk_data_file(path, [&](std::uint32_t k, CookieSpan cookie) {
    std::string text(reinterpret_cast<const char*>(cookie.text), cookie.length);
    // After a separator the block text has the LF that ended the separator's line.
    if (k > 0 && !text.empty() && text.front() == '\n') text.erase(0, 1);
    cookies.push_back(std::move(text));
  });
}

std::string verify_data_file(const char* path) {
  return walk_data_file(path, [](std::uint32_t, CookieSpan) {});
}

}  // namespace database
