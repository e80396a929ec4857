#include <gtest/gtest.h>

#include <cstdint>

#include "tool_runner.h"

namespace tools_test {
namespace {

TEST(CodecCommands, RoundTripsTextsAndGivesTheCodecsOwnStreams) {
  ScratchFolder folder;
  const ToolRun packed = folder.run({"compress"}, "abracadabra");
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(packed.out, std::string("\x61\x34\xCF\xF1\x50\xE9\xF9\xC0\xFF\x00", 10));

  const ToolRun empty = folder.run({"compress"}, "");
  EXPECT_EQ(empty.out, "\xFF\x40");

  std::string text;
  for (const std::string& file : collection_files()) text += read_file(file);
  text.resize(32767);
  const ToolRun big = folder.run({"compress"}, text);
  ASSERT_EQ(big.status, 0) << big.err;
  EXPECT_LT(big.out.size(), text.size() / 2);
  const ToolRun back = folder.run({"decompress"}, big.out);
  ASSERT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(back.out, text);
  EXPECT_TRUE(back.err.empty());
}

TEST(CodecCommands, RefuseInputsPastTheAreasAndWriteNothing) {
  ScratchFolder folder;
  const std::string too_long(32768, 'x');
  for (const char* command : {"compress", "decompress"}) {
    const ToolRun refused = folder.run({command}, too_long);
    EXPECT_EQ(refused.status, 1) << command;
    EXPECT_TRUE(refused.out.empty()) << command;
    EXPECT_NE(refused.err.find("32768 bytes"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("32767"), std::string::npos) << refused.err;
  }
  // Text that fits but whose stream would not: noise barely compresses.
  std::string noise(32767, '\0');
  std::uint32_t state = 1;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 23);
  const ToolRun no_room = folder.run({"compress"}, noise);
  EXPECT_EQ(no_room.status, 1);
  EXPECT_TRUE(no_room.out.empty());
  EXPECT_NE(no_room.err.find("would not fit the format's 32769 bytes"), std::string::npos)
      << no_room.err;
  const ToolRun operand = folder.run({"compress", "file.txt"});
  EXPECT_EQ(operand.status, 2);
  EXPECT_NE(operand.err.find("stdin"), std::string::npos);
}

TEST(CodecCommands, ReportDamagedStreams) {
  ScratchFolder folder;
  // A hundred zero bytes decode on and on, past the output area.
  const ToolRun endless = folder.run({"decompress"}, std::string(100, '\0'));
  EXPECT_EQ(endless.status, 1);
  EXPECT_TRUE(endless.out.empty());
  EXPECT_NE(endless.err.find("damaged"), std::string::npos) << endless.err;

  // Bytes behind the end symbol: not a stream the compressor wrote.
  const std::string stream = folder.run({"compress"}, "a fortune cookie").out;
  const ToolRun trailing = folder.run({"decompress"}, stream + "junk");
  EXPECT_EQ(trailing.status, 1);
  EXPECT_TRUE(trailing.out.empty());
  EXPECT_NE(trailing.err.find("left over after its end symbol"), std::string::npos) << trailing.err;

  const ToolRun sound = folder.run({"decompress"}, stream);
  EXPECT_EQ(sound.status, 0);
  EXPECT_EQ(sound.out, "a fortune cookie");
}

TEST(CommandLine, HelpForEveryCommandAndRefusalsOfUnknownOnes) {
  ScratchFolder folder;
  for (const char* command :
       {"compress", "decompress", "pack", "unpack", "verify", "show", "random", "stats"}) {
    const ToolRun help = folder.run({command, "--help"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: drollbox-db ") + command, 0), 0u) << help.out;
  }
  const ToolRun overview = folder.run({"--help"});
  EXPECT_EQ(overview.status, 0);
  EXPECT_NE(overview.out.find("stats"), std::string::npos);

  const ToolRun unknown = folder.run({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);
  const ToolRun bad_option = folder.run({"verify", "--colour"});
  EXPECT_EQ(bad_option.status, 2);
  EXPECT_NE(bad_option.err.find("--colour"), std::string::npos);
  const ToolRun missing_value = folder.run({"verify", "--file"});
  EXPECT_EQ(missing_value.status, 2);
  EXPECT_EQ(folder.run({}).status, 2);
}

}  // namespace
}  // namespace tools_test
