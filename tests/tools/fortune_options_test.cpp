#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "drollbox_version.h"
#include "tool_runner.h"

namespace tools_test {
namespace {

// What a fortune user reaches for, the standard streams as "-", and the
// system's reason when a file cannot be read; on the project's collection.
TEST(FortuneOptions, ChooseSearchStreamAndExplain) {
  ScratchFolder folder;
  const std::string source = pack_collection(folder);
  const std::string bytes = folder.read("Drollbox.dat");
  const std::size_t ballad_at = source.find("The Ballad");
  const std::string ballad = source.substr(ballad_at, source.find("\n%\n", ballad_at) - ballad_at);

  const std::vector<Row> rows = {
      {{"random", "-s", "-n", "35"}, "", 0, "Small steps still count as walking.\n", ""},
      {{"random", "-s", "-n", "34"}, "", 1, "", "no cookie of at most 34 characters"},
      {{"random", "--long", "-n", "158"}, "", 0, "The Ballad of the Lost Umbrella\n*", ""},
      {{"random", "-l", "-n", "2000"}, "", 1, "", "no cookie of more than 2000 characters"},
      {{"random", "-n", "x"}, "", 2, "", "-n wants a number"},
      {{"random", "-i"}, "", 2, "", "has no option -i"},
      {{"search", "Umbrella"}, "", 0, ballad + "\n%\n", "1 cookie matched"},
      {{"search", "the cat"}, "", 0, "*", "2 cookies matched"},
      {{"search", "-i", "the cat"}, "", 0, "*", "3 cookies matched"},
      {{"search", "walking|frying pan"}, "", 1, "", "0 cookies matched"},
      {{"search", "-E", "walking|frying pan"}, "", 0, "*", "2 cookies matched"},
      {{"stats", "--file", "-"}, bytes, 0, "cookies: 151\n*", ""},
      {{"unpack", "--file", "-", "-o", "-"}, bytes, 0, source, ""},
      {{"verify", "--file", "-"}, "not a data file", 1, "", "'standard input': "},
      {{"pack", "-", "-o", "-"}, "One.\n%\nTwo.\n", 0, "Drollbox*", "packed: 2 cookies"},
      {{"stats", "--file", "nil.dat"}, "", 1, "", "'nil.dat': No such file or directory"},
      {{"random", "--file", "."}, "", 1, "", "cannot read '.': Is a directory"},
      {{"pack", "missing.txt"}, "", 1, "", "cannot read 'missing.txt': No such file or directory"},
      {{"show", "0", "--version"}, "", 0, "drollbox-db " DROLLBOX_VERSION "\n", ""},
  };
  expect_rows(folder, rows);
  EXPECT_EQ(folder.read("Drollbox.dat"), bytes) << "-o - wrote a file";
  EXPECT_FALSE(std::filesystem::exists(folder / "-"));
}

}  // namespace
}  // namespace tools_test
