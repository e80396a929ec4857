#include <gtest/gtest.h>

#include "tests/support/texts.h"
#include "tool_runner.h"

namespace tools_test {
namespace {

// The collection unpacked and packed again to the same bytes; every command
// on it and on raw input.
TEST(Commands, OnTheCollection) {
  ScratchFolder folder;
  const std::string source = pack_collection(folder);
  const std::string bytes = folder.read("Drollbox.dat"), size = std::to_string(bytes.size());
  std::string damaged = bytes;
  folder.write("damaged.dat", damaged.replace(250, 64, std::string(64, '\0')));
  folder.write("old.txt", "old");
  const codec_texts::Bytes noise_bytes = codec_texts::random_bytes(32767, 256, 1);
  const std::string noise(noise_bytes.begin(), noise_bytes.end());  // its stream would not fit
  const std::string abracadabra("\x61\x34\xCF\xF1\x50\xE9\xF9\xC0\xFF\x00", 10);
  const std::string ok = "OK: 'Drollbox.dat' holds 151 cookies in 2 blocks, " + size + " bytes\n";
  const std::string stats = "cookies: 151\nblocks: 2\nfile size: " + size +
                            " bytes\ncompressed: " + std::to_string(bytes.size() - 50) +
                            " bytes\n*";
  const std::string shown = "A map is not the territory, but it is much easier to fold.\n";
  const std::string shown_1252 =
      "Caf\xC3\xA9 society: the \xC3\xBC"
      "ber-critic paid 5 \xE2\x82\xAC*";
  const std::vector<Row> rows = {
      {{"unpack", "-o", "again.txt"}, "", 0, "", ""},
      {{"pack", "again.txt", "-o", "again.dat"}, "", 0, "packed: 151 cookies from 1 file*", ""},
      {{"verify"}, "", 0, ok, ""},
      {{"verify", "--file", "damaged.dat"}, "", 1, "", "'damaged.dat': cookie 20: "},
      {{"unpack", "--file", "damaged.dat", "-o", "old.txt"}, "", 1, "", "cookie 20"},
      {{"show", "0"}, "", 0, shown, ""},
      {{"show", "63"}, "", 0, shown_1252, ""},
      {{"show", "151"}, "", 1, "", "cookie 151: no cookie with that number"},
      {{"show", "4294967296"}, "", 2, "", "is not a cookie number"},
      {{"stats"}, "", 0, stats, ""},
      {{"compress"}, "abracadabra", 0, abracadabra, ""},
      {{"decompress"}, abracadabra + "junk", 1, "", "left over after its end symbol"},
      {{"compress"}, std::string(32768, 'x'), 1, "", "longer than the 32767 bytes"},
      {{"compress"}, noise, 1, "", "would not fit the format's 32769 bytes"},
      {{"frobnicate"}, "", 2, "", "unknown command 'frobnicate'"},
      {{"pack", "again.txt", "-o", "."}, "", 1, "", "left as it was"},
  };
  expect_rows(folder, rows);
  EXPECT_EQ(folder.read("again.txt"), source);
  EXPECT_EQ(folder.read("again.dat"), bytes);
  EXPECT_EQ(folder.read("old.txt"), "old");
  // A disk that fills up half-way: the old file stays, no temporary is left.
  EXPECT_EQ(folder.run({"pack", "again.txt"}, "", "trap '' XFSZ; ulimit -f 2; ").status, 1);
  EXPECT_EQ(folder.read("Drollbox.dat"), bytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "."), {}), 5);
}

// A command line that cannot be right is a usage error (exit 2) even where
// there is no data file to read.
TEST(Commands, UsageBeforeAnyFile) {
  ScratchFolder folder;
  const std::vector<Row> rows = {
      {{"search"}, "", 2, "", "search: expects 1 operand"},
      {{"search", "-E", "a{2,"}, "", 2, "", "is not a regular expression"},
      {{"show", "x"}, "", 2, "", "'x' is not a cookie number"},
      {{"random", "-s", "-l"}, "", 2, "", "exclude each other"},
      {{"verify", "more"}, "", 2, "", "takes no operands"},
      {{"pack"}, "", 2, "", "expects at least 1 operand"},
      {{"help", "nope"}, "", 2, "", "unknown command 'nope'"},
  };
  expect_rows(folder, rows);
  for (const char* command : {"random", "compress", "search"}) {
    const ToolRun help = folder.run({"help", command});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, folder.run({command, "--help"}).out);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "."), {}), 0);
}

// Reading stops one byte past the codec's limit: an endless input ends in the
// refusal, long before the CPU limit would stop the run.
TEST(Commands, EndlessInputToTheCodecIsRefused) {
  ScratchFolder folder;
  for (const char* command : {"compress", "decompress"}) {
    const ToolRun run = folder.run({command}, "", "ulimit -t 20; ln -sf /dev/zero .stdin; ");
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("longer than the 32767 bytes the codec takes"), std::string::npos);
  }
}

// Whatever ends `unpack -o` half-way, SIGKILL included, the old file stays
// whole and nothing is left beside it.
TEST(Commands, KilledUnpackLeavesTheOldFileAlone) {
  ScratchFolder folder;
  const std::string database = DROLLBOX_DEFAULT_DATABASE;
  ASSERT_EQ(folder.run({"unpack", "--file", database, "-o", "whole.txt"}).status, 0);
  const std::string whole = folder.read("whole.txt");
  for (const char* signal_name : {"HUP", "INT", "QUIT", "PIPE", "TERM", "KILL"}) {
    for (const char* delay : {"0.02", "0.15"}) {
      SCOPED_TRACE(std::string(signal_name) + " after " + delay);
      folder.write("out.txt", "old");
      folder.run({"unpack", "--file", database, "-o", "out.txt"}, "",
                 "ulimit -c 0; timeout -s " + std::string(signal_name) + " " + delay + " ");
      const std::string out = folder.read("out.txt");
      EXPECT_TRUE(out == "old" || out == whole) << out.size() << " bytes";
      EXPECT_EQ(std::distance(fs::directory_iterator(folder / "."), {}), 2);
    }
  }
}

}  // namespace
}  // namespace tools_test
