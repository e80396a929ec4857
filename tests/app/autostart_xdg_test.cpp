#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/autostart.h"
#include "files/write_file.h"

namespace {

namespace fs = std::filesystem;

// The entry comes and goes in $XDG_CONFIG_HOME/autostart, ~/.config without
// it, and starts this program on the data file given, quoted as the desktop
// entry format wants.
TEST(Autostart, EntryComesAndGoesInTheXdgFolder) {
  const fs::path folder =
      fs::temp_directory_path() / ("drollbox-autostart-" + std::to_string(::getpid()));
  const fs::path entry = folder / "config" / "autostart" / "drollbox.desktop";
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  const std::string program = fs::read_symlink("/proc/self/exe").string();

  EXPECT_EQ(app::change_autostart(true, "/tmp/a \"b\" $c\\d 100%.dat").message,
            "added the login entry '" + entry.string() + "'");
  const std::string text = files::read_file(entry).value_or("");
  EXPECT_NE(
      text.find("\nExec=\"" + program + "\" \"/tmp/a \\\\\"b\\\\\" \\\\$c\\\\\\\\d 100%%.dat\"\n"),
      std::string::npos)
      << text;
  EXPECT_TRUE(app::change_autostart(true, "").done);
  EXPECT_NE(files::read_file(entry).value_or("").find("\nExec=\"" + program + "\"\n"),
            std::string::npos);

  EXPECT_EQ(app::change_autostart(false, "").message,
            "removed the login entry '" + entry.string() + "'");
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_TRUE(app::change_autostart(false, "").done);

  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", folder.c_str(), 1);
  EXPECT_TRUE(app::change_autostart(true, "").done);
  EXPECT_TRUE(fs::exists(folder / ".config" / "autostart" / "drollbox.desktop"));
  fs::create_directories(folder / "blocked");
  std::ofstream(folder / "blocked" / "autostart") << "a file where the folder would be";
  ::setenv("XDG_CONFIG_HOME", (folder / "blocked").c_str(), 1);
  const app::AutostartOutcome refused = app::change_autostart(true, "");
  EXPECT_TRUE(!refused.done &&
              refused.message.starts_with("cannot make the folder '" +
                                          (folder / "blocked" / "autostart").string() + "': "))
      << refused.message;
  fs::remove_all(folder);
}

}  // namespace
