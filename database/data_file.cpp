#include <string>

#include "codec/codec.h"
#include "database/database.h"

namespace database {

Reader reader;
Choice choice;

namespace {

int read_byte() {
  const int byte = std::fgetc(reader.file);
  if (byte == EOF) reader.ran_past_end = true;
  return byte;
}

// Offsets are checked against the file size before any seek, so they fit a long.
bool seek_to(std::uint64_t offset) {
  return std::fseek(reader.file, static_cast<long>(offset), SEEK_SET) == 0;
}

bool measure_file() {
  // A folder opens on some systems, then fails its first read.
  const int first = std::fgetc(reader.file);
  if (first == EOF && std::ferror(reader.file)) return false;
  if (std::fseek(reader.file, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(reader.file);
  if (size < 0 || std::fseek(reader.file, 0, SEEK_SET) != 0) return false;
  reader.file_size = static_cast<std::uint64_t>(size);
  return true;
}

std::uint64_t data_area_start() {
  return header_length + std::uint64_t{reader.index_length};
}

DamageKind check_magic() {
  for (std::size_t i = 0; i < magic_length; ++i) {
    if (read_byte() != static_cast<unsigned char>(magic[i])) return DamageKind::wrong_magic;
  }
  read_byte();  // the pad byte: any value will do
  return reader.ran_past_end ? DamageKind::ends_early : DamageKind::none;
}

DamageKind check_format() {
  const std::uint32_t version = read_be32();
  if (reader.ran_past_end) return DamageKind::ends_early;
  if (version != format_version) return DamageKind::incompatible;
  const std::uint32_t revision = read_be32();
  if (reader.ran_past_end) return DamageKind::ends_early;
  if (revision != format_revision) return DamageKind::incompatible;
  return DamageKind::none;
}

}  // namespace

std::uint32_t read_be32() {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const int byte = read_byte();
    value = (value << 8) | static_cast<std::uint32_t>(byte == EOF ? 0 : byte);
  }
  return value;
}

DamageKind open_data_file(const char* path) {
  close_data_file();
  reader.ran_past_end = false;
  reader.file = std::fopen(path, "rb");
  if (reader.file == nullptr) return DamageKind::cannot_open;
  return measure_file() ? DamageKind::none : DamageKind::cannot_open;
}

void close_data_file() {
  if (reader.file != nullptr) std::fclose(reader.file);
  reader.file = nullptr;
}

DamageKind read_header() {
  if (const DamageKind damage = check_magic(); damage != DamageKind::none) return damage;
  if (const DamageKind damage = check_format(); damage != DamageKind::none) return damage;
  reader.cookie_count = read_be32();
  reader.index_length = read_be32();
  if (reader.ran_past_end) return DamageKind::ends_early;
  if (reader.cookie_count == 0) return DamageKind::no_cookies;
  if (data_area_start() > reader.file_size) return DamageKind::index_past_end;
  return DamageKind::none;
}

DamageKind read_block_entries(std::uint32_t block) {
  const std::uint64_t entry_offset = index_entry_offset(block);
  if (entry_offset + 2 * index_entry_length > data_area_start()) return DamageKind::index_too_short;
  if (!seek_to(entry_offset)) return DamageKind::ends_early;
  reader.block_start = read_be32();
  const std::uint32_t block_end = read_be32();
  if (reader.ran_past_end) return DamageKind::ends_early;
  if (block_end < reader.block_start) return DamageKind::entries_backwards;
  reader.block_length = block_end - reader.block_start;
  if (data_area_start() + block_end > reader.file_size) return DamageKind::block_past_end;
  return DamageKind::none;
}

DamageKind read_block_stream() {
  if (reader.block_length > static_cast<std::uint32_t>(codec::input_capacity))
    return DamageKind::block_too_long;
  if (!seek_to(data_area_start() + reader.block_start)) return DamageKind::ends_early;
  for (std::uint32_t i = 0; i < reader.block_length; ++i) {
    codec::input_buffer[i] = static_cast<std::uint8_t>(read_byte());
  }
  if (reader.ran_past_end) return DamageKind::ends_early;
  codec::input_remaining = static_cast<std::int32_t>(reader.block_length);
  codec::input_position = 0;
  return DamageKind::none;
}

namespace {

DamageKind decode_input(const codec::StopRule& rule) {
  switch (codec::decompress_until(rule)) {
    case codec::RunStatus::ok:
      return DamageKind::none;
    case codec::RunStatus::input_too_long:
      return DamageKind::block_too_long;
    case codec::RunStatus::output_overflow:
      return DamageKind::text_too_long;
    case codec::RunStatus::out_of_memory:
      return DamageKind::out_of_memory;
  }
  return DamageKind::text_too_long;
}

DamageKind decompress_block(const codec::StopRule& rule) {
  const DamageKind damage = read_block_stream();
  return damage != DamageKind::none ? damage : decode_input(rule);
}

}  // namespace

DamageKind decode_block_stream() {
  return decode_input({});
}

DamageKind read_block() {
  return decompress_block({});
}

DamageKind read_block_through_cookie(std::uint32_t k) {
  CookieEndWatch watch(k);
  const auto complete = [](const std::uint8_t* text, std::uint32_t length, void* context) {
    return static_cast<CookieEndWatch*>(context)->cookie_complete(text, length);
  };
  return decompress_block({'%', complete, &watch});
}

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
      return "a block is longer than 32767 bytes";
    case DamageKind::text_too_long:
      return "a block decompresses to more than 32769 bytes";
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
