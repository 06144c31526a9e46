#include "copy/copy_file_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <thread>
#include <vector>

#include "copy/copy_file.h"
#include "copy/kernel_calls.h"
#include "support/file_util.h"
#include "support/temp_dir.h"

namespace {

class PosixCopyFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.join(name); }
  int copy(const std::string& from, const std::string& to, bool replace) {
    posixfile::CopyOptions options;
    options.replace = replace;
    return posixfile::copyFile(path(from), path(to), options);
  }
  struct stat statOf(const std::string& name) {
    struct stat status {};
    stat(path(name).c_str(), &status);
    return status;
  }
  ScopedTempDir dir_;
};

TEST_F(PosixCopyFileTest, FailuresTellWhyThroughErrno) {
  writeFile(path("a.txt"), "a");
  writeFile(path("b.txt"), "b");
  writeFile(path("ro.txt"), "read-only");
  chmod(path("ro.txt").c_str(), 0444);
  makeDirectories(path("dir"));
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
  EXPECT_EQ("read-only", readFile(path("ro.txt")));
  EXPECT_EQ("b", readFile(path("b.txt")));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt", "dir", "fifo", "ro.txt"}),
            listDirectory(dir_.path()));
}

TEST_F(PosixCopyFileTest, CopyFileWin32LeavesErrnoForTheErrorText) {
  writeFile(path("a.txt"), "a");
  writeFile(path("b.txt"), "b");
  errno = 0;
  EXPECT_FALSE(CopyFileWin32(path("b.txt"), path("a.txt"), false));
  EXPECT_EQ(EEXIST, errno);
  EXPECT_FALSE(CopyFileWin32(path("c.txt"), path("none.txt"), false));
  EXPECT_EQ(ENOENT, errno);
}

TEST_F(PosixCopyFileTest, BackslashesAreSeparators) {
  writeFile(path("sub/a.txt"), "a");
  EXPECT_TRUE(CopyFileWin32(dir_.path() + "\\sub\\b.txt", dir_.path() + "\\sub\\a.txt", false));
  EXPECT_EQ("a", readFile(path("sub/b.txt")));
}

TEST_F(PosixCopyFileTest, KeepsPermissionBitsAndNanosecondModificationTime) {
  writeFile(path("a.sh"), "#!/bin/sh\n");
  chmod(path("a.sh").c_str(), 0751);
  const struct timespec times[2] = {{1000, 0}, {1234567890, 123456789}};
  utimensat(AT_FDCWD, path("a.sh").c_str(), times, 0);
  ASSERT_EQ(0, copy("a.sh", "b.sh", false));
  struct stat copied = statOf("b.sh");
  EXPECT_EQ(0751u, copied.st_mode & 07777);
  EXPECT_EQ(1234567890, modificationTime(copied).tv_sec);
  EXPECT_EQ(123456789, modificationTime(copied).tv_nsec);
}

TEST_F(PosixCopyFileTest, ReplacingGivesANewFileAndLeavesNoTemporaryFile) {
  writeFile(path("a.txt"), std::string(300000, 'x'));
  writeFile(path("b.txt"), "old");
  posixfile::CopyOptions options;
  options.replace = true;
  options.verify = true;
  options.makeWritable = true;
  chmod(path("a.txt").c_str(), 0444);
  ASSERT_EQ(0, posixfile::copyFile(path("a.txt"), path("b.txt"), options));
  EXPECT_EQ(std::string(300000, 'x'), readFile(path("b.txt")));
  EXPECT_EQ(0644u, statOf("b.txt").st_mode & 0777);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), listDirectory(dir_.path()));
}

// A copy cut short by the file-size limit fails the way a full disk would: midway.
TEST_F(PosixCopyFileTest, OverwriteThatFailsMidwayKeepsTheOldContent) {
  writeFile(path("big.txt"), std::string(1 << 20, 'n'));
  writeFile(path("b.txt"), "old content");
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
  EXPECT_EQ("old content", readFile(path("b.txt")));
  EXPECT_EQ((std::vector<std::string>{"b.txt", "big.txt"}), listDirectory(dir_.path()));
}

// Several copies race for one new name: exactly one wins, whole, and nothing is
// overwritten afterwards.
TEST_F(PosixCopyFileTest, FailIfExistsHoldsInARace) {
  constexpr int kRacers = 8;
  for (int i = 0; i < kRacers; ++i)
    writeFile(path("src" + std::to_string(i)), std::string(200000 + i, char('a' + i)));
  for (int round = 0; round < 10; ++round) {
    std::string target = "race" + std::to_string(round);
    std::atomic<int> winners{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> racers;
    for (int i = 0; i < kRacers; ++i) {
      racers.emplace_back([&, i] {
        while (!go) {
        }
        if (CopyFileWin32(path(target), path("src" + std::to_string(i)), false)) ++winners;
      });
    }
    go = true;
    for (std::thread& racer : racers) racer.join();
    EXPECT_EQ(1, winners.load());
    std::string content = readFile(path(target));
    ASSERT_FALSE(content.empty());
    EXPECT_EQ(std::string(content.size(), content[0]), content);
    EXPECT_EQ(200000u + (content[0] - 'a'), content.size());
  }
  EXPECT_EQ(kRacers + 10u, listDirectory(dir_.path()).size());
}

}  // namespace
