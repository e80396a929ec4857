#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tool_runner.h"

namespace tools_test {
namespace {

std::uint32_t be32_at(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

// The text of block 0 of a data file, as stored (Windows-1252).
std::string first_block_text(const ScratchFolder& folder, const std::string& data_file) {
  const std::string bytes = folder.read(data_file);
  const std::uint32_t index_length = be32_at(bytes, 34);
  const std::uint32_t start = be32_at(bytes, 38), end = be32_at(bytes, 42);
  const ToolRun run =
      folder.run({"decompress"}, bytes.substr(38 + index_length + start, end - start));
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

std::string repeated_lines(std::size_t lines, std::size_t width, char c, std::size_t last_width) {
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) {
    if (i > 0) text += '\n';
    text += std::string(i + 1 == lines ? last_width : width, c);
  }
  return text;
}

TEST(Pack, CollectionRoundTripsThroughUnpackToIdenticalBytes) {
  ScratchFolder folder;
  std::vector<std::string> arguments = {"pack"};
  std::string source;
  for (const std::string& file : collection_files()) {
    arguments.push_back(file);
    source += read_file(file);
  }
  arguments.insert(arguments.end(), {"-o", "first.dat"});
  const ToolRun packed = folder.run(arguments);
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(number_after(packed.out, "packed"), 151);
  EXPECT_EQ(number_after(packed.out, "skipped"), 0);
  EXPECT_EQ(number_after(packed.out, "replaced by \"?\""), 0);

  const ToolRun unpacked = folder.run({"unpack", "--file", "first.dat", "-o", "cookies.txt"});
  ASSERT_EQ(unpacked.status, 0) << unpacked.err;
  EXPECT_EQ(folder.read("cookies.txt"), source);

  ASSERT_EQ(folder.run({"pack", "cookies.txt", "-o", "second.dat"}).status, 0);
  EXPECT_EQ(folder.read("second.dat"), folder.read("first.dat"));
  EXPECT_EQ(folder.run({"unpack", "--file", "second.dat"}).out, source);
}

TEST(Pack, StoresWindows1252AndCountsWhatItReplaces) {
  ScratchFolder folder;
  // é, €, “ ”, then an arrow and an emoji it cannot hold, then a lone byte
  // that is not UTF-8 at all.
  folder.write("in.txt",
               "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x86\x92 \xF0\x9F\x98\x80 "
               "\xE9t\xE9\n%\n");
  const ToolRun packed = folder.run({"pack", "in.txt", "-o", "x.dat"});
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(number_after(packed.out, "replaced by \"?\""), 2);
  EXPECT_EQ(number_after(packed.out, "kept as Windows-1252"), 2);
  EXPECT_EQ(first_block_text(folder, "x.dat"), "Caf\xE9 \x80 \x93q\x94 ? ? \xE9t\xE9\n%%\n");

  const ToolRun unpacked = folder.run({"unpack", "--file", "x.dat"});
  EXPECT_EQ(unpacked.out,
            "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D ? ? \xC3\xA9t\xC3\xA9\n%\n");
}

TEST(Pack, TurnsCrLfIntoLfButKeepsALoneCr) {
  ScratchFolder folder;
  folder.write("dos.txt", "one\r\ntwo\rthree\r\n%\r\nsecond\r\r\n%\r\n");
  ASSERT_EQ(folder.run({"pack", "dos.txt", "-o", "x.dat"}).status, 0);
  EXPECT_EQ(first_block_text(folder, "x.dat"), "one\ntwo\rthree\n%%\nsecond\n%%\n");
}

TEST(Pack, SkipsWhatTheViewerCannotShowAndCountsEachReason) {
  ScratchFolder folder;
  const std::string longest = repeated_lines(25, 79, 'y', 78);   // 1998 characters, 25 rows
  const std::string too_long = repeated_lines(25, 79, 'y', 79);  // 1999 characters
  const std::string wrapped_25 = repeated_lines(12, 150, 'w', 150) + "\n" + std::string(80, 'v');
  const std::string wrapped_26 = repeated_lines(13, 150, 'w', 150);
  const std::string short_26 = repeated_lines(26, 1, 's', 1);
  ASSERT_EQ(longest.size(), 1998u);
  ASSERT_EQ(too_long.size(), 1999u);
  std::string fortunes = "%\nfine\n%\n100% sure\n%\n" + longest + "\n%\nzero " +
                         std::string(1, '\0') + " byte\n%\n" + too_long + "\n%\n" + wrapped_25 +
                         "\n%\n" + wrapped_26 + "\n%\n" + short_26 + "\n%\n \n\t\n%\n%\n";
  folder.write("in.txt", fortunes);
  const ToolRun packed = folder.run({"pack", "in.txt"});
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(number_after(packed.out, "packed"), 3);
  EXPECT_EQ(number_after(packed.out, "skipped"), 7);
  EXPECT_EQ(number_after(packed.out, "holding \"%\""), 1);
  EXPECT_EQ(number_after(packed.out, "holding a zero byte"), 1);
  EXPECT_EQ(number_after(packed.out, "longer than 1999 characters"), 1);
  EXPECT_EQ(number_after(packed.out, "more than 25 rows"), 2);
  EXPECT_EQ(number_after(packed.out, "empty"), 2);
  EXPECT_EQ(number_after(packed.out, "no room in a block"), 0);

  // The longest cookie, cut out after a separator, still shows whole.
  const ToolRun shown = folder.run({"show", "1"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out, longest + "\n");
  EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 25);
  const std::string wrapped = folder.run({"show", "2"}).out;
  EXPECT_EQ(std::count(wrapped.begin(), wrapped.end(), '\n'), 25);
  EXPECT_EQ(wrapped.substr(0, 81), std::string(80, 'w') + "\n");
}

TEST(Pack, FitsEveryBlockByTradingLargeCookiesForSmallOnes) {
  ScratchFolder folder;
  std::string fortunes;
  std::vector<std::string> expected;
  auto add = [&](const std::string& cookie) {
    fortunes += cookie + "\n%\n";
    expected.push_back(cookie);
  };
  const std::string line = "all work and no play makes a long cookie, line after line";
  std::string body;
  for (int i = 0; i < 9; ++i) body += "\n" + line;
  for (int i = 0; i < 150; ++i) add("large " + std::to_string(i) + body);
  for (int i = 0; i < 250; ++i) add("small " + std::to_string(i));
  folder.write("in.txt", fortunes);
  const ToolRun packed = folder.run({"pack", "in.txt"});
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(number_after(packed.out, "packed"), 400);
  EXPECT_EQ(number_after(packed.out, "no room in a block"), 0);
  ASSERT_EQ(folder.run({"verify"}).status, 0);

  std::string unpacked = folder.run({"unpack"}).out;
  std::vector<std::string> got;
  for (std::size_t at = 0, end; (end = unpacked.find("\n%\n", at)) != std::string::npos;
       at = end + 3) {
    got.push_back(unpacked.substr(at, end - at));
  }
  EXPECT_NE(got, expected);  // the first block could not keep 100 large ones
  std::sort(got.begin(), got.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(got, expected);
  const long long text = number_after(folder.run({"stats"}).out, "uncompressed");
  EXPECT_GT(text, 32767);
}

TEST(Pack, LeavesOutAndCountsCookiesNoBlockCanTake) {
  ScratchFolder folder;
  std::string fortunes;
  for (int i = 0; i < 120; ++i)
    fortunes += std::to_string(i) + " " + repeated_lines(6, 70, 'q', 70) + "\n%\n";
  folder.write("in.txt", fortunes);
  const ToolRun packed = folder.run({"pack", "in.txt"});
  ASSERT_EQ(packed.status, 0) << packed.err;
  const long long kept = number_after(packed.out, "packed");
  const long long no_room = number_after(packed.out, "no room in a block");
  EXPECT_GT(no_room, 0);
  EXPECT_EQ(kept + no_room, 120);
  EXPECT_EQ(folder.run({"verify"}).status, 0);
  EXPECT_EQ(number_after(folder.run({"stats"}).out, "cookies"), kept);
}

TEST(Pack, KeepsEveryStreamInsideTheCodecsInputArea) {
  ScratchFolder folder;
  std::mt19937 generator(11);
  std::string fortunes;
  // A first block of noise whose text fits 32 767 bytes but whose stream does not.
  for (int i = 0; i < 100; ++i) {
    std::string cookie;
    while (cookie.size() < 334) {
      const char c = static_cast<char>(1 + generator() % 255);
      if (c != '%' && c != '\n') cookie += c;
    }
    fortunes += cookie + "\n%\n";
  }
  for (int i = 0; i < 60; ++i) fortunes += "short " + std::to_string(i) + "\n%\n";
  folder.write("noise.txt", fortunes);
  const ToolRun packed = folder.run({"pack", "noise.txt"});
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(number_after(packed.out, "packed"), 160);
  EXPECT_EQ(folder.run({"verify"}).status, 0);
  const std::string bytes = folder.read("Drollbox.dat");
  for (std::size_t entry = 38; entry + 8 <= 38 + be32_at(bytes, 34); entry += 4) {
    EXPECT_LE(be32_at(bytes, entry + 4) - be32_at(bytes, entry), 32767u);
  }
}

TEST(Pack, WritesAtomicallyAndLeavesTheOldFileOnFailure) {
  ScratchFolder folder;
  folder.write("Drollbox.dat", "the old database");
  folder.write("only-skipped.txt", "%\n100% sure\n%\n");
  folder.write("good.txt", "a cookie\n%\n");
  ASSERT_EQ(folder.run({"pack", "good.txt", "-o", "other.dat"}).status, 0);

  const ToolRun missing = folder.run({"pack", "good.txt", "missing.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.txt"), std::string::npos);
  const ToolRun nothing = folder.run({"pack", "only-skipped.txt"});
  EXPECT_EQ(nothing.status, 1);
  EXPECT_NE(nothing.err.find("no cookie"), std::string::npos);
  EXPECT_EQ(folder.read("Drollbox.dat"), "the old database");

  std::filesystem::create_directory(folder / "taken");
  const ToolRun onto_folder = folder.run({"pack", "good.txt", "-o", "taken"});
  EXPECT_EQ(onto_folder.status, 1);
  EXPECT_NE(onto_folder.err.find("left as it was"), std::string::npos) << onto_folder.err;
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
  const ToolRun no_folder = folder.run({"pack", "good.txt", "-o", "absent/x.dat"});
  EXPECT_EQ(no_folder.status, 1);

  // A disk that fills up half-way through the new file.
  std::vector<std::string> collection = {"pack"};
  for (const std::string& file : collection_files()) collection.push_back(file);
  const ToolRun full_disk = folder.run(collection, "", "trap '' XFSZ; ulimit -f 2; ");
  EXPECT_EQ(full_disk.status, 1);
  EXPECT_NE(full_disk.err.find("cannot write"), std::string::npos) << full_disk.err;
  EXPECT_EQ(folder.read("Drollbox.dat"), "the old database");

  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"Drollbox.dat", "good.txt",
                                                        "only-skipped.txt", "other.dat", "taken"}));
  ASSERT_EQ(folder.run({"pack", "good.txt"}).status, 0);
  EXPECT_EQ(folder.read("Drollbox.dat").substr(0, 21), "Drollbox fortune file");
  EXPECT_EQ(folder.entries().size(), 5u);
  EXPECT_EQ(folder.run({"pack"}).status, 2);
}

}  // namespace
}  // namespace tools_test
