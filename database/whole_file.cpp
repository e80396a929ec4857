#include <algorithm>
#include <string_view>

#include "codec/codec.h"
#include "database/block_sources.h"
#include "database/cut.h"
#include "database/format.h"
#include "database/ordered_workers.h"
#include "database/walk.h"

namespace database {

namespace {

Damage in_file(DamageKind kind) {
  return {kind, Damage::Where::file, 0};
}

void decode_block(WalkedBlock& block, const std::vector<std::uint8_t>& stream,
                  std::uint32_t cookie_count, const BlockWalk& walk) {
  codec::load_input(stream.data(), stream.size());
  const DamageKind damage = decode_loaded_block();
  block.compressed_length = static_cast<std::uint32_t>(stream.size());
  block.text_length = codec::output_total;
  if (damage != DamageKind::none) {
    block.damage = {damage, Damage::Where::block, block.number};
    return;
  }
  const std::uint32_t first = block.number * cookies_per_block;
  const std::uint32_t in_block = std::min<std::uint32_t>(cookies_per_block, cookie_count - first);
  const std::uint32_t cut =
      cut_cookies(codec::output_buffer, codec::output_total, in_block, block.cookies);
  if (cut < in_block)
    block.damage = {DamageKind::missing_separator, Damage::Where::cookie, first + cut};
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

Damage walk_blocks(DataFile& file, const BlockWalk& walk, DataFileSummary* summary) {
  FileBlocks source(file);
  return walk_source(source, walk, summary);
}

Damage walk_stream(std::FILE* stream, const BlockWalk& walk, DataFileSummary* summary) {
  StreamBlocks source(stream);
  return walk_source(source, walk, summary);
}

Damage walk_data_file(const char* path, const BlockWalk& walk, DataFileSummary* summary) {
  if (std::string_view(path) == standard_input) return walk_stream(stdin, walk, summary);
  OpenedDataFile opened = DataFile::open(path);
  if (!opened.file) return opened.damage;
  return walk_blocks(*opened.file, walk, summary);
}

Damage read_each_cookie(const char* path, const std::function<bool(std::string&&)>& take) {
  return walk_data_file(path, {nullptr, [&](WalkedBlock& block) {
                                 for (std::string& cookie : block.cookies)
                                   if (!take(std::move(cookie))) return false;
                                 return true;
                               }});
}

Damage verify_data_file(const char* path) {
  return walk_data_file(path, {nullptr, [](WalkedBlock&) { return true; }});
}

Damage load_cookie(const char* path, std::uint32_t number, std::string& cookie) {
  OpenedDataFile opened = DataFile::open(path);
  if (!opened.file) return opened.damage;
  if (number >= opened.file->cookie_count())
    return {DamageKind::no_such_cookie, Damage::Where::cookie, number};
  return opened.file->read_cookie(number, cookie);
}

}  // namespace database
