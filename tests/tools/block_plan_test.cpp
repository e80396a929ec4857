#include "tools/block_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "codec/codec.h"
#include "database/data_file_writer.h"

namespace tools {
namespace {

constexpr std::size_t small_limit = 3000;

std::vector<std::string> numbered(std::size_t count, std::size_t length, const std::string& tag) {
  std::vector<std::string> cookies;
  for (std::size_t i = 0; i < count; ++i) {
    std::string cookie = tag + std::to_string(i) + " ";
    while (cookie.size() < length) cookie += "la ";
    cookie.resize(length);
    cookies.push_back(cookie);
  }
  return cookies;
}

std::size_t stream_size(const std::string& text) {
  codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  EXPECT_EQ(codec::compress(), codec::RunStatus::ok);
  return codec::output_total;
}

// Every block of 100 within the limit, text and stream.
void expect_blocks_fit(const std::vector<std::string>& cookies, std::size_t limit) {
  for (std::size_t first = 0; first < cookies.size(); first += 100) {
    const std::size_t count = std::min<std::size_t>(100, cookies.size() - first);
    const std::string text = database::block_text({cookies.data() + first, count});
    EXPECT_LE(text.size(), limit) << "block " << first / 100;
    EXPECT_LE(stream_size(text), limit) << "block " << first / 100;
  }
}

TEST(BlockPlan, KeepsTheOrderWhenEveryBlockFits) {
  const std::vector<std::string> cookies = numbered(250, 20, "c");
  const BlockPlan plan = plan_blocks(cookies, small_limit, StreamCheck::compress_each_block);
  EXPECT_TRUE(plan.error.empty());
  EXPECT_EQ(plan.no_room, 0u);
  EXPECT_EQ(plan.cookies, cookies);
}

TEST(BlockPlan, TradesLargeCookiesIntoBlocksWithRoomAndIsStableAfterwards) {
  std::vector<std::string> cookies = numbered(100, 60, "big");  // 6400 bytes: far over
  const std::vector<std::string> small = numbered(150, 5, "s");
  cookies.insert(cookies.end(), small.begin(), small.end());
  const BlockPlan plan = plan_blocks(cookies, small_limit, StreamCheck::compress_each_block);
  EXPECT_EQ(plan.no_room, 0u);
  ASSERT_EQ(plan.cookies.size(), cookies.size());
  EXPECT_NE(plan.cookies, cookies);
  expect_blocks_fit(plan.cookies, small_limit);

  std::vector<std::string> sorted_plan = plan.cookies, sorted_input = cookies;
  std::sort(sorted_plan.begin(), sorted_plan.end());
  std::sort(sorted_input.begin(), sorted_input.end());
  EXPECT_EQ(sorted_plan, sorted_input);

  EXPECT_EQ(plan_blocks(plan.cookies, small_limit, StreamCheck::compress_each_block).cookies,
            plan.cookies);
}

TEST(BlockPlan, CountsWhatNoBlockCanTake) {
  const std::vector<std::string> cookies = numbered(130, 50, "w");  // 54 bytes each, 100 per block
  const BlockPlan plan = plan_blocks(cookies, small_limit, StreamCheck::compress_each_block);
  EXPECT_GT(plan.no_room, 0u);
  EXPECT_EQ(plan.cookies.size() + plan.no_room, cookies.size());
  EXPECT_EQ(plan.cookies.size() % 100, cookies.size() % 100 == 0 ? 0u : plan.cookies.size() % 100);
  expect_blocks_fit(plan.cookies, small_limit);
}

TEST(BlockPlan, ShrinksABlockWhoseStreamDoesNotFit) {
  // Random bytes grow when compressed: text inside the limit, stream not.
  std::mt19937 generator(7);
  std::vector<std::string> cookies;
  for (int i = 0; i < 150; ++i) {
    std::string cookie(i < 100 ? 60 : 2, ' ');
    for (char& c : cookie) {
      do c = static_cast<char>(generator());
      while (c == '%' || c == '\n' || c == '\0');
    }
    cookies.push_back(cookie);
  }
  const std::string first_block = database::block_text({cookies.data(), 100});
  const std::size_t limit = first_block.size();
  ASSERT_GT(stream_size(first_block), limit);

  const BlockPlan plan = plan_blocks(cookies, limit, StreamCheck::compress_each_block);
  ASSERT_TRUE(plan.error.empty());
  EXPECT_EQ(plan.cookies.size() + plan.no_room, cookies.size());
  expect_blocks_fit(plan.cookies, limit);
}

}  // namespace
}  // namespace tools
