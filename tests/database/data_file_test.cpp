#include <functional>
#include <random>
#include <span>

#include "codec/codec.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "database_fixture.h"

namespace database_test {
namespace {

using database::Damage;
using database::DamageKind;

Bytes stream_of(const std::string& text) {
  codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  EXPECT_EQ(codec::compress(), codec::RunStatus::ok);
  return Bytes(codec::output_buffer, codec::output_buffer + codec::output_total);
}

// A file of one block holding the given stream, for the given cookie count.
Bytes file_of_stream(const Bytes& stream, std::uint32_t count) {
  Bytes file = database::build_data_file(std::vector<std::string>{"x"}).bytes;
  file.resize(38 + 8);
  put_be32(file, 30, count);
  put_be32(file, 42, static_cast<std::uint32_t>(stream.size()));
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}

class DataFileTest : public FolderTest {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    cookies = numbered_cookies(250);
    bytes = database::build_data_file(cookies).bytes;
    path = write_file("Drollbox.dat", bytes);
  }
  Damage load(const Bytes& file, std::uint32_t number) {
    path = write_file("Drollbox.dat", file);
    return database::load_cookie(path.c_str(), number);
  }
  std::string verify() { return database::describe(database::verify_data_file(path.c_str())); }
  std::string cut_text(std::uint32_t number) const {
    return (number % 100 == 0 ? "" : "\n") + cookies[number];
  }

  std::vector<std::string> cookies;
  Bytes bytes;
  std::string path;
};

TEST_F(DataFileTest, WriterLaysOutHeaderIndexAndOneStreamPerBlock) {
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 21), "Drollbox fortune file");
  EXPECT_EQ(bytes[21], 0);
  EXPECT_EQ(be32_at(bytes, 22), 4u);
  EXPECT_EQ(be32_at(bytes, 26), 1801u);
  EXPECT_EQ(be32_at(bytes, 30), 250u);
  EXPECT_EQ(be32_at(bytes, 34), 16u);  // three blocks and the end entry
  EXPECT_EQ(be32_at(bytes, 38), 0u);
  EXPECT_EQ(be32_at(bytes, 50), bytes.size() - 38 - 16);
  for (std::uint32_t block = 0; block < 3; ++block) {
    const std::uint32_t start = be32_at(bytes, 38 + 4 * block);
    const std::uint32_t end = be32_at(bytes, 42 + 4 * block);
    ASSERT_EQ(codec::load_input(bytes.data() + 54 + start, end - start), codec::RunStatus::ok);
    ASSERT_EQ(codec::decompress(), codec::RunStatus::ok);
    const std::size_t count = block == 2 ? 50 : 100;
    EXPECT_EQ(std::string(codec::output_buffer, codec::output_buffer + codec::output_total),
              database::block_text(std::span(cookies).subspan(block * 100, count)));
  }
  EXPECT_EQ(database::block_text(std::vector<std::string>{"a", "", "b\nc"}),
            "a\n%%\n\n%%\nb\nc\n%%\n");
}

TEST_F(DataFileTest, EveryCookieComesBackAsWritten) {
  cookies = numbered_cookies(345);
  cookies[0] = "";
  cookies[1] = "\nstarts with a line feed";
  cookies[2] = "carriage\r\nreturn";
  cookies[3] = "Windows-1252: \x80 \xE9\xE8 \xFF";
  cookies[344] = "the very last\n";
  bytes = database::build_data_file(cookies).bytes;
  path = write_file("round.dat", bytes);
  std::vector<std::string> read_back;
  EXPECT_FALSE(database::read_each_cookie(path.c_str(), [&](std::string&& cookie) {
    read_back.push_back(cookie);
    return true;
  }));
  EXPECT_EQ(read_back, cookies);
  for (std::uint32_t number : {0u, 1u, 99u, 100u, 299u, 344u}) {
    ASSERT_FALSE(database::load_cookie(path.c_str(), number)) << number;
    EXPECT_EQ(database::choice.cookie_text, cut_text(number)) << number;
    // Cookies 0 and 99 read the entries at 38 and 42, cookie 100 those at 42 and 46.
    const std::size_t entry = 38 + 4 * (number / 100);
    EXPECT_EQ(database::reader.block_start, be32_at(bytes, entry));
    EXPECT_EQ(database::reader.block_length, be32_at(bytes, entry + 4) - be32_at(bytes, entry));
  }
  EXPECT_EQ(database::reader.file, nullptr);
  database::DataFileSummary summary;
  EXPECT_FALSE(database::read_summary(path.c_str(), summary));
  EXPECT_EQ(summary.cookie_count, 345u);
  EXPECT_EQ(summary.block_count, 4u);
  EXPECT_EQ(summary.index_length, 20u);
}

TEST_F(DataFileTest, ReadBe32IsBigEndianAndMarksTheEnd) {
  path = write_file("be.dat", {0x00, 0x00, 0x07, 0x09, 0x12, 0x34, 0x56, 0x78, 0xAB});
  ASSERT_EQ(database::open_data_file(path.c_str()), DamageKind::none);
  EXPECT_EQ(database::read_be32(), 1801u);
  EXPECT_EQ(database::read_be32(), 0x12345678u);
  EXPECT_FALSE(database::reader.ran_past_end);
  database::read_be32();
  EXPECT_TRUE(database::reader.ran_past_end);
  database::close_data_file();
}

TEST_F(DataFileTest, EachDamageIsFoundWhereItIs) {
  const std::size_t data_start = 38 + 16;
  const std::uint32_t last_block = be32_at(bytes, 46);
  const auto set = [](std::size_t at, std::uint32_t value) {
    return [=](Bytes& file) { put_be32(file, at, value); };
  };
  const auto cut_at = [](std::size_t size) { return [=](Bytes& file) { file.resize(size); }; };
  struct Case {
    std::function<void(Bytes&)> change;
    std::uint32_t number;
    DamageKind kind;
  };
  const Case cases[] = {
      {[](Bytes& f) { f[21] = 0xFF; }, 7, DamageKind::none},  // the pad byte is not checked
      {[](Bytes& f) { f[20] = 'E'; }, 0, DamageKind::wrong_magic},
      {[](Bytes& f) { f[0] = 'd'; }, 0, DamageKind::wrong_magic},
      {set(26, 1800), 0, DamageKind::incompatible},
      {set(22, 5), 0, DamageKind::incompatible},
      {set(30, 0), 0, DamageKind::no_cookies},
      {cut_at(10), 0, DamageKind::wrong_magic},
      {cut_at(21), 0, DamageKind::ends_early},
      {cut_at(24), 0, DamageKind::ends_early},
      {cut_at(33), 0, DamageKind::ends_early},
      {cut_at(37), 0, DamageKind::ends_early},
      {cut_at(40), 0, DamageKind::index_past_end},
      {cut_at(data_start + 5), 0, DamageKind::block_past_end},
      {cut_at(bytes.size() - 1), 200, DamageKind::block_past_end},
      {cut_at(bytes.size() - 1), 199, DamageKind::none},
      {set(42, be32_at(bytes, 46) + 1), 100, DamageKind::entries_backwards},
      {set(42, be32_at(bytes, 46) + 1), 0, DamageKind::none},  // the stream ignores the rest
      {set(50, 0xFFFFFFF0u), 200, DamageKind::block_past_end},
      {set(34, 0xFFFFFFFFu), 0, DamageKind::index_past_end},
      {set(34, 8), 200, DamageKind::index_too_short},
      {set(30, 100000), 99999, DamageKind::index_too_short},
      {set(30, 260), 249, DamageKind::none},
      {set(30, 260), 255, DamageKind::missing_separator},
      {[&](Bytes& f) {
         put_be32(f, 50, last_block + 32768);
         f.resize(data_start + last_block + 40000, 0x55);
       },
       200, DamageKind::block_too_long},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    Bytes file = bytes;
    cases[row].change(file);
    const Damage damage = load(file, cases[row].number);
    EXPECT_EQ(damage.kind, cases[row].kind) << "row " << row;
    if (damage.kind == DamageKind::none) {
      EXPECT_EQ(database::choice.cookie_text, cut_text(cases[row].number)) << "row " << row;
    } else {
      EXPECT_NE(verify(), "") << "row " << row;
    }
    EXPECT_EQ(database::reader.file, nullptr);
  }
  EXPECT_EQ(database::load_cookie((folder / "absent.dat").string().c_str(), 0).kind,
            DamageKind::cannot_open);
  EXPECT_EQ(database::load_cookie(folder.string().c_str(), 0).kind, DamageKind::cannot_open);
}

TEST_F(DataFileTest, SpareIndexEntriesAreAccepted) {
  Bytes file = bytes;
  put_be32(file, 34, 16 + 12);
  file.insert(file.begin() + 38 + 16, 12, 0xEE);
  EXPECT_FALSE(load(file, 150));
  EXPECT_EQ(database::choice.cookie_text, cut_text(150));
  EXPECT_EQ(verify(), "");
}

TEST_F(DataFileTest, DescriptionsNameTheBlockOrCookie) {
  Bytes file = bytes;
  put_be32(file, 30, 260);  // the last block holds 50 cookies, not 60
  EXPECT_EQ(database::describe(load(file, 255)),
            "cookie 255: a block ends before a cookie's separator");
  EXPECT_EQ(verify(), "cookie 250: a block ends before a cookie's separator");

  const std::string text(32767, 'a');
  Bytes stream = stream_of(text);
  stream.back() = 0;  // the end symbol never comes: the run of "a" goes on
  EXPECT_EQ(database::describe(load(file_of_stream(stream, 1), 0)),
            "cookie 0: a block decompresses to more than 32769 bytes");
  EXPECT_EQ(verify(), "block 0: a block decompresses to more than 32769 bytes");

  EXPECT_EQ(database::describe(load(bytes, 250)), "cookie 250: no cookie with that number");
  file[3] = '?';
  EXPECT_EQ(database::describe(load(file, 0)), "not a Drollbox data file (magic differs)");
}

TEST_F(DataFileTest, HandMadeBlocksWithoutTheirSeparators) {
  const Bytes no_last_percent = file_of_stream(stream_of("a\n%%\nb"), 2);
  EXPECT_FALSE(load(no_last_percent, 0));
  EXPECT_STREQ(database::choice.cookie_text, "a");
  EXPECT_EQ(load(no_last_percent, 1).kind, DamageKind::missing_separator);
  EXPECT_EQ(load(file_of_stream(stream_of(""), 1), 0).kind, DamageKind::missing_separator);
}

// For every cookie number of a block: a decode stopped for the cookie cuts what
// the whole block cuts, and stops at the first byte that completes the cookie.
TEST_F(DataFileTest, ADecodeStoppedAtTheCookieCutsWhatTheWholeBlockCuts) {
  const std::string odd = "100% sure\n%%\n%\n%%\na%%%b\n%%\n\n%%\nlast";
  for (const std::string& text :
       {database::block_text(numbered_cookies(97)) + odd, std::string("one\n%%\n")}) {
    path = write_file("stop.dat", file_of_stream(stream_of(text), 100));
    ASSERT_EQ(database::open_data_file(path.c_str()), DamageKind::none);
    ASSERT_EQ(database::read_header(), DamageKind::none);
    ASSERT_EQ(database::read_block_entries(0), DamageKind::none);
    for (std::uint32_t k = 0; k < 104; ++k) {
      ASSERT_EQ(database::read_block(), DamageKind::none);
      const std::uint32_t whole_length = codec::output_total;
      const DamageKind whole_damage = database::cut_cookie(k);
      const std::string whole_cut = database::choice.cookie_text;
      ASSERT_EQ(database::read_block_through_cookie(k), DamageKind::none);
      EXPECT_EQ(database::cut_cookie(k), whole_damage) << k;
      EXPECT_EQ(database::choice.cookie_text, whole_cut) << k;
      EXPECT_EQ(codec::output_total < whole_length, whole_damage == DamageKind::none) << k;
      if (whole_damage != DamageKind::none) continue;
      --codec::output_total;
      EXPECT_EQ(database::cut_cookie(k), DamageKind::missing_separator) << k;
    }
    database::close_data_file();
  }
}

TEST_F(DataFileTest, WhatTheFormatCannotHoldIsRefused) {
  using database::build_data_file;
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
  EXPECT_EQ(build_data_file(std::vector<std::string>{noise}).error,
            "block 0: its stream passes 32767 bytes");
}

}  // namespace
}  // namespace database_test
