#include <sys/resource.h>
#include <sys/stat.h>

#include "copy/cmd_posix/commands.h"
#include "copy/files_posix/kernel_calls.h"
#include "tests/support/interpreter_fixture.h"
#include "tests/support/platform.h"

namespace {

std::string question(const std::string& destination, const std::string& answer) {
  return "Does " + destination +
         " specify a file name\nor directory name on the target\n(F = file, D = directory)? " +
         answer + "\n";
}

class XcopyCommandTest : public InterpreterTest {
 protected:
  void makeTree() {
    write("src/a.txt", "a");
    write("src/s1/b.txt", "b");
    write("src/s1/a.txt", "a1");
    mkdir("src/empty");
  }
};

TEST_F(XcopyCommandTest, FolderToNewDestinationAnsweredDirectory) {
  makeTree();
  RunResult result = run("XCOPY /S src dst", "d\n");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(question("dst", "d") + "src/a.txt\nsrc/s1/a.txt\nsrc/s1/b.txt\n3 File(s) copied\n",
            result.out);
  EXPECT_EQ("", result.err);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "s1"}), list("dst"));
  EXPECT_EQ("b", read("dst/s1/b.txt"));
}

TEST_F(XcopyCommandTest, FileToNewDestinationAnsweredFile) {
  write("a.txt", "a");
  RunResult result = run("XCOPY /S a.txt new/copy.txt", "x\nF\n");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(question("new/copy.txt", "x") + question("new/copy.txt", "F") +
                "a.txt\n1 File(s) copied\n",
            result.out);
  EXPECT_EQ("a", read("new/copy.txt"));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "new"}), list());
}

TEST_F(XcopyCommandTest, NoAnswerCopiesNothing) {
  makeTree();
  RunResult result = run("XCOPY /S src dst");
  EXPECT_EQ(4, result.status);
  EXPECT_EQ(
      question("dst", "").substr(0, question("dst", "").size() - 1) + "\n0 File(s) copied\n",
      result.out);
  EXPECT_FALSE(exists("dst"));
}

TEST_F(XcopyCommandTest, KnownFolderDestinationsAskNothing) {
  makeTree();
  mkdir("existing");
  for (const char* line :
       {"XCOPY /S src dst\\", "XCOPY /S src existing", "XCOPY /S /I src di"}) {
    RunResult result = run(line);
    EXPECT_EQ(0, result.status) << line;
    EXPECT_EQ("src/a.txt\nsrc/s1/a.txt\nsrc/s1/b.txt\n3 File(s) copied\n", result.out) << line;
  }
  EXPECT_EQ("a1", read("dst/s1/a.txt"));
  EXPECT_EQ("a1", read("existing/s1/a.txt"));
  EXPECT_EQ("a1", read("di/s1/a.txt"));
  EXPECT_FALSE(exists("dst/empty"));  // only /E makes empty folders
  EXPECT_EQ(0, run("XCOPY /E src e\\").status);
  EXPECT_TRUE(dir_.isDirectory("e/empty"));
}

TEST_F(XcopyCommandTest, PatternAppliesInEveryFolderBelow) {
  makeTree();
  RunResult result = run("XCOPY /S src\\a.txt out\\");
  EXPECT_EQ("src\\a.txt\nsrc\\s1/a.txt\n2 File(s) copied\n", result.out);
  EXPECT_EQ("a1", read("out/s1/a.txt"));
  EXPECT_FALSE(exists("out/s1/b.txt"));

  result = run("XCOPY /S src\\b* only\\");  // found only in a subfolder
  EXPECT_EQ("src\\s1/b.txt\n1 File(s) copied\n", result.out);
  EXPECT_EQ((std::vector<std::string>{"s1"}), list("only"));

  result = run("XCOPY /S \"" + path("src") + "\" abs\\");
  EXPECT_EQ(path("src") + "/a.txt\n" + path("src") + "/s1/a.txt\n" + path("src") +
                "/s1/b.txt\n3 File(s) copied\n",
            result.out);
}

TEST_F(XcopyCommandTest, NothingToCopy) {
  mkdir("hollow/inner");
  write("src/a.txt", "a");
  const std::string none = "0 File(s) copied\n";
  expectCases({
      {"XCOPY /S hollow out", 0, none, ""},
      {"XCOPY /S src\\*.xyz out", 0, none, "File not found - *.xyz\n"},
      {"XCOPY /S src\\missing.txt out", 4, none, "File not found - missing.txt\n"},
      {"XCOPY /S nodir out", 4, none, "File not found - nodir\n"},
      {"XCOPY /S nodir\\x.txt out", 4, none, "File not found - x.txt\n"},  // its own text
  });
  EXPECT_FALSE(exists("out"));
}

TEST_F(XcopyCommandTest, EmptyFolderWithEMakesTheDestination) {
  mkdir("bare");
  const std::string none = "0 File(s) copied\n";
  expectCases({
      {"XCOPY /S /E bare out\\", 0, none, ""},
      {"XCOPY /E bare asked", 0, question("asked", "D") + none, "", "D\n"},
  });
  EXPECT_TRUE(dir_.isDirectory("out"));
  EXPECT_TRUE(dir_.isDirectory("asked"));
  EXPECT_TRUE(dir_.list("out").empty());
}

TEST_F(XcopyCommandTest, RefusedCommandLines) {
  makeTree();
  write("a.txt", "a");
  const std::string none = "0 File(s) copied\n";
  expectCases({
      {"XCOPY /S  ", 4, none, "Invalid number of parameters\n"},
      {"XCOPY /S a b c", 4, none, "Invalid number of parameters\n"},
      {"XCOPY /S /Z src out\\", 4, none, "Invalid switch - /Z\n"},
      {"XCOPY /S src src\\s1\\deep\\", 4, none, "Cannot perform a cyclic copy\n"},
      {"XCOPY /S src\\*.txt src", 4, none, "Cannot perform a cyclic copy\n"},
      {"XCOPY /S src x\\..\\src\\out\\", 4, none, "Cannot perform a cyclic copy\n"},
      {"XCOPY a.txt .", 4, none, "File cannot be copied onto itself\n"},
  });
  EXPECT_FALSE(exists("out"));
  EXPECT_FALSE(exists("src/s1/deep"));
  EXPECT_FALSE(exists("src/out"));
  EXPECT_FALSE(exists("x"));
}

TEST_F(XcopyCommandTest, OverwriteQuestion) {
  write("src/a", "new");
  write("src/b", "new");
  struct Case {
    const char* line;
    const char* input;
    std::string output;
    const char* a;
    const char* b;
  };
  const std::string qa = "Overwrite out/a (Yes/No/All)? ";
  const std::string qb = "Overwrite out/b (Yes/No/All)? ";
  const Case cases[] = {
      {"XCOPY /S src out", "y\nn\n", qa + "y\nsrc/a\n" + qb + "n\n1 File(s) copied\n", "new",
       "old"},
      {"XCOPY /S src out", "A\n", qa + "A\nsrc/a\nsrc/b\n2 File(s) copied\n", "new", "new"},
      {"XCOPY /S src out", "", qa + "\n" + qb + "\n0 File(s) copied\n", "old", "old"},
      {"XCOPY /S /Y src out", "", "src/a\nsrc/b\n2 File(s) copied\n", "new", "new"},
      {"XCOPY /S /Y /-y src out", "", qa + "\n" + qb + "\n0 File(s) copied\n", "old", "old"},
  };
  for (const Case& c : cases) {
    write("out/a", "old");
    write("out/b", "old");
    RunResult result = run(c.line, c.input);
    EXPECT_EQ(0, result.status) << c.line << " / " << c.input;
    EXPECT_EQ(c.output, result.out) << c.line << " / " << c.input;
    EXPECT_EQ(c.a, read("out/a"));
    EXPECT_EQ(c.b, read("out/b"));
  }
}

// A link back to a folder being copied is not walked again.
TEST_F(XcopyCommandTest, LinkToAnEnclosingFolderIsCopiedOnce) {
  write("src/a.txt", "a");
  write("src/in/b.txt", "b");
  ASSERT_EQ(0, symlink(path("src").c_str(), path("src/in/up").c_str()));
  RunResult result = run("XCOPY /S src out\\");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("src/a.txt\nsrc/in/b.txt\n2 File(s) copied\n", result.out);
  EXPECT_EQ((std::vector<std::string>{"b.txt"}), list("out/in"));
}

// In a destination that is the user's alone, a link of theirs where a folder would be is
// followed: nobody else could have put it there.
TEST_F(XcopyCommandTest, OwnLinkInAPrivateDestinationIsEntered) {
  write("src/sub/b.txt", "b");
  mkdir("out");
  mkdir("elsewhere");
  ASSERT_EQ(0, chmod(path("out").c_str(), 0700) | chmod(path(".").c_str(), 0700));
  ASSERT_EQ(0, symlink(path("elsewhere").c_str(), path("out/sub").c_str()));
  EXPECT_EQ(0, run("XCOPY /S /Y src out").status);
  EXPECT_EQ("b", read("elsewhere/b.txt"));
}

TEST_F(XcopyCommandTest, CopiesAreWritableAndKeepTheirTime) {
  write("src/ro.txt", "ro");
  chmod(path("src/ro.txt").c_str(), 0444);
  ASSERT_EQ(0, run("XCOPY /S src out\\").status);
  struct stat source, copy;
  ASSERT_EQ(0, stat(path("src/ro.txt").c_str(), &source));
  ASSERT_EQ(0, stat(path("out/ro.txt").c_str(), &copy));
  EXPECT_EQ(0644u, copy.st_mode & 0777);
  EXPECT_EQ(copy::files::modificationTime(source).tv_sec,
            copy::files::modificationTime(copy).tv_sec);
  EXPECT_EQ(copy::files::modificationTime(source).tv_nsec,
            copy::files::modificationTime(copy).tv_nsec);
}

TEST_F(XcopyCommandTest, WriteFailureStops) {
  write("src/a", "a");
  write("src/b", "b");
  write("out/b", "old");
  chmod(path("out/b").c_str(), 0444);
  RunResult result = run("XCOPY /S /Y src out");
  EXPECT_EQ(5, result.status);
  EXPECT_EQ("src/a\nsrc/b\n1 File(s) copied\n", result.out);
  EXPECT_EQ("Access is denied.\n", result.err);
  EXPECT_EQ("old", read("out/b"));
}

// Where each spelling of a name has an identity of its own (FAT through FUSE) and a
// folder lists one spelling only (hidden names stand in for it here), a folder copied
// onto itself spelled another way is refused, its files kept.
TEST_F(XcopyCommandTest, ACopyOntoItselfSpelledAnotherWayIsRefused) {
  write("Photos/a.txt", "a");
  write("photos/a.txt", "kept");
  kernel_.hideListedNames = true;
  const RunResult result = run("XCOPY /Y Photos photos/");
  EXPECT_EQ(4, result.status);
  EXPECT_EQ("File cannot be copied onto itself\n", result.err);
  EXPECT_EQ("kept", read("photos/a.txt"));
}

// A tree deeper than the open-file limit is copied whole: a few of the destination's
// levels are kept open, not one a level.
TEST_F(XcopyCommandTest, TreeDeeperThanTheOpenFileLimitIsCopied) {
  std::string deep = "src";
  for (int i = 0; i < 40; ++i) {
    deep += "/d";
    write(deep + "/f.txt", std::to_string(i));
  }
  struct rlimit saved;
  ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &saved));
  struct rlimit low = saved;
  low.rlim_cur = testsys::list("/proc/self/fd").size() + 16;
  ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &low));
  const RunResult result = run("XCOPY /S /Q src out/");
  // Where even a few cannot be opened, the failure says why.
  low.rlim_cur -= 14;
  ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &low));
  const RunResult starved = run("XCOPY /S /Q src starved/");
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(0, result.status) << result.err;
  EXPECT_EQ("40 File(s) copied\n", result.out);
  EXPECT_EQ("39", read("out" + deep.substr(3) + "/f.txt"));
  EXPECT_NE(std::string::npos, starved.err.find("(Too many open files)\n")) << starved.err;
}

// Folders that each hold two links to the next make a walk without end in all but name
// (2^12 paths here): it stops at its entry limit, says so, copies what it found, and
// fails.
TEST_F(XcopyCommandTest, AWalkOfLinkedFoldersStopsAtItsLimit) {
  for (int i = 0; i < 12; ++i) {
    const std::string folder = "src/d" + std::to_string(i),
                      next = "../d" + std::to_string(i + 1);
    write(folder + "/f.txt", "f");
    ASSERT_EQ(0, symlink(next.c_str(), path(folder + "/a").c_str()));
    ASSERT_EQ(0, symlink(next.c_str(), path(folder + "/b").c_str()));
  }
  mkdir("src/d12");
  std::istringstream in;
  std::ostringstream out, err;
  copy::cmd::Console console(in, out, err);
  const int status = copy::cmd::runXcopy(copy::cmd::readWords("src/d0 out/ /S /Q /Y", false),
                                         console, kernel_.context, 100);
  console.flush();
  EXPECT_EQ(5, status);
  EXPECT_EQ(
      "Too many entries: the walk stopped after 100 of them, and copies only what it "
      "found\n",
      err.str());
  EXPECT_EQ("f", read("out/f.txt"));
}

// A folder of the destination that cannot be made (a file stands in its place) is named,
// and ends the copy.
TEST_F(XcopyCommandTest, AFolderThatCannotBeMadeEndsTheCopy) {
  write("src/a", "a");
  write("src/sub/deeper/b", "b");
  write("out/sub/deeper", "a file");
  expectCases({{"XCOPY /S /Y src out", 5, "src/a\n1 File(s) copied\n",
                "Unable to create directory - out/sub/deeper\nThe system cannot find the path "
                "specified.\n"}});
}

// A folder that cannot be listed is named with the system's reason; the rest is copied.
TEST_F(XcopyCommandTest, UnreadableFolderIsNamedAndFailsTheCopy) {
  write("src/a.txt", "a");
  write("src/clo\x1bsed/b.txt", "b");  // shown as names are, its ESC a '?'
  if (geteuid() == 0 || chmod(path("src/clo\x1bsed").c_str(), 0) != 0)
    GTEST_SKIP() << "every folder is readable here";
  const std::string denied = "Unable to read directory - src/clo?sed\nAccess is denied.\n";
  expectCases({{"XCOPY /S src out/", 5, "src/a.txt\n1 File(s) copied\n", denied},
               {"XCOPY /S \"src/clo\x1bsed\" out/", 5, "0 File(s) copied\n", denied}});
}

}  // namespace
