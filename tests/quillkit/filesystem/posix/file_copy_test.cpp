#include "quillkit/filesystem/posix/file_copy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <thread>
#include <vector>

#include "quillkit/filesystem/posix/kernel_calls.h"
#include "tests/support/temp_dir.h"

namespace {

namespace posix = quillkit::posix;

class PosixCopyFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.join(name); }
  int copy(const std::string& from, const std::string& to, bool replace) {
    posix::CopyOptions options;
    options.replace = replace;
    return posix::copyFile(path(from), path(to), options).error;
  }
  struct stat statOf(const std::string& name) {
    struct stat status {};
    stat(path(name).c_str(), &status);
    return status;
  }
  TempDir dir_;
};

TEST_F(PosixCopyFileTest, FailuresTellWhy) {
  dir_.write("a.txt", "a");
  dir_.write("b.txt", "b");
  dir_.write("ro.txt", "read-only");
  chmod(path("ro.txt").c_str(), 0444);
  dir_.makeDirs("dir");
  ASSERT_EQ(0, mkfifo(path("fifo").c_str(), 0600));  // no writer: opening it must not wait
  struct Case {
    const char* source;
    const char* destination;
    bool replace;
    int error;
  };
  const Case cases[] = {
      {"missing.txt", "b.txt", true, ENOENT},  // the source is opened first
      {"a.txt", "nodir/x.txt", false, ENOENT}, {"a.txt", "b.txt", false, EEXIST},
      {"a.txt", "a.txt", false, EEXIST},       {"a.txt", "a.txt", true, EBUSY},
      {"a.txt", "dir", true, EISDIR},          {"dir", "x.txt", false, EISDIR},
      {"a.txt", "ro.txt", true, EACCES},       {"a.txt", "a.txt/x", false, ENOTDIR},
      {"fifo", "x.txt", false, EINVAL},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.error, copy(c.source, c.destination, c.replace))
        << c.source << " -> " << c.destination;
  }
  EXPECT_EQ("read-only", dir_.read("ro.txt"));
  EXPECT_EQ("b", dir_.read("b.txt"));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "dir", "fifo", "ro.txt"}), dir_.list());
}

TEST_F(PosixCopyFileTest, KeepsPermissionBitsAndNanosecondModificationTime) {
  dir_.write("a.sh", "#!/bin/sh\n");
  chmod(path("a.sh").c_str(), 0751);
  const struct timespec times[2] = {{1000, 0}, {1234567890, 123456789}};
  utimensat(AT_FDCWD, path("a.sh").c_str(), times, 0);
  ASSERT_EQ(0, copy("a.sh", "b.sh", false));
  struct stat copied = statOf("b.sh");
  EXPECT_EQ(0751u, copied.st_mode & 07777);
  EXPECT_EQ(1234567890, posix::modificationTime(copied).tv_sec);
  EXPECT_EQ(123456789, posix::modificationTime(copied).tv_nsec);
}

TEST_F(PosixCopyFileTest, ReplacingGivesANewFileAndLeavesNoTemporaryFile) {
  dir_.write("a.txt", std::string(300000, 'x'));
  dir_.write("b.txt", "old");
  posix::CopyOptions options;
  options.replace = true;
  options.verify = true;
  options.makeWritable = true;
  chmod(path("a.txt").c_str(), 0444);
  ASSERT_TRUE(posix::copyFile(path("a.txt"), path("b.txt"), options).succeeded());
  EXPECT_EQ(std::string(300000, 'x'), dir_.read("b.txt"));
  EXPECT_EQ(0644u, statOf("b.txt").st_mode & 0777);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), dir_.list());
}

// A copy cut short by the file-size limit fails the way a full disk would: midway.
TEST_F(PosixCopyFileTest, OverwriteThatFailsMidwayKeepsTheOldContent) {
  dir_.write("big.txt", std::string(1 << 20, 'n'));
  dir_.write("b.txt", "old content");
  struct rlimit saved;
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
  void (*savedHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  int error = copy("big.txt", "b.txt", true);
  int errorNew = copy("big.txt", "new.txt", false);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(EFBIG, error);
  EXPECT_EQ(EFBIG, errorNew);
  EXPECT_EQ("old content", dir_.read("b.txt"));
  EXPECT_EQ((std::vector<std::string>{"b.txt", "big.txt"}), dir_.list());
}

// A pending file that is given up twice closes only its own descriptor.
TEST_F(PosixCopyFileTest, DiscardingTwiceLeavesOtherDescriptorsAlone) {
  if (fcntl(0, F_GETFD) == -1) {
    ASSERT_EQ(0, open("/dev/null", O_RDONLY));
  }
  {
    posix::PendingFile pending;
    ASSERT_EQ(0, pending.create(path("new.txt"), 0644));
    pending.discard();
    pending.discard();
  }
  EXPECT_NE(-1, fcntl(0, F_GETFD));
  EXPECT_TRUE(dir_.list().empty());
}

// Several copies race for one new name: exactly one wins, whole, and nothing is
// overwritten afterwards.
TEST_F(PosixCopyFileTest, FailIfExistsHoldsInARace) {
  constexpr int kRacers = 8;
  for (int i = 0; i < kRacers; ++i)
    dir_.write("src" + std::to_string(i), std::string(200000 + i, char('a' + i)));
  for (int round = 0; round < 10; ++round) {
    std::string target = "race" + std::to_string(round);
    std::atomic<int> winners{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> racers;
    for (int i = 0; i < kRacers; ++i) {
      racers.emplace_back([&, i] {
        while (!go) {
        }
        if (copy("src" + std::to_string(i), target, false) == 0) ++winners;
      });
    }
    go = true;
    for (std::thread& racer : racers) racer.join();
    EXPECT_EQ(1, winners.load());
    std::string content = dir_.read(target);
    ASSERT_FALSE(content.empty());
    EXPECT_EQ(std::string(content.size(), content[0]), content);
    EXPECT_EQ(200000u + (content[0] - 'a'), content.size());
  }
  EXPECT_EQ(kRacers + 10u, dir_.list().size());
}

}  // namespace
