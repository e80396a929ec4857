#include <deque>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "database/data_file.h"
#include "database/data_file_writer.h"
#include "database/database.h"
#include "database_fixture.h"

namespace database_test {
namespace {

using database::choice;
using database::reader;

class DataFileTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    cookies = numbered_cookies(250);
    const database::DataFileImage image = database::build_data_file(cookies);
    ASSERT_EQ(image.error, "");
    bytes = image.bytes;
  }
  // Writes the (possibly damaged) bytes as the viewer's data file.
  void use(const std::vector<std::uint8_t>& file) {
    reader.file_name = stored(write_file("Drollbox.dat", file));
  }
  const char* stored(const std::string& path) {
    paths.push_back(path);
    return paths.back().c_str();
  }
  int problem_picking(std::uint32_t number) {
    next_pick_is(number);
    return problem_of(pick_and_load);
  }
  std::string verify() { return database::verify_data_file(reader.file_name); }
  std::uint32_t index_length() const { return be32_at(bytes, 34); }
  std::size_t data_start() const { return 38 + index_length(); }

  std::vector<std::string> cookies;
  std::vector<std::uint8_t> bytes;
  std::deque<std::string> paths;  // reader.file_name points into it
};

TEST_F(DataFileTest, ReadBe32IsBigEndianAndMarksTheEnd) {
  use({0x00, 0x00, 0x07, 0x09, 0x12, 0x34, 0x56, 0x78, 0xAB});
  reader.file = std::fopen(reader.file_name, "rb");
  ASSERT_NE(reader.file, nullptr);
  EXPECT_EQ(database::read_be32(), 1801u);
  EXPECT_EQ(database::read_be32(), 0x12345678u);
  EXPECT_FALSE(reader.ran_past_end);
  database::read_be32();
  EXPECT_TRUE(reader.ran_past_end);
}

TEST_F(DataFileTest, IndexEntriesOfTheChosenBlock) {
  use(bytes);
  EXPECT_EQ(index_length(), 16u);  // three blocks and the end entry
  struct Case {
    std::uint32_t number;
    std::size_t entry;
  };
  for (const Case c : {Case{0, 38}, Case{99, 38}, Case{100, 42}, Case{249, 46}}) {
    next_pick_is(c.number);
    ASSERT_EQ(problem_of(database::pick_cookie), 0);
    EXPECT_EQ(reader.cookie_number, c.number);
    EXPECT_EQ(reader.cookie_count, 250u);
    EXPECT_EQ(reader.block_start, be32_at(bytes, c.entry)) << c.number;
    EXPECT_EQ(reader.block_length, be32_at(bytes, c.entry + 4) - be32_at(bytes, c.entry))
        << c.number;
    ASSERT_EQ(problem_of(database::load_block), 0);
    EXPECT_EQ(reader.file, nullptr);
    const std::string expected = (c.number % 100 == 0 ? "" : "\n") + cookies[c.number];
    EXPECT_EQ(std::string(choice.cookie_text), expected);
  }
}

TEST_F(DataFileTest, MagicAndPadByte) {
  std::vector<std::uint8_t> file = bytes;
  file[20] = 'E';
  use(file);
  EXPECT_EQ(problem_picking(0), 2);
  file = bytes;
  file[0] = 'd';
  use(file);
  EXPECT_EQ(problem_picking(0), 2);
  for (std::uint8_t pad : {0x00, 0x20, 0xFF}) {
    file = bytes;
    file[21] = pad;
    use(file);
    EXPECT_EQ(problem_picking(7), 0) << int{pad};
  }
}

TEST_F(DataFileTest, VersionAndRevision) {
  std::vector<std::uint8_t> file = bytes;
  put_be32(file, 26, 1800);
  use(file);
  EXPECT_EQ(problem_picking(0), 7);
  file = bytes;
  put_be32(file, 22, 5);
  use(file);
  EXPECT_EQ(problem_picking(0), 7);
  EXPECT_NE(verify(), "");
}

TEST_F(DataFileTest, SpareIndexEntriesAreAccepted) {
  std::vector<std::uint8_t> file = bytes;
  put_be32(file, 34, index_length() + 12);
  file.insert(file.begin() + static_cast<std::ptrdiff_t>(data_start()), 12, 0xEE);
  use(file);
  EXPECT_EQ(problem_picking(150), 0);
  EXPECT_EQ(std::string(choice.cookie_text), "\n" + cookies[150]);
  EXPECT_EQ(verify(), "");
}

TEST_F(DataFileTest, MissingFileIsProblem6) {
  reader.file_name = stored(path_of("absent.dat"));
  EXPECT_EQ(problem_picking(0), 6);
  EXPECT_NE(verify(), "");
  reader.file_name = stored(folder.string());
  EXPECT_EQ(problem_picking(0), 6);
}

TEST_F(DataFileTest, FilesEndingEarlyAreProblem2) {
  // Inside the magic, at the pad byte, inside version, revision, count and
  // index length, inside the index, inside the first and the last block.
  const std::size_t last_block = be32_at(bytes, 38 + 8);
  for (std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{21}, std::size_t{24},
                           std::size_t{28}, std::size_t{33}, std::size_t{37}, std::size_t{40},
                           data_start() + 5, data_start() + last_block + 3, bytes.size() - 1}) {
    std::vector<std::uint8_t> file(bytes.begin(),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(size));
    use(file);
    const std::uint32_t number = size < data_start() + last_block ? 0 : 200;
    EXPECT_EQ(problem_picking(number), 2) << size;
    EXPECT_NE(verify(), "") << size;
    EXPECT_EQ(reader.file, nullptr);
  }
}

TEST_F(DataFileTest, ZeroCookiesIsProblem2) {
  std::vector<std::uint8_t> file = bytes;
  put_be32(file, 30, 0);
  use(file);
  EXPECT_EQ(problem_picking(0), 2);
  EXPECT_EQ(problem_of([] {
              choice.prev_pending = false;
              database::pick_cookie();
            }),
            2);
  EXPECT_NE(verify(), "");
}

TEST_F(DataFileTest, HostileIndexEntriesAreProblem2) {
  std::vector<std::uint8_t> file = bytes;
  put_be32(file, 42, be32_at(bytes, 46) + 1);  // block 1 ends before it starts
  use(file);
  EXPECT_EQ(problem_picking(100), 2);
  EXPECT_EQ(problem_picking(0), 0);  // block 0 merely ends later: the stream ignores the rest
  EXPECT_NE(verify(), "");

  file = bytes;
  put_be32(file, 50, 0xFFFFFFF0u);  // the end entry far past the end of the file
  use(file);
  EXPECT_EQ(problem_picking(200), 2);
  EXPECT_EQ(problem_picking(100), 0);
  EXPECT_NE(verify(), "");

  file = bytes;
  put_be32(file, 34, 0xFFFFFFFFu);  // the index runs past the end of the file
  use(file);
  EXPECT_EQ(problem_picking(0), 2);

  file = bytes;
  put_be32(file, 34, 8);  // an index too short for block 2
  use(file);
  EXPECT_EQ(problem_picking(200), 2);
  EXPECT_NE(verify(), "");

  file = bytes;
  put_be32(file, 30, 100000);  // more cookies than the index covers
  use(file);
  EXPECT_EQ(problem_picking(99999), 2);
  EXPECT_EQ(problem_picking(300), 2);
  EXPECT_NE(verify(), "");
}

TEST_F(DataFileTest, EachDamageIsNamedByTheStepThatFindsIt) {
  using database::Damage;
  const auto header_of = [&](const std::vector<std::uint8_t>& file) {
    use(file);
    const Damage opened = database::open_data_file(reader.file_name);
    return opened != Damage::none ? opened : database::read_header();
  };
  const auto entries_of = [&](const std::vector<std::uint8_t>& file, std::uint32_t block) {
    const Damage header = header_of(file);
    return header != Damage::none ? header : database::read_block_entries(block);
  };
  const auto changed = [&](std::size_t at, std::uint32_t value) {
    std::vector<std::uint8_t> file = bytes;
    put_be32(file, at, value);
    return file;
  };
  EXPECT_EQ(header_of(bytes), Damage::none);
  EXPECT_EQ(header_of(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 30)),
            Damage::ends_early);
  EXPECT_EQ(header_of(changed(0, 0)), Damage::wrong_magic);
  EXPECT_EQ(header_of(changed(22, 3)), Damage::incompatible);
  EXPECT_EQ(header_of(changed(30, 0)), Damage::no_cookies);
  EXPECT_EQ(header_of(changed(34, 0xFFFFFFFFu)), Damage::index_past_end);
  EXPECT_EQ(header_of(changed(34, static_cast<std::uint32_t>(bytes.size() - 38))), Damage::none);
  EXPECT_EQ(entries_of(changed(34, 12), 1), Damage::none);
  EXPECT_EQ(entries_of(changed(34, 12), 2), Damage::index_too_short);
  EXPECT_EQ(entries_of(changed(42, be32_at(bytes, 46) + 1), 1), Damage::entries_backwards);
  EXPECT_EQ(entries_of(changed(50, be32_at(bytes, 50) + 1), 2), Damage::block_past_end);
  EXPECT_EQ(entries_of(changed(50, be32_at(bytes, 50)), 2), Damage::none);
  EXPECT_EQ(database::read_block(), Damage::none);
  database::close_data_file();
  EXPECT_STREQ(database::damage_text(Damage::entries_backwards), "index entries run backwards");
}

TEST_F(DataFileTest, BlockLongerThanTheInputAreaIsProblem2) {
  std::vector<std::uint8_t> file = bytes;
  const std::uint32_t start = be32_at(bytes, 46);
  put_be32(file, 50, start + 32768);
  file.resize(data_start() + start + 40000, 0x55);
  use(file);
  EXPECT_EQ(problem_picking(200), 2);
  EXPECT_EQ(verify(), "block 2: a block is longer than 32767 bytes");
}

TEST_F(DataFileTest, BlockWithoutEnoughSeparatorsIsProblem2) {
  std::vector<std::uint8_t> file = bytes;
  put_be32(file, 30, 260);  // the last block holds 50 cookies, not 60
  use(file);
  EXPECT_EQ(problem_picking(249), 0);
  EXPECT_EQ(problem_picking(250), 2);
  EXPECT_EQ(problem_picking(255), 2);
  EXPECT_EQ(verify(), "cookie 250: a block ends before a cookie's separator");
}

// A file of one block holding the given stream, for the given cookie count.
std::vector<std::uint8_t> file_of_stream(const std::vector<std::uint8_t>& stream,
                                         std::uint32_t count) {
  std::vector<std::uint8_t> file = database::build_data_file(std::vector<std::string>{"x"}).bytes;
  file.resize(38 + 8);
  put_be32(file, 30, count);
  put_be32(file, 42, static_cast<std::uint32_t>(stream.size()));
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}

TEST_F(DataFileTest, BlockDecompressingPastTheOutputAreaIsProblem2) {
  const std::string text(32767, 'a');
  ASSERT_EQ(codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
            codec::RunStatus::ok);
  ASSERT_EQ(codec::compress(), codec::RunStatus::ok);
  std::vector<std::uint8_t> stream(codec::output_buffer,
                                   codec::output_buffer + codec::output_total);
  stream.back() = 0;  // the end symbol never comes: the run of "a" goes on
  ASSERT_EQ(codec::load_input(stream.data(), stream.size()), codec::RunStatus::ok);
  ASSERT_EQ(codec::decompress(), codec::RunStatus::output_overflow);

  use(file_of_stream(stream, 1));
  EXPECT_EQ(problem_picking(0), 2);
  EXPECT_EQ(verify(), "block 0: a block decompresses to more than 32769 bytes");
}

TEST_F(DataFileTest, HandMadeBlocksWithoutTheirSeparators) {
  const auto stream_of = [](const std::string& text) {
    codec::load_input(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_EQ(codec::compress(), codec::RunStatus::ok);
    return std::vector<std::uint8_t>(codec::output_buffer,
                                     codec::output_buffer + codec::output_total);
  };
  use(file_of_stream(stream_of("a\n%%\nb"), 2));  // no "%" after the last cookie
  EXPECT_EQ(problem_picking(0), 0);
  EXPECT_STREQ(choice.cookie_text, "a");
  EXPECT_EQ(problem_picking(1), 2);
  EXPECT_EQ(verify(), "cookie 1: a block ends before a cookie's separator");

  use(file_of_stream(stream_of(""), 1));
  EXPECT_EQ(problem_picking(0), 2);
  EXPECT_NE(verify(), "");
}

TEST_F(DataFileTest, RefreshRunsTheWholeSequence) {
  const std::vector<std::string> thousand = numbered_cookies(1000);
  reader.file_name = stored(write_data_file("thousand.dat", thousand));
  write_settings(20);
  choice.seeded = true;  // keep the generator at 1
  ASSERT_EQ(problem_of(database::refresh_cookie), 0);
  EXPECT_EQ(reader.cookie_number, 898u);
  EXPECT_EQ(std::string(choice.cookie_text), "\n" + thousand[898]);
  EXPECT_EQ(std::string(choice.display_grid, 80).substr(0, thousand[898].size()), thousand[898]);
  EXPECT_EQ(choice.window_height, 20 + 60);
  EXPECT_EQ(reader.file, nullptr);
}

TEST_F(DataFileTest, RefreshSeedsOnce) {
  reader.file_name = stored(write_data_file("thousand.dat", numbered_cookies(1000)));
  write_settings(13);
  ASSERT_EQ(problem_of(database::refresh_cookie), 0);
  EXPECT_TRUE(choice.seeded);
  choice.random_state = 1;
  ASSERT_EQ(problem_of(database::refresh_cookie), 0);
  EXPECT_EQ(reader.cookie_number, 898u);
}

TEST_F(DataFileTest, ToolsReadTheHeaderAndCookiesWithoutEndingTheProcess) {
  use(bytes);
  database::DataFileSummary summary;
  EXPECT_EQ(database::read_summary(reader.file_name, summary), "");
  EXPECT_EQ(summary.cookie_count, 250u);
  EXPECT_EQ(summary.block_count, 3u);
  EXPECT_EQ(summary.index_length, 16u);
  EXPECT_EQ(summary.file_size, bytes.size());

  choice.history_count = 3;
  EXPECT_EQ(database::load_cookie(123), "");
  EXPECT_EQ(std::string(choice.cookie_text), "\n" + cookies[123]);
  EXPECT_EQ(std::string(choice.display_grid).substr(0, cookies[123].size()), cookies[123]);
  EXPECT_EQ(choice.history_count, 3);
  EXPECT_EQ(database::load_cookie(250), "cookie 250: no cookie with that number");

  choice.seeded = true;
  choice.random_state = 1;
  EXPECT_EQ(database::load_random_cookie(), "");
  EXPECT_EQ(reader.cookie_number, (130u + 32768u) % 250u);
  EXPECT_EQ(choice.history_count, 4);

  std::vector<std::uint8_t> file = bytes;
  file[3] = '?';
  use(file);
  EXPECT_EQ(database::read_summary(reader.file_name, summary),
            "not a Drollbox data file (magic differs)");
  EXPECT_NE(database::load_cookie(0), "");
  EXPECT_EQ(reader.file, nullptr);
}

TEST_F(DataFileTest, VerifyAcceptsASoundFile) {
  use(bytes);
  EXPECT_EQ(verify(), "");
  std::vector<std::string> read_back;
  EXPECT_EQ(database::read_all_cookies(reader.file_name, read_back), "");
  EXPECT_EQ(read_back, cookies);
}

}  // namespace
}  // namespace database_test
