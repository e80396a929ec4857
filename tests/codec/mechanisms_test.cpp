#include <algorithm>

#include "codec_support.h"

using namespace codec_test;
using codec::Observer;

namespace {

std::uint64_t digest(const Bytes& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

struct Least {
  std::uint32_t Observer::*count;
  std::uint32_t minimum;
};

// A round trip cannot see a change that encoder and decoder share, but the
// data files can: these streams were recorded from the first, table-per-field
// build of the codec. Each text also drives the mechanisms listed with it,
// and the decoder must take exactly the encoder's replacement decisions.
TEST(CodecMechanisms, LongStreamsKeepTheirRecordedBytes) {
  Bytes runs(9000, 'a');
  for (int i = 0; i < 500; ++i) runs.push_back(static_cast<std::uint8_t>("bcab"[i % 4]));
  const struct {
    Bytes text;
    std::size_t length;
    std::uint64_t digest;
    std::vector<Least> mechanisms;
  } cases[] = {
      {english_text(30000, 7), 5390, 0xd4dd6d6026853322ull, {{&Observer::halvings_by_credit, 1}}},
      {random_bytes(32767, 10, 3, '0'),
       15231,
       0x48b1a909fefe12dfull,
       {{&Observer::recycle_calls, 1000}}},
      {random_bytes(20000, 256, 5),
       20957,
       0x053817daa01f1ebaull,
       {{&Observer::evictions, 10001},
        {&Observer::order4_evictions, 2500},
        {&Observer::max_new_order_drops, 1},
        {&Observer::full_alphabet_weights, 1}}},
      {runs,
       13,
       0x67c9f304cffd8073ull,
       {{&Observer::halvings_by_total, 1}, {&Observer::credit_five, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    Result packed = compress_bytes(c.text);
    const Observer compressing = codec::observer;
    ASSERT_EQ(packed.status, codec::RunStatus::ok);
    EXPECT_EQ(packed.output.size(), c.length);
    EXPECT_EQ(digest(packed.output), c.digest);
    EXPECT_TRUE(decompress_bytes(packed.output).output == c.text);
    for (const Least& least : c.mechanisms) {
      EXPECT_GE(compressing.*least.count, least.minimum);
      EXPECT_EQ(codec::observer.*least.count, compressing.*least.count);
    }
    EXPECT_LE(codec::observer.max_new_order_drops, 1u);
  }
  // Garbage decodes to whatever it decodes to, but always to the same bytes.
  Result garbage = decompress_bytes(random_bytes(4000, 256, 11));
  EXPECT_EQ(garbage.output.size(), 1068u);
  EXPECT_EQ(digest(garbage.output), 0xd28fe49edbbd374dull);
  garbage = decompress_bytes(random_bytes(4000, 256, 12));
  EXPECT_EQ(garbage.output.size(), 4420u);
  EXPECT_EQ(digest(garbage.output), 0xfc780c75384c9901ull);
}

TEST(CodecMechanisms, DecompressionStopsOnceTheCallerHasEnough) {
  const Bytes text = english_text(3000, 4);
  const Bytes stream = compress_bytes(text).output;
  codec::load_input(stream.data(), stream.size());
  auto third_line = [](const std::uint8_t* text, std::uint32_t length, void* lines) {
    return text[length - 1] == '\n' && ++*static_cast<unsigned*>(lines) == 3;
  };
  unsigned lines = 0;
  ASSERT_EQ(codec::decompress_until({'\n', third_line, &lines}), codec::RunStatus::ok);
  auto end = std::find(text.begin(), text.end(), '\n');
  for (int line = 1; line < 3; ++line) end = std::find(end + 1, text.end(), '\n');
  EXPECT_TRUE(Bytes(codec::output_buffer, codec::output_buffer + codec::output_total) ==
              Bytes(text.begin(), end + 1));
}

TEST(CodecMechanisms, FailedAllocationPrintsAndStopsTheRun) {
  codec::observer.fail_allocation = true;
  testing::internal::CaptureStdout();
  EXPECT_EQ(compress_bytes(bytes_of("hello")).status, codec::RunStatus::out_of_memory);
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).status, codec::RunStatus::out_of_memory);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error: Had problems allocating a few bytes of memory :-(\n"
            "Error: Had problems allocating a few bytes of memory :-(\n");
  EXPECT_EQ(codec::output_total, 0u);
  codec::observer.fail_allocation = false;
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).output, bytes_of("A"));
}

}  // namespace
