// Devices are made in a throw-away folder, never in the machine's own /dev.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "files/write_file.h"
#include "files/write_file_posix.h"

namespace {

namespace fs = std::filesystem;
using files::write_file;

struct Folder {
  fs::path path = fs::temp_directory_path() / ("drollbox-write-" + std::to_string(::getpid()));
  Folder() { fs::create_directories(path), fs::permissions(path, fs::perms::all); }
  ~Folder() { fs::remove_all(path); }
  std::string at(const char* name) const { return (path / name).string(); }
  std::string read(const char* name) const { return files::read_file(at(name)).value_or("-"); }
  auto entries() const { return std::distance(fs::directory_iterator(path), {}); }
};

TEST(WriteFile, KeepsModeAndOwnerFollowsLinksAndRefusesWhatTheUserMayNotWrite) {
  Folder folder;
  ASSERT_TRUE(write_file(folder.at("target"), "old").ok());
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(fs::status(folder.path / "target").permissions(), fs::perms(0666 & ~umask));
  ASSERT_EQ(::chmod(folder.at("target").c_str(), 0604), 0);
  const bool root = ::geteuid() == 0;
  ASSERT_TRUE(!root || ::chown(folder.at("target").c_str(), 1234, 5678) == 0);
  fs::create_symlink("target", folder.path / "link");
  EXPECT_EQ(write_file(folder.at("link"), "new").path, folder.at("target"));
  EXPECT_TRUE(fs::is_symlink(folder.path / "link"));
  EXPECT_EQ(folder.read("target"), "new");
  struct stat info {};
  ASSERT_EQ(::stat(folder.at("target").c_str(), &info), 0);
  EXPECT_TRUE((info.st_mode & 07777) == 0604u && info.st_uid == (root ? 1234u : ::geteuid()));

  if (root && ::seteuid(65534) != 0) GTEST_SKIP() << "cannot act as another user";
  const files::WriteResult theirs = write_file(folder.at("target"), "x");
  ASSERT_TRUE(!root || ::seteuid(0) == 0);
  EXPECT_EQ(theirs.failure, files::WriteFailure::not_writable);
  EXPECT_EQ(folder.read("target"), "new");
  EXPECT_EQ(folder.entries(), 2);
}

TEST(WriteFile, WritesDevicesAndFifosWhereTheyAre) {
  Folder folder;
  if (::mknod(folder.at("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device here (not root?)";
  ASSERT_EQ(::mknod(folder.at("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  ASSERT_EQ(::mkfifo(folder.at("fifo").c_str(), 0600), 0);
  const int reader = ::open(folder.at("fifo").c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_TRUE(write_file(folder.at("null"), "gone").ok());
  EXPECT_TRUE(write_file(folder.at("fifo"), "piped").ok());
  char piped[8] = {};
  EXPECT_EQ(::read(reader, piped, sizeof piped), 5);
  ::close(reader);
  EXPECT_EQ(write_file(folder.at("full"), "no room").error_number, ENOSPC);
  EXPECT_TRUE(fs::is_character_file(folder.path / "null") && fs::is_fifo(folder.path / "fifo") &&
              fs::is_character_file(folder.path / "full"));
  EXPECT_EQ(folder.entries(), 3);
}

// Where the system cannot make a file without a name (kills of that way are
// the tool's unpack test), each catchable signal lands wherever the writes
// are: each time the target holds one whole version and no temporary file
// is left.
TEST(WriteFile, TerminationLeavesNoNamedTemporaryFile) {
  Folder folder;
  const std::string versions[2] = {std::string(8 << 20, 'a'), std::string(8 << 20, 'b')};
  ASSERT_TRUE(write_file(folder.at("big"), versions[0]).ok());
  files::named_temporaries_only = true;
  for (const int signal_number : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM}) {
    SCOPED_TRACE(::strsignal(signal_number));
    for (long delay_ms = 5; delay_ms < 40; delay_ms += 10) {
      const pid_t child = ::fork();
      if (child == 0) {
        const struct rlimit no_core {};
        ::setrlimit(RLIMIT_CORE, &no_core);
        for (int i = 0;; ++i) write_file(folder.at("big"), versions[i % 2]);
      }
      ::usleep(static_cast<useconds_t>(delay_ms * 1000));
      ::kill(child, signal_number);
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
      EXPECT_TRUE(folder.read("big") == versions[0] || folder.read("big") == versions[1]);
      EXPECT_EQ(folder.entries(), 1);
    }
  }
  files::named_temporaries_only = false;
}

}  // namespace
