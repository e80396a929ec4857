#include "database/data_file_writer.h"

#include <algorithm>

#include "codec/codec.h"
#include "database/format.h"
#include "database/ordered_workers.h"

namespace database {

namespace {

constexpr std::uint32_t block_limit = static_cast<std::uint32_t>(codec::input_capacity);

void append_be32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

using Kind = WriteError::Kind;

// Compresses one block's text; the error's kind and codec status, without
// the block's number, when the stream does not fit a block.
WriteError compress_block(const std::string& text, std::vector<std::uint8_t>& stream) {
  if (text.size() > block_limit) return {Kind::text_too_long};
  codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  const codec::RunStatus status = codec::compress();
  if (status == codec::RunStatus::output_overflow ||
      (status == codec::RunStatus::ok && codec::output_total > block_limit))
    return {Kind::stream_too_long, 0, status};
  if (status != codec::RunStatus::ok) return {Kind::codec_failed, 0, status};
  stream.assign(codec::output_buffer, codec::output_buffer + codec::output_total);
  return {};
}

// The first cookie holding a "%", the layout's separator.
WriteError find_percent(std::span<const std::string> cookies, std::uint64_t first_number) {
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (cookies[i].find('%') != std::string::npos)
      return {Kind::percent_in_cookie, first_number + i};
  }
  return {};
}

}  // namespace

std::string block_text(std::span<const std::string> cookies) {
  std::string text;
  for (const std::string& cookie : cookies) {
    text += cookie;
    text += cookie_separator;
  }
  return text;
}

struct BlockCompressor::Slot {
  std::vector<std::string> cookies;
  std::vector<std::uint8_t> stream;
  WriteError error;
};

BlockCompressor::BlockCompressor(Put put) : put_(std::move(put)) {
  const unsigned workers = worker_count();
  pool_ = std::make_unique<OrderedWorkers>(workers);
  slots_.resize(pool_->window());
}

BlockCompressor::~BlockCompressor() {
  pool_.reset();  // before the slots its tasks use
}

void BlockCompressor::take_oldest() {
  Slot& slot = slots_[pool_->oldest_slot()];
  pool_->take_oldest();
  if (error_) return;
  const std::uint32_t block = static_cast<std::uint32_t>(offsets_.size() - 1);
  if (slot.error) {
    error_ = slot.error;
    error_.number = block;
    return;
  }
  if (offsets_.back() + std::uint64_t{slot.stream.size()} > UINT32_MAX) {
    error_ = {Kind::data_area_too_large};
    return;
  }
  if (!put_(slot.stream)) error_ = {Kind::stream_not_stored, block};
  offsets_.push_back(offsets_.back() + static_cast<std::uint32_t>(slot.stream.size()));
}

bool BlockCompressor::add_block(std::vector<std::string> cookies) {
  if (error_) return false;
  if ((error_ = find_percent(cookies, cookies_))) return false;
  cookies_ += cookies.size();
  if (pool_->full()) take_oldest();
  Slot& slot = slots_[pool_->next_slot()];
  slot.cookies = std::move(cookies);
  pool_->give([&slot] {
    slot.error = compress_block(block_text(slot.cookies), slot.stream);
    slot.cookies.clear();
  });
  return !error_;
}

bool BlockCompressor::finish() {
  while (!pool_->empty()) take_oldest();
  if (!error_ && cookies_ == 0) error_ = {Kind::no_cookies};
  if (!error_ &&
      (cookies_ > UINT32_MAX || header_length + index_length_for(offsets_.size() - 1) > UINT32_MAX))
    error_ = {Kind::too_many_cookies};
  return !error_;
}

std::vector<std::uint8_t> BlockCompressor::header_and_index() const {
  const auto blocks = static_cast<std::uint32_t>(offsets_.size() - 1);
  std::vector<std::uint8_t> bytes(magic, magic + magic_length);
  bytes.push_back(written_pad_byte);
  append_be32(bytes, format_version);
  append_be32(bytes, format_revision);
  append_be32(bytes, static_cast<std::uint32_t>(cookies_));
  append_be32(bytes, static_cast<std::uint32_t>(index_length_for(blocks)));
  for (const std::uint32_t offset : offsets_) append_be32(bytes, offset);
  return bytes;
}

DataFileImage build_data_file(std::span<const std::string> cookies) {
  if (cookies.empty()) return {{}, {Kind::no_cookies}};
  if (cookies.size() > UINT32_MAX) return {{}, {Kind::too_many_cookies}};
  if (const WriteError percent = find_percent(cookies, 0)) return {{}, percent};
  if (header_length + index_length_for(block_count(cookies.size())) > UINT32_MAX)
    return {{}, {Kind::too_many_cookies}};
  std::vector<std::uint8_t> data;
  BlockCompressor compressor([&](std::span<const std::uint8_t> stream) {
    data.insert(data.end(), stream.begin(), stream.end());
    return true;
  });
  for (std::size_t first = 0; first < cookies.size(); first += cookies_per_block) {
    const std::size_t count = std::min<std::size_t>(cookies_per_block, cookies.size() - first);
    const std::span<const std::string> block = cookies.subspan(first, count);
    if (!compressor.add_block({block.begin(), block.end()})) break;
  }
  if (!compressor.finish()) return {{}, compressor.error()};
  DataFileImage image{compressor.header_and_index(), {}};
  image.bytes.insert(image.bytes.end(), data.begin(), data.end());
  return image;
}

}  // namespace database
