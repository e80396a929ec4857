// The writer in a throw-away folder: devices are made there with mknod, never
// touched in the machine's own /dev.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/write_file.h"

namespace {

namespace fs = std::filesystem;
using files::write_file;
using files::WriteFailure;

class WriteFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("drollbox-write-" +
              std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::all);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string at(const char* name) const { return (folder / name).string(); }
  void put(const char* name, const char* bytes) const { std::ofstream(at(name)) << bytes; }
  std::string get(const char* name) const { return files::read_file(at(name)).value_or("<none>"); }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }

  fs::path folder;
};

TEST_F(WriteFile, ReplacesAFileKeepingItsModeAndOwnerAndFollowsLinks) {
  put("target", "old");
  ASSERT_EQ(::chmod(at("target").c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(at("target").c_str(), 1234, 5678), 0);
  }
  fs::create_symlink("target", folder / "link");

  const files::WriteResult result = write_file(at("link"), "new");
  EXPECT_TRUE(result.ok()) << result.message();
  EXPECT_EQ(result.path, at("target"));
  EXPECT_TRUE(fs::is_symlink(folder / "link"));
  EXPECT_EQ(get("target"), "new");
  struct stat info {};
  ASSERT_EQ(::stat(at("target").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(info.st_uid, 1234u);
  }
  EXPECT_EQ(entries(), 2u);
}

TEST_F(WriteFile, WritesDevicesAndFifosWhereTheyAre) {
  if (::mknod(at("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device here (not root?)";
  ASSERT_EQ(::mknod(at("full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  const int reader = ::open(at("fifo").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);

  EXPECT_TRUE(write_file(at("null"), "gone").ok());
  EXPECT_TRUE(write_file(at("fifo"), "piped").ok());
  char piped[16] = {};
  EXPECT_EQ(::read(reader, piped, sizeof piped), 5);
  ::close(reader);
  EXPECT_STREQ(piped, "piped");
  const files::WriteResult full = write_file(at("full"), "no room");
  EXPECT_EQ(full.failure, WriteFailure::cannot_write);
  EXPECT_EQ(full.error_number, ENOSPC);
  for (const char* name : {"null", "full"}) EXPECT_TRUE(fs::is_character_file(folder / name));
  EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
  EXPECT_EQ(entries(), 3u);
}

TEST_F(WriteFile, RefusesFoldersAndFilesTheUserMayNotWrite) {
  fs::create_directory(folder / "folder");
  const files::WriteResult onto_folder = write_file(at("folder"), "x");
  EXPECT_EQ(onto_folder.failure, WriteFailure::is_directory);
  EXPECT_NE(onto_folder.message().find("is a directory"), std::string::npos);

  put("theirs", "kept");
  ASSERT_EQ(::chmod(at("theirs").c_str(), 0444), 0);
  if (::geteuid() == 0 && ::seteuid(65534) != 0) GTEST_SKIP() << "cannot act as another user";
  const files::WriteResult theirs = write_file(at("theirs"), "x");
  if (::getuid() == 0) {
    ASSERT_EQ(::seteuid(0), 0);
  }
  EXPECT_EQ(theirs.failure, WriteFailure::not_writable);
  EXPECT_EQ(get("theirs"), "kept");
  EXPECT_EQ(entries(), 2u);
}

// SIGTERM from a timer lands wherever the writes are; each time the target
// must hold one whole version and no temporary file may be left.
TEST_F(WriteFile, TerminationLeavesNoTemporaryFile) {
  const std::string first(8 << 20, 'a');
  const std::string second(8 << 20, 'b');
  ASSERT_TRUE(write_file(at("big"), first).ok());
  for (int round = 0; round < 4; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      sigevent event{};
      event.sigev_notify = SIGEV_SIGNAL;
      event.sigev_signo = SIGTERM;
      timer_t timer{};
      itimerspec when{};
      when.it_value.tv_nsec = 5'000'000 + 7'000'000 * round;
      if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0 ||
          ::timer_settime(timer, 0, &when, nullptr) != 0)
        ::_exit(3);
      for (;;) write_file(at("big"), round % 2 == 0 ? second : first);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    const std::string left = get("big");
    EXPECT_TRUE(left == first || left == second) << left.size();
    EXPECT_EQ(entries(), 1u);
  }
}

}  // namespace
