// The data file's layout, for the reader and the writer alike: a 38-byte
// header, an index of block offsets (one entry per block and an end entry),
// then the compressed blocks. Every integer is big-endian, 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace database {

inline constexpr char magic[] = "Drollbox fortune file";  // no terminator in the file
inline constexpr std::size_t magic_length = sizeof magic - 1;
inline constexpr std::uint8_t written_pad_byte = 0;  // any value is read
inline constexpr std::uint32_t format_version = 4;
inline constexpr std::uint32_t format_revision = 1801;
inline constexpr std::uint32_t header_length = 38;  // magic, pad byte, four integers
inline constexpr std::uint32_t index_entry_length = 4;
inline constexpr std::uint32_t cookies_per_block = 100;

// What follows every cookie of a block text: the layout the cut reads.
inline constexpr std::string_view cookie_separator = "\n%%\n";
// The viewer shows this many characters of a cookie at most.
inline constexpr std::uint32_t shown_cookie_length = 1999;
// A cookie is cut out with the line feed that ends the previous separator's
// line, so a stored cookie holds one character less.
inline constexpr std::uint32_t longest_stored_cookie = shown_cookie_length - 1;

constexpr std::uint32_t block_count(std::uint64_t cookie_count) {
  return static_cast<std::uint32_t>((cookie_count + cookies_per_block - 1) / cookies_per_block);
}

// Offset of block's index entry from the start of the file.
constexpr std::uint64_t index_entry_offset(std::uint32_t block) {
  return header_length + std::uint64_t{index_entry_length} * block;
}

// Each block's entry and the end entry.
constexpr std::uint64_t index_length_for(std::uint32_t blocks) {
  return std::uint64_t{index_entry_length} * (std::uint64_t{blocks} + 1);
}

}  // namespace database
