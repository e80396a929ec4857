#include "database/block_sources.h"

#include <algorithm>

#include "codec/codec.h"
#include "database/format.h"
#include "database/header.h"

namespace database {

DamageKind FileBlocks::open() {
  cookie_count = file_.cookie_count();
  index_length = file_.index_length();
  return DamageKind::none;
}

bool StreamBlocks::take(std::uint8_t* bytes, std::uint64_t count) {
  const std::size_t got = std::fread(bytes, 1, count, stream_);
  position_ += got;
  ended_ = ended_ || got < count;
  return !ended_;
}

bool StreamBlocks::skip(std::uint64_t count) {
  std::uint8_t chunk[65536];
  while (count > 0 && !ended_) {
    const std::uint64_t part = std::min<std::uint64_t>(count, sizeof chunk);
    take(chunk, part);
    count -= part;
  }
  return !ended_;
}

std::uint32_t StreamBlocks::take_be32() {
  std::uint8_t bytes[4] = {};
  take(bytes, 4);
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// The checks and their order are the reader's; the end of the stream stands
// for the end of the file, met only where the reader would measure it.
DamageKind StreamBlocks::open() {
  std::uint8_t bytes[header_length];
  take(bytes, header_length);
  Header header;
  if (const DamageKind damage = parse_header({bytes, position_}, header);
      damage != DamageKind::none)
    return damage;
  cookie_count = header.cookie_count;
  index_length = header.index_length;
  const std::uint64_t wanted =
      std::min<std::uint64_t>(block_count(cookie_count) + std::uint64_t{1}, index_length / 4);
  if (wanted > most_entries) return DamageKind::index_too_large;
  entries_.resize(wanted);
  for (std::uint32_t& entry : entries_) entry = take_be32();
  if (ended_ || !skip(index_length - 4 * wanted)) return DamageKind::index_past_end;
  return DamageKind::none;
}

// Blocks follow one another: block b starts where block b - 1 ended, or
// further on, and what lies between is passed over unread.
DamageKind StreamBlocks::read(std::uint32_t block, std::vector<std::uint8_t>& stream) {
  const std::uint64_t data_start = header_length + std::uint64_t{index_length};
  const std::uint32_t start = entries_.at(block), end = entries_.at(block + 1);
  if (end < start) return DamageKind::entries_backwards;
  if (!skip(data_start + start - position_)) return DamageKind::block_past_end;
  const std::uint32_t length = end - start;
  if (length > static_cast<std::uint32_t>(codec::input_capacity))
    return skip(length) ? DamageKind::block_too_long : DamageKind::block_past_end;
  stream.resize(length);
  return take(stream.data(), length) ? DamageKind::none : DamageKind::block_past_end;
}

std::uint64_t StreamBlocks::size() {
  while (!ended_) skip(UINT64_MAX);
  return position_;
}

}  // namespace database
