#include "app/copy_application.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/expected_texts.h"
#include "app/fake_command_runner.h"
#include "app/texts.h"

namespace {

const char kProgram[] = "pelquist_copy";

/// One run of the application on a command line (argv[0] is added).
struct AppRun {
  explicit AppRun(std::vector<std::string> arguments, int status = 0) {
    runner.status = status;
    arguments.insert(arguments.begin(), kProgram);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    CopyApplication application(console, runner);
    application.init(static_cast<int>(argv.size()), argv.data());
    result = application.start();
  }

  std::ostringstream console;
  FakeCommandRunner runner;
  bool result = false;
};

TEST(CopyApplicationUsage, PrintsSeventeenLinesAndSucceeds) {
  std::ostringstream console;
  FakeCommandRunner runner;
  CopyApplication application(console, runner);
  EXPECT_TRUE(application.usage());
  EXPECT_EQ(usageLines(), console.str());
}

TEST(CopyApplicationUsage, HelpAnywhereOverridesEverythingElse) {
  const std::vector<std::vector<std::string>> commandLines = {
      {"-help"},
      {"a.txt", "b.txt", "-help"},
      {"-bogus", "-help"},
      {"", "-help"},
      {"a", "b", "c", "-help"},
      {"-help", "-nosw", "-collectcopy"},
  };
  for (const auto& arguments : commandLines) {
    AppRun run(arguments);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(usageLines(), run.console.str());
    EXPECT_TRUE(run.runner.lines.empty());
  }
}

TEST(CopyApplicationStart, DoesNothingBeforeInit) {
  std::ostringstream console;
  FakeCommandRunner runner;
  CopyApplication application(console, runner);
  EXPECT_FALSE(application.start());
  EXPECT_EQ("", console.str());
}

struct SwitchCase {
  std::vector<std::string> arguments;
  std::string commandLine;
};

TEST(CopyApplicationRun, RecognisesSwitchesAndPaths) {
  const std::vector<SwitchCase> cases = {
      {{"a.txt", "b.txt"}, "COPY /B a.txt /B b.txt /B /V "},
      {{"-copy", "a.txt", "b.txt"}, "COPY /B a.txt /B b.txt /B /V "},
      {{"-move", "a.txt", "sub"}, "MOVE a.txt sub"},
      {{"-xcopy", "src", "dst"}, "XCOPY /S src dst"},
      {{"-move", "-copy", "a", "b"}, "COPY /B a /B b /B /V "},
      {{"-copy", "a", "-xcopy", "b"}, "XCOPY /S a b"},
      {{"a", "-fw", "b", "-fw", "-nosw", "-nosw"}, "COPY /B a /B b /B /V "},
      {{"a.txt"}, "COPY /B a.txt /B  /B /V "},
      {{"-move", "a.txt"}, "MOVE a.txt "},
      {{"-xcopy"}, "XCOPY /S  "},
      {{"-nosw"}, "COPY /B  /B  /B /V "},
      // argv[0] is skipped wherever its text appears again.
      {{kProgram, "a", kProgram, "b"}, "COPY /B a /B b /B /V "},
  };
  for (const SwitchCase& c : cases) {
    AppRun run(c.arguments);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(std::vector<std::string>{c.commandLine}, run.runner.lines) << c.commandLine;
  }
}

TEST(CopyApplicationRun, SlashWordsAndBlankWordsArePathsAndGoQuoted) {
  AppRun run({"-nosw", "/fw", "   "});
  EXPECT_EQ(std::vector<std::string>{"COPY /B \"/fw\" /B \"   \" /B /V "}, run.runner.lines);
}

TEST(CopyApplicationRun, WarningComesBeforeTheCommandUnlessSwitchedOff) {
  AppRun shown({"a", "b"});
  EXPECT_EQ(warningLines(), shown.console.str());
  AppRun hidden({"a", "b", "-nosw"});
  EXPECT_EQ("", hidden.console.str());
}

TEST(CopyApplicationRun, ResultIsTrueExactlyForStatusZero) {
  EXPECT_TRUE(AppRun({"a", "b"}, 0).result);
  EXPECT_FALSE(AppRun({"a", "b"}, 1).result);
  EXPECT_FALSE(AppRun({"a", "b"}, -1).result);
  EXPECT_FALSE(AppRun({"-xcopy", "a", "b"}, 4).result);
}

TEST(CopyApplicationRun, InvalidSwitchesPrintTheReportAndTheUsage) {
  for (std::string argument :
       {"-", "-HELP", "--help", "-FW", "-copy=1", "--copy", "-Copy", "-nosw2"}) {
    AppRun run({"a", argument, "b"});
    EXPECT_FALSE(run.result);
    EXPECT_EQ(invalidSwitchLines(argument), run.console.str()) << argument;
    EXPECT_TRUE(run.runner.lines.empty());
  }
}

TEST(CopyApplicationRun, EmptyArgumentPrintsOneLineOnly) {
  AppRun run({"a", "", "-bogus"});
  EXPECT_FALSE(run.result);
  EXPECT_EQ(std::string(texts::kEmptyArgument) + "\n", run.console.str());
  EXPECT_TRUE(run.runner.lines.empty());
}

TEST(CopyApplicationRun, ThirdPathStopsTheScan) {
  AppRun run({"a", "b", "c", "-bogus"});
  EXPECT_FALSE(run.result);
  EXPECT_EQ(std::string(texts::kTooManyPaths) + "\n", run.console.str());
  EXPECT_TRUE(run.runner.lines.empty());
}

TEST(CopyApplicationRun, TooManyPathsMessageEndsWithItsFixedBytes) {
  const std::string tail = "\xa5\xa5\xa5\x81\x9b\x7c\x81\x50\x7c\x81\x51";
  const std::string message = texts::kTooManyPaths;
  ASSERT_GT(message.size(), tail.size());
  EXPECT_EQ(tail, message.substr(message.size() - tail.size()));
}

TEST(CopyApplicationExecute, UnknownModePrintsItsMessageAndTheUsage) {
  std::ostringstream console;
  FakeCommandRunner runner;
  CopyApplication application(console, runner);
  EXPECT_FALSE(application.execute("a", "b", 16, false));
  EXPECT_EQ(std::string(texts::kUnknownMode) + "\n" + usageLines(), console.str());
  EXPECT_TRUE(runner.lines.empty());
}

TEST(CopyApplicationExecute, RefusedPathRunsNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"a\"b", "dst"}, {"src", "100%"}, {"a\tb", "dst"}, {"src", "line\nbreak"}};
  for (const auto& paths : cases) {
    std::ostringstream console;
    FakeCommandRunner runner;
    CopyApplication application(console, runner);
    const std::string& refused = paths[0] == "src" ? paths[1] : paths[0];
    EXPECT_FALSE(application.execute(paths[0], paths[1], Copy, false));
    EXPECT_EQ(std::string(texts::kUnsafePath) + "\n" + refused + "\n", console.str());
    EXPECT_TRUE(runner.lines.empty());
  }
}

class CommandLineSplitter : public Application {
 public:
  bool usage() override { return true; }
  bool run() override { return true; }
  bool split(const char* line) { return appendCommandLine(line); }
  const ArgumentList& list() const { return arguments; }
};

TEST(ApplicationCommandLine, SplitsAtBlanksOutsideQuotes) {
  CommandLineSplitter splitter;
  EXPECT_TRUE(splitter.split("prog  -nosw\t\"a b\"\r\nc\"d e\"f"));
  std::vector<std::string> got(splitter.list().begin(), splitter.list().end());
  EXPECT_EQ((std::vector<std::string>{"prog", "-nosw", "a b", "cd ef"}), got);
  CommandLineSplitter open;
  EXPECT_FALSE(open.split("prog \"unterminated"));
}

}  // namespace
