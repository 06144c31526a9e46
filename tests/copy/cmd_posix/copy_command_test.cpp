#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/interpreter_fixture.h"

namespace {

const char kOne[] = "        1 file(s) copied.\n";
const char kNone[] = "        0 file(s) copied.\n";

using CopyCommandTest = InterpreterTest;

TEST_F(CopyCommandTest, SingleFileToNameOrFolder) {
  write("a.txt", "alpha");
  mkdir("dir");
  struct Case {
    const char* line;
    const char* copy;
  };
  const Case cases[] = {
      {"COPY /B a.txt /B b.txt /B /V ", "b.txt"},
      {"COPY /B a.txt /B dir /B /V ", "dir/a.txt"},
      {"COPY a.txt dir2\\..\\dir\\x.txt", nullptr},  // missing folder on the way
      {"COPY a.txt dir\\ /Y", "dir/a.txt"},
      {"COPY a.txt dir/", "dir/a.txt"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(path("dir/a.txt"));
    RunResult result = run(c.line);
    if (c.copy == nullptr) {
      EXPECT_EQ(1, result.status) << c.line;
      continue;
    }
    EXPECT_EQ(0, result.status) << c.line;
    EXPECT_EQ(kOne, result.out) << c.line;
    EXPECT_EQ("", result.err) << c.line;
    EXPECT_EQ("alpha", read(c.copy)) << c.line;
  }
}

TEST_F(CopyCommandTest, FailuresPrintTheReasonAndNoneCopied) {
  write("a.txt", "alpha");
  mkdir("sub");
  expectCases({
      {"COPY /B missing.txt /B b.txt /B /V ", 1, kNone,
       "The system cannot find the file specified.\n"},
      {"COPY /B *.none /B b.txt /B /V ", 1, kNone,
       "The system cannot find the file specified.\n"},
      {"COPY /B sub\\missing.txt /B b.txt /B /V ", 1, kNone,
       "The system cannot find the file specified.\n"},
      {"COPY /B nodir\\x.txt /B b.txt /B /V ", 1, kNone,
       "The system cannot find the path specified.\n"},
      {"COPY /B nodir/*.txt /B b.txt /B /V ", 1, kNone,
       "The system cannot find the path specified.\n"},
      {"COPY /B a.txt /B nodir\\ /B /V ", 1, kNone,
       "The system cannot find the path specified.\n"},
      {"COPY /B a.txt /B nodir/b.txt /B /V ", 1, kNone,
       "The system cannot find the path specified.\n"},
      {"COPY /B a.txt /B  /B /V ", 1, kNone, "The file cannot be copied onto itself.\n"},
      {"COPY a.txt .\\a.txt", 1, kNone, "The file cannot be copied onto itself.\n"},
      {"COPY a.txt sub/../a.txt", 1, kNone, "The file cannot be copied onto itself.\n"},
      {"COPY a.txt *.bak", 1, kNone,
       "The filename, directory name, or volume label syntax is incorrect.\n"},
  });
  EXPECT_EQ((std::vector<std::string>{"a.txt", "sub"}), list());
  EXPECT_EQ("alpha", read("a.txt"));
}

TEST_F(CopyCommandTest, SyntaxErrors) {
  write("a.txt", "alpha");
  const std::string syntax = "The syntax of the command is incorrect.\n";
  expectCases({
      {"COPY /B  /B  /B /V ", 1, "", syntax},
      {"COPY a.txt b.txt c.txt", 1, "", syntax},
      {"COPY /Q a.txt b.txt", 1, "", syntax},
      {"COPY + a.txt", 1, "", syntax},
      {"COPY a.txt +", 1, "", syntax},
  });
  EXPECT_EQ((std::vector<std::string>{"a.txt"}), list());
}

TEST_F(CopyCommandTest, NoDestinationCopiesIntoTheCurrentFolder) {
  write("sub/a.txt", "alpha");
  RunResult result = run("COPY /B sub\\a.txt /B  /B /V ");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(kOne, result.out);
  EXPECT_EQ("alpha", read("a.txt"));
}

TEST_F(CopyCommandTest, KeepsEmptyFilesAndModificationTime) {
  write("empty", "");
  write("old.txt", "old");
  auto stamp = std::filesystem::last_write_time(path("old.txt")) - std::chrono::hours(1000);
  std::filesystem::last_write_time(path("old.txt"), stamp);
  EXPECT_EQ(0, run("COPY /B empty /B copy /B /V ").status);
  EXPECT_EQ(0, run("COPY /B old.txt /B new.txt /B /V ").status);
  EXPECT_TRUE(exists("copy"));
  EXPECT_EQ(stamp, std::filesystem::last_write_time(path("new.txt")));
}

TEST_F(CopyCommandTest, WildcardsAndFoldersListEachFile) {
  write("src/b.txt", "b");
  write("src/a.txt", "a");
  write("src/c.dat", "c");
  mkdir("src/d.txt");  // a folder is never copied
  mkdir("out");
  RunResult result = run("COPY /B src\\*.txt /B out /B /V ");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("src\\a.txt\nsrc\\b.txt\n        2 file(s) copied.\n", result.out);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), list("out"));

  result = run("COPY src all /Y");  // a folder into a new name: one combined file
  EXPECT_EQ("src/a.txt\nsrc/b.txt\nsrc/c.dat\n        1 file(s) copied.\n", result.out);
  EXPECT_EQ("abc\x1a", read("all"));
}

TEST_F(CopyCommandTest, SummaryPadsTwoDigitCounts) {
  for (int i = 0; i < 12; ++i) write("src/f" + std::to_string(i + 10), "x");
  mkdir("out");
  RunResult result = run("COPY /B src /B out /B /V ");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ(0u, result.out.find("src/f10\n"));
  EXPECT_EQ("       12 file(s) copied.\n", result.out.substr(result.out.size() - 26));
}

TEST_F(CopyCommandTest, CombinesInAsciiOrBinaryMode) {
  write("a", "12345");
  write("b", "abcdefgh");
  write("z", "text\x1aignored");
  struct Case {
    const char* line;
    std::string content;
  };
  const Case cases[] = {
      {"COPY /B a+b c", "12345abcdefgh"},
      {"COPY a+b c", "12345abcdefgh\x1a"},
      {"COPY a + z c", "12345text\x1a"},
      {"COPY /B a + z c", std::string("12345text\x1aignored")},
      {"COPY a /B + z c /B", std::string("12345text\x1aignored")},
      {"COPY /A z c", "text\x1a"},  // one source, read as ASCII: up to its ^Z
  };
  for (const Case& c : cases) {
    std::filesystem::remove(path("c"));
    RunResult result = run(c.line);
    EXPECT_EQ(0, result.status) << c.line;
    EXPECT_EQ(c.content, read("c")) << c.line;
  }
  RunResult result = run("COPY /B a+b c /Y");
  EXPECT_EQ("a\nb\n" + std::string(kOne), result.out);
  // Verified, in ASCII mode: the end mark is read back too.
  result = run("COPY /V a + z c /Y");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("", result.err);
  EXPECT_EQ("12345text\x1a", read("c"));
}

TEST_F(CopyCommandTest, OneFileToAnAsciiDestinationEndsWithOneEndMark) {
  write("a", "12345");
  write("marked", "data\x1a");
  write("z", "text\x1aignored");
  write("empty", "");
  struct Case {
    const char* line;
    std::string content;
  };
  const Case cases[] = {
      {"COPY /B marked c /A", "data\x1a"},  // already ends with one
      {"COPY /B marked c /A /V", "data\x1a"},
      {"COPY marked c /A", "data\x1a"},
      {"COPY /A marked c", "data\x1a"},  // read up to the mark, which comes back
      {"COPY /B a c /A", "12345\x1a"},
      {"COPY /B z c /A", std::string("text\x1aignored\x1a")},
      {"COPY /A z c", "text\x1a"},
      {"COPY /B empty c /A", "\x1a"},
      {"COPY /B marked c", "data\x1a"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(path("c"));
    RunResult result = run(c.line);
    EXPECT_EQ(0, result.status) << c.line;
    EXPECT_EQ(kOne, result.out) << c.line;
    EXPECT_EQ(c.content, read("c")) << c.line;
  }
}

TEST_F(CopyCommandTest, WildcardIntoAFileCombines) {
  write("x1.txt", "one");
  write("x2.txt", "two");
  RunResult result = run("COPY /B *.txt /B all.dat /B /V ");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("x1.txt\nx2.txt\n" + std::string(kOne), result.out);
  EXPECT_EQ("onetwo", read("all.dat"));
}

TEST_F(CopyCommandTest, CombiningIntoASource) {
  write("a", "A");
  write("b", "B");
  write("c", "C");
  RunResult result = run("COPY /B a+b+c b /Y");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("a\nb\nThe contents of the target file were lost.\nc\n" + std::string(kOne),
            result.out);
  EXPECT_EQ("AC", read("b"));

  result = run("COPY /B a+c");  // no destination: appended to the first source
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("a\nc\n" + std::string(kOne), result.out);
  EXPECT_EQ("AC", read("a"));

  // A combined destination that is kept when the question is answered No.
  expectCases(
      {{"COPY /B a+c b", 0, "Overwrite b? (Yes/No/All): " + std::string(kNone), "", "n\n"}});
  EXPECT_EQ("AC", read("b"));

  // A link at the destination is none of the sources, even where it leads to one: it is
  // replaced by all of them.
  ASSERT_EQ(0, symlink("c", path("l").c_str()));
  result = run("COPY /B a+c l /Y");
  EXPECT_EQ("a\nc\n" + std::string(kOne), result.out);
  EXPECT_EQ("ACC", read("l"));
  EXPECT_EQ("C", read("c"));
}

TEST_F(CopyCommandTest, OverwriteQuestion) {
  struct Case {
    const char* line;
    const char* input;
    const char* copyCmd;
    int questions;
    bool replaced;
  };
  const Case cases[] = {
      {"COPY a.txt b.txt", "y\n", nullptr, 1, true},
      {"COPY a.txt b.txt", "N\n", nullptr, 1, false},
      {"COPY a.txt b.txt", "a\n", nullptr, 1, true},
      {"COPY a.txt b.txt", "yes\nx\nY\n", nullptr, 3, true},  // asked again until Y, N or A
      {"COPY a.txt b.txt", "y \t\r\n", nullptr, 1, true},     // blanks after the answer
      {"COPY a.txt b.txt", "", nullptr, 1, false},            // no input at all: No
      {"COPY a.txt b.txt /Y", "", nullptr, 0, true},
      {"COPY /-Y a.txt b.txt /Y", "n\r\n", nullptr, 1, false},
      {"COPY a.txt b.txt", "", "/Y", 0, true},
      {"COPY a.txt b.txt", "", "/-y", 1, false},
      {"COPY a.txt b.txt /-Y", "", "/Y", 1, false},
  };
  for (const Case& c : cases) {
    write("a.txt", "new");
    write("b.txt", "old");
    if (c.copyCmd)
      setenv("COPYCMD", c.copyCmd, 1);
    else
      unsetenv("COPYCMD");
    RunResult result = run(c.line, c.input);
    unsetenv("COPYCMD");
    std::string expected;
    for (int i = 0; i < c.questions; ++i) expected += "Overwrite b.txt? (Yes/No/All): ";
    expected += c.replaced ? kOne : kNone;
    EXPECT_EQ(expected, result.out) << c.line << " / " << c.input;
    EXPECT_EQ(0, result.status) << c.line;
    EXPECT_EQ(c.replaced ? "new" : "old", read("b.txt")) << c.line << " / " << c.input;
  }
}

TEST_F(CopyCommandTest, AllStopsTheQuestionsAndEndOfInputMeansNo) {
  write("src/a", "1");
  write("src/b", "2");
  write("src/c", "3");
  write("out/a", "old");
  write("out/b", "old");
  write("out/c", "old");
  RunResult result = run("COPY src out", "n\nA\n");
  EXPECT_EQ(
      "src/a\nOverwrite out/a? (Yes/No/All): src/b\nOverwrite out/b? (Yes/No/All): src/c\n"
      "        2 file(s) copied.\n",
      result.out);
  EXPECT_EQ("old", read("out/a"));
  EXPECT_EQ("3", read("out/c"));

  result = run("COPY src out", "");
  EXPECT_EQ(
      "src/a\nOverwrite out/a? (Yes/No/All): src/b\nOverwrite out/b? (Yes/No/All): src/c\n"
      "Overwrite out/c? (Yes/No/All):         0 file(s) copied.\n",
      result.out);
}

TEST_F(CopyCommandTest, ReadOnlyDestinationIsNotReplaced) {
  write("a.txt", "new");
  write("b.txt", "old");
  chmod(path("b.txt").c_str(), 0444);
  RunResult result = run("COPY /Y a.txt b.txt");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ("Access is denied.\n", result.err);
  EXPECT_EQ(kNone, result.out);
  EXPECT_EQ("old", read("b.txt"));
}

TEST_F(CopyCommandTest, JoiningNeverReplacesAReadOnlyFile) {
  write("x1.txt", "one");
  write("x2.txt", "two");
  write("all.dat", "kept");
  chmod(path("all.dat").c_str(), 0444);
  chmod(path("x1.txt").c_str(), 0444);
  // Into a read-only file, and into a read-only first source that would be appended to.
  for (const char* line : {"COPY /B *.txt /B all.dat /B /V /Y", "COPY /B x1.txt+x2.txt /Y"}) {
    RunResult result = run(line);
    EXPECT_EQ(1, result.status) << line;
    EXPECT_EQ("Access is denied.\n", result.err) << line;
    EXPECT_NE(std::string::npos, result.out.find(kNone)) << line;
  }
  EXPECT_EQ("kept", read("all.dat"));
  EXPECT_EQ("one", read("x1.txt"));
}

TEST_F(CopyCommandTest, JoinedFileTakesTheModeOfWhatItReplacesOrOfANewFile) {
  write("x1.txt", "one");
  write("x2.txt", "two");
  write("old.dat", "old");
  chmod(path("old.dat").c_str(), 0640);
  write("open.dat", "old");  // bits that a new file would not get from the umask
  chmod(path("open.dat").c_str(), 0666);
  const mode_t mask = umask(0);  // the process's own, which the program takes as it is
  umask(mask);
  EXPECT_EQ(0, run("COPY /B x1.txt+x2.txt new.dat").status);
  EXPECT_EQ(0, run("COPY /B x1.txt+x2.txt old.dat /Y").status);
  EXPECT_EQ(0, run("COPY /B x1.txt+x2.txt open.dat /Y").status);
  // A link replaced: the bits of a new file, not of what it leads to.
  ASSERT_EQ(0, symlink("open.dat", path("link.dat").c_str()));
  EXPECT_EQ(0, run("COPY /B x1.txt+x2.txt link.dat /Y").status);
  struct stat status;
  ASSERT_EQ(0, lstat(path("link.dat").c_str(), &status));
  EXPECT_EQ(0666u & ~mask, status.st_mode & 0777);
  ASSERT_EQ(0, stat(path("new.dat").c_str(), &status));
  EXPECT_EQ(0666u & ~mask, status.st_mode & 0777);
  ASSERT_EQ(0, stat(path("old.dat").c_str(), &status));
  EXPECT_EQ(0640u, status.st_mode & 0777);
  ASSERT_EQ(0, stat(path("open.dat").c_str(), &status));
  EXPECT_EQ(0666u, status.st_mode & 0777);
  EXPECT_EQ("onetwo", read("old.dat"));
}

TEST_F(CopyCommandTest, PipeAmongTheSourcesIsRefusedNotWaitedOn) {
  write("a.txt", "a");
  ASSERT_EQ(0, mkfifo(path("p").c_str(), 0600));
  RunResult result = run("COPY /B a.txt+p out.bin");
  EXPECT_EQ(1, result.status);
  EXPECT_FALSE(exists("out.bin"));
  EXPECT_EQ((std::vector<std::string>{"a.txt", "p"}), list());
}

TEST_F(CopyCommandTest, SourceThatCannotBeOpenedIsAFileNotFound) {
  write("a.txt", "a");
  ASSERT_EQ(0, symlink("nowhere", path("dangling").c_str()));
  mkdir("out");
  RunResult result = run("COPY /B * /B out /B /V ");
  EXPECT_EQ(1, result.status);
  EXPECT_EQ("a.txt\ndangling\n" + std::string(kOne), result.out);
  EXPECT_EQ("The system cannot find the file specified.\n", result.err);
}

}  // namespace
