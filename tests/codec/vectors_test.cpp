#include <string>

#include "codec_support.h"

using namespace codec_test;

namespace {

TEST(CodecVectors, WorkedExamplesGiveTheirExactStreams) {
  const struct {
    std::string text;
    Bytes stream;
  } cases[] = {
      {"", {0xFF, 0x40}},
      {"A", {0x41, 0xBD, 0x80}},
      {"AB", {0x41, 0x3F, 0xD3, 0xA0}},
      {"abracadabra", {0x61, 0x34, 0xCF, 0xF1, 0x50, 0xE9, 0xF9, 0xC0, 0xFF, 0x00}},
      {std::string(30, 'a'), {0x60, 0xA0, 0x64, 0x28}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Result packed = compress_bytes(bytes_of(c.text));
    EXPECT_EQ(packed.status, codec::RunStatus::ok);
    EXPECT_EQ(packed.output, c.stream);
    Result unpacked = decompress_bytes(c.stream);
    EXPECT_EQ(unpacked.status, codec::RunStatus::ok);
    EXPECT_EQ(unpacked.output, bytes_of(c.text));
  }
  EXPECT_TRUE(decompress_bytes({}).output.empty()) << "an empty input points at the end symbol";
}

TEST(CodecVectors, EncoderAndDecoderNarrowByTheSameEvents) {
  EXPECT_EQ(events_of({}, codec::compress), (std::vector<Event>{{256, 257, 257}}));
  EXPECT_EQ(events_of(bytes_of("A"), codec::compress),
            (std::vector<Event>{{65, 66, 257}, {1, 3, 3}, {255, 256, 256}}));
  const std::vector<Event> ab = {
      {65, 66, 257}, {1, 3, 3}, {65, 66, 256}, {2, 7, 7}, {254, 255, 255}};
  EXPECT_EQ(events_of(bytes_of("AB"), codec::compress), ab);
  EXPECT_EQ(events_of({0x41, 0x3F, 0xD3, 0xA0}, codec::decompress), ab);
}

TEST(CodecVectors, RunsOfSuccessesDoubleThenQuadrupleTheFirstContext) {
  // Second pass over twenty letters: every order-4 context holds one symbol
  // of count 1, with escape weight 1 (the order-4 bias being 15).
  std::string text;
  for (int pass = 0; pass < 3; ++pass)
    for (char letter = 'a'; letter < 'a' + 20; ++letter) text.push_back(letter);
  std::vector<Event> cycle = events_of(bytes_of(text), codec::compress);
  ASSERT_GT(cycle.size(), 63u);
  for (std::size_t i = 40; i < 44; ++i) EXPECT_EQ(cycle[i], (Event{0, 1, 2})) << i;
  for (std::size_t i = 44; i < 49; ++i) EXPECT_EQ(cycle[i], (Event{0, 2, 3})) << i;
  EXPECT_EQ(cycle[49], (Event{0, 4, 5})) << "run_length 10 and total 1: quadrupled";
  EXPECT_EQ(cycle[63], (Event{0, 8, 9})) << "third pass, total 2: still quadrupled";
}

Bytes encode_events(const std::vector<Event>& events) {
  codec::output_length = 0;
  codec::output_total = 0;
  codec::encoder_start();
  for (const Event& e : events) codec::encode_range(e.low, e.high, e.total);
  codec::encoder_finish();
  return Bytes(codec::output_buffer, codec::output_buffer + codec::output_total);
}

TEST(ArithmeticCoder, PendingBitsFollowTheSettledBitAndBytesEndOnBoundaries) {
  // (1,3,4) straddles the middle once; (0,1,4) then settles 0, the pending 1
  // and another 0; the finish adds 0 1 and pads: 0100 1000.
  EXPECT_EQ(encode_events({{1, 3, 4}, {0, 1, 4}}), (Bytes{0x48}));
  // Six settled zeros and the two finishing bits fill one byte exactly.
  std::vector<Event> halves(6, Event{0, 1, 2});
  EXPECT_EQ(encode_events(halves), (Bytes{0x01}));
  halves.push_back({0, 1, 2});
  EXPECT_EQ(encode_events(halves), (Bytes{0x00, 0x80}));
}

TEST(ArithmeticCoder, DecoderSuppliesOnesPastTheEndOfTheStream) {
  const Bytes one_byte = {0x12};
  codec::load_input(one_byte.data(), one_byte.size());
  codec::Decoder decoder;
  decoder.start();
  EXPECT_EQ(decoder.code, 0x12FF);
  for (int i = 0; i < 20; ++i) {
    decoder.take_range(0, 1, 2);  // each halving shifts in one more bit
    EXPECT_EQ(decoder.code & 1, 1);
  }
}

}  // namespace
