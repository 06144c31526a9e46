#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "copy/files_posix/kernel_calls.h"
#include "tests/support/files.h"
#include "tests/support/fuse_share.h"
#include "tests/support/interpreter_fixture.h"
#include "tests/support/platform.h"
#include "tests/support/refusing_kernel.h"

namespace {

const char kOneFile[] = "        1 file(s) moved.\n";
const char kNoFile[] = "        0 file(s) moved.\n";

class MoveCommandTest : public InterpreterTest {
 protected:
  std::string full(const std::string& name) const {
    return std::filesystem::canonical(dir_.path()).string() + "/" + name;
  }
};

TEST_F(MoveCommandTest, RenamesOrMovesIntoAFolder) {
  write("a.txt", "alpha");
  mkdir("sub");
  RunResult result = run("MOVE a.txt b.txt");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(kOneFile, result.out);
  EXPECT_EQ("", result.err);
  EXPECT_FALSE(exists("a.txt"));
  EXPECT_EQ("alpha", read("b.txt"));

  EXPECT_EQ(0, run("MOVE b.txt sub").status);
  EXPECT_EQ("alpha", read("sub/b.txt"));
  ASSERT_EQ(0, symlink("gone", path("dangling").c_str()));  // a link moves as a link
  EXPECT_EQ(kOneFile, run("MOVE dangling sub").out);
  EXPECT_EQ("gone", std::filesystem::read_symlink(path("sub/dangling")).string());
  EXPECT_EQ(0, run("MOVE sub\\b.txt ").status);  // no target: the current folder
  EXPECT_EQ("alpha", read("b.txt"));
}

TEST_F(MoveCommandTest, OntoItselfIsANoOpButNotForAFolder) {
  write("f", "keep");
  mkdir("d");
  for (const char* line : {"MOVE f f", "MOVE f ", "MOVE f .\\f"}) {
    RunResult result = run(line);
    EXPECT_EQ(0, result.status) << line;
    EXPECT_EQ(kOneFile, result.out) << line;
  }
  EXPECT_EQ("keep", read("f"));
  // Into itself ("d" names the folder "d/d"), and onto itself through its parent.
  const std::string inUse =
      "The process cannot access the file because it is being used by another process.\n";
  expectCases({{"MOVE d d", 1, "", inUse}, {"MOVE d .", 1, "", inUse}});
  EXPECT_TRUE(dir_.isDirectory("d"));
}

TEST_F(MoveCommandTest, Folders) {
  write("d/x.txt", "x");
  RunResult result = run("MOVE d e");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("        1 dir(s) moved.\n", result.out);
  EXPECT_EQ("x", read("e/x.txt"));
  mkdir("box");
  EXPECT_EQ(0, run("MOVE e box").status);
  EXPECT_EQ("x", read("box/e/x.txt"));
  mkdir("other/e");  // never merged into or replaced
  result = run("MOVE /Y box\\e other");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ("Access is denied.\n", result.err);
  EXPECT_EQ("x", read("box/e/x.txt"));
}

TEST_F(MoveCommandTest, Failures) {
  write("a.txt", "a");
  write("b.txt", "b");
  const std::string syntax = "The syntax of the command is incorrect.\n";
  expectCases({
      {"MOVE missing.txt x", 1, "", "The system cannot find the file specified.\n"},
      {"MOVE *.none x", 1, "", "The system cannot find the file specified.\n"},
      {"MOVE nodir\\x.txt x", 1, "", "The system cannot find the path specified.\n"},
      {"MOVE nodir/*.txt x", 1, "", "The system cannot find the path specified.\n"},
      {"MOVE *.txt c.txt", 1, "", "Cannot move multiple files to a single file.\n"},
      {"MOVE a.txt nodir\\c.txt", 1, "", "The system cannot find the path specified.\n"},
      {"MOVE ", 1, "", syntax},
      {"MOVE a.txt b.txt c.txt", 1, "", syntax},
      {"MOVE /Q a.txt c.txt", 1, "", syntax},
  });
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), list());
}

TEST_F(MoveCommandTest, WildcardIntoAFolderEchoesFullPaths) {
  write("a.txt", "a");
  write("b.txt", "b");
  write("c.dat", "c");
  mkdir("out");
  RunResult result = run("MOVE *.txt out");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(full("a.txt") + "\n" + full("b.txt") + "\n        2 file(s) moved.\n", result.out);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), list("out"));
  EXPECT_TRUE(exists("c.dat"));
  EXPECT_EQ(0, run("MOVE *.dat d.dat").status);  // one match may take a new name
  EXPECT_EQ("c", read("d.dat"));
}

// Onto another name of the same file, the destination name ends up holding the file
// and the source name is gone, as when MOVE replaces any other file.
TEST_F(MoveCommandTest, OntoAnotherNameOfTheSameFileTheSourceNameGoes) {
  for (bool symbolic : {false, true}) {
    write("s/h.txt", "held");
    mkdir("d");
    std::remove(path("d/h.txt").c_str());
    if (symbolic)
      ASSERT_EQ(0, symlink(path("s/h.txt").c_str(), path("d/h.txt").c_str()));
    else
      ASSERT_EQ(0, link(path("s/h.txt").c_str(), path("d/h.txt").c_str()));
    RunResult result = run("MOVE /Y s\\h.txt d\\h.txt");
    EXPECT_EQ(0, result.status) << symbolic << result.err;
    EXPECT_EQ(kOneFile, result.out) << symbolic;
    EXPECT_FALSE(exists("s/h.txt")) << symbolic;
    EXPECT_EQ("held", read("d/h.txt")) << symbolic;
    struct stat status;
    ASSERT_EQ(0, lstat(path("d/h.txt").c_str(), &status));
    EXPECT_TRUE(S_ISREG(status.st_mode)) << symbolic;
  }
}

// Where another spelling reaches the same entry (a case-insensitive file system, which
// the test stands in for by hiding the exact names), that entry is renamed, never
// unlinked; two real hard links lose the source name.
TEST_F(MoveCommandTest, AChangeOfCaseKeepsTheOneEntry) {
  for (bool oneEntry : {false, true}) {
    write("A.TXT", "kept");
    ASSERT_EQ(0, link(path("A.TXT").c_str(), path("a.txt").c_str()));
    kernel_.hideListedNames = oneEntry;
    EXPECT_EQ(kOneFile, run("MOVE /Y a.txt A.TXT").out) << oneEntry;
    kernel_.hideListedNames = false;
    EXPECT_EQ(oneEntry, exists("a.txt")) << oneEntry;
    EXPECT_EQ("kept", read("A.TXT")) << oneEntry;
  }
}

// A symbolic link moved onto the file it leads to: only the link name goes. A wildcard
// move echoes a link by its own name.
TEST_F(MoveCommandTest, ALinkOntoItsTargetOnlyTheLinkGoes) {
  write("out/l.txt", "data");
  ASSERT_EQ(0, symlink("out/l.txt", path("l.txt").c_str()));
  ASSERT_EQ(0, symlink("l.txt", path("out/k.txt").c_str()));
  EXPECT_EQ(full("l.txt") + "\n" + kOneFile, run("MOVE /Y *.txt out").out);
  EXPECT_EQ(0, run("MOVE /Y out\\k.txt out\\l.txt").status);
  EXPECT_EQ((std::vector<std::string>{"l.txt"}), list("out"));
  EXPECT_EQ("data", read("out/l.txt"));
}

TEST_F(MoveCommandTest, WildcardMoveStopsAtTheFirstFileThatFails) {
  write("a.txt", "a");
  write("b.txt", "b");
  write("c.txt", "c");
  write("out/b.txt", "kept");
  chmod(path("out/b.txt").c_str(), 0444);
  RunResult result = run("MOVE /Y *.txt out");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ(full("a.txt") + "\n" + full("b.txt") + "\n", result.out);
  EXPECT_EQ("Access is denied.\n", result.err);
  EXPECT_EQ("kept", read("out/b.txt"));
  EXPECT_EQ((std::vector<std::string>{"b.txt", "c.txt", "out"}), list());
}

TEST_F(MoveCommandTest, OverwriteQuestionShowsTheFullTarget) {
  std::string prompt = "Overwrite " + full("b.txt") + "? (Yes/No/All): ";
  struct Case {
    const char* line;
    const char* input;
    std::string output;
    bool moved;
  };
  const Case cases[] = {
      {"MOVE a.txt b.txt", "Y\n", prompt + kOneFile, true},
      {"MOVE a.txt b.txt", "n\n", prompt + kNoFile, false},
      {"MOVE a.txt b.txt", "", prompt + kNoFile, false},
      {"MOVE a.txt b.txt", "?\na\n", prompt + prompt + kOneFile, true},
      {"MOVE /Y a.txt b.txt", "", kOneFile, true},
  };
  for (const Case& c : cases) {
    write("a.txt", "new");
    write("b.txt", "old");
    RunResult result = run(c.line, c.input);
    EXPECT_EQ(0, result.status) << c.line << " / " << c.input;
    EXPECT_EQ(c.output, result.out) << c.line << " / " << c.input;
    EXPECT_EQ(c.moved ? "new" : "old", read("b.txt"));
    EXPECT_EQ(!c.moved, exists("a.txt"));
  }
}

TEST_F(MoveCommandTest, ReadOnlyFilesMoveButAreNotReplaced) {
  write("ro.txt", "ro");
  chmod(path("ro.txt").c_str(), 0444);
  EXPECT_EQ(0, run("MOVE ro.txt moved.txt").status);
  EXPECT_EQ("ro", read("moved.txt"));
  write("a.txt", "a");
  RunResult result = run("MOVE /Y a.txt moved.txt");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ("Access is denied.\n", result.err);
  EXPECT_EQ("ro", read("moved.txt"));
  EXPECT_TRUE(exists("a.txt"));
}

// On a share whose inode numbers are its paths', the same file through another mount is
// refused as a copy onto itself, and a new version saved under the name of a file while
// it is moved away (written beside it, renamed over it) stays.
TEST_F(MoveCommandTest, OnAShareWhoseInodeNumbersAreItsPaths) {
  write("served/f.txt", "old");
  mkdir("here");
  const FuseShare one(path("served"), path("one")), two(path("served"), path("two"));
  if (!two.unavailable().empty()) GTEST_SKIP() << two.unavailable();
  const std::string ontoItself = "The file cannot be copied onto itself.\n";
  expectCases(
      {{"MOVE /Y one\\f.txt two\\f.txt", 1, "", ontoItself},
       {"COPY /Y one\\f.txt two\\f.txt", 1, "        0 file(s) copied.\n", ontoItself}});
  EXPECT_EQ("old", read("served/f.txt"));
  kernel_.beforeFlush = [this](const char* step) {
    if (std::string(step) != "folder") return;
    write("served/.new", "new");
    std::rename(path("served/.new").c_str(), path("served/f.txt").c_str());
  };
  expectCases({{"MOVE one\\f.txt here", 1, "",
                "The process cannot access the file because it is being used by another "
                "process.\n"}});
  EXPECT_EQ("new", read("served/f.txt"));
  EXPECT_EQ("old", read("here/f.txt"));
}

// Where the kernel will not rename a folder within one mount (from the lower layer of an
// overlay, between two subvolumes of one btrfs), the folder is copied and only then
// removed, its files, links and folders whole.
TEST_F(MoveCommandTest, AFolderThatWillNotRenameWithinOneMountMoves) {
  struct Case {
    std::string mount, line, moved, gone;
  };
  const Case cases[] = {
      {"mkdir -p upper work m && mount -t overlay overlay -o "
       "lowerdir=lower,upperdir=upper,workdir=work,redirect_dir=off m",
       "MOVE m\\d m\\e", "m/e", "m/d"},
      // Other kernels than Linux tell a mount by its device, which a subvolume has its own.
      {testsys::copiesAreUnnamed() ? "truncate -s 150M b.img && mkfs.btrfs -q b.img && "
                                     "mkdir m && mount -o loop b.img m && cd m && btrfs -q "
                                     "subvolume create s && btrfs -q subvolume create t && "
                                     "cp -a ../lower/d s"
                                   : "false",
       "MOVE m\\s\\d m\\t", "m/t/d", "m/s/d"}};
  int made = 0;
  for (const Case& c : cases) {
    testsys::removeTree(path("lower"));
    write("lower/d/x.txt", "x");
    write("lower/d/sub/y.txt", "y");
    ASSERT_EQ(0, symlink("x.txt", path("lower/d/l").c_str()));
    if (runChild("/bin/sh", {"-c", c.mount}, dir_.path()).exitCode != 0) continue;
    ++made;
    const std::shared_ptr<void> unmount(nullptr, [this](void*) {
      runChild("/bin/sh", {"-c", "umount m; rm -rf m upper work b.img"}, dir_.path());
    });
    RunResult result = run(c.line);
    EXPECT_EQ(0, result.status) << c.line << result.err;
    EXPECT_EQ("        1 dir(s) moved.\n", result.out) << c.line;
    EXPECT_EQ((std::vector<std::string>{"l", "sub", "x.txt"}), list(c.moved)) << c.line;
    EXPECT_EQ("y", read(c.moved + "/sub/y.txt"));
    EXPECT_FALSE(exists(c.gone)) << c.line;
  }
  if (made == 0) GTEST_SKIP() << "no overlay or btrfs mounted here (root, btrfs-progs)";
}

// Between file systems a file is copied, checked and only then removed.
TEST_F(MoveCommandTest, AcrossFileSystems) {
  struct stat here, there;
  if (stat(dir_.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 ||
      here.st_dev == there.st_dev || access("/dev/shm", W_OK) != 0)
    GTEST_SKIP() << "no second file system to move to";
  std::string target = "/dev/shm/pelquist-move-" + std::to_string(getpid());
  ASSERT_EQ(0, ::mkdir(target.c_str(), 0777));
  write("a.txt", "travels");
  write("d/x", "x");
  // The owner and group stay (where the process may set them), and with them the setuid
  // and setgid bits, the extended attributes and the file capabilities; a link stays a
  // link.
  const bool root = chown(path("a.txt").c_str(), 65534, 65534) == 0;
  ASSERT_EQ(0, chmod(path("a.txt").c_str(), 06755));
  // Where this build's kernel calls copy extended attributes at all (Linux's do).
  write("from", "");
  write("to", "");
  const int from = open(path("from").c_str(), O_RDWR), to = open(path("to").c_str(), O_RDWR);
  char probe = 0;
  const bool copies = fsetxattr(from, "user.p", "1", 1, 0) == 0 &&
                      copy::files::copyExtendedAttributes(from, to) == 0 &&
                      fgetxattr(to, "user.p", &probe, 1) == 1;
  close(from);
  close(to);
  unlink(path("from").c_str());
  unlink(path("to").c_str());
  const bool noted = setxattr(path("a.txt").c_str(), "user.note", "kept", 4, 0) == 0;
  const char capability[20] = {0, 0, 0, 2, 0, 0x20};  // version 2, cap_net_raw
  const bool capable =
      setxattr(path("a.txt").c_str(), "security.capability", capability, 20, 0) == 0;
  ASSERT_EQ(0, symlink("a.txt", path("ln").c_str()));
  ASSERT_EQ(0, symlink("nowhere", path("dl").c_str()));
  EXPECT_EQ(0, run("MOVE ln \"" + target + "\"").status);
  EXPECT_EQ(0, run("MOVE dl \"" + target + "\"").status);
  RunResult result = run("MOVE a.txt \"" + target + "\"");
  EXPECT_EQ(0, result.status) << result.err;
  EXPECT_EQ(kOneFile, result.out);
  EXPECT_EQ("travels", readFile(target + "/a.txt"));
  EXPECT_EQ((std::vector<std::string>{"d"}), list());
  struct stat moved;
  ASSERT_EQ(0, stat((target + "/a.txt").c_str(), &moved));
  EXPECT_EQ(root ? 65534u : getuid(), moved.st_uid);
  EXPECT_EQ(root ? 65534u : getgid(), moved.st_gid);
  EXPECT_EQ(06755u, moved.st_mode & 07777);
  char value[20] = {};
  EXPECT_EQ(noted && copies ? 4 : -1,
            getxattr((target + "/a.txt").c_str(), "user.note", value, 20));
  EXPECT_EQ(capable && copies ? 20 : -1,
            getxattr((target + "/a.txt").c_str(), "security.capability", value, 20));
  EXPECT_EQ("a.txt", std::filesystem::read_symlink(target + "/ln").string());
  EXPECT_EQ("nowhere", std::filesystem::read_symlink(target + "/dl").string());
  result = run("MOVE d \"" + target + "\"");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ("The system cannot move the file to a different disk drive.\n", result.err);
  EXPECT_EQ("x", read("d/x"));
  std::filesystem::remove_all(target);
}

}  // namespace
