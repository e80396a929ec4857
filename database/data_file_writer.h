// Writes data files: the cookies in blocks of 100, each block compressed by
// the codec, behind the header and the index.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codec/codec.h"
#include "database/format.h"

namespace database {

class OrderedWorkers;

// Each cookie followed by the separator.
std::string block_text(std::span<const std::string> cookies);

// Why a data file cannot be written, and where: number is the cookie of
// percent_in_cookie and the block of the block kinds; codec is how the
// block's compression ended where the codec ran.
struct WriteError {
  enum class Kind : std::uint8_t {
    none,
    no_cookies,
    too_many_cookies,
    percent_in_cookie,
    text_too_long,    // a block's text passes the codec's input area
    stream_too_long,  // a block's stream passes what a block may hold
    codec_failed,
    data_area_too_large,  // past what 32-bit offsets reach
    stream_not_stored,    // put could not keep a block's stream
  };
  Kind kind = Kind::none;
  std::uint64_t number = 0;
  codec::RunStatus codec = codec::RunStatus::ok;

  explicit operator bool() const { return kind != Kind::none; }
  bool operator==(const WriteError&) const = default;
};

// Compresses blocks on worker threads while the caller gathers the next
// ones, and hands their streams in file order to put, keeping of them only
// the index. The header, which counts them, goes before them once all are in.
class BlockCompressor {
 public:
  // put returns false when it cannot keep the stream.
  using Put = std::function<bool(std::span<const std::uint8_t> stream)>;
  explicit BlockCompressor(Put put);
  ~BlockCompressor();
  BlockCompressor(const BlockCompressor&) = delete;
  BlockCompressor& operator=(const BlockCompressor&) = delete;

  // False once a block has failed: error() says which and why, and no later
  // block is compressed.
  bool add_block(std::vector<std::string> cookies);
  // Waits for every block given.
  bool finish();
  const WriteError& error() const { return error_; }
  std::uint64_t data_length() const { return offsets_.back(); }
  std::uint64_t cookie_count() const { return cookies_; }
  // The header and the index of the blocks, once finish has succeeded.
  std::vector<std::uint8_t> header_and_index() const;

 private:
  struct Slot;
  void take_oldest();

  Put put_;
  std::uint64_t cookies_ = 0;
  std::vector<std::uint32_t> offsets_{0};  // each block's start and the end of the last
  WriteError error_;
  std::vector<Slot> slots_;
  std::unique_ptr<OrderedWorkers> pool_;
};

struct DataFileImage {
  std::vector<std::uint8_t> bytes;
  WriteError error;
};

// Header ("Drollbox fortune file", pad byte 0, version 4, revision 1801,
// count, index length), the index (one entry per block plus the end entry)
// and the compressed blocks. error when there are no cookies, a cookie holds
// a "%", or a block's text or its stream passes 32 767 bytes.
DataFileImage build_data_file(std::span<const std::string> cookies);

}  // namespace database
