#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/e2e_support.h"
#include "tests/support/expected_texts.h"
#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

/// On Windows the command lines go to cmd.exe (Wine's, in these runs), whose texts and
/// questions are its own: there the tests check files and exit codes. The POSIX build's
/// own interpreter is also held to cmd.exe's documented output, byte for byte.
bool outputIsOurs() { return !testsys::isWindowsBuild(); }

class ShellModesE2e : public ::testing::Test {
 protected:
  ChildResult run(const std::vector<std::string>& arguments, const std::string& input = "") {
    return runProgram(arguments, dir_.path(), input);
  }
  std::string path(const std::string& name) const { return dir_.join(name); }
  void write(const std::string& name, const std::string& content) { dir_.write(name, content); }
  std::string read(const std::string& name) const { return dir_.read(name); }

  TempDir dir_;
};

TEST_F(ShellModesE2e, CopyIsTheDefaultMode) {
  write("a.txt", std::string("bytes\0\x1a\r\n", 9));
  for (const char* mode : {"", "-copy"}) {
    std::vector<std::string> arguments{"-nosw", "a.txt", "b.txt"};
    if (*mode) arguments.insert(arguments.begin(), mode);
    ChildResult result = run(arguments, "y\n");
    EXPECT_EQ(0, result.exitCode) << mode << result.errorOutput;
    EXPECT_EQ(std::string("bytes\0\x1a\r\n", 9), read("b.txt")) << mode;
    if (outputIsOurs()) {
      // The second run finds b.txt and asks.
      EXPECT_EQ(std::string(*mode ? "Overwrite b.txt? (Yes/No/All): " : "") +
                    "        1 file(s) copied.\n",
                result.output);
    }
  }
}

TEST_F(ShellModesE2e, CopyToAFolderAndIntoTheCurrentOne) {
  write("a.txt", "a");
  write("sub/s.txt", "s");
  dir_.makeDirs("out");
  EXPECT_EQ(0, run({"-nosw", "-copy", "a.txt", "out"}).exitCode);
  EXPECT_EQ("a", read("out/a.txt"));
  std::string sub = std::string("sub") + testsys::separator() + "s.txt";
  ChildResult result = run({"-nosw", "-copy", sub});
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("s", read("s.txt"));
}

TEST_F(ShellModesE2e, CopyFailuresFailTheRun) {
  write("a.txt", "a");
  ChildResult missing = run({"-nosw", "-copy", "missing.txt", "b.txt"});
  EXPECT_EQ(1, missing.exitCode);
  ChildResult ontoItself = run({"-nosw", "-copy", "a.txt"});
  EXPECT_EQ(1, ontoItself.exitCode);
  EXPECT_EQ((std::vector<std::string>{"a.txt"}), dir_.list());
  if (outputIsOurs()) {
    EXPECT_EQ("        0 file(s) copied.\n", missing.output);
    EXPECT_EQ("The system cannot find the file specified.\n", missing.errorOutput);
    EXPECT_EQ("The file cannot be copied onto itself.\n", ontoItself.errorOutput);
  }
}

// The application quotes these paths; nothing in them is run by anyone.
TEST_F(ShellModesE2e, PathsWithOperatorsNameExactlyTheirFiles) {
  const char* names[] = {"my file.txt", "a & b.txt", "c;d=e,f.txt", "g(h)^i.txt",
                         "$(x) `y`.txt"};
  for (const char* name : names) {
    write(name, name);
    std::string copy = std::string("copy of ") + name;
    ChildResult result = run({"-nosw", "-copy", name, copy});
    EXPECT_EQ(0, result.exitCode) << name << result.output << result.errorOutput;
    EXPECT_EQ(name, read(copy)) << name;
  }
  EXPECT_EQ(10u, dir_.list().size());
}

TEST_F(ShellModesE2e, AbsolutePaths) {
  write("src dir/a.txt", "a");
  ChildResult result = run({"-nosw", "-copy", path("src dir/a.txt"), path("b.txt")});
  EXPECT_EQ(0, result.exitCode) << result.errorOutput;
  EXPECT_EQ("a", read("b.txt"));
}

TEST_F(ShellModesE2e, OverwriteQuestionTakesItsAnswerFromStandardInput) {
  if (!outputIsOurs()) GTEST_SKIP() << "Wine's cmd.exe does not ask under cmd /c";
  write("a.txt", "new");
  write("b.txt", "old");
  ChildResult refused = run({"-nosw", "-copy", "a.txt", "b.txt"}, "n\n");
  EXPECT_EQ(0, refused.exitCode);
  EXPECT_EQ("Overwrite b.txt? (Yes/No/All):         0 file(s) copied.\n", refused.output);
  EXPECT_EQ("old", read("b.txt"));
  ChildResult noInput = run({"-nosw", "-copy", "a.txt", "b.txt"});
  EXPECT_EQ("old", read("b.txt"));
  EXPECT_EQ(refused.output, noInput.output);
}

TEST_F(ShellModesE2e, MoveRenamesAndMovesIntoAFolder) {
  write("a.txt", "a");
  dir_.makeDirs("sub");
  ChildResult renamed = run({"-nosw", "-move", "a.txt", "b.txt"});
  EXPECT_EQ(0, renamed.exitCode);
  EXPECT_EQ("a", read("b.txt"));
  ChildResult moved = run({"-nosw", "-move", "b.txt", "sub"});
  EXPECT_EQ(0, moved.exitCode);
  EXPECT_EQ((std::vector<std::string>{"sub"}), dir_.list());
  EXPECT_EQ("a", read("sub/b.txt"));
  if (outputIsOurs()) {
    EXPECT_EQ("        1 file(s) moved.\n", moved.output);
  }
}

TEST_F(ShellModesE2e, MoveOfAMissingFileFails) {
  if (!outputIsOurs()) GTEST_SKIP() << "Wine's MOVE returns 0 for a missing source";
  ChildResult result = run({"-nosw", "-move", "missing.txt", "x.txt"});
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ("", result.output);
  EXPECT_EQ("The system cannot find the file specified.\n", result.errorOutput);
}

TEST_F(ShellModesE2e, XcopyCopiesTheTree) {
  write("src/a.txt", "a");
  write("src/s1/b.txt", "b");
  std::string destination = std::string("dst") + testsys::separator();
  ChildResult result = run({"-nosw", "-xcopy", "src", destination});
  EXPECT_EQ(0, result.exitCode) << result.output << result.errorOutput;
  EXPECT_EQ("a", read("dst/a.txt"));
  EXPECT_EQ("b", read("dst/s1/b.txt"));
  if (outputIsOurs()) {
    EXPECT_EQ("src/a.txt\nsrc/s1/b.txt\n2 File(s) copied\n", result.output);
  }
}

TEST_F(ShellModesE2e, XcopyAsksWhetherANewDestinationIsAFolder) {
  write("src/a.txt", "a");
  ChildResult result = run({"-nosw", "-xcopy", "src", "dst"}, "D\n");
  EXPECT_EQ(0, result.exitCode) << result.output << result.errorOutput;
  EXPECT_EQ("a", read("dst/a.txt"));
  if (outputIsOurs()) {
    EXPECT_EQ(
        "Does dst specify a file name\nor directory name on the target\n"
        "(F = file, D = directory)? D\nsrc/a.txt\n1 File(s) copied\n",
        result.output);
  }
}

TEST_F(ShellModesE2e, XcopyOfAMissingSourceFails) {
  ChildResult result = run({"-nosw", "-xcopy", "missing.txt", "dst"});
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ((std::vector<std::string>{}), dir_.list());
  if (outputIsOurs()) {
    EXPECT_EQ("0 File(s) copied\n", result.output);
    EXPECT_EQ("File not found - missing.txt\n", result.errorOutput);
  }
}

TEST_F(ShellModesE2e, WarningComesBeforeTheCommandsOutput) {
  if (!outputIsOurs()) GTEST_SKIP() << "the order on a shared console is cmd.exe's";
  write("a.txt", "a");
  ChildResult result = run({"-copy", "a.txt", "b.txt"});
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ(expected::warningLines() + "        1 file(s) copied.\n", result.output);
}

}  // namespace
