#include "app/copy_application.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/expected_texts.h"
#include "tests/support/fake_command_runner.h"
#include "tests/support/fake_file_system.h"

namespace app {

namespace {

const char kProgram[] = "pelquist_copy";

/// One run of the application on a command line (argv[0] is added), where `files` and
/// `folders` exist.
struct AppRun {
  explicit AppRun(std::vector<std::string> arguments, int status = 0,
                  const std::vector<std::string>& files = {},
                  const std::set<std::string>& folders = {}) {
    runner.status = status;
    for (const std::string& file : files) fileSystem.files[file] = file;
    fileSystem.directories = folders;
    arguments.insert(arguments.begin(), kProgram);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    CopyApplication application(console, runner, fileSystem, errors);
    application.init(static_cast<int>(argv.size()), argv.data());
    result = application.start();
  }

  std::ostringstream console;
  std::ostringstream errors;
  copy::FakeCommandRunner runner;
  copy::FakeFileSystem fileSystem;
  bool result = false;
};

/// An application that is only constructed: nothing of the world is touched.
struct Bare {
  std::ostringstream console;
  copy::FakeCommandRunner runner;
  copy::FakeFileSystem fileSystem;
  CopyApplication application{console, runner, fileSystem};
};

TEST(CopyApplicationUsage, PrintsSeventeenLinesAndSucceeds) {
  Bare bare;
  EXPECT_TRUE(bare.application.usage());
  EXPECT_EQ(expected::usageLines(), bare.console.str());
}

TEST(CopyApplicationUsage, HelpAnywhereOverridesEverythingElse) {
  const std::vector<std::vector<std::string>> commandLines = {
      {"-help"},     {"a.txt", "b.txt", "-help"}, {"-bogus", "-help"},
      {"", "-help"}, {"a", "b", "c", "-help"},    {"-help", "-nosw", "-collectcopy"},
  };
  for (const auto& arguments : commandLines) {
    AppRun run(arguments);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(expected::usageLines(), run.console.str());
    EXPECT_TRUE(run.runner.lines.empty());
  }
}

TEST(CopyApplicationStart, DoesNothingBeforeInit) {
  Bare bare;
  EXPECT_FALSE(bare.application.start());
  EXPECT_EQ("", bare.console.str());
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
      // Only argv[0] is the program: the same text later is a path.
      {{kProgram, "b"}, "COPY /B pelquist_copy /B b /B /V "},
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
  EXPECT_EQ(expected::warningLines(), shown.console.str());
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
    EXPECT_EQ(expected::invalidSwitchLines(argument), run.console.str()) << argument;
    EXPECT_TRUE(run.runner.lines.empty());
  }
}

TEST(CopyApplicationRun, EmptyArgumentPrintsOneLineOnly) {
  AppRun run({"a", "", "-bogus"});
  EXPECT_FALSE(run.result);
  EXPECT_EQ(expected::kEmptyArgument + "\n", run.console.str());
  EXPECT_TRUE(run.runner.lines.empty());
}

TEST(CopyApplicationRun, ThirdPathStopsTheScan) {
  AppRun run({"a", "b", "c", "-bogus"});
  EXPECT_FALSE(run.result);
  EXPECT_EQ(expected::kTooManyPaths + "\n", run.console.str());
  EXPECT_TRUE(run.runner.lines.empty());
}

TEST(CopyApplicationRun, PathsThatLookExpandedByTheShellGetAHintToQuoteThePattern) {
  const std::vector<std::string> files = {"src/a.jpg", "src/b.jpg", "src/readme"};
  const std::string hint =
      "pelquist_copy: more than two paths; if the shell expanded a pattern, quote it: ";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-collectcopy", "src/a.jpg", "src/b.jpg", "all"}, hint + "\"src/*.jpg\"\n"},
      {{"src/readme", "x", "src/b.jpg", "-fw"}, hint + "\"src/*.jpg\"\n"},
      {{"src/readme", "x.jpg", "y.jpg"}, ""},  // no such files
      {{"src", "src/readme", "all"}, ""},      // no extension
      {{"photos.d", "x", "y"}, ""}};           // a folder
  for (const auto& c : cases) {
    AppRun run(c.first, 0, files, {"src", "photos.d"});
    EXPECT_EQ(expected::kTooManyPaths + "\n", run.console.str()) << c.first[1];
    EXPECT_EQ(c.second, run.errors.str()) << c.first[1];
  }
}

TEST(CopyApplicationExecute, UnknownModePrintsItsMessageAndTheUsage) {
  Bare bare;
  EXPECT_FALSE(bare.application.execute("a", "b", 16, false));
  EXPECT_EQ(expected::kUnknownMode + "\n" + expected::usageLines(), bare.console.str());
  EXPECT_TRUE(bare.runner.lines.empty());
  EXPECT_TRUE(bare.fileSystem.calls.empty());
}

// The modes are the numbers 1, 2, 4 and 8, whoever passes them.
TEST(CopyApplicationExecute, ModesAreTheirNumbers) {
  Bare bare;
  bare.fileSystem.walkSucceeds = false;
  for (uint32_t mode : {1u, 2u, 4u})
    EXPECT_TRUE(bare.application.execute("a", "b", mode, false));
  EXPECT_EQ((std::vector<std::string>{"COPY /B a /B b /B /V ", "MOVE a b", "XCOPY /S a b"}),
            bare.runner.lines);
  EXPECT_FALSE(bare.application.execute("a", "b", 8u, false));
  EXPECT_EQ(3u, bare.runner.lines.size());
  EXPECT_FALSE(bare.fileSystem.calls.empty());
}

// Only the collect-copy mode reaches the file system; its trace is collect-copy's own.
TEST(CopyApplicationExecute, CollectCopyGoesToTheFileSystemNotToTheRunner) {
  Bare bare;
  bare.fileSystem.current = "/w";
  bare.fileSystem.walkSucceeds = false;
  EXPECT_FALSE(bare.application.execute("/src/*.txt", "/dst", copy::CollectCopy, true));
  EXPECT_TRUE(bare.runner.lines.empty());
  EXPECT_NE(std::string::npos, bare.console.str().find("force write : true\n"));
  EXPECT_NE(std::string::npos, bare.console.str().find("find failed...\n"));
}

TEST(CopyApplicationExecute, RefusedPathRunsNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"a\"b", "dst"}, {"src", "100%"}, {"a\tb", "dst"}, {"src", "line\nbreak"}};
  for (const auto& paths : cases) {
    Bare bare;
    EXPECT_FALSE(bare.application.execute(paths[0], paths[1], copy::Copy, false));
    // The path follows as shown: the switch-parser fuzz target checks its bytes.
    EXPECT_EQ(0u, bare.console.str().find(expected::kUnsafePath + "\n"));
    EXPECT_TRUE(bare.runner.lines.empty());
  }
}

}  // namespace

}  // namespace app
