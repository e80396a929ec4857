#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <span>
#include <tuple>

#include "codec/codec.h"
#include "database/data_file_writer.h"
#include "database/walk.h"
#include "gtest/gtest.h"

namespace {

using database::DamageKind;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t be32_at(const Bytes& bytes, std::size_t at) {
  return bytes.at(at) << 24 | bytes.at(at + 1) << 16 | bytes.at(at + 2) << 8 | bytes.at(at + 3);
}

void put_be32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// 250 cookies "cookie N" in three blocks, some of two lines, some with a leading space.
class DataFileTest : public ::testing::Test {
 protected:
  DataFileTest() {
    for (int i = 0; i < 250; ++i)
      cookies.push_back((i % 11 == 5 ? " cookie " : "cookie ") + std::to_string(i) +
                        (i % 7 == 3 ? "\nsecond line" : ""));
    bytes = database::build_data_file(cookies).bytes;
  }
  ~DataFileTest() override { std::filesystem::remove(path); }
  database::Damage load(const Bytes& file, std::uint32_t number) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), file.size());
    return database::load_cookie(path.c_str(), number, cookie);
  }
  // A cut cookie after a separator starts with the separator line's LF.
  std::string cut_text(std::uint32_t number) const {
    return (number % 100 == 0 ? "" : "\n") + cookies[number];
  }

  const std::string path = "drollbox-" + std::to_string(::getpid()) + ".dat";
  std::vector<std::string> cookies;
  Bytes bytes;
  std::string cookie;  // the last one loaded
};

TEST_F(DataFileTest, WriterLaysOutHeaderIndexAndBlocksTheReaderCuts) {
  const std::string header =
      "Drollbox fortune file" + std::string("\0\0\0\0\4\0\0\7\x09\0\0\0\xFA\0\0\0\x10", 17);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 38), header);  // 4, 1801, 250, 16
  EXPECT_EQ(be32_at(bytes, 38), 0u);
  EXPECT_EQ(be32_at(bytes, 50), bytes.size() - 38 - 16);
  EXPECT_EQ(database::build_data_file(std::vector<std::string>(200, "x")).bytes[37], 12);
  EXPECT_EQ(database::block_text(std::vector<std::string>{"a", "", "b\nc"}),
            "a\n%%\n\n%%\nb\nc\n%%\n");
  // Every cookie comes back as written (the whole-file walk: unpack's tests), its
  // block decoded up to the first "%" after it and no further.
  cookies[1] = "\nstarts with a line feed";
  cookies[2] = "Windows-1252: \x80 \xE9\xE8 \xFF\r";
  cookies[249] = "";
  bytes = database::build_data_file(cookies).bytes;
  load(bytes, 0);
  database::OpenedDataFile opened = database::DataFile::open(path.c_str());
  ASSERT_TRUE(opened.file);
  for (std::uint32_t number = 0; number < 250; ++number) {
    ASSERT_FALSE(opened.file->read_cookie(number, cookie)) << number;
    EXPECT_EQ(cookie, cut_text(number)) << number;
    const auto through = std::span(cookies).subspan(number / 100 * 100, number % 100 + 1);
    EXPECT_EQ(codec::output_total, database::block_text(through).size() - 2) << number;
  }
}

TEST_F(DataFileTest, EachDamageIsFoundWhereItIs) {
  const std::uint32_t last_block = be32_at(bytes, 46);
  const auto set = [](std::size_t at, std::uint32_t value) {
    return [=](Bytes& file) { put_be32(file, at, value); };
  };
  const auto cut_at = [](std::size_t size) { return [=](Bytes& file) { file.resize(size); }; };
  const std::tuple<std::function<void(Bytes&)>, std::uint32_t, DamageKind> cases[] = {
      {[](Bytes& f) { f[21] = 0xFF; }, 7, DamageKind::none},  // the pad byte is not checked
      {[](Bytes& f) { f[20] = 'E'; }, 0, DamageKind::wrong_magic},
      {set(26, 1800), 0, DamageKind::incompatible},
      {set(30, 0), 0, DamageKind::no_cookies},
      {cut_at(10), 0, DamageKind::wrong_magic},  // a magic cut short is not the magic
      {cut_at(21), 0, DamageKind::ends_early},
      {cut_at(37), 0, DamageKind::ends_early},
      {cut_at(40), 0, DamageKind::index_past_end},
      {cut_at(bytes.size() - 1), 200, DamageKind::block_past_end},
      {cut_at(bytes.size() - 1), 199, DamageKind::none},
      {set(42, be32_at(bytes, 46) + 1), 100, DamageKind::entries_backwards},
      {set(34, 12), 200, DamageKind::index_too_short},  // block 2's start but not its end
      {set(30, 260), 249, DamageKind::none},
      {set(30, 260), 255, DamageKind::missing_separator},
      {[&](Bytes& f) { put_be32(f, 50, last_block + 32768), f.resize(54 + last_block + 40000); },
       200, DamageKind::block_too_long},
      {[&](Bytes& f) {  // zeros decode on and on
         f.resize(54 + last_block), f.resize(54 + last_block + 100),
             put_be32(f, 50, last_block + 100);
       },
       200, DamageKind::text_too_long},
  };
  for (const auto& [change, number, kind] : cases) {
    Bytes file = bytes;
    change(file);
    const database::Damage damage = load(file, number);
    EXPECT_EQ(damage.kind, kind) << "cookie " << number << " " << database::damage_text(kind);
    EXPECT_TRUE(damage || cookie == cut_text(number));
    // Read once from front to back, the file shows the same first damage.
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    const database::Damage streamed =
        database::walk_stream(stream, {nullptr, [](database::WalkedBlock&) { return true; }});
    std::fclose(stream);
    EXPECT_EQ(database::describe(streamed),
              database::describe(database::verify_data_file(path.c_str())));
  }
  EXPECT_EQ(database::load_cookie("absent.dat", 0, cookie).kind, DamageKind::cannot_open);
  EXPECT_EQ(database::load_cookie(".", 0, cookie).kind, DamageKind::cannot_open);
  // Descriptions name the block or cookie.
  EXPECT_EQ(database::describe(load(bytes, 250)), "cookie 250: no cookie with that number");
  put_be32(bytes, 30, 260);  // the last block holds 50 cookies, not 60
  load(bytes, 0);
  EXPECT_EQ(database::describe(database::verify_data_file(path.c_str())),
            "cookie 250: a block ends before a cookie's separator");
}

TEST_F(DataFileTest, WhatTheFormatCannotHoldIsRefused) {
  using database::build_data_file;
  using Kind = database::WriteError::Kind;
  EXPECT_EQ(build_data_file(std::vector<std::string>{"fine", "100% sure"}).error,
            (database::WriteError{Kind::percent_in_cookie, 1}));
  // 100 cookies of 324 characters and their separators: 32 800 bytes of text.
  std::vector<std::string> big(100, std::string(324, 'b'));
  EXPECT_EQ(build_data_file(big).error, (database::WriteError{Kind::text_too_long, 0}));
  big.back().resize(324 - 33);  // exactly 32 767
  EXPECT_FALSE(build_data_file(big).error);
  // Noise does not compress: a text under the limit can still make a stream over it.
  std::mt19937 generator(7);
  std::string noise(32760, ' ');
  for (char& c : noise)
    if ((c = static_cast<char>(generator())) == '%') c = 0;
  EXPECT_EQ(build_data_file(std::vector<std::string>{noise}).error.kind, Kind::stream_too_long);
}

}  // namespace
