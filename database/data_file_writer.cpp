#include "database/data_file_writer.h"

#include <algorithm>

#include "codec/codec.h"
#include "database/format.h"

namespace database {

namespace {

constexpr std::uint32_t block_limit = static_cast<std::uint32_t>(codec::input_capacity);

void append_be32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put_be32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

std::string where(const char* what, std::size_t number) {
  return std::string(what) + " " + std::to_string(number) + ": ";
}

// Compresses one block's text; error empty when the stream fits a block.
std::string compress_block(const std::string& text, std::vector<std::uint8_t>& stream) {
  if (text.size() > block_limit) return "its text passes 32767 bytes";
  codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  const codec::RunStatus status = codec::compress();
  if (status == codec::RunStatus::out_of_memory) return "no memory for the codec's tables";
  if (status != codec::RunStatus::ok || codec::output_total > block_limit)
    return "its stream passes 32767 bytes";
  stream.assign(codec::output_buffer, codec::output_buffer + codec::output_total);
  return {};
}

}  // namespace

std::string block_text(std::span<const std::string> cookies) {
  std::string text;
  for (const std::string& cookie : cookies) {
    text += cookie;
    text += "\n%%\n";
  }
  return text;
}

DataFileImage build_data_file(std::span<const std::string> cookies) {
  DataFileImage image;
  if (cookies.empty()) return {{}, "no cookies to write"};
  if (cookies.size() > UINT32_MAX) return {{}, "too many cookies"};
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (cookies[i].find('%') != std::string::npos)
      return {{}, where("cookie", i) + "holds a \"%\""};
  }
  const std::uint32_t blocks = block_count(cookies.size());
  const std::uint64_t index_length = index_length_for(blocks);
  if (header_length + index_length > UINT32_MAX) return {{}, "too many cookies"};

  std::vector<std::uint8_t>& bytes = image.bytes;
  bytes.assign(magic, magic + magic_length);
  bytes.push_back(written_pad_byte);
  append_be32(bytes, format_version);
  append_be32(bytes, format_revision);
  append_be32(bytes, static_cast<std::uint32_t>(cookies.size()));
  append_be32(bytes, static_cast<std::uint32_t>(index_length));
  bytes.resize(header_length + index_length);

  std::vector<std::uint8_t> stream;
  for (std::uint32_t block = 0; block < blocks; ++block) {
    const std::size_t first = block * cookies_per_block;
    const std::size_t count = std::min<std::size_t>(cookies_per_block, cookies.size() - first);
    const std::string error = compress_block(block_text(cookies.subspan(first, count)), stream);
    if (!error.empty()) return {{}, where("block", block) + error};
    const std::size_t offset = bytes.size() - header_length - index_length;
    if (offset + stream.size() > UINT32_MAX) return {{}, "the data area passes 4 GiB"};
    put_be32(bytes, index_entry_offset(block), static_cast<std::uint32_t>(offset));
    bytes.insert(bytes.end(), stream.begin(), stream.end());
  }
  put_be32(bytes, index_entry_offset(blocks),
           static_cast<std::uint32_t>(bytes.size() - header_length - index_length));
  return image;
}

}  // namespace database
