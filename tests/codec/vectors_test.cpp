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
      {"hello", {0x68, 0x30, 0x75, 0x2E, 0x5E, 0x2E}},  // its bits end on a byte boundary
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

}  // namespace
