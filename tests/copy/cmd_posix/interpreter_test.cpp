#include <filesystem>

#include "tests/support/interpreter_fixture.h"

namespace {

TEST_F(InterpreterTest, UnknownCommandIsNotRecognized) {
  RunResult result = run("FOO a b");
  EXPECT_EQ(9009, result.status);
  EXPECT_EQ("", result.out);
  EXPECT_EQ(
      "'FOO' is not recognized as an internal or external command,\n"
      "operable program or batch file.\n",
      result.err);
}

TEST_F(InterpreterTest, QuotedCommandNameIsNotABuiltIn) {
  write("a.txt", "a");
  EXPECT_EQ(9009, run("\"COPY\" a.txt b.txt").status);
  EXPECT_FALSE(exists("b.txt"));
}

TEST_F(InterpreterTest, CommandNamesIgnoreCase) {
  write("a.txt", "a");
  EXPECT_EQ(0, run("copy a.txt b.txt").status);
  EXPECT_EQ(0, run("Move b.txt c.txt").status);
  EXPECT_EQ(0, run("xCopy c.txt d\\").status);
  EXPECT_EQ("a", read("d/c.txt"));
}

TEST_F(InterpreterTest, EmptyLineDoesNothing) {
  RunResult result = run("   ");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("", result.out + result.err);
}

// Nothing in a path is ever run: every byte names a file.
TEST_F(InterpreterTest, ShellCharactersInPathsNameFiles) {
  const char* names[] = {"a & echo hacked", "b;touch x", "c|cat", "d `id` $(id)",
                         "e > f",           "g'h",       "(i)",   "j^k",
                         "l,m=n!"};
  for (const char* name : names) {
    write(std::string("src/") + name, name);
    RunResult result =
        run(std::string("COPY /B \"src/") + name + "\" /B \"" + name + ".copy\" /B /V ");
    EXPECT_EQ(0, result.status) << name << result.err;
    EXPECT_EQ(name, read(std::string(name) + ".copy"));
  }
  EXPECT_FALSE(exists("x"));
  EXPECT_FALSE(exists("hacked"));
}

TEST_F(InterpreterTest, QuotedLeadingSlashIsAnAbsolutePath) {
  write("a b.txt", "spaced");
  RunResult result =
      run("COPY /B \"" + path("a b.txt") + "\" /B \"" + path("c d.txt") + "\" /B /V ");
  EXPECT_EQ(0, result.status) << result.err;
  EXPECT_EQ("        1 file(s) copied.\n", result.out);
  EXPECT_EQ("spaced", read("c d.txt"));
}

// A name found on disk keeps its '\': such a file is named (its control bytes shown as
// '?') and left where it is (never read as up/victim/e...), the others are copied, and
// the command fails.
TEST_F(InterpreterTest, NameHoldingABackslashIsSkippedAndFailsTheCommand) {
  write("up/load/..\\victim\\e\x1b[2J\nvil.txt", "evil");
  write("up/load/ok.txt", "ok");
  const std::string skipped =
      "Name skipped - up/load/..\\victim\\e?[2J?vil.txt\n"
      "The name holds a backslash, which this program reads as a folder separator.\n";
  const std::string moved = std::filesystem::canonical(path("up/load/ok.txt")).string();
  expectCases({{"XCOPY /S up/load/ x/", 5, "up/load/ok.txt\n1 File(s) copied\n", skipped},
               {"COPY up/load/* up", 1, "up/load/ok.txt\n        1 file(s) copied.\n", skipped},
               {"MOVE /Y up/load/* up", 1, moved + "\n        1 file(s) moved.\n", skipped}});
}

}  // namespace
