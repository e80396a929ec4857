#include <algorithm>

#include "codec_support.h"

using namespace codec_test;
using codec::RunStatus;

namespace {

TEST(CodecBounds, InputBeyondTheAreaIsRefusedBeforeAnythingIsWritten) {
  const Bytes too_long(codec::input_capacity + 1, 'x');
  codec::input_remaining = 5;
  EXPECT_EQ(codec::load_input(too_long.data(), too_long.size()), RunStatus::input_too_long);
  EXPECT_EQ(codec::input_remaining, 5) << "a refused load changes nothing";

  const struct {
    std::uint32_t position;
    std::int32_t remaining;
    RunStatus status;
  } cases[] = {{0, codec::input_capacity + 1, RunStatus::input_too_long},
               {100, codec::input_capacity - 99, RunStatus::input_too_long},
               {codec::input_capacity + 1, 1, RunStatus::input_too_long},
               {100, codec::input_capacity - 100, RunStatus::ok}};
  for (const auto& c : cases) {
    std::fill(std::begin(codec::output_buffer), std::end(codec::output_buffer), 0xA5);
    codec::input_position = c.position;
    codec::input_remaining = c.remaining;
    EXPECT_EQ(codec::compress(), c.status) << c.position << " " << c.remaining;
    if (c.status == RunStatus::ok) continue;
    EXPECT_EQ(codec::output_buffer[0], 0xA5) << "nothing written";
    EXPECT_EQ(codec::output_total, 0u);
  }
}

TEST(CodecBounds, RunsStopAtTheEndOfTheOutputAreaHoweverHighTheLimit) {
  codec::limit_output(100);  // a lowered limit rises again, to the area's end and no further
  codec::limit_output(codec::output_capacity + 1000);
  std::fill(std::begin(codec::output_buffer), std::end(codec::output_buffer), 0xA5);
  // Zero bits keep choosing the first symbol, byte 0: the end symbol never comes.
  Result run = decompress_bytes(Bytes(4096, 0x00));
  EXPECT_EQ(run.status, RunStatus::output_overflow);
  EXPECT_EQ(codec::output_total, 0u) << "a damaged stream leaves no result";
  EXPECT_EQ(codec::output_buffer[codec::output_capacity - 1], 0x00) << "filled to the last byte";
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).output, bytes_of("A")) << "the next run is clean";

  EXPECT_EQ(compress_bytes(random_bytes(codec::input_capacity, 256, 8)).status,
            RunStatus::output_overflow);
  EXPECT_EQ(codec::output_total, 0u);
}

TEST(CodecHostileInput, PastItsEndAStreamReadsAsOnesAndOnlyItsOwnBytesCount) {
  const Bytes stream = compress_bytes(english_text(3000, 9)).output;
  for (std::size_t length = 0; length < stream.size(); length += 37) {
    SCOPED_TRACE(length);
    Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(length));
    std::fill(std::begin(codec::input_buffer), std::end(codec::input_buffer),
              0x00);  // not the stream's
    const Result bare = decompress_bytes(cut);
    const auto unread = codec::input_remaining;
    cut.insert(cut.end(), 4096, 0xFF);
    const Result padded = decompress_bytes(cut);
    const auto read = static_cast<std::int32_t>(cut.size()) - codec::input_remaining;
    ASSERT_LT(read, static_cast<std::int32_t>(cut.size())) << "the padding did not run out";
    EXPECT_EQ(bare.status, padded.status);
    EXPECT_EQ(bare.output, padded.output);
    EXPECT_EQ(unread, std::max(0, static_cast<std::int32_t>(length) - read));
  }
}

TEST(CodecBounds, ALoweredLimitEndsRunsThere) {
  codec::limit_output(100);
  EXPECT_EQ(decompress_bytes(Bytes(4096, 0x00)).status, RunStatus::output_overflow);
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).output, bytes_of("A"));
  EXPECT_EQ(compress_bytes(random_bytes(100, 256, 8)).status, RunStatus::output_overflow);
  codec::limit_output(codec::output_capacity);
}

}  // namespace
