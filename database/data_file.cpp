#include "codec/codec.h"
#include "database/data_file.h"
#include "database/database.h"

namespace database {

namespace {

constexpr char magic[] = "Drollbox fortune file";
constexpr int magic_length = 21;
constexpr std::uint32_t format_version = 4;
constexpr std::uint32_t format_revision = 1801;

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

Damage check_magic() {
  for (int i = 0; i < magic_length; ++i) {
    if (read_byte() != static_cast<unsigned char>(magic[i])) return Damage::wrong_magic;
  }
  read_byte();  // the pad byte: any value will do
  return reader.ran_past_end ? Damage::ends_early : Damage::none;
}

Damage check_format() {
  const std::uint32_t version = read_be32();
  if (reader.ran_past_end) return Damage::ends_early;
  if (version != format_version) return Damage::incompatible;
  const std::uint32_t revision = read_be32();
  if (reader.ran_past_end) return Damage::ends_early;
  if (revision != format_revision) return Damage::incompatible;
  return Damage::none;
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

Damage open_data_file(const char* path) {
  close_data_file();
  reader.ran_past_end = false;
  reader.file = std::fopen(path, "rb");
  if (reader.file == nullptr) return Damage::cannot_open;
  return measure_file() ? Damage::none : Damage::cannot_open;
}

void close_data_file() {
  if (reader.file != nullptr) std::fclose(reader.file);
  reader.file = nullptr;
}

Damage read_header() {
  if (const Damage damage = check_magic(); damage != Damage::none) return damage;
  if (const Damage damage = check_format(); damage != Damage::none) return damage;
  reader.cookie_count = read_be32();
  reader.index_length = read_be32();
  if (reader.ran_past_end) return Damage::ends_early;
  if (reader.cookie_count == 0) return Damage::no_cookies;
  if (data_area_start() > reader.file_size) return Damage::index_past_end;
  return Damage::none;
}

Damage read_block_entries(std::uint32_t block) {
  const std::uint64_t entry_offset = 4 * std::uint64_t{block};
  if (entry_offset + 8 > reader.index_length) return Damage::index_too_short;
  if (!seek_to(header_length + entry_offset)) return Damage::ends_early;
  reader.block_start = read_be32();
  const std::uint32_t block_end = read_be32();
  if (reader.ran_past_end) return Damage::ends_early;
  if (block_end < reader.block_start) return Damage::entries_backwards;
  reader.block_length = block_end - reader.block_start;
  if (data_area_start() + block_end > reader.file_size) return Damage::block_past_end;
  return Damage::none;
}

Damage read_block() {
  if (reader.block_length > static_cast<std::uint32_t>(codec::input_capacity))
    return Damage::block_too_long;
  if (!seek_to(data_area_start() + reader.block_start)) return Damage::ends_early;
  for (std::uint32_t i = 0; i < reader.block_length; ++i) {
    codec::input_buffer[i] = static_cast<std::uint8_t>(read_byte());
  }
  if (reader.ran_past_end) return Damage::ends_early;
  codec::input_remaining = static_cast<std::int32_t>(reader.block_length);
  codec::input_position = 0;
  switch (codec::run_decompressor()) {
    case codec::RunStatus::ok:
      return Damage::none;
    case codec::RunStatus::input_too_long:
      return Damage::block_too_long;
    case codec::RunStatus::output_overflow:
      return Damage::text_too_long;
    case codec::RunStatus::out_of_memory:
      return Damage::out_of_memory;
  }
  return Damage::text_too_long;
}

void pick_cookie() {
  stop_on(open_data_file(reader.file_name));
  stop_on(read_header());
  choose_cookie_number();
  stop_on(read_block_entries(reader.cookie_number / cookies_per_block));
}

void load_block() {
  stop_on(read_block());
  cut_cookie();
  close_data_file();
}

}  // namespace database
