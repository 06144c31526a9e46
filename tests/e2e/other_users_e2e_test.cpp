// The built program against another user of the same machine, who races it in a folder
// they may write: a second process swaps names or makes them first in a tight loop while
// the program runs again and again. The checks are on the files outside the run.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <random>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr uid_t kNobody = 65534;

/// A second process that repeats `step` until destroyed, as `uid` (the test's own when
/// it is the test's).
class Racer {
 public:
  Racer(uid_t uid, const std::function<void()>& step) : pid_(fork()) {
    if (pid_ != 0) return;
    if (uid != getuid() && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(1);
    for (;;) step();
  }
  ~Racer() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  const pid_t pid_;
};

class OtherUsersE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    if (getuid() != 0) GTEST_SKIP() << "a second user is made with setuid, as root only";
    chmod(dir_.path().c_str(), 0755);  // the other user reaches the folders below
  }
  std::string at(const std::string& relative) const { return dir_.join(relative); }
  ChildResult run(const std::vector<std::string>& arguments) {
    return runChild(PELQUIST_COPY_EXE, arguments, dir_.path(), "", "", {"LC_ALL=C"});
  }
  /// A folder on another file system, for moves that copy; empty where there is none.
  std::string elsewhere() {
    struct stat here, there;
    if (stat(dir_.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev)
      return "";
    other_ = "/dev/shm/pelquist-others-" + std::to_string(getpid());
    testsys::removeTree(other_);
    mkdir(other_.c_str(), 0755);
    return other_;
  }
  void TearDown() override {
    if (!other_.empty()) testsys::removeTree(other_);
  }

  TempDir dir_;
  std::string other_;
};

// The owner of the source folder swaps the source for a link to a private file of the
// person moving: what the move copies is the file it examined, never the private one.
TEST_F(OtherUsersE2e, MoveAcrossFileSystemsCopiesOnlyTheSourceItExamined) {
  const std::string there = elsewhere();
  if (there.empty()) GTEST_SKIP() << "no second file system at /dev/shm";
  dir_.write("private", "secret");
  dir_.makeDirs("src");
  const std::string file = at("src/f"), swap = at("src/.swap"), fresh = at("src/.fresh");
  // One call swaps the source and the link; once either was moved, both come back.
  Racer racer(getuid(), [&] {
    if (renameat2(AT_FDCWD, swap.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) return;
    unlink(swap.c_str());
    symlink(at("private").c_str(), swap.c_str());
    const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && write(fd, "public", 6) == 6) rename(fresh.c_str(), file.c_str());
    close(fd);
  });
  for (int i = 0; i < 100; ++i) {
    const std::string moved = there + "/m" + std::to_string(i);
    run({"-nosw", "-move", file, moved});
    struct stat status;
    if (lstat(moved.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
      ASSERT_EQ("public", readFile(moved)) << "run " << i;
    }
  }
}

// A link planted, or swapped in, where a folder of XCOPY's destination will be is not
// followed out of the destination: the folder it leads to stays empty. The same where
// /proc is missing (a private mount namespace without it) and the folder XCOPY made is
// swapped for a link while it fills it: the files go on into the folder it made.
TEST_F(OtherUsersE2e, XcopyNeverFollowsALinkPlantedInItsDestination) {
  dir_.write("src/sub/deeper/a.txt", "a");
  for (int i = 0; i < 100; ++i) dir_.write("src/sub/b" + std::to_string(i) + ".txt", "b");
  dir_.makeDirs("outside");
  const std::string sub = at("shared/sub"), away = at("shared/away"), link = at("shared/.l");
  const std::string withoutProc = "mount -t tmpfs none /proc && exec '" +
                                  std::string(PELQUIST_COPY_EXE) + "' -nosw -xcopy src shared/";
  const bool namespaces =
      runChild("/usr/bin/unshare", {"-m", "/bin/true"}, dir_.path()).exitCode == 0;
  for (int i = 0; i < 60; ++i) {
    const bool proc = i % 2 == 0;
    if (!proc && !namespaces) continue;
    testsys::removeTree(at("shared"));
    dir_.makeDirs("shared");
    chmod(at("shared").c_str(), 0777);
    {
      Racer racer(kNobody, [&] {
        struct stat status;
        if (!proc) {  // once, in one step
          if (lstat(sub.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) return;
          symlink(at("outside").c_str(), link.c_str());
          renameat2(AT_FDCWD, link.c_str(), AT_FDCWD, sub.c_str(), RENAME_EXCHANGE);
        } else if (symlink(at("outside").c_str(), sub.c_str()) != 0) {
          rename(sub.c_str(), away.c_str());
        }
      });
      usleep(1000);
      if (proc)
        run({"-nosw", "-xcopy", "src", "shared/"});
      else
        runChild("/usr/bin/unshare", {"-m", "/bin/sh", "-c", withoutProc}, dir_.path());
    }
    ASSERT_TRUE(dir_.list("outside").empty()) << "run " << i << (proc ? "" : " without /proc");
  }
}

// A link in a folder that another user made in a sticky shared destination, or a hard
// link there to a link of root's (as another may make where protected_hardlinks is off),
// is not entered, whoever owns it: root's own folder stays as it was.
TEST_F(OtherUsersE2e, XcopyEntersNoLinkThatAnotherCouldHavePlaced) {
  dir_.write("src/project/sub/plan.txt", "theirs");
  dir_.write("private/plan.txt", "root's");
  chmod(at("private").c_str(), 0700);
  ASSERT_EQ(0, symlink(at("private").c_str(), at("rootlink").c_str()));
  for (const bool hard : {false, true}) {
    testsys::removeTree(at("shared"));
    dir_.makeDirs("shared/project");
    chmod(at("shared").c_str(), 01777);
    if (hard) {
      ASSERT_EQ(0, linkat(AT_FDCWD, at("rootlink").c_str(), AT_FDCWD,
                          at("shared/project/sub").c_str(), 0));
    } else {
      ASSERT_EQ(0, symlink(at("private").c_str(), at("shared/project/sub").c_str()));
      lchown(at("shared/project/sub").c_str(), kNobody, kNobody);
      chown(at("shared/project").c_str(), kNobody, kNobody);
    }
    const ChildResult result =
        runChild("/bin/sh",
                 {"-c", "echo a | COPYCMD=/Y '" + std::string(PELQUIST_COPY_EXE) +
                            "' -nosw -xcopy src shared/"},
                 dir_.path(), "", "", {"LC_ALL=C"});
    EXPECT_NE(0, result.exitCode) << hard;
    EXPECT_EQ((std::vector<std::string>{"plan.txt"}), dir_.list("private")) << hard;
    EXPECT_EQ("root's", dir_.read("private/plan.txt")) << hard;
  }
}

// The owner of a link that root moves into a folder they may write swaps the new link
// for a hard link to a file of root's, while root gives the new link its owner (each
// change of owner is held up 20 ms, as a busy machine may): root never gives that file
// away.
TEST_F(OtherUsersE2e, MovedLinkGetsItsOwnerWithoutANameInBetween) {
  const std::string there = elsewhere();
  if (there.empty()) GTEST_SKIP() << "no second file system at /dev/shm";
  const std::vector<std::string> slowChanges = {"-f",
                                                "-o",
                                                "/dev/null",
                                                "-e",
                                                "trace=fchownat,lchown",
                                                "-e",
                                                "inject=fchownat,lchown:delay_enter=20000",
                                                PELQUIST_COPY_EXE};
  if (!testsys::copiesAreUnnamed())
    GTEST_SKIP() << "other kernels than Linux give a moved link its owner by its name";
  if (runChild("/usr/bin/strace", {"-o", "/dev/null", "/bin/true"}, "/").exitCode != 0)
    GTEST_SKIP() << "strace cannot trace here";
  dir_.write("root-file", "root's");
  chmod(at("root-file").c_str(), 0666);  // linkable where protected_hardlinks is on
  dir_.makeDirs("shared");
  chmod(at("shared").c_str(), 0777);
  const std::string source = there + "/link", moved = at("shared/link"),
                    hard = at("shared/.hard");
  // A watcher of the folder: a link that root has just made there, under any name, is
  // swapped at once.
  Racer racer(kNobody, [&] {
    for (const std::string& name : testsys::list(at("shared"))) {
      const std::string path = at("shared/" + name);
      struct stat status;
      if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode) || status.st_uid != 0)
        continue;
      link(at("root-file").c_str(), hard.c_str());
      rename(hard.c_str(), path.c_str());
    }
  });
  for (int i = 0; i < 5; ++i) {
    unlink(moved.c_str());
    unlink(source.c_str());
    symlink(at("root-file").c_str(), source.c_str());
    lchown(source.c_str(), kNobody, kNobody);
    std::vector<std::string> arguments = slowChanges;
    arguments.insert(arguments.end(), {"-nosw", "-move", source, moved});
    runChild("/usr/bin/strace", arguments, dir_.path());
    struct stat status;
    ASSERT_EQ(0, stat(at("root-file").c_str(), &status));
    ASSERT_EQ(0u, status.st_uid) << "run " << i;
  }
}

// Another user makes, before the run, every temporary name that a generator seeded with
// the process id and the time would give the next processes: a replacing copy still
// finds a free name.
TEST_F(OtherUsersE2e, TemporaryNamesCannotBeMadeFirst) {
  dir_.write("src/a.dat", "new");
  dir_.write("dst/a.dat", "old");
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  // The program is started, and waits until the names of its process id are made.
  int ready[2];
  ASSERT_EQ(0, pipe(ready));
  const pid_t program = fork();
  if (program == 0) {
    char go;
    close(ready[1]);
    if (read(ready[0], &go, 1) == 1 && chdir(dir_.path().c_str()) == 0)
      execl(PELQUIST_COPY_EXE, PELQUIST_COPY_EXE, "-nosw", "-collectcopy", "-fw", "src/*.dat",
            "dst", static_cast<char*>(nullptr));
    _exit(127);
  }
  const unsigned now = static_cast<unsigned>(time(nullptr));
  for (unsigned second = now; second < now + 3; ++second) {
    std::minstd_rand random(static_cast<unsigned>(program) ^ second);
    for (int name = 0; name < 100; ++name) {
      std::string path = at("dst/.pelquist-");
      for (int i = 0; i < 6; ++i) path += letters[random() % letters.size()];
      close(open(path.c_str(), O_CREAT | O_WRONLY, 0600));
    }
  }
  close(ready[0]);
  ASSERT_EQ(1, write(ready[1], "g", 1));
  close(ready[1]);
  int status = 0;
  waitpid(program, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ("new", dir_.read("dst/a.dat"));
}

}  // namespace
