#include "codec_support.h"

using namespace codec_test;
using O = codec::Observer;

namespace {

std::uint64_t digest(const Bytes& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

struct Least {
  std::uint32_t O::*count;
  std::uint32_t minimum;
};

// A round trip cannot see a change that encoder and decoder share, but the
// data files can: these streams were recorded from the first, table-per-field
// build of the codec. Each text also drives the mechanisms listed with it,
// and the decoder must take exactly the encoder's replacement decisions, on
// every way of tallying candidates (each with its own build of the decoder).
TEST(CodecMechanisms, LongStreamsKeepTheirRecordedBytes) {
  Bytes runs(9000, 'a');
  for (int i = 0; i < 500; ++i) runs.push_back(static_cast<std::uint8_t>("bcab"[i % 4]));
  const struct {
    Bytes text;
    std::size_t length;
    std::uint64_t digest;
    std::vector<Least> mechanisms;
  } cases[] = {
      {english_text(30000, 7), 5390, 0xd4dd6d6026853322ull, {{&O::halvings_by_credit, 1}}},
      {random_bytes(32767, 10, 3, '0'), 15231, 0x48b1a909fefe12dfull, {{&O::recycle_calls, 1000}}},
      {random_bytes(20000, 256, 5),
       20957,
       0x053817daa01f1ebaull,
       {{&O::evictions, 10001},
        {&O::order4_evictions, 2500},
        {&O::max_new_order_drops, 1},
        {&O::full_alphabet_weights, 1}}},
      {runs, 13, 0x67c9f304cffd8073ull, {{&O::halvings_by_total, 1}, {&O::credit_five, 1}}},
  };
  for (codec::TallyPath path : tally_paths()) {
    const ForcedTally forced(path);
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.text.size() << " bytes, tally path " << int(path));
      Result packed = compress_bytes(c.text);
      const O compressing = codec::observer;
      ASSERT_EQ(packed.status, codec::RunStatus::ok);
      EXPECT_EQ(packed.output.size(), c.length);
      EXPECT_EQ(digest(packed.output), c.digest);
      EXPECT_TRUE(decompress_bytes(packed.output).output == c.text);
      for (const Least& least : c.mechanisms) {
        EXPECT_GE(compressing.*least.count, least.minimum);
        EXPECT_EQ(codec::observer.*least.count, compressing.*least.count);
      }
    }
    EXPECT_LE(codec::observer.max_new_order_drops, 1u);
  }
  // Garbage decodes to whatever it decodes to, but always to the same bytes.
  const Result garbage = decompress_bytes(random_bytes(4000, 256, 12));
  EXPECT_EQ(garbage.output.size(), 4420u);
  EXPECT_EQ(digest(garbage.output), 0xfc780c75384c9901ull);
}

// Adds the symbol to context c as the update does after an escape from c.
void append(std::uint16_t c, std::uint8_t symbol) {
  codec::model.path_context[0] = c | codec::ESCAPED;
  codec::model.path_length = 1;
  codec::update_path(symbol);
}

TEST(CodecMechanisms, RecyclingPassesOverTheContextBeingAppendedTo) {
  ASSERT_TRUE(codec::model_init());
  std::uint16_t later = codec::create_context(0, 'a');
  codec::set_history(1);
  std::uint16_t appended = codec::create_context(1, 'a');
  append(later, 'b');
  append(appended, 'b');
  ASSERT_LT(appended, later) << "the cursor meets the appended context first";
  codec::model.spare_nodes = 0;
  append(appended, 'c');
  EXPECT_EQ(codec::model.contexts[appended].context_extra, 2);
  EXPECT_EQ(codec::model.contexts[later].context_extra, 0) << "recycled instead";
}

TEST(CodecMechanisms, FailedAllocationStopsTheRun) {
  codec::observer.fail_allocation = true;
  EXPECT_EQ(compress_bytes(bytes_of("hello")).status, codec::RunStatus::out_of_memory);
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).status, codec::RunStatus::out_of_memory);
  EXPECT_EQ(codec::output_total, 0u);
  codec::observer.fail_allocation = false;
  EXPECT_EQ(decompress_bytes({0x41, 0xBD, 0x80}).output, bytes_of("A"));
}

}  // namespace
