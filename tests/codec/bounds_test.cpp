#include <algorithm>

#include "codec_support.h"

using namespace codec_test;
using codec::RunStatus;

namespace {

void fill_output_area(std::uint8_t value) {
  std::fill(std::begin(codec::output_buffer), std::end(codec::output_buffer), value);
}

bool output_area_holds_only(std::uint8_t value) {
  return std::all_of(std::begin(codec::output_buffer), std::end(codec::output_buffer),
                     [value](std::uint8_t b) { return b == value; });
}

TEST(CodecBounds, FullInputAreaIsAcceptedAndOneByteMoreRefused) {
  const Bytes text = english_text(codec::input_capacity, 7);
  Result packed = compress_bytes(text);
  ASSERT_EQ(packed.status, RunStatus::ok);
  Result unpacked = decompress_bytes(packed.output);
  ASSERT_EQ(unpacked.status, RunStatus::ok);
  EXPECT_TRUE(unpacked.output == text);

  const Bytes too_long(codec::input_capacity + 1, 'x');
  codec::input_remaining = 5;
  EXPECT_EQ(codec::load_input(too_long.data(), too_long.size()), RunStatus::input_too_long);
  EXPECT_EQ(codec::input_remaining, 5) << "a refused load changes nothing";

  for (auto driver : {codec::compress, codec::decompress}) {
    fill_output_area(0xA5);
    codec::input_position = 0;
    codec::input_remaining = codec::input_capacity + 1;
    EXPECT_EQ(driver(), RunStatus::input_too_long);
    EXPECT_TRUE(output_area_holds_only(0xA5)) << "nothing written";
    EXPECT_EQ(codec::output_total, 0u);

    codec::input_position = 100;
    codec::input_remaining = codec::input_capacity - 99;
    EXPECT_EQ(driver(), RunStatus::input_too_long) << "the bytes would run past the area";
    codec::input_position = codec::input_capacity + 1;
    codec::input_remaining = 1;
    EXPECT_EQ(driver(), RunStatus::input_too_long);
  }
  codec::input_position = 100;
  codec::input_remaining = codec::input_capacity - 100;
  EXPECT_EQ(codec::compress(), RunStatus::ok) << "the last byte of the area is still inside";
}

TEST(CodecBounds, DecompressionStopsAtTheEndOfTheOutputArea) {
  // Zero bits keep choosing the first symbol, so this never reaches the end symbol.
  fill_output_area(0xA5);
  Result run = decompress_bytes(Bytes(4096, 0x00));
  EXPECT_EQ(run.status, RunStatus::output_overflow);
  EXPECT_EQ(codec::output_total, 0u) << "a damaged stream leaves no result";
  EXPECT_EQ(codec::output_buffer[codec::output_capacity - 1], 0x00) << "filled to the last byte";
  EXPECT_EQ(codec::model.nodes, nullptr) << "the model was released";

  Result next = decompress_bytes({0x41, 0xBD, 0x80});
  EXPECT_EQ(next.status, RunStatus::ok) << "the next run starts clean";
  EXPECT_EQ(next.output, bytes_of("A"));
}

TEST(CodecBounds, CompressionStopsWhenTheStreamOutgrowsTheOutputArea) {
  Result run = compress_bytes(random_bytes(codec::input_capacity, 256, 8));
  EXPECT_EQ(run.status, RunStatus::output_overflow);
  EXPECT_EQ(codec::output_total, 0u);
  EXPECT_EQ(codec::model.nodes, nullptr);
}

TEST(CodecHostileInput, TruncatedStreamsEnd) {
  const Bytes text = english_text(3000, 9);
  const Bytes stream = compress_bytes(text).output;
  for (std::size_t length = 0; length < stream.size(); length += 7) {
    Result run = decompress_bytes(Bytes(stream.begin(), stream.begin() + std::ptrdiff_t(length)));
    EXPECT_NE(run.status, RunStatus::input_too_long);
    EXPECT_LE(run.output.size(), std::size_t(codec::output_capacity));
    if (run.status == RunStatus::ok && length > 16) {
      EXPECT_TRUE(std::equal(run.output.begin(), run.output.begin() + 8, text.begin()))
          << "the undamaged prefix decodes as before";
    }
  }
}

TEST(CodecHostileInput, BitFlippedStreamsEnd) {
  const Bytes text = english_text(2000, 10);
  const Bytes stream = compress_bytes(text).output;
  TextRandom random{11};
  unsigned changed = 0;
  const unsigned trials = 120;
  for (unsigned trial = 0; trial < trials; ++trial) {
    Bytes damaged = stream;
    // The last bytes may hold only padding, which no decoder reads.
    std::size_t bit = random.next(unsigned((damaged.size() - 2) * 8));
    damaged[bit / 8] = std::uint8_t(damaged[bit / 8] ^ (0x80 >> (bit % 8)));
    Result run = decompress_bytes(damaged);
    EXPECT_TRUE(run.status == RunStatus::ok || run.status == RunStatus::output_overflow);
    changed += run.output != text;
  }
  EXPECT_GT(changed, trials * 9 / 10) << "a damaged stream decodes to other bytes";
}

TEST(CodecHostileInput, RandomStreamsEnd) {
  TextRandom random{12};
  unsigned overflows = 0;
  for (int trial = 0; trial < 60; ++trial) {
    Bytes stream = random_bytes(1 + random.next(3000), 256, 100 + trial);
    Result run = decompress_bytes(stream);
    EXPECT_TRUE(run.status == RunStatus::ok || run.status == RunStatus::output_overflow);
    overflows += run.status == RunStatus::output_overflow;
  }
  Result constant = decompress_bytes(Bytes(codec::input_capacity, 0x00));
  EXPECT_EQ(constant.status, RunStatus::output_overflow);
  Result ones = decompress_bytes(Bytes(codec::input_capacity, 0xFF));
  EXPECT_EQ(ones.status, RunStatus::ok) << "all ones point at the end symbol at once";
  EXPECT_TRUE(ones.output.empty());
}

}  // namespace
