#include <string>

#include "codec_support.h"

using namespace codec_test;

namespace {

void expect_round_trip(std::string_view text, const Bytes& stream) {
  SCOPED_TRACE(std::string(text));
  Result packed = compress_bytes(bytes_of(text));
  EXPECT_EQ(packed.status, codec::RunStatus::ok);
  EXPECT_EQ(packed.output, stream);
  Result unpacked = decompress_bytes(stream);
  EXPECT_EQ(unpacked.status, codec::RunStatus::ok);
  EXPECT_EQ(unpacked.output, bytes_of(text));
}

TEST(CodecVectors, WorkedExamplesGiveTheirExactStreams) {
  expect_round_trip("", {0xFF, 0x40});
  expect_round_trip("A", {0x41, 0xBD, 0x80});
  expect_round_trip("AB", {0x41, 0x3F, 0xD3, 0xA0});
  expect_round_trip("abracadabra", {0x61, 0x34, 0xCF, 0xF1, 0x50, 0xE9, 0xF9, 0xC0, 0xFF, 0x00});
  expect_round_trip(std::string(30, 'a'), {0x60, 0xA0, 0x64, 0x28});
}

TEST(CodecVectors, EmptyInputDecompressesToEmptyText) {
  Result unpacked = decompress_bytes({});
  EXPECT_EQ(unpacked.status, codec::RunStatus::ok);
  EXPECT_TRUE(unpacked.output.empty());
  EXPECT_EQ(codec::output_total, 0u);
}

TEST(CodecVectors, EventSequencesOfSmallTexts) {
  {
    EventCapture capture;
    compress_bytes(bytes_of(""));
    EXPECT_EQ(captured_events, (std::vector<Event>{{256, 257, 257}}));
  }
  {
    EventCapture capture;
    compress_bytes(bytes_of("A"));
    EXPECT_EQ(captured_events, (std::vector<Event>{{65, 66, 257}, {1, 3, 3}, {255, 256, 256}}));
  }
  const std::vector<Event> ab = {
      {65, 66, 257}, {1, 3, 3}, {65, 66, 256}, {2, 7, 7}, {254, 255, 255}};
  {
    EventCapture capture;
    compress_bytes(bytes_of("AB"));
    EXPECT_EQ(captured_events, ab);
  }
  {
    EventCapture capture;
    decompress_bytes({0x41, 0x3F, 0xD3, 0xA0});
    EXPECT_EQ(captured_events, ab) << "the decoder must narrow exactly as the encoder did";
  }
}

TEST(CodecVectors, RunOfThirtyBytesDoublesCountsFromTheSeventhByte) {
  EventCapture capture;
  compress_bytes(bytes_of(std::string(30, 'a')));
  ASSERT_GE(captured_events.size(), 8u);
  EXPECT_EQ(captured_events[0], (Event{97, 98, 257}));
  EXPECT_EQ(captured_events[5], (Event{0, 1, 2})) << "run_length 4: no boost yet";
  EXPECT_EQ(captured_events[6], (Event{0, 4, 5}));
  EXPECT_EQ(captured_events[7], (Event{0, 6, 7}));
}

TEST(CodecVectors, RepeatedCycleDoublesThenQuadruplesTheFirstContext) {
  // Second pass over twenty distinct letters: every order-4 context holds one
  // symbol of count 1 (escape weight 1, the order-4 bias being 15).
  std::string text;
  for (int pass = 0; pass < 3; ++pass)
    for (char letter = 'a'; letter < 'a' + 20; ++letter) text.push_back(letter);
  EventCapture capture;
  compress_bytes(bytes_of(text));
  ASSERT_GT(captured_events.size(), 63u);
  for (std::size_t i = 40; i < 44; ++i) EXPECT_EQ(captured_events[i], (Event{0, 1, 2})) << i;
  for (std::size_t i = 44; i < 49; ++i) EXPECT_EQ(captured_events[i], (Event{0, 2, 3})) << i;
  EXPECT_EQ(captured_events[49], (Event{0, 4, 5})) << "run_length 10 and total 1: quadrupled";
  EXPECT_EQ(captured_events[63], (Event{0, 8, 9})) << "third pass, total 2: still quadrupled";
}

// Drives the encoder directly with chosen ranges.
Bytes encode_events(const std::vector<Event>& events) {
  codec::output_length = 0;
  codec::output_total = 0;
  codec::coder.output_overflow = false;
  codec::encoder_start();
  for (const Event& e : events) codec::encode_range(e.low, e.high, e.total);
  codec::encoder_finish();
  return Bytes(codec::output_buffer, codec::output_buffer + codec::output_total);
}

TEST(ArithmeticCoder, PendingBitsFollowTheSettledBitAndBytesEndOnBoundaries) {
  // (1,3,4) straddles the middle once; (0,1,4) then settles 0, the pending 1
  // and another 0; the finish adds 0 1 and pads: 0100 1000.
  EXPECT_EQ(encode_events({{1, 3, 4}, {0, 1, 4}}), (Bytes{0x48}));
  // Six settled zeros plus the two finishing bits fill one byte exactly:
  // no further byte is written.
  std::vector<Event> halves(6, Event{0, 1, 2});
  EXPECT_EQ(encode_events(halves), (Bytes{0x01}));
  halves.push_back({0, 1, 2});
  EXPECT_EQ(encode_events(halves), (Bytes{0x00, 0x80}));
}

TEST(ArithmeticCoder, DecoderSuppliesOnesPastTheEndOfTheStream) {
  const Bytes one_byte = {0x12};
  codec::load_input(one_byte.data(), one_byte.size());
  codec::decoder_start();
  EXPECT_EQ(codec::coder.code, 0x12FF);

  codec::load_input(nullptr, 0);
  codec::decoder_start();
  EXPECT_EQ(codec::coder.code, 0xFFFF);
  EXPECT_EQ(codec::decode_target(257), 256) << "an empty stream points at the end symbol";
  // Each halving shifts in one more bit: all of them must be ones.
  for (int i = 0; i < 20; ++i) {
    codec::decode_range(1, 2, 2);
    EXPECT_EQ(codec::coder.code, 0xFFFF);
  }

  const Bytes two = {0x00, 0x00, 0x80};
  codec::load_input(two.data(), two.size());
  codec::decoder_start();
  codec::decode_range(0, 1, 2);  // low half: shifts in bit 7 of the third byte
  EXPECT_EQ(codec::coder.code, 0x0001);
  codec::decode_range(0, 1, 2);
  EXPECT_EQ(codec::coder.code, 0x0002);
}

TEST(ArithmeticCoder, OutputAreaTakesItsCapacityAndNotOneByteMore) {
  codec::coder.output_overflow = false;
  codec::output_length = codec::output_capacity - 1;
  EXPECT_TRUE(codec::write_output_byte(0x5A));
  EXPECT_EQ(codec::output_buffer[codec::output_capacity - 1], 0x5A);
  EXPECT_FALSE(codec::coder.output_overflow);
  EXPECT_FALSE(codec::write_output_byte(0x5B));
  EXPECT_TRUE(codec::coder.output_overflow);
  EXPECT_EQ(codec::output_length, std::uint32_t(codec::output_capacity));
  codec::output_length = 0;
  codec::coder.output_overflow = false;
}

TEST(ArithmeticCoder, CommitAddsTheRunsOutputAndRestartsTheArea) {
  codec::output_total = 5;
  codec::output_length = 3;
  codec::commit_output();
  EXPECT_EQ(codec::output_total, 8u);
  EXPECT_EQ(codec::output_length, 0u);
}

}  // namespace
