#include <gtest/gtest.h>

#include "app/texts.h"
#include "e2e/e2e_support.h"
#include "support/temp_dir.h"

namespace {

TEST(CommandLineE2e, NoArgumentsPrintsTheUsageAndSucceeds) {
  ScopedTempDir dir;
  ChildResult result = runProgram({}, dir.path());
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ(consoleText(usageLines()), result.output);
}

TEST(CommandLineE2e, HelpAnywhereWinsOverErrors) {
  ScopedTempDir dir;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"-help"}, {"-bogus", "-help"}, {"", "-help"},
        {"a", "b", "c", "-help"}}) {
    ChildResult result = runProgram(arguments, dir.path());
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ(consoleText(usageLines()), result.output);
  }
}

TEST(CommandLineE2e, CommandLineErrorsFailWithTheirMessages) {
  ScopedTempDir dir;
  struct Case {
    std::vector<std::string> arguments;
    std::string output;
  };
  const Case cases[] = {
      {{"-FW", "a", "b"}, invalidSwitchLines("-FW")},
      {{"--help"}, invalidSwitchLines("--help")},
      {{"a", ""}, std::string(texts::kEmptyArgument) + "\n"},
      {{"a", "b", "c"}, std::string(texts::kTooManyPaths) + "\n"},
  };
  for (const Case& c : cases) {
    ChildResult result = runProgram(c.arguments, dir.path());
    EXPECT_EQ(1, result.exitCode);
    EXPECT_EQ(consoleText(c.output), result.output);
  }
}

TEST(CommandLineE2e, RefusedPathFailsWithoutRunningAnything) {
  ScopedTempDir dir;
  ChildResult result = runProgram({"-nosw", "a.txt", "100%"}, dir.path());
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ(consoleText(std::string(texts::kUnsafePath) + "\n100%\n"), result.output);
}

TEST(CommandLineE2e, WarningOpensEveryAcceptedRun) {
  ScopedTempDir dir;
  ChildResult shown = runProgram({"a.txt", "100%"}, dir.path());
  EXPECT_EQ(consoleText(warningLines() + texts::kUnsafePath + "\n100%\n"), shown.output);
  ChildResult hidden = runProgram({"a.txt", "100%", "-nosw"}, dir.path());
  EXPECT_EQ(consoleText(std::string(texts::kUnsafePath) + "\n100%\n"), hidden.output);
}

}  // namespace
