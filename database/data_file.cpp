#include "database/data_file.h"

#include <utility>

#include "codec/codec.h"
#include "database/cut.h"
#include "database/format.h"
#include "database/header.h"

namespace database {

OpenedDataFile DataFile::open(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return {std::nullopt, {DamageKind::cannot_open}};
  DataFile opened(file);
  if (!opened.measure()) return {std::nullopt, {DamageKind::cannot_open}};
  if (const DamageKind damage = opened.read_header(); damage != DamageKind::none)
    return {std::nullopt, {damage}};
  return {std::move(opened), {}};
}

int DataFile::read_byte() {
  const int byte = std::fgetc(file_.get());
  if (byte == EOF) ran_past_end_ = true;
  return byte;
}

std::uint32_t DataFile::read_be32() {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const int byte = read_byte();
    value = (value << 8) | static_cast<std::uint32_t>(byte == EOF ? 0 : byte);
  }
  return value;
}

// Offsets are checked against the file size before any seek, so they fit a long.
bool DataFile::seek_to(std::uint64_t offset) {
  return std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0;
}

bool DataFile::measure() {
  // A folder opens on some systems, then fails its first read.
  const int first = std::fgetc(file_.get());
  if (first == EOF && std::ferror(file_.get())) return false;
  if (std::fseek(file_.get(), 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file_.get());
  if (size < 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0) return false;
  file_size_ = static_cast<std::uint64_t>(size);
  return true;
}

std::uint64_t DataFile::data_area_start() const {
  return header_length + std::uint64_t{index_length_};
}

DamageKind DataFile::read_header() {
  std::uint8_t bytes[header_length];
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, file_.get());
  Header header;
  if (const DamageKind damage = parse_header({bytes, got}, header); damage != DamageKind::none)
    return damage;
  cookie_count_ = header.cookie_count;
  index_length_ = header.index_length;
  if (data_area_start() > file_size_) return DamageKind::index_past_end;
  return DamageKind::none;
}

DamageKind DataFile::read_block(std::uint32_t block, std::vector<std::uint8_t>& stream) {
  const std::uint64_t entry_offset = index_entry_offset(block);
  if (entry_offset + 2 * index_entry_length > data_area_start()) return DamageKind::index_too_short;
  if (!seek_to(entry_offset)) return DamageKind::ends_early;
  const std::uint32_t start = read_be32();
  const std::uint32_t end = read_be32();
  if (ran_past_end_) return DamageKind::ends_early;
  if (end < start) return DamageKind::entries_backwards;
  if (data_area_start() + end > file_size_) return DamageKind::block_past_end;
  const std::uint32_t length = end - start;
  if (length > static_cast<std::uint32_t>(codec::input_capacity)) return DamageKind::block_too_long;
  if (!seek_to(data_area_start() + start)) return DamageKind::ends_early;
  stream.resize(length);
  if (std::fread(stream.data(), 1, length, file_.get()) < length) ran_past_end_ = true;
  return ran_past_end_ ? DamageKind::ends_early : DamageKind::none;
}

DamageKind decode_loaded_block(bool (*enough)(const std::uint8_t* text, std::uint32_t length,
                                              void* context),
                               void* context) {
  switch (codec::decompress_until({'%', enough, context})) {
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

Damage DataFile::read_cookie(std::uint32_t number, std::string& cookie) {
  struct Watch {
    CookieScan scan;
    std::uint32_t k;
  } watch{{}, number % cookies_per_block};
  const auto complete = [](const std::uint8_t* text, std::uint32_t length, void* context) {
    auto* watched = static_cast<Watch*>(context);
    return watched->scan.reach(text, length, watched->k);
  };
  std::vector<std::uint8_t> stream;
  DamageKind damage = read_block(number / cookies_per_block, stream);
  if (damage == DamageKind::none) {
    codec::load_input(stream.data(), stream.size());
    damage = decode_loaded_block(complete, &watch);
  }
  if (damage == DamageKind::none)
    damage = cut_cookie(codec::output_buffer, codec::output_total, watch.k, cookie, watch.scan);
  if (damage == DamageKind::none) return {};
  return {damage, Damage::Where::cookie, number};
}

}  // namespace database
