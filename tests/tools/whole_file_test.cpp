// The whole-file commands on several workers against one, and the readers
// that must stay bounded whatever they are fed.
#include <gtest/gtest.h>

#include <fstream>

#include "database/data_file_writer.h"
#include "tool_runner.h"
#include "tools/block_plan.h"

namespace tools_test {
namespace {

std::string with_workers(const char* count) {
  return std::string("export DROLLBOX_WORKERS=") + count + "; ";
}

// The default database and a copy whose third-last block's stream is noise:
// every command prints the same, and fails the same, on one worker or three.
TEST(WholeFileCommands, SeveralWorkersPrintWhatOneDoes) {
  ScratchFolder folder;
  std::string damaged = read_file(DROLLBOX_DEFAULT_DATABASE);
  ASSERT_GT(damaged.size(), 1000u);
  const auto be32 = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = at; i < at + 4; ++i) value = value << 8 | std::uint8_t(damaged[i]);
    return value;
  };
  const std::uint32_t blocks = (be32(30) + 99) / 100, index_length = be32(34);
  damaged[38 + index_length + be32(38 + 4 * (blocks - 3)) + 9] ^= 0x5A;
  folder.write("damaged.dat", damaged);
  for (const std::string& file :
       {std::string(DROLLBOX_DEFAULT_DATABASE), std::string("damaged.dat")}) {
    std::string verify_damage;
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"verify"}, {"unpack"}, {"search", "-i", "the"}, {"stats"}}) {
      std::vector<std::string> arguments = command;
      arguments.insert(arguments.end(), {"--file", file});
      SCOPED_TRACE(testing::PrintToString(arguments));
      const ToolRun one = folder.run(arguments, "", with_workers("1"));
      const ToolRun three = folder.run(arguments, "", with_workers("3"));
      EXPECT_EQ(three.status, one.status);
      EXPECT_EQ(three.out, one.out);
      EXPECT_EQ(three.err, one.err);
      EXPECT_EQ(one.status, file == "damaged.dat" ? 1 : 0) << one.err;
      // Each tells the damage as verify does, where it lies included.
      if (one.status == 0) continue;
      const std::string damage = one.err.substr(std::min(one.err.find(':'), one.err.size()));
      if (command[0] == "verify") verify_damage = damage;
      EXPECT_EQ(damage, verify_damage);
    }
  }
}

// 100 long cookies and 100 short ones: block 0 does not fit as it comes, and
// the plan made from the spooled cookies' sizes is the one made of them held.
TEST(WholeFileCommands, PackWritesThePlannedFileOnAnyWorkerCount) {
  ScratchFolder folder;
  std::vector<std::string> cookies;
  std::string fortunes;
  for (int i = 0; i < 250; ++i) {
    cookies.push_back(std::string(i < 100 ? 400 : 20, static_cast<char>('a' + i % 26)) +
                      std::to_string(i));
    fortunes += cookies.back() + "\n%\n";
  }
  folder.write("long.txt", fortunes);
  const tools::BlockPlan plan = tools::plan_blocks(cookies, 32767, tools::StreamCheck::skip);
  ASSERT_NE(plan.cookies, cookies);
  const std::vector<std::uint8_t> image = database::build_data_file(plan.cookies).bytes;
  const std::string expected(image.begin(), image.end());
  for (const char* workers : {"1", "4"}) {
    EXPECT_EQ(folder.run({"pack", "long.txt", "-o", "long.dat"}, "", with_workers(workers)).status,
              0);
    EXPECT_EQ(folder.read("long.dat"), expected) << workers;
    EXPECT_EQ(folder.run({"pack", "-", "-o", "-"}, fortunes, with_workers(workers)).out, expected);
  }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr const char* memory_limit = "";  // the sanitizer's shadow needs the address space
#else
constexpr const char* memory_limit = "ulimit -v 65536; ";
#endif

// Endless and oversized input under 64 MB of address space: a message and exit 1.
TEST(BoundedReaders, EndlessAndOversizedInputEndWithAMessage) {
  ScratchFolder folder;
  folder.write("huge-index.dat", std::string("Drollbox fortune file\0\0\0\0\4\0\0\7\x09", 30) +
                                     std::string(8, '\xFF'));
  std::ofstream(folder / "long-cookie.txt") << std::string(12 << 20, 'x') << "\n%\nfine\n";
  const struct {
    std::string line;
    int status;
    std::string said;  // on stderr, or for pack's summary stdout
  } rows[] = {
      {"pack /dev/zero", 1, "'/dev/zero' is not a fortune file: no \"%\" line in 16 MiB"},
      {"pack - </dev/zero", 1, "'standard input' is not a fortune file"},
      {"pack long-cookie.txt", 0, "longer than 1999 characters: 1,"},
      {"verify --file - </dev/zero", 1, "'standard input': not a Drollbox data file"},
      {"verify --file - <huge-index.dat", 1, "the index is too large to read from standard input"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const std::string command = std::string(memory_limit) + with_workers("2") + "cd '" +
                                folder.path.string() + "' && " DROLLBOX_DB_TOOL " " + row.line +
                                " >.stdout 2>.stderr";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, row.status);
    const std::string said = folder.read(".stderr") + folder.read(".stdout");
    EXPECT_NE(said.find(row.said), std::string::npos) << said;
  }
}

}  // namespace
}  // namespace tools_test
