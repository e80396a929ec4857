#include <algorithm>
#include <numeric>

#include "codec_support.h"

using namespace codec_test;
using codec::model;

namespace {

void expect_round_trip(const Bytes& text) {
  Result packed = compress_bytes(text);
  ASSERT_EQ(packed.status, codec::RunStatus::ok);
  codec::ModelCounters compressing = model.counters;
  Result unpacked = decompress_bytes(packed.output);
  ASSERT_EQ(unpacked.status, codec::RunStatus::ok);
  EXPECT_TRUE(unpacked.output == text) << "text of " << text.size() << " bytes came back different";
  // The decoder must have taken exactly the same replacement decisions.
  EXPECT_EQ(model.counters.evictions, compressing.evictions);
  EXPECT_EQ(model.counters.recycle_calls, compressing.recycle_calls);
  EXPECT_EQ(model.counters.halvings_by_credit, compressing.halvings_by_credit);
  EXPECT_EQ(model.counters.quadruple_boosts, compressing.quadruple_boosts);
}

std::uint64_t digest(const Bytes& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

}  // namespace

// A round trip cannot see a change that encoder and decoder share, but the
// data files can: these streams were recorded from the first, table-per-field
// build of the codec, and every faster layout must reproduce them.
TEST(CodecMechanisms, LongStreamsKeepTheirRecordedBytes) {
  Bytes runs(9000, 'a');
  for (int i = 0; i < 500; ++i) runs.push_back(std::uint8_t("bcab"[i % 4]));
  const struct {
    Bytes text;
    std::size_t length;
    std::uint64_t digest;
  } cases[] = {
      {english_text(30000, 7), 5390, 0xd4dd6d6026853322ull},
      {random_bytes(32767, 10, 3, '0'), 15231, 0x48b1a909fefe12dfull},
      {random_bytes(20000, 256, 5), 20957, 0x053817daa01f1ebaull},
      {runs, 13, 0x67c9f304cffd8073ull},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    Result packed = compress_bytes(c.text);
    ASSERT_EQ(packed.status, codec::RunStatus::ok);
    EXPECT_EQ(packed.output.size(), c.length);
    EXPECT_EQ(digest(packed.output), c.digest);
    EXPECT_TRUE(decompress_bytes(packed.output).output == c.text);
  }
  // Garbage decodes to whatever it decodes to, but always to the same bytes.
  Result garbage = decompress_bytes(random_bytes(4000, 256, 11));
  EXPECT_EQ(garbage.output.size(), 1068u);
  EXPECT_EQ(digest(garbage.output), 0xd28fe49edbbd374dull);
  garbage = decompress_bytes(random_bytes(4000, 256, 12));
  EXPECT_EQ(garbage.output.size(), 4420u);
  EXPECT_EQ(digest(garbage.output), 0xfc780c75384c9901ull);
}

namespace {

TEST(CodecMechanisms, WideAlphabetEvictsContextsAndStopsOrderFour) {
  Bytes text = random_bytes(20000, 256, 1);
  expect_round_trip(text);
  EXPECT_GT(model.counters.evictions, 10000u);
  EXPECT_GT(model.counters.order4_evictions, 2500u);
  EXPECT_EQ(model.counters.max_new_order_drops, 1u);
  EXPECT_EQ(model.max_new_order, 3);
  EXPECT_GT(model.counters.full_alphabet_weights, 0u) << "the order-0 context holds every byte";
}

TEST(CodecMechanisms, SmallAlphabetRunsTheNodePoolDry) {
  expect_round_trip(random_bytes(32767, 10, 2, '0'));
  EXPECT_GT(model.counters.recycle_calls, 1000u);
}

TEST(CodecMechanisms, LongRunHalvesAtEightThousandWithFullCredit) {
  Bytes text(20000, 'a');
  text.insert(text.end(), {'b', '\r', '\n', 'a'});
  expect_round_trip(text);
  EXPECT_GE(model.counters.halvings_by_total, 2u);
  EXPECT_GE(model.counters.credit_five, 1u);
}

TEST(CodecMechanisms, RepeatedCycleQuadruplesSmallTotals) {
  Bytes cycle(20);
  std::iota(cycle.begin(), cycle.end(), std::uint8_t('a'));
  Bytes text;
  for (int i = 0; i < 3; ++i) text.insert(text.end(), cycle.begin(), cycle.end());
  expect_round_trip(text);
  EXPECT_GT(model.counters.quadruple_boosts, 0u);
}

TEST(CodecMechanisms, EnglishTextLosesCreditAndHalves) {
  expect_round_trip(english_text(16000, 3));
  EXPECT_GT(model.counters.halvings_by_credit, 0u);
}

TEST(CodecMechanisms, EveryByteValueIncludingZeroFFAndCR) {
  Bytes text(256);
  std::iota(text.begin(), text.end(), std::uint8_t(0));
  TextRandom random{4};
  for (std::size_t i = text.size(); i > 1; --i)
    std::swap(text[i - 1], text[random.next(unsigned(i))]);
  for (int i = 0; i < 20; ++i) text.insert(text.end(), {0x00, 0xFF, '\r', '\n', 0x00, 0x00, 0xFF});
  Bytes noise = random_bytes(3000, 256, 5);
  text.insert(text.end(), noise.begin(), noise.end());
  expect_round_trip(text);
  EXPECT_GT(model.counters.full_alphabet_weights, 0u);

  expect_round_trip(Bytes(1, 0x00));
  expect_round_trip(Bytes(1, 0xFF));
  expect_round_trip(Bytes(300, 0x00));
  expect_round_trip(bytes_of("line one\r\nline two\r\n\r\n%%\r\n"));
}

TEST(CodecMechanisms, RunsAreDeterministicAndCountOnlyTheirOwnOutput) {
  const Bytes text = english_text(5000, 6);
  Result first = compress_bytes(text);
  Result second = compress_bytes(text);
  ASSERT_EQ(first.status, codec::RunStatus::ok);
  EXPECT_EQ(first.output, second.output);
  EXPECT_EQ(codec::output_total, second.output.size());
  EXPECT_LT(second.output.size(), text.size() / 2);

  Result back = decompress_bytes(first.output);
  Result again = decompress_bytes(first.output);
  EXPECT_EQ(codec::output_total, text.size());
  EXPECT_TRUE(back.output == text);
  EXPECT_TRUE(again.output == text);
}

TEST(CodecMechanisms, RunCommandsGiveTheSameResultsAsTheDrivers) {
  const Bytes text = bytes_of("abracadabra");
  codec::load_input(text.data(), text.size());
  EXPECT_EQ(codec::run_compressor(), codec::RunStatus::ok);
  Bytes stream(codec::output_buffer, codec::output_buffer + codec::output_total);
  EXPECT_EQ(stream, (Bytes{0x61, 0x34, 0xCF, 0xF1, 0x50, 0xE9, 0xF9, 0xC0, 0xFF, 0x00}));
  codec::load_input(stream.data(), stream.size());
  EXPECT_EQ(codec::run_decompressor(), codec::RunStatus::ok);
  EXPECT_EQ(Bytes(codec::output_buffer, codec::output_buffer + codec::output_total), text);
  EXPECT_EQ(codec::input_remaining, 0);
}

}  // namespace
