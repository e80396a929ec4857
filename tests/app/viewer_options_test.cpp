#include "app/viewer_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using app::AutostartChange;

TEST(ViewerOptions, DataFileAutostartAndWhatCannotBeUnderstood) {
  struct Row {
    std::vector<const char*> arguments;
    std::string data_file;
    AutostartChange autostart;
    std::string error;
  };
  const std::vector<Row> rows = {
      {{}, "", AutostartChange::none, ""},
      {{"other.dat"}, "other.dat", AutostartChange::none, ""},
      {{"--file", "other.dat"}, "other.dat", AutostartChange::none, ""},
      {{"--file=other.dat", "--autostart", "on"}, "other.dat", AutostartChange::on, ""},
      {{"--autostart=off", "--"}, "", AutostartChange::off, ""},
      {{"--", "-odd.dat"}, "-odd.dat", AutostartChange::none, ""},
      {{"a.dat", "b.dat"}, "a.dat", AutostartChange::none, "names more than one data file"},
      {{"--file"}, "", AutostartChange::none, "the data file's name is empty"},
      {{"--autostart", "yes"}, "", AutostartChange::none, "--autostart wants on or off"},
      {{"-x"}, "", AutostartChange::none, "unknown option '-x'"},
  };
  for (const Row& row : rows) {
    std::vector<const char*> argv = {"drollbox"};
    argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
    SCOPED_TRACE(testing::PrintToString(argv));
    const app::ViewerOptions options =
        app::parse_viewer_options(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(options.data_file, row.data_file);
    EXPECT_EQ(options.autostart, row.autostart);
    EXPECT_EQ(options.error, row.error);
  }
}

}  // namespace
