#include <gtest/gtest.h>

#include "tests/support/e2e_support.h"
#include "tests/support/expected_texts.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(CommandLineE2e, NoArgumentsPrintsTheUsageAndSucceeds) {
  TempDir dir;
  ChildResult result = runProgram({}, dir.path());
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ(withTextLineEnds(expected::usageLines()), result.output);
}

TEST(CommandLineE2e, HelpAnywhereWinsOverErrors) {
  TempDir dir;
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"-help"},
                                                    {"-bogus", "-help"},
                                                    {"", "-help"},
                                                    {"a", "b", "c", "-help"}}) {
    ChildResult result = runProgram(arguments, dir.path());
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ(withTextLineEnds(expected::usageLines()), result.output);
  }
}

TEST(CommandLineE2e, CommandLineErrorsFailWithTheirMessages) {
  TempDir dir;
  struct Case {
    std::vector<std::string> arguments;
    std::string output;
  };
  const Case cases[] = {
      {{"-FW", "a", "b"}, expected::invalidSwitchLines("-FW")},
      {{"--help"}, expected::invalidSwitchLines("--help")},
      {{"a", ""}, expected::kEmptyArgument + "\n"},
      {{"a", "b", "c"}, expected::kTooManyPaths + "\n"},
  };
  for (const Case& c : cases) {
    ChildResult result = runProgram(c.arguments, dir.path());
    EXPECT_EQ(1, result.exitCode);
    EXPECT_EQ(withTextLineEnds(c.output), result.output);
  }
}

TEST(CommandLineE2e, RefusedPathFailsWithoutRunningAnything) {
  TempDir dir;
  ChildResult result = runProgram({"-nosw", "a.txt", "100%"}, dir.path());
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ(withTextLineEnds(expected::kUnsafePath + "\n100%\n"), result.output);
}

TEST(CommandLineE2e, WarningOpensEveryAcceptedRun) {
  TempDir dir;
  ChildResult shown = runProgram({"a.txt", "100%"}, dir.path());
  EXPECT_EQ(withTextLineEnds(expected::warningLines() + expected::kUnsafePath + "\n100%\n"),
            shown.output);
  ChildResult hidden = runProgram({"a.txt", "100%", "-nosw"}, dir.path());
  EXPECT_EQ(withTextLineEnds(expected::kUnsafePath + "\n100%\n"), hidden.output);
}

// Started under a name that is also the name of a file, the program still takes that
// file as its source: only argv[0] is the program.
TEST(CommandLineE2e, AnArgumentThatEqualsTheProgramsNameIsAPath) {
  TempDir dir;
  dir.write("notes.txt", "work");
  dir.makeDirs("backup");
  ChildResult result = runChild(PELQUIST_COPY_EXE, {"-nosw", "notes.txt", "backup"}, dir.path(),
                                "", "notes.txt");
  EXPECT_EQ(0, result.exitCode) << result.output << result.errorOutput;
  EXPECT_EQ("work", dir.read("backup/notes.txt"));
  EXPECT_EQ("work", dir.read("notes.txt"));
}

}  // namespace
