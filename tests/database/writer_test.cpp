#include <random>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "database/data_file.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "database_fixture.h"

namespace database_test {
namespace {

using database::build_data_file;
using database::choice;
using database::reader;

class WriterTest : public DatabaseTest {};

TEST_F(WriterTest, BlockTextIsTheLayoutTheCutReads) {
  const std::vector<std::string> cookies = {"a", "", "two\nlines"};
  EXPECT_EQ(database::block_text(cookies), "a\n%%\n\n%%\ntwo\nlines\n%%\n");
  EXPECT_EQ(database::block_text({}), "");
}

TEST_F(WriterTest, HeaderAndIndex) {
  const std::vector<std::string> cookies = numbered_cookies(201);
  const database::DataFileImage image = build_data_file(cookies);
  ASSERT_EQ(image.error, "");
  const std::vector<std::uint8_t>& bytes = image.bytes;
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 21), "Drollbox fortune file");
  EXPECT_EQ(bytes[21], 0);
  EXPECT_EQ(be32_at(bytes, 22), 4u);
  EXPECT_EQ(be32_at(bytes, 26), 1801u);
  EXPECT_EQ(be32_at(bytes, 30), 201u);
  EXPECT_EQ(be32_at(bytes, 34), 16u);  // three blocks, the last of one cookie, and the end entry
  EXPECT_EQ(be32_at(bytes, 38), 0u);
  EXPECT_EQ(be32_at(bytes, 50), bytes.size() - 38 - 16);

  // Each block is exactly the compressed stream of its text.
  for (std::uint32_t block = 0; block < 3; ++block) {
    const std::uint32_t start = be32_at(bytes, 38 + 4 * block);
    const std::uint32_t end = be32_at(bytes, 42 + 4 * block);
    ASSERT_EQ(codec::load_input(bytes.data() + 54 + start, end - start), codec::RunStatus::ok);
    ASSERT_EQ(codec::decompress(), codec::RunStatus::ok);
    const std::size_t first = block * 100;
    const std::size_t count = std::min<std::size_t>(100, cookies.size() - first);
    EXPECT_EQ(std::string(codec::output_buffer, codec::output_buffer + codec::output_total),
              database::block_text(std::span(cookies).subspan(first, count)));
  }
}

TEST_F(WriterTest, RoundTripOverSeveralBlocksWithAShortLastOne) {
  std::vector<std::string> cookies = numbered_cookies(345);
  cookies[0] = "";
  cookies[1] = "\nstarts with a line feed";
  cookies[2] = "carriage\r\nreturn";
  cookies[3] = "Windows-1252: \x80 \xE9\xE8 \xFF";
  cookies[100] = std::string(80, '=') + "\n" + std::string(80, '-');
  cookies[344] = "the very last\n";
  const std::string path = write_data_file("round.dat", cookies);
  EXPECT_EQ(database::verify_data_file(path.c_str()), "");
  std::vector<std::string> read_back;
  EXPECT_EQ(database::read_all_cookies(path.c_str(), read_back), "");
  EXPECT_EQ(read_back, cookies);

  reader.file_name = path.c_str();
  for (std::uint32_t number : {0u, 1u, 99u, 100u, 299u, 300u, 344u}) {
    next_pick_is(number);
    ASSERT_EQ(problem_of(pick_and_load), 0) << number;
    const std::string expected = (number % 100 == 0 ? "" : "\n") + cookies[number];
    EXPECT_EQ(std::string(choice.cookie_text), expected) << number;
  }
}

TEST_F(WriterTest, OneCookieMakesOneBlock) {
  const database::DataFileImage image = build_data_file(std::vector<std::string>{"solo"});
  ASSERT_EQ(image.error, "");
  EXPECT_EQ(be32_at(image.bytes, 34), 8u);
  const std::string path = write_file("solo.dat", image.bytes);
  reader.file_name = path.c_str();
  ASSERT_EQ(problem_of(database::pick_cookie), 0);
  ASSERT_EQ(problem_of(database::load_block), 0);
  EXPECT_STREQ(choice.cookie_text, "solo");
}

TEST_F(WriterTest, WhatTheFormatCannotHoldIsRefused) {
  EXPECT_NE(build_data_file(std::vector<std::string>{}).error, "");
  EXPECT_EQ(build_data_file(std::vector<std::string>{"fine", "100% sure"}).error,
            "cookie 1: holds a \"%\"");

  // 100 cookies of 324 characters and their separators: 32 800 bytes of text.
  std::vector<std::string> big(100, std::string(324, 'b'));
  EXPECT_EQ(build_data_file(big).error, "block 0: its text passes 32767 bytes");
  big.back().resize(324 - 33);  // exactly 32 767
  EXPECT_EQ(build_data_file(big).error, "");

  // Random bytes do not compress: a text under the limit can still make a stream over it.
  std::mt19937 generator(7);
  std::string noise(32760, ' ');
  for (char& c : noise) {
    const unsigned byte = generator() % 256;
    c = static_cast<char>(byte == '%' ? 0 : byte);
  }
  const std::vector<std::string> noisy = {noise};
  EXPECT_EQ(build_data_file(noisy).error, "block 0: its stream passes 32767 bytes");
}

}  // namespace
}  // namespace database_test
