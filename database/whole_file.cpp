#include <algorithm>
#include <string_view>

#include "codec/codec.h"
#include "database/block_sources.h"
#include "database/database.h"
#include "database/ordered_workers.h"

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

// The cookies of the block text in the calling thread's output area, up to
// the first that does not cut.
void cut_block(WalkedBlock& block, std::uint32_t cookie_count) {
  const std::uint8_t* text = codec::output_buffer;
  const std::uint32_t length = codec::output_total;
  const std::uint32_t first = block.number * cookies_per_block;
  const std::uint32_t in_block = std::min<std::uint32_t>(cookies_per_block, cookie_count - first);
  std::uint32_t start = 0;
  std::uint32_t search_from = 0;
  for (std::uint32_t k = 0; k < in_block; ++k) {
    const Damage at_cookie{DamageKind::missing_separator, Damage::Where::cookie, first + k};
    if (k > 0) {
      const std::uint32_t separator = next_separator(text, length, search_from);
      if (separator == length) {
        block.damage = at_cookie;
        return;
      }
      start = separator + 2;
      search_from = separator + 1;
    }
    std::uint32_t end = 0;
    if (find_cookie_end(text, length, start, end) != DamageKind::none) {
      block.damage = at_cookie;
      return;
    }
    // After a separator the block text has the LF that ended the separator's line.
    const std::uint32_t skip = k > 0 && end > start && text[start] == '\n' ? 1 : 0;
    block.cookies.emplace_back(reinterpret_cast<const char*>(text + start + skip),
                               end - start - skip);
  }
}

void decode_block(WalkedBlock& block, const std::vector<std::uint8_t>& stream,
                  std::uint32_t cookie_count, const BlockWalk& walk) {
  codec::load_input(stream.data(), stream.size());
  const DamageKind damage = decode_block_stream();
  block.compressed_length = static_cast<std::uint32_t>(stream.size());
  block.text_length = codec::output_total;
  if (damage != DamageKind::none) {
    block.damage = {damage, Damage::Where::block, block.number};
    return;
  }
  if (walk.cut_cookies) cut_block(block, cookie_count);
  if (walk.work) walk.work(block);
}

Damage walk_source(BlockSource& source, const BlockWalk& walk, DataFileSummary* summary) {
  if (const DamageKind damage = source.open(); damage != DamageKind::none) return in_file(damage);
  const std::uint32_t cookie_count = source.cookie_count;
  const std::uint32_t blocks = block_count(cookie_count);
  if (index_length_for(blocks) > source.index_length) return in_file(DamageKind::index_too_short);

  // One block gains nothing from another thread.
  const unsigned workers = blocks > 1 ? worker_count() : 0;
  std::vector<WalkedBlock> slots(OrderedWorkers::window_for(workers));
  std::vector<std::vector<std::uint8_t>> streams(slots.size());
  OrderedWorkers pool(workers);  // after the slots its tasks use, so it ends first
  Damage found;
  bool stop = false;
  const auto take_oldest = [&] {
    WalkedBlock& block = slots[pool.oldest_slot()];
    pool.take_oldest();
    stop = !walk.take(block) || block.damage;
    found = block.damage;
  };
  for (std::uint32_t number = 0; number < blocks && !stop; ++number) {
    if (pool.full()) take_oldest();
    if (stop) break;
    const unsigned slot = pool.next_slot();
    WalkedBlock& block = slots[slot];
    block = WalkedBlock{};
    block.number = number;
    if (const DamageKind damage = source.read(number, streams[slot]); damage != DamageKind::none) {
      block.damage = {damage, Damage::Where::block, number};
      pool.give([] {});
      break;
    }
    pool.give([&, slot] { decode_block(slots[slot], streams[slot], cookie_count, walk); });
  }
  while (!stop && !pool.empty()) take_oldest();
  if (!found && summary) {
    summary->cookie_count = cookie_count;
    summary->block_count = blocks;
    summary->index_length = source.index_length;
    summary->file_size = source.size();
  }
  return found;
}

}  // namespace

Damage walk_blocks(const char* path, const BlockWalk& walk, DataFileSummary* summary) {
  if (std::string_view(path) == standard_input) return walk_stream(stdin, walk, summary);
  FileBlocks source(path);
  return walk_source(source, walk, summary);
}

Damage walk_stream(std::FILE* stream, const BlockWalk& walk, DataFileSummary* summary) {
  StreamBlocks source(stream);
  return walk_source(source, walk, summary);
}

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
  return walk_blocks(path, {true, nullptr, [&](WalkedBlock& block) {
                              for (std::string& cookie : block.cookies)
                                if (!take(std::move(cookie))) return false;
                              return true;
                            }});
}

Damage verify_data_file(const char* path) {
  return walk_blocks(path, {true, nullptr, [](WalkedBlock&) { return true; }});
}

}  // namespace database
