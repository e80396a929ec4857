#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/charset.h"

namespace tools_test {
namespace {

// The project's collection packed into "Drollbox.dat" of a scratch folder:
// 60 aphorisms (cookies 0-59), 31 oddities (60-90), 60 quips (91-150).
class CollectionDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> arguments = {"pack"};
    for (const std::string& file : collection_files()) {
      arguments.push_back(file);
      source_ += read_file(file);
    }
    const ToolRun packed = folder_.run(arguments);
    ASSERT_EQ(packed.status, 0) << packed.err;
    bytes_ = folder_.read("Drollbox.dat");
  }

  // A copy of the database with bytes changed, written as "damaged.dat".
  ToolRun verify_damaged(std::size_t at, const std::string& replacement) {
    std::string damaged = bytes_;
    damaged.replace(at, replacement.size(), replacement);
    folder_.write("damaged.dat", damaged);
    return folder_.run({"verify", "--file", "damaged.dat"});
  }

  std::string shown(int number) {
    const ToolRun run = folder_.run({"show", std::to_string(number)});
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  }

  ScratchFolder folder_;
  std::string source_;
  std::string bytes_;
};

std::string be32(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

TEST_F(CollectionDatabase, VerifyPassesASoundFileAndNamesTheFirstDamage) {
  const ToolRun sound = folder_.run({"verify"});
  EXPECT_EQ(sound.status, 0) << sound.err;
  EXPECT_EQ(sound.out, "OK: 'Drollbox.dat' holds 151 cookies in 2 blocks, " +
                           std::to_string(bytes_.size()) + " bytes\n");

  folder_.write("truncated.dat", bytes_.substr(0, bytes_.size() - 10));
  const ToolRun truncated = folder_.run({"verify", "--file", "truncated.dat"});
  EXPECT_EQ(truncated.status, 1);
  EXPECT_NE(truncated.err.find("truncated.dat"), std::string::npos) << truncated.err;
  folder_.write("header.dat", bytes_.substr(0, 30));
  EXPECT_EQ(folder_.run({"verify", "--file", "header.dat"}).status, 1);

  const std::size_t index = 38;  // three entries: block 0, block 1, end
  const std::uint32_t second_block = static_cast<std::uint32_t>(bytes_[index + 4] & 0xFF) << 24 |
                                     static_cast<std::uint32_t>(bytes_[index + 5] & 0xFF) << 16 |
                                     static_cast<std::uint32_t>(bytes_[index + 6] & 0xFF) << 8 |
                                     static_cast<std::uint32_t>(bytes_[index + 7] & 0xFF);
  EXPECT_EQ(verify_damaged(index + 4, be32(0xFFFFFF00)).status, 1);    // past the end
  EXPECT_EQ(verify_damaged(index, be32(second_block + 1)).status, 1);  // backwards
  EXPECT_EQ(verify_damaged(index + 8, be32(second_block + 40000)).status, 1);
  EXPECT_EQ(verify_damaged(30, be32(0)).status, 1);  // no cookies
  EXPECT_EQ(verify_damaged(20, "f").status, 1);      // magic
  EXPECT_EQ(verify_damaged(22, be32(5)).status, 1);  // version
  EXPECT_EQ(verify_damaged(21, "\x7F").status, 0);   // the pad byte is free

  // Zeros over the middle of block 0: it no longer decodes to its cookies.
  const ToolRun block = verify_damaged(38 + 12 + 200, std::string(64, '\0'));
  EXPECT_EQ(block.status, 1);
  EXPECT_NE(block.err.find("damaged.dat"), std::string::npos);
  EXPECT_TRUE(block.out.empty());
}

TEST_F(CollectionDatabase, ShowLaysCookiesOutAsTheViewerDoes) {
  EXPECT_EQ(shown(0), "A map is not the territory, but it is much easier to fold.\n");
  EXPECT_EQ(shown(60), "The carriage\rreturn in this line is only a character here.\n");
  EXPECT_EQ(shown(61),
            "Hello: the space before this greeting is dropped when the cookie is shown.\n"
            " 42 keeps its space, since a digit does not start a word.\n");
  const std::string eighty =
      "Exactly eighty characters fill this line, no more and no less, to the very end..";
  EXPECT_EQ(
      shown(62),
      eighty + "\nThe line above fills one row of eighty columns, and this one starts the next.\n");
  EXPECT_EQ(shown(63),
            "Caf\xC3\xA9 society: the \xC3\xBC"
            "ber-critic paid 5 \xE2\x82\xAC for a \xE2\x80\x9Csmall\xE2\x80\x9D"
            " espresso \xE2\x80\x93 and\ncomplained that it was na\xC3\xAFve.\n");
  const std::string long_line =
      "A line that runs well past the eightieth column keeps going on the next row without any "
      "regard for "
      "where the words end.";
  EXPECT_EQ(shown(66), long_line.substr(0, 80) + "\n" + long_line.substr(80) + "\n");
  EXPECT_EQ(shown(67),
            "Blank lines\nvanish between rows, since a line feed at a row start adds nothing.\n");
  EXPECT_EQ(shown(80),
            "    Four spaces indent this line, and all four stay: only a lone space\n"
            "    before a letter is dropped at the start of a row.\n");
  EXPECT_EQ(shown(150),
            "I waited up all night for the sunrise. It arrived right on time and did\n"
            "not even apologise for the night.\n");

  const ToolRun past_end = folder_.run({"show", "151"});
  EXPECT_EQ(past_end.status, 1);
  EXPECT_TRUE(past_end.out.empty());
  EXPECT_EQ(folder_.run({"show", "twelve"}).status, 2);
  EXPECT_EQ(folder_.run({"show", "4294967296"}).status, 2);
  EXPECT_EQ(folder_.run({"show"}).status, 2);
}

TEST_F(CollectionDatabase, StatsGiveTheFiguresOfTheFile) {
  const ToolRun stats = folder_.run({"stats"});
  ASSERT_EQ(stats.status, 0) << stats.err;
  const long long compressed = static_cast<long long>(bytes_.size()) - 38 - 12;
  // Stored as Windows-1252, each cookie followed by LF "%%" LF in its block:
  // one byte more than the LF "%" LF of the fortune files.
  const long long text = static_cast<long long>(tools::utf8_to_cp1252(source_).text.size()) + 151;
  EXPECT_EQ(number_after(stats.out, "cookies"), 151);
  EXPECT_EQ(number_after(stats.out, "blocks"), 2);
  EXPECT_EQ(number_after(stats.out, "file size"), static_cast<long long>(bytes_.size()));
  EXPECT_EQ(number_after(stats.out, "compressed"), compressed);
  EXPECT_EQ(number_after(stats.out, "uncompressed"), text);
  const std::size_t at = stats.out.find("bits per character: ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(std::stod(stats.out.substr(at + 20)), 8.0 * compressed / text, 0.001);
}

TEST_F(CollectionDatabase, FileOptionNamesAnotherDatabase) {
  std::filesystem::create_directory(folder_ / "elsewhere");
  std::filesystem::rename(folder_ / "Drollbox.dat", folder_ / "elsewhere" / "mine.dat");
  const ToolRun missing = folder_.run({"show", "0"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("'Drollbox.dat'"), std::string::npos) << missing.err;
  for (const char* command : {"verify", "stats", "unpack", "random"}) {
    EXPECT_EQ(folder_.run({command}).status, 1) << command;
    EXPECT_EQ(folder_.run({command, "--file", "elsewhere/mine.dat"}).status, 0) << command;
  }
  EXPECT_EQ(folder_.run({"show", "0", "--file=elsewhere/mine.dat"}).out,
            "A map is not the territory, but it is much easier to fold.\n");
  EXPECT_EQ(folder_.run({"unpack", "--file", "elsewhere/mine.dat"}).out, source_);
}

TEST(RandomCommand, PrintsACookieOfTheDatabaseInItsRows) {
  ScratchFolder folder;
  folder.write(
      "three.txt",
      "first cookie\n%\nsecond\ncookie\n%\nthird cookie with a line that is longer than eighty "
      "characters so that it wraps\n%\n");
  ASSERT_EQ(folder.run({"pack", "three.txt"}).status, 0);
  std::set<std::string> cookies;
  for (int n = 0; n < 3; ++n) cookies.insert(folder.run({"show", std::to_string(n)}).out);
  ASSERT_EQ(cookies.size(), 3u);
  for (int i = 0; i < 6; ++i) {
    const ToolRun random = folder.run({"random"});
    ASSERT_EQ(random.status, 0) << random.err;
    EXPECT_EQ(cookies.count(random.out), 1u) << random.out;
  }
  folder.write("one.txt", "the only cookie\n");
  ASSERT_EQ(folder.run({"pack", "one.txt", "-o", "one.dat"}).status, 0);
  EXPECT_EQ(folder.run({"random", "--file", "one.dat"}).out, "the only cookie\n");
  EXPECT_EQ(folder.run({"random", "extra"}).status, 2);
}

}  // namespace
}  // namespace tools_test
