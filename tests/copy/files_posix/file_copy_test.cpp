#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "copy/destination.h"
#include "copy/file_layer.h"
#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_io.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/flush_batch.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"
#include "copy/interruption_cleanup.h"
#include "quillkit/diagnostics.h"
#include "tests/support/files.h"
#include "tests/support/files_at_paths.h"
#include "tests/support/fuse_share.h"
#include "tests/support/platform.h"
#include "tests/support/refusing_kernel.h"
#include "tests/support/temp_dir.h"

namespace {

// Started as a shell's background job, the tests begin with SIGINT ignored; the
// interruption tests need the signals as an interactive user has them, from the start,
// before any copy decides how to clean up.
[[maybe_unused]] const bool kSignalsAtDefault = [] {
  for (int signalNumber : {SIGHUP, SIGINT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1}) {
    struct sigaction current;
    sigaction(signalNumber, nullptr, &current);
    if (current.sa_handler == SIG_IGN) signal(signalNumber, SIG_DFL);
  }
  return true;
}();

// Every guarantee holds for the unnamed temporary file, linked by its descriptor or by
// its name under /proc (as older kernels allow an unprivileged user), and for the named
// one that serves where the file system refuses unnamed files.
enum Temporary { kUnnamed, kUnnamedThroughProc, kNamed };
class PosixCopyFileTest : public ::testing::TestWithParam<Temporary> {
 protected:
  void SetUp() override {
    kernel_.refuseUnnamedFiles = GetParam() == kNamed;
    kernel_.refuseLinksByDescriptor = GetParam() == kUnnamedThroughProc;
  }
  std::string path(const std::string& name) const { return dir_.join(name); }
  int copy(const std::string& from, const std::string& to, bool replace) {
    copy::files::CopyOptions options;
    options.replace = replace;
    return at::copyFile(kernel_.context, path(from), path(to), options).error;
  }
  /// The copy that collect-copy makes into the test's folder.
  copy::CopyOutcome collected(const std::string& from, const std::string& name, bool replace) {
    std::unique_ptr<copy::Destination> destination = copy::openDestination(dir_.path(), files_);
    std::unique_ptr<copy::PreparedCopy> prepared =
        destination->makeCopy(path(from), name, replace);
    prepared->prepare();
    return prepared->takeName();
  }
  struct stat statOf(const std::string& name) {
    struct stat status {};
    stat(path(name).c_str(), &status);
    return status;
  }
  TempDir dir_;
  RefusingKernel kernel_;
  const copy::FileLayer files_;
};

TEST_P(PosixCopyFileTest, FailuresTellWhy) {
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

TEST_P(PosixCopyFileTest, KeepsPermissionBitsAndNanosecondModificationTime) {
  dir_.write("a.sh", "#!/bin/sh\n");
  chmod(path("a.sh").c_str(), 0751);
  const struct timespec times[2] = {{1000, 0}, {1234567890, 123456789}};
  utimensat(AT_FDCWD, path("a.sh").c_str(), times, 0);
  ASSERT_EQ(0, copy("a.sh", "b.sh", false));
  struct stat copied = statOf("b.sh");
  EXPECT_EQ(0751u, copied.st_mode & 07777);
  EXPECT_EQ(1234567890, copy::files::modificationTime(copied).tv_sec);
  EXPECT_EQ(123456789, copy::files::modificationTime(copied).tv_nsec);
  // Bits that the umask takes from a new file are set again.
  chmod(path("a.sh").c_str(), 0777);
  ASSERT_EQ(0, copy("a.sh", "c.sh", false));
  EXPECT_EQ(0777u, statOf("c.sh").st_mode & 07777);
}

TEST_P(PosixCopyFileTest, ReplacingGivesANewFileAndLeavesNoTemporaryFile) {
  dir_.write("a.txt", std::string(300000, 'x'));
  dir_.write("b.txt", "old");
  copy::files::CopyOptions options;
  options.replace = true;
  options.verify = true;
  options.makeWritable = true;
  chmod(path("a.txt").c_str(), 0444);
  ASSERT_TRUE(at::copyFile(kernel_.context, path("a.txt"), path("b.txt"), options).succeeded());
  EXPECT_EQ(std::string(300000, 'x'), dir_.read("b.txt"));
  EXPECT_EQ(0644u, statOf("b.txt").st_mode & 0777);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), dir_.list());
}

// A copy cut short by the file-size limit fails the way a full disk would: midway.
TEST_P(PosixCopyFileTest, OverwriteThatFailsMidwayKeepsTheOldContent) {
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
TEST_P(PosixCopyFileTest, DiscardingTwiceLeavesOtherDescriptorsAlone) {
  if (fcntl(0, F_GETFD) == -1) {
    ASSERT_EQ(0, open("/dev/null", O_RDONLY));
  }
  {
    at::PendingFile pending(kernel_.context, path("new.txt"));
    ASSERT_EQ(0, pending->create(0644));
    pending->discard();
    pending->discard();
  }
  EXPECT_NE(-1, fcntl(0, F_GETFD));
  EXPECT_TRUE(dir_.list().empty());
}

// A copy closes the descriptors it opened and no other, descriptor 0 too when it is free
// and the first file opened takes it; the folder held for it is closed with its holder.
TEST_P(PosixCopyFileTest, ClosesItsOwnDescriptorsOnly) {
  dir_.write("a.txt", "a");
  dir_.makeDirs("dir");
  const std::size_t openBefore = testsys::list("/proc/self/fd").size();
  const int saved = dup(0);
  for (bool inputOpen : {true, false}) {
    close(0);
    if (inputOpen) {
      ASSERT_EQ(0, open("/dev/null", O_RDONLY));
    }
    const std::string name = inputOpen ? "b" : "c";
    {
      at::PendingFile pending(kernel_.context, path(name + "0"));
      EXPECT_EQ(0, pending->create(0644));
      EXPECT_EQ(0, pending->commit(false));
    }
    at::PendingFile(kernel_.context, path(name + "2"))->create(0644);  // given up at once
    EXPECT_EQ(EISDIR, copy("dir", name + "1", false));
    EXPECT_EQ(0, copy("a.txt", name + "1", false));
    EXPECT_EQ(0, copy("a.txt", name + "1", true));
    EXPECT_EQ(inputOpen, fcntl(0, F_GETFD) != -1);
  }
  dup2(saved, 0);
  close(saved);
  EXPECT_EQ(openBefore, testsys::list("/proc/self/fd").size());
}

// A copy whose writing failed holds no descriptor while it waits to tell why at its turn.
TEST(PreparedCopy, FailedHoldsNoDescriptor) {
  TempDir dir;
  dir.write("s", "x");
  RefusingKernel kernel;
  kernel.flushError = EIO;
  copy::files::CopyOptions options;
  options.replace = true;
  copy::files::DestinationFolder folder(kernel.context, dir.path());
  const std::size_t openBefore = testsys::list("/proc/self/fd").size();
  auto copy = copy::files::prepareCopy(dir.join("s"), folder, "d", options);
  EXPECT_EQ(openBefore, testsys::list("/proc/self/fd").size());
  EXPECT_EQ(EIO, copy->takeName().error);
  EXPECT_EQ(std::vector<std::string>{"s"}, dir.list());
}

// Several copies race for one new name: exactly one wins, whole, and nothing is
// overwritten afterwards.
TEST_P(PosixCopyFileTest, FailIfExistsHoldsInARace) {
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

// A failed copy names the system's reason; a copy onto another name of itself, with
// force-write, says so (where POSIX has no reason of its own for it), and the file stays.
TEST_P(PosixCopyFileTest, AFailedCopyOfCollectCopyTellsWhy) {
  dir_.write("a.txt", "precious");
  dir_.write("b.txt", "b");
  EXPECT_EQ("ERROR Message:File exists", collected("a.txt", "b.txt", false).errorText);
  EXPECT_EQ("ERROR Message:No such file or directory",
            collected("none.txt", "c.txt", false).errorText);
  ASSERT_EQ(0, unlink(path("b.txt").c_str()));
  ASSERT_EQ(0, link(path("a.txt").c_str(), path("b.txt").c_str()));
  ASSERT_EQ(0, symlink(path("a.txt").c_str(), path("c.txt").c_str()));
  for (const char* other : {"b.txt", "c.txt"})
    EXPECT_EQ("ERROR Message:The destination is the source file itself, under another name.",
              collected("a.txt", other, true).errorText)
        << other;
  EXPECT_EQ("precious", dir_.read("a.txt"));
}

TEST_P(PosixCopyFileTest, BackslashesAreSeparators) {
  dir_.write("sub/a.txt", "a");
  std::unique_ptr<copy::Destination> destination =
      copy::openDestination(dir_.path() + "\\sub", files_);
  std::unique_ptr<copy::PreparedCopy> prepared =
      destination->makeCopy(dir_.path() + "\\sub\\a.txt", "b.txt", false);
  prepared->prepare();
  EXPECT_TRUE(prepared->takeName().copied);
  EXPECT_EQ("a", dir_.read("sub/b.txt"));
}

// In a folder whose names can be added but never removed (chattr +a), no name is made
// that could not be taken back: a new file or link is named at once, a replacement is
// refused, and claiming a name without hard links does not create it empty first.
TEST_P(PosixCopyFileTest, AppendOnlyFolderGetsNoNameItCouldNotTakeBack) {
  dir_.write("a.txt", "new");
  dir_.write("dir/b.txt", "old");
  copy::files::Descriptor folder;
  folder.slot() = open(path("dir").c_str(), O_RDONLY | O_DIRECTORY);
  int flags = FS_APPEND_FL;
  if (!testsys::copiesAreUnnamed() || ioctl(folder.get(), FS_IOC_SETFLAGS, &flags) != 0)
    GTEST_SKIP() << "no append-only folders here, or none this build can tell";
  kernel_.refuseHardLinks = kernel_.refuseExclusiveRenames = true;
  struct stat like = statOf("a.txt");
  const copy::files::Context& context = kernel_.context;
  const std::vector<int> errors = {
      at::claimName(context, path("dir/b.txt"), path("dir/to")),
      copy("a.txt", "dir/b.txt", true), copy("a.txt", "dir/c.txt", true),
      at::placeSymbolicLink(context, "t", path("dir/ln"), false, like),
      at::placeSymbolicLink(context, "t", path("dir/ln"), true, like)};
  flags = 0;
  ioctl(folder.get(), FS_IOC_SETFLAGS, &flags);
  EXPECT_EQ((std::vector<int>{EPERM, EPERM, GetParam() == kNamed ? EPERM : 0, 0, EPERM}),
            errors);
  EXPECT_EQ(GetParam() == kNamed ? 2u : 3u, dir_.list("dir").size());
  // What was learnt of that folder holds for no other.
  dir_.write("top.txt", "old");
  EXPECT_EQ(0, copy("a.txt", "top.txt", true));
}

// A file system that takes the writes and refuses them at flush or close: the copy
// fails with that error and its file takes no name.
TEST_P(PosixCopyFileTest, RefusalAtFlushOrCloseFailsTheCopy) {
  dir_.write("a.txt", "new");
  dir_.write("b.txt", "old");
  kernel_.closeError = EPERM;  // a FUSE file system answers what it likes
  const int replacing = copy("a.txt", "b.txt", true);
  kernel_.closeError = EDQUOT;
  const int adding = copy("a.txt", "c.txt", false);
  kernel_.flushError = EIO;
  kernel_.closeError = 0;
  const int flushing = copy("a.txt", "b.txt", true);
  EXPECT_EQ((std::vector<int>{EPERM, EDQUOT, EIO}),
            (std::vector<int>{replacing, adding, flushing}));
  EXPECT_EQ("old", dir_.read("b.txt"));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), dir_.list());
  // Where there is no flush at all (EINVAL), close tells how the write-out went.
  kernel_.flushError = EINVAL;
  EXPECT_EQ(0, copy("a.txt", "b.txt", true));
  // Where a close could fail but did not, the copy keeps the name it took.
  kernel_.flushError = 0;
  kernel_.remote = true;
  EXPECT_EQ(0, copy("a.txt", "c.txt", false));
  EXPECT_EQ("new", dir_.read("c.txt"));
}

// The files under /proc say their size is 0 and hold text: read to the end.
TEST_P(PosixCopyFileTest, ReadsPastASizeOfNothing) {
  if (access("/proc/version", R_OK) != 0) GTEST_SKIP() << "no /proc";
  // Other kernels than Linux have no procfs of its kind, and the build for them knows none.
  if (!testsys::copiesAreUnnamed()) GTEST_SKIP() << "the build for other kernels";
  const copy::files::CopyOptions plain;
  ASSERT_EQ(0, at::copyFile(kernel_.context, "/proc/version", path("v"), plain).error);
  EXPECT_EQ(0u, dir_.read("v").find("Linux version "));
  // A size, no blocks, and no seeking of data (a device's registers): all of it is data.
  const std::string registers = "/proc/bus/pci/00/00.0";
  if (access(registers.c_str(), R_OK) == 0) {
    ASSERT_EQ(0, at::copyFile(kernel_.context, registers, path("r"), plain).error);
    EXPECT_EQ(readFile(registers), dir_.read("r"));
  }
  // A read that fails fails the copy: /proc/self/mem has nothing at offset 0.
  EXPECT_EQ(EIO, at::copyFile(kernel_.context, "/proc/self/mem", path("m"), plain).error);
}

// Elsewhere a file ends at the size it had when it was opened: one without data blocks
// that another grows once the copy has looked at it is not read on.
TEST_P(PosixCopyFileTest, AGrowingFileEndsWhereItEndedWhenOpened) {
  ASSERT_TRUE(testsys::makeSparseFile(path("growing"), 1 << 20));
  if (statOf("growing").st_blocks != 0) GTEST_SKIP() << "no holes here";
  kernel_.beforeCreate = [this] { truncate(path("growing").c_str(), 16 << 20); };
  EXPECT_EQ(0, copy("growing", "copy", false));
  EXPECT_EQ(1 << 20, statOf("copy").st_size);
}

// Holes stay holes, one at the end too.
TEST_P(PosixCopyFileTest, KeepsTheHolesOfASparseFile) {
  const off_t size = 16 << 20;
  ASSERT_TRUE(testsys::makeSparseFile(path("sparse"), size));
  const int fd = open(path("sparse").c_str(), O_WRONLY);
  for (off_t at : {0, 1 << 20, 10 << 20}) ASSERT_EQ(4, pwrite(fd, "data", 4, at));
  close(fd);
  if (statOf("sparse").st_blocks * 512 > size / 64) GTEST_SKIP() << "no holes here";
  ASSERT_EQ(0, copy("sparse", "copy", false));
  EXPECT_EQ(dir_.read("sparse"), dir_.read("copy"));
  EXPECT_EQ(statOf("sparse").st_blocks, statOf("copy").st_blocks);
}

std::string nameOf(const ::testing::TestParamInfo<Temporary>& info) {
  const char* const names[] = {"UnnamedFile", "UnnamedThroughProc", "NamedTemporary"};
  return names[info.param];
}
INSTANTIATE_TEST_SUITE_P(UnnamedOrNamed, PosixCopyFileTest,
                         ::testing::Values(kUnnamed, kUnnamedThroughProc, kNamed), nameOf);

// Runs `body` in a child process that permission bits stop (as nobody when this is
// root): its result, or -1 when the child could not run it.
int unprivileged(const std::function<int()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped = geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                                            setuid(65534) == 0);
    _exit(dropped ? body() : 255);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// Only a local file system lets a copy skip learning who its new file is: a close
// elsewhere may fail.
TEST(KernelCalls, TellsLocalFileSystemsWhereCloseCannotFail) {
  copy::files::KernelCalls system;
  auto local = [&system](const char* folder) {
    const int fd = open(folder, O_RDONLY | O_DIRECTORY);
    const bool answer = system.fileSystemIsLocal(fd);
    if (fd >= 0) close(fd);
    return answer;
  };
  EXPECT_FALSE(local("/proc"));
  EXPECT_FALSE(local("/no/such/folder"));
  if (testsys::copiesAreUnnamed() && testsys::isDirectory("/dev/shm")) {
    EXPECT_TRUE(local("/dev/shm"));  // tmpfs
  }
}

// A folder is flushed through a descriptor of its own, closed after; one that may be
// written but not read counts as flushed (with everything else).
TEST(KernelCalls, FlushFolderClosesWhatItOpens) {
  copy::files::KernelCalls system;
  TempDir dir;
  ASSERT_EQ(0, chmod(dir.path().c_str(), 0755));
  dir.write("file", "x");
  dir.makeDirs("write-only");
  ASSERT_EQ(0, chmod(dir.join("write-only").c_str(), 0333));
  auto flush = [&system](const std::string& folder) {
    const int fd = open(folder.c_str(), O_PATH | O_DIRECTORY);
    const int error = system.flushFolder(fd);
    close(fd);
    return error;
  };
  const std::size_t openBefore = testsys::list("/proc/self/fd").size();
  EXPECT_EQ(0, flush(dir.path()));
  EXPECT_EQ(EBADF, system.flushFolder(-1));
  EXPECT_EQ(openBefore, testsys::list("/proc/self/fd").size());
  EXPECT_EQ(0, unprivileged([&] { return flush(dir.join("write-only")); }));
}

// True where `folder` is on a local file system whose flush reports failures: where
// flushes are made together.
bool flushesTogether(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  const bool together = copy::files::KernelCalls().fileSystemIsLocal(fd) &&
                        copy::files::KernelCalls().flushFileSystem(fd) == 0;
  close(fd);
  return together;
}

// The batch of a folder opens it only once two files wait; after a failed flush of the
// file system no file joins until those that did are named, and then the batch starts
// afresh. Nothing joins where the file system is not local.
TEST(FlushBatch, OpensItsFolderForTwoAndStartsAfreshAfterAFailure) {
  TempDir dir;
  if (!flushesTogether(dir.path())) GTEST_SKIP() << "no flush of the file system here";
  const int folder = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  const int fd = open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  RefusingKernel kernel;
  copy::files::FlushBatch batch(kernel);
  std::uint64_t t[4] = {};
  EXPECT_FALSE(batch.join(false, t[0]));
  ASSERT_TRUE(batch.join(true, t[0]));
  EXPECT_EQ(0, batch.flush(folder, fd, t[0], 0));  // alone: flushed on its own, still closed
  EXPECT_EQ(0u, batch.generation());
  ASSERT_TRUE(batch.join(true, t[0]) && batch.join(true, t[1]));
  EXPECT_EQ(0, batch.flush(folder, fd, t[0], 0));  // two wait: opened
  EXPECT_EQ(0, batch.flush(folder, fd, t[1], 0));
  const std::uint64_t opened = batch.generation();
  EXPECT_NE(0u, opened);
  kernel.fileSystemFlushError = EIO;
  ASSERT_TRUE(batch.join(true, t[2]) && batch.join(true, t[3]));
  EXPECT_EQ(0, batch.flush(folder, fd, t[2], opened));  // fails together: flushed alone
  EXPECT_FALSE(batch.join(true, t[0]));
  EXPECT_EQ(0, batch.flush(folder, fd, t[3], opened));
  EXPECT_EQ(0u, batch.generation());  // closed, to be opened afresh
  EXPECT_TRUE(batch.join(true, t[0]));
  batch.leave();
  close(fd);
  close(folder);
}

// Replacing copies written ahead into one folder are flushed with one flush of the file
// system, except those written before copies waited together (the first 4 here). A
// failed flush of the file system has each file flushed on its own, which tells which
// failed: those keep the old file.
TEST(FlushBatch, ReplacingCopiesWrittenAheadAreFlushedTogether) {
  struct Case {
    int fileSystemError, fileError;
    int named;  // what each naming answers
    const char* content;
    int fileFlushes, fileSystemFlushes;
  };
  const Case cases[] = {
      {0, 0, 0, "new", 4, 1},
      {EIO, 0, 0, "new", 12, 1},
      {EIO, EIO, EIO, "old", 12, 1},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (!flushesTogether(dir.path()))
      GTEST_SKIP() << "no flush of a local file system that reports failures";
    RefusingKernel kernel;
    kernel.fileSystemFlushError = c.fileSystemError;
    kernel.flushError = c.fileError;
    std::map<std::string, int> flushes;
    kernel.beforeFlush = [&](const char* step) { ++flushes[step]; };
    copy::files::CopyOptions options;
    options.replace = options.flushWithOthers = true;
    copy::files::DestinationFolder folder(kernel.context, dir.path());
    std::vector<std::unique_ptr<copy::files::FileCopy>> copies;
    std::vector<int> named;
    auto prepare = [&](int from, int to) {
      for (int i = from; i < to; ++i) {
        dir.write("s" + std::to_string(i), "new");
        dir.write("d" + std::to_string(i), "old");
        copies.push_back(copy::files::prepareCopy(dir.join("s" + std::to_string(i)), folder,
                                                  "d" + std::to_string(i), options));
      }
    };
    prepare(0, 4);
    named.push_back(copies[0]->takeName().error);
    prepare(4, 12);
    for (int i = 1; i < 12; ++i) named.push_back(copies[i]->takeName().error);
    EXPECT_EQ(std::vector<int>(12, c.named), named) << c.fileSystemError << c.fileError;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(c.content, dir.read("d" + std::to_string(i)));
    EXPECT_EQ(c.fileFlushes, flushes["data"]) << c.fileSystemError << c.fileError;
    EXPECT_EQ(c.fileSystemFlushes, flushes["file system"]);
    EXPECT_EQ(24u, dir.list().size());
  }
}

// A pending file is unnamed where the file system allows; the named fallback shows
// beside its destination, and nothing is left of either once it is gone.
TEST(PendingFile, IsUnnamedUnlessRefusedAndLeavesNothing) {
  TempDir dir;
  for (bool refuse : {false, true}) {
    RefusingKernel kernel;
    kernel.refuseUnnamedFiles = refuse;
    {
      at::PendingFile pending(kernel.context, dir.join("x.txt"));
      ASSERT_EQ(0, pending->create(0644));
      const std::vector<std::string> beside = dir.list();
      if (refuse || !testsys::copiesAreUnnamed()) {
        ASSERT_EQ(1u, beside.size());
        EXPECT_EQ(0u, beside[0].find(".pelquist-"));
        // 12 letters and digits from the system's random source
        EXPECT_EQ(22u, std::count_if(beside[0].begin(), beside[0].end(), [](char c) {
                    return c == '.' || c == '-' || std::isalnum(static_cast<unsigned char>(c));
                  }));
      } else {
        EXPECT_TRUE(beside.empty());
      }
    }
    EXPECT_TRUE(dir.list().empty()) << refuse;
  }
}

// A file takes its name in the folder it was made in, held by its descriptor, while
// files of another folder are made, and when another folder takes its path.
TEST(PendingFile, TakesItsNameInTheFolderItWasMadeIn) {
  TempDir dir;
  dir.makeDirs("a");
  dir.makeDirs("b");
  RefusingKernel kernel;
  {  // the folders let go, as a run ends: what they took is all there is
    copy::files::DestinationFolder a(kernel.context, dir.join("a")),
        b(kernel.context, dir.join("b"));
    copy::files::PendingFile first(a, "x"), second(b, "y"), third(b, "z");
    ASSERT_EQ(0, first.create(0644));
    ASSERT_EQ(0, second.create(0644));
    EXPECT_EQ(0, first.commit(false));
    EXPECT_EQ(0, second.commit(false));
    ASSERT_EQ(0, rename(dir.join("b").c_str(), dir.join("held").c_str()));
    dir.makeDirs("b");
    ASSERT_EQ(0, third.create(0644));
    EXPECT_EQ(0, third.commit(false));
  }
  EXPECT_EQ((std::vector<std::string>{"x"}), testsys::list(dir.join("a")));
  EXPECT_TRUE(testsys::list(dir.join("b")).empty());
  std::vector<std::string> held = testsys::list(dir.join("held"));
  std::sort(held.begin(), held.end());
  EXPECT_EQ((std::vector<std::string>{"y", "z"}), held);
}

// A process killed while a copy is pending leaves nothing beside its destination: an
// unnamed file goes with any signal, a named one with every signal that the cleanup of
// main catches, and the process ends as the signal ends it. So on a share that refuses to
// remove a file still open (SMB): the files are closed first.
TEST(PendingFile, InterruptedProcessLeavesNothingBehind) {
  struct Case {
    bool named;
    int signalNumber;
    bool share = false;
  };
  for (const Case c : {Case{false, SIGKILL}, Case{false, SIGTERM}, Case{true, SIGTERM},
                       Case{true, SIGINT}, Case{true, SIGHUP}, Case{true, SIGPIPE},
                       Case{true, SIGALRM}, Case{true, SIGUSR1}, Case{true, SIGTERM, true}}) {
    // Without unnamed files only the signals that can be caught clean up.
    if (c.signalNumber == SIGKILL && !testsys::copiesAreUnnamed()) continue;
    TempDir dir;
    std::unique_ptr<FuseShare> share;
    if (c.share) {
      dir.makeDirs("served");
      share.reset(new FuseShare(dir.join("served"), dir.join("share")));
      if (!share->unavailable().empty()) continue;
    }
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
      const copy::InterruptionCleanup cleanup;
      RefusingKernel kernel;
      kernel.refuseUnnamedFiles = c.named;
      copy::files::DestinationFolder folder(kernel.context, dir.join(c.share ? "share" : ""));
      // Several at once, as the copy threads have.
      copy::files::PendingFile pending(folder, "big.dat"), other(folder, "big.dat"),
          another(folder, "big.dat");
      if (pending.create(0644) != 0 || other.create(0644) != 0 || another.create(0644) != 0)
        _exit(2);
      const std::string data(1 << 16, 'x');
      if (copy::files::writeAll(pending.descriptor(), data.data(), data.size()) != 0) _exit(3);
      kill(getpid(), c.signalNumber);
      for (;;) pause();  // the cleanup's thread ends the process
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFSIGNALED(status)) << c.named << " " << c.signalNumber;
    if (WIFSIGNALED(status)) {
      EXPECT_EQ(c.signalNumber, WTERMSIG(status));
    }
    EXPECT_TRUE(dir.list(c.share ? "served" : "").empty()) << c.named << " " << c.signalNumber;
  }
}

TEST(CompareContent, TellsADifferenceAnywhereAndALengthApart) {
  TempDir dir;
  const std::string base(100000, 'a');
  struct Case {
    std::string other;
    bool differs;
  };
  const Case cases[] = {{base, false},
                        {base.substr(0, 99999) + "b", true},
                        {"b" + base.substr(1), true},
                        {base + "a", true},
                        {base.substr(0, 70000), true}};
  dir.write("base", base);
  // The same where reads come back short or interrupted (FUSE with direct_io).
  for (const bool shortReads : {false, true}) {
    RefusingKernel kernel;
    kernel.shortenReads = shortReads;
    for (const Case& c : cases) {
      dir.write("other", c.other);
      const int left = open(dir.join("base").c_str(), O_RDONLY);
      const int right = open(dir.join("other").c_str(), O_RDONLY);
      const copy::files::CopyResult result = copy::files::compareContent(kernel, left, right);
      EXPECT_EQ(0, result.error) << shortReads;
      EXPECT_EQ(c.differs, result.differs) << c.other.size() << " " << shortReads;
      close(left);
      close(right);
    }
  }
  // A side that cannot be read is an error, not a difference.
  copy::files::KernelCalls system;
  copy::files::Descriptor left, right;
  left.slot() = open(dir.join("base").c_str(), O_RDONLY);
  right.slot() = open(dir.join("other").c_str(), O_WRONLY);
  EXPECT_EQ(EBADF, copy::files::compareContent(system, left.get(), right.get()).error);
}

std::string movedFrom, movedTo;
std::vector<std::string> moveSteps;

// A step of a move, with what the destination's name held then ("-": nothing, "link")
// and whether the source was still there.
void recordMoveStep(const char* step) {
  struct stat at;
  const bool link = lstat(movedTo.c_str(), &at) == 0 && S_ISLNK(at.st_mode);
  moveSteps.push_back(std::string(step) + " " + (link ? "link" : readFile(movedTo) + "-") +
                      (lstat(movedFrom.c_str(), &at) == 0 ? " source" : ""));
}

// A move to another file system survives a power cut at any instant: the data is on
// disk before the new name is placed, the folder that holds it (here one that can be
// written but not listed) before the source goes.
TEST(MovePath, AcrossFileSystemsTheNameIsOnDiskBeforeTheSourceGoes) {
  TempDir here;
  struct stat local, shared;
  if (stat(here.path().c_str(), &local) != 0 || stat("/dev/shm", &shared) != 0 ||
      local.st_dev == shared.st_dev)
    GTEST_SKIP() << "no second file system to move to";
  const std::string there = "/dev/shm/pelquist-move-" + std::to_string(getpid());
  // name, the destination's old content, the steps
  const std::vector<std::vector<std::string>> cases = {
      {"new.txt", "", "data - source", "folder new- source", "after new-"},
      {"old.txt", "old", "data old- source", "folder new- source", "after new-"},
      {"ln", "", "folder link source", "after link"}};
  for (const auto& c : cases) {
    ASSERT_EQ(0, mkdir(there.c_str(), 0333));
    movedFrom = here.join(c[0]);
    movedTo = there + "/" + c[0];
    if (!c[1].empty()) writeFile(movedTo, c[1]);
    if (c[0] != "ln") here.write(c[0], "new");
    ASSERT_TRUE(c[0] != "ln" || symlink("new.txt", movedFrom.c_str()) == 0);
    moveSteps.clear();
    {
      RefusingKernel kernel;
      kernel.beforeFlush = recordMoveStep;
      EXPECT_EQ(0, at::movePath(kernel.context, movedFrom, movedTo, true).error) << c[0];
    }
    recordMoveStep("after");
    EXPECT_EQ(std::vector<std::string>(c.begin() + 2, c.end()), moveSteps);
    testsys::removeTree(there);
  }
  // What is no regular file is not copied there, and stays.
  ASSERT_EQ(0, mkfifo(here.join("fifo").c_str(), 0600));
  RefusingKernel kernel;
  EXPECT_EQ(EINVAL, at::movePath(kernel.context, here.join("fifo"), there, false).error);
  EXPECT_TRUE(here.exists("fifo"));
}

// One who may not give a file the owner or the file capabilities it has still moves it
// to another file system: the copy there is the mover's, without them.
TEST(MovePath, AcrossFileSystemsByOneWhoMayNotKeepTheOwner) {
  TempDir here;
  struct stat local, shared;
  if (stat(here.path().c_str(), &local) != 0 || stat("/dev/shm", &shared) != 0 ||
      local.st_dev == shared.st_dev || !testsys::ignoresPermissions())
    GTEST_SKIP() << "no second file system, or no file of another user to move";
  const std::string there = "/dev/shm/pelquist-unowned-" + std::to_string(getpid());
  ASSERT_EQ(0, mkdir(there.c_str(), 0777));
  ASSERT_EQ(0, chmod(there.c_str(), 0777));
  ASSERT_EQ(0, chmod(here.path().c_str(), 0777));
  here.write("a.txt", "moved");
  const char capability[20] = {0, 0, 0, 2, 0, 0x20};  // version 2, cap_net_raw
  setxattr(here.join("a.txt").c_str(), "security.capability", capability, 20, 0);
  RefusingKernel kernel;
  EXPECT_EQ(
      0, unprivileged([&] {
        return at::movePath(kernel.context, here.join("a.txt"), there + "/a.txt", false).error;
      }));
  struct stat moved {};
  EXPECT_EQ(0, stat((there + "/a.txt").c_str(), &moved));
  EXPECT_EQ(65534u, moved.st_uid);
  EXPECT_EQ("moved", readFile(there + "/a.txt"));
  EXPECT_FALSE(here.exists("a.txt"));
  testsys::removeTree(there);
}

// A copy keeps its source's group where the process may give it (root here), in a folder
// that passes its own group on too; where it may not, the group bits that would now grant
// the copy's other group are cleared.
TEST(FileCopy, KeepsTheGroupOrTakesAwayItsBits) {
  if (!testsys::ignoresPermissions()) GTEST_SKIP() << "groups are given away by root";
  TempDir dir;
  ASSERT_EQ(0, chmod(dir.path().c_str(), 0755));
  dir.write("private.txt", "p");
  dir.write("open.txt", "o");
  dir.makeDirs("shared");
  ASSERT_EQ(0, chown(dir.join("private.txt").c_str(), 0, 4321) |
                   chown(dir.join("open.txt").c_str(), 0, 4321) |
                   chown(dir.join("shared").c_str(), 65534, 1234));
  ASSERT_EQ(0, chmod(dir.join("private.txt").c_str(), 0640) |
                   chmod(dir.join("open.txt").c_str(), 0644) |
                   chmod(dir.join("shared").c_str(), 02777));
  RefusingKernel kernel;
  const copy::files::CopyOptions plain;
  EXPECT_EQ(
      0,
      at::copyFile(kernel.context, dir.join("private.txt"), dir.join("shared/r"), plain).error);
  EXPECT_EQ(0, unprivileged([&] {
              return at::copyFile(kernel.context, dir.join("open.txt"), dir.join("shared/n"),
                                  plain)
                  .error;
            }));
  struct stat root {
  }, nobody{};
  ASSERT_EQ(0, stat(dir.join("shared/r").c_str(), &root) |
                   stat(dir.join("shared/n").c_str(), &nobody));
  EXPECT_EQ(
      (std::vector<unsigned>{4321, 0640, 1234, 0604}),
      (std::vector<unsigned>{static_cast<unsigned>(root.st_gid), root.st_mode & 07777u,
                             static_cast<unsigned>(nobody.st_gid), nobody.st_mode & 07777u}));
}

// In folders that can be entered but not listed, two links of one file cannot be told
// from two spellings of one entry: a move onto a hard link in another folder takes the
// source name away; in one folder it fails instead of reporting a success that left the
// source. A copy onto another file spelled another way there replaces it.
TEST(FileNames, InFoldersThatCannotBeListed) {
  // Other kernels than Linux open a destination folder to read it, which such a folder
  // refuses.
  if (!testsys::copiesAreUnnamed()) GTEST_SKIP() << "no folder opened without reading it";
  struct Case {
    bool move;
    const char* to;
    int error;
  };
  for (const Case c :
       {Case{true, "w/b.txt", EACCES}, Case{true, "x/b.txt", 0}, Case{false, "w/A.TXT", 0}}) {
    TempDir dir;
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0755));
    dir.write("w/a.txt", "held");
    dir.makeDirs("x");
    if (c.move)
      ASSERT_EQ(0, link(dir.join("w/a.txt").c_str(), dir.join(c.to).c_str()));
    else
      dir.write(c.to, "other");
    for (const char* folder : {"w", "x"}) ASSERT_EQ(0, chmod(dir.join(folder).c_str(), 0333));
    copy::files::CopyOptions replacing;
    replacing.replace = true;
    const std::string from = dir.join("w/a.txt"), to = dir.join(c.to);
    RefusingKernel kernel;
    EXPECT_EQ(c.error, unprivileged([&] {
                return c.move ? at::movePath(kernel.context, from, to, true).error
                              : at::copyFile(kernel.context, from, to, replacing).error;
              }))
        << c.to;
    EXPECT_EQ(!c.move || c.error != 0, dir.exists("w/a.txt")) << c.to;
    EXPECT_EQ("held", dir.read(c.to));
  }
}

// A ^Z ends a file joined for an ASCII destination once: added unless the data ends
// with one.
TEST(CombineFiles, AddsAnEndMarkUnlessTheDataEndsWithOne) {
  TempDir dir;
  const std::pair<std::string, std::string> cases[] = {{"", "\x1a"},
                                                       {"\x1a", "\x1a"},
                                                       {"a", "a\x1a"},
                                                       {"\x1a"
                                                        "a",
                                                        "\x1a"
                                                        "a\x1a"}};
  RefusingKernel kernel;
  for (const auto& [content, joined] : cases) {
    dir.write("part", content);
    EXPECT_EQ(0,
              at::combineFiles(kernel.context, {{dir.join("part"), false}}, dir.join("joined"),
                               copy::files::EndMark::AppendUnlessPresent, true, true)
                  .error);
    EXPECT_EQ(joined, dir.read("joined")) << content.size();
  }
}

// A name is claimed only while it is free, and the source name goes: by an exclusive
// rename, by a hard link where there is none, by a test and a rename where neither is.
TEST(ClaimName, TakesOnlyAFreeNameEveryWay) {
  TempDir dir;
  for (int way = 0; way < 3; ++way) {
    RefusingKernel kernel;
    kernel.refuseExclusiveRenames = way > 0;
    kernel.refuseHardLinks = way > 1;
    const std::string n = std::to_string(way);
    dir.write("a" + n, n);
    dir.makeDirs("d" + n);
    const copy::files::Context& context = kernel.context;
    const int errors[] = {at::claimName(context, dir.join("a" + n), dir.join("b" + n)),
                          at::claimName(context, dir.join("d" + n), dir.join("e" + n)),
                          at::claimName(context, dir.join("b" + n), dir.join("e" + n)),
                          at::claimName(context, dir.join("a" + n), dir.join("c" + n))};
    EXPECT_EQ((std::vector<int>{0, 0, EEXIST, ENOENT}), std::vector<int>(errors, errors + 4));
    EXPECT_EQ(n, dir.read("b" + n));
  }
  EXPECT_EQ((std::vector<std::string>{"b0", "b1", "b2", "e0", "e1", "e2"}), dir.list());
}

// Through a share whose server makes a link and loses its answer (EIO), the copy that
// took its name is one, not a file that existed.
TEST(ClaimName, ALinkWhoseAnswerIsLostIsLookedFor) {
  TempDir dir;
  dir.write("a.txt", "new");
  dir.makeDirs("served");
  const FuseShare share(dir.join("served"), dir.join("share"), {"--link-eio"});
  if (!share.unavailable().empty()) GTEST_SKIP() << share.unavailable();
  RefusingKernel kernel;
  EXPECT_EQ(0,
            at::copyFile(kernel.context, dir.join("a.txt"), dir.join("share/a.txt"), {}).error);
  EXPECT_EQ((std::vector<std::string>{"a.txt"}), dir.list("served"));
  EXPECT_EQ("new", dir.read("served/a.txt"));
}

// A symbolic link is placed whole, with the time it is given: under a free name, or
// replacing an entry when asked, but never a folder.
TEST(PlaceSymbolicLink, TakesTheTimeAndReplacesOnlyWhenAsked) {
  TempDir dir;
  dir.write("folder/x", "x");
  ASSERT_EQ(0, symlink("old", dir.join("b").c_str()));
  struct stat like {};
  like.st_uid = getuid();
  like.st_gid = getgid();
  like.st_mtim = {1234567890, 123456789};
  // One who may not give the link its owner (root) places it all the same.
  struct stat rootOwned = like;
  rootOwned.st_uid = 0;
  ASSERT_EQ(0, chmod(dir.path().c_str(), 0777));
  RefusingKernel kernel;
  const copy::files::Context& context = kernel.context;
  const int errors[] = {at::placeSymbolicLink(context, "t", dir.join("a"), false, like),
                        at::placeSymbolicLink(context, "t", dir.join("b"), false, like),
                        at::placeSymbolicLink(context, "t", dir.join("b"), true, like),
                        at::placeSymbolicLink(context, "t", dir.join("folder"), true, like),
                        at::placeSymbolicLink(context, "t", dir.join("none/c"), false, like),
                        unprivileged([&] {
                          const std::string c = dir.join("c");
                          return at::placeSymbolicLink(context, "t", c, false, rootOwned);
                        })};
  EXPECT_EQ((std::vector<int>{0, EEXIST, 0, EISDIR, ENOENT, 0}),
            std::vector<int>(errors, errors + 6));
  for (const char* name : {"a", "b", "c"}) {
    struct stat placed {};
    EXPECT_EQ(0, lstat(dir.join(name).c_str(), &placed));
    EXPECT_EQ(1234567890, placed.st_mtim.tv_sec);
    EXPECT_EQ(123456789, placed.st_mtim.tv_nsec);
    EXPECT_TRUE(S_ISLNK(placed.st_mode) && placed.st_size == 1) << name;  // to "t"
  }
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "folder"}), dir.list());
}

// The root is a folder already, and the folder of a name in it; folders are made on the
// way, but not over a file nor under a name too long; a name is listed only as it is
// spelled.
TEST(FileNames, TheRootIsThereAndNamesAreListedAsSpelled) {
  TempDir dir;
  dir.write("a.txt", "a");
  EXPECT_EQ("/", copy::files::folderOf("/a.txt"));
  const std::vector<int> errors = {
      copy::files::makeDirectories("/"), copy::files::makeDirectories(dir.join("x/y/")),
      copy::files::makeDirectories(dir.join("a.txt/x")),
      copy::files::makeDirectories(dir.join(std::string(300, 'n')))};
  EXPECT_EQ((std::vector<int>{0, 0, ENOTDIR, ENAMETOOLONG}), errors);
  EXPECT_TRUE(dir.isDirectory("x/y"));
  copy::files::KernelCalls system;
  EXPECT_EQ(copy::files::Listed::Yes, copy::files::listsExactly(system, dir.join("a.txt")));
  EXPECT_EQ(copy::files::Listed::No, copy::files::listsExactly(system, dir.join("A.txt")));
}

// Where each spelling of a name has an identity of its own (exFAT through FUSE), a copy
// onto the source spelled another way is the source itself: the names tell, as a
// folder that lists one spelling only (hidden names stand in for it here) would.
TEST(FileNames, ACopyOntoItselfSpelledAnotherWayIsRefused) {
  TempDir dir;
  for (const char* name : {"A.TXT", "a.txt", "Photos/a.txt", "photos/a.txt", "b.txt"})
    dir.write(name, name);
  struct Case {
    const char* source;
    const char* destination;
    bool hidden;  // the folder lists no spelling but the one it keeps
    int error;
  };
  const Case cases[] = {
      {"A.TXT", "a.txt", true, EBUSY},    {"Photos/a.txt", "photos/a.txt", true, EBUSY},
      {"A.TXT", "a.txt", false, 0},       {"A.TXT", "b.txt", true, 0},
      {"Photos/a.txt", "a.txt", true, 0},
  };
  copy::files::CopyOptions replacing;
  replacing.replace = true;
  RefusingKernel kernel;
  for (const Case& c : cases) {
    kernel.hideListedNames = c.hidden;
    const copy::files::CopyResult result =
        at::copyFile(kernel.context, dir.join(c.source), dir.join(c.destination), replacing);
    EXPECT_EQ(c.error, result.error) << c.source << " " << c.destination << " " << c.hidden;
  }
  // From the current folder onto the same name in a folder below it: two entries.
  ASSERT_EQ(0, chdir(dir.path().c_str()));
  EXPECT_EQ(0, at::copyFile(kernel.context, "a.txt", "Photos/a.txt", replacing).error);
}

// What the open-file limit leaves: the descriptors open now count, those a parent left
// open as well.
TEST(FilesForCopiesAhead, TheLimitLessWhatIsOpen) {
  struct rlimit saved;
  ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &saved));
  struct rlimit lower = saved;
  lower.rlim_cur = 200;
  ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &lower));
  const std::size_t before = copy::filesForCopiesAhead();
  std::vector<int> inherited;
  for (int i = 0; i < 150; ++i) inherited.push_back(dup(0));
  const std::size_t after = copy::filesForCopiesAhead();
  for (int fd : inherited) close(fd);
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_LT(before, 200u);
  EXPECT_EQ(before - 150, after);
}

}  // namespace
