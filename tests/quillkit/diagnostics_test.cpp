#include "quillkit/diagnostics.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quillkit/platform.h"
#include "quillkit/scoped_ptr.h"
#include "quillkit/texts.h"
#include "support/child_process.h"
#include "support/file_util.h"
#include "support/temp_dir.h"

namespace {

using quillkit::platform::kHasDrives;
using quillkit::platform::kWindows;

// exit(-1) as each system reports it to the parent.
const long long kReportExitCode = kWindows ? -1 : 255;

// One report, spelled out line by line.
std::string reportText(const std::string& expression, const std::string& source,
                       const std::string& line, const std::string& message) {
  return "QUILLKIT_ASSERT(" + expression + "):\n" + "file:" + source + " / \n" +
         " line:" + line + " / \n" + " message: " + message;
}

const std::string kScopedPtrReport =
    reportText("ptr != 0", "boost/scoped_ptr", "94", "(unknown)");
const std::string kDriveNameReport =
    reportText("(quillkit::isAlpha(fname[0]) && fname[1] == ':')", "filesystem/utility", "274",
               "No message\n");

// The steps of one report as the helper records them, in the order they must happen.
std::string reportSteps(const std::string& report, bool fileOpened) {
  return "[debug]" + report + "[/debug]\n" + (fileOpened ? "[wait 800]\n" : "") +
         "[shell ERROR_TEMP.txt]\n" + "[notice Message]\n" + quillkit::texts::kAssertNotice +
         "\n" + "[exit]\n";
}

struct HelperRun {
  ChildResult child;
  std::string steps;
};

// Runs the helper in `folder`; the record of its steps is taken away after each run.
HelperRun runHelper(const ScopedTempDir& folder, std::vector<std::string> arguments) {
  HelperRun run;
  run.child = runChild(PELQUIST_TEST_HELPER_EXE, arguments, folder.path());
  const std::string events = folder.join("helper_events.log");
  run.steps = readFile(events);
  std::remove(events.c_str());
  return run;
}

std::string reportFile(const ScopedTempDir& folder) {
  return readFile(folder.join("ERROR_TEMP.txt"));
}

TEST(AssertionReport, IsLoggedFiledAnnouncedAndEndsTheProcess) {
  struct Case {
    const char* site;
    const std::string& report;
  };
  const Case cases[] = {{"scoped-ptr", kScopedPtrReport}, {"no-message", kDriveNameReport}};
  for (const Case& c : cases) {
    ScopedTempDir folder;
    HelperRun run = runHelper(folder, {c.site});
    EXPECT_EQ(kReportExitCode, run.child.exitCode) << c.site;
    EXPECT_EQ(withTextLineEnds(c.report), reportFile(folder)) << c.site;
    EXPECT_EQ(reportSteps(c.report, true), run.steps) << c.site;
  }
}

TEST(AssertionReport, DriveQualifiedNameInAJoinIsReportedOnWindowsOnly) {
  ScopedTempDir folder;
  HelperRun run = runHelper(folder, {"append-drive"});
  if (kHasDrives) {
    EXPECT_EQ(kReportExitCode, run.child.exitCode);
    EXPECT_EQ(withTextLineEnds(kDriveNameReport), reportFile(folder));
  } else {
    EXPECT_EQ(0, run.child.exitCode);
    EXPECT_EQ("dir/C:\\x", run.child.output);
    EXPECT_FALSE(fileExists(folder.join("ERROR_TEMP.txt")));
  }
}

TEST(AssertionReport, ReportsAreAppendedOldestFirstAndRunOnWithoutALineFeed) {
  ScopedTempDir folder;
  runHelper(folder, {"scoped-ptr"});
  runHelper(folder, {"no-message"});
  // "(unknown)" ends without a line feed, so the second report starts on its line.
  EXPECT_EQ(withTextLineEnds(kScopedPtrReport + kDriveNameReport), reportFile(folder));
  EXPECT_NE(std::string::npos, reportFile(folder).find("(unknown)QUILLKIT_ASSERT("));
}

TEST(AssertionReport, FileThatCannotBeOpenedSkipsOnlyTheWriteAndTheWait) {
  ScopedTempDir folder;
  makeDirectories(folder.join("ERROR_TEMP.txt"));  // a folder in the file's place
  HelperRun run = runHelper(folder, {"scoped-ptr"});
  EXPECT_EQ(kReportExitCode, run.child.exitCode);
  EXPECT_EQ(reportSteps(kScopedPtrReport, false), run.steps);
}

TEST(AssertionReport, MessageIsFormattedWithItsArguments) {
  ScopedTempDir folder;
  runHelper(folder, {"formatted"});
  EXPECT_EQ(
      withTextLineEnds(reportText("count > 0", "tools/counter", "42", "count -3 of items")),
      reportFile(folder));
}

TEST(AssertionReport, MessageIsCutAt1023Characters) {
  ScopedTempDir folder;
  runHelper(folder, {"long-message"});
  EXPECT_EQ(withTextLineEnds(reportText("x", "y", "1", std::string(1023, 'm'))),
            reportFile(folder));
}

TEST(AssertionReport, MacroNamesTheConditionAndItsSource) {
  ScopedTempDir folder;
  HelperRun run = runHelper(folder, {"macro"});
  EXPECT_EQ(kReportExitCode, run.child.exitCode);
  const std::string report = reportFile(folder);
  const std::string lineEnd = textLineEnd();
  EXPECT_EQ(0u, report.find("QUILLKIT_ASSERT(count == 1):" + lineEnd + "file:"));
  EXPECT_NE(std::string::npos, report.find("test_helper_main.cpp / " + lineEnd + " line:"));
  const std::string tail = " / " + lineEnd + " message: No message" + lineEnd;
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(tail, report.substr(report.size() - tail.size()));
}

TEST(AssertionReport, NoticeGoesToStandardErrorOnPosix) {
  if (kWindows) GTEST_SKIP() << "the Windows notice is a message box";
  ScopedTempDir folder;
  HelperRun run = runHelper(folder, {"scoped-ptr", "real-notice"});
  EXPECT_EQ(kReportExitCode, run.child.exitCode);
  EXPECT_EQ(std::string(quillkit::texts::kAssertNotice) + "\n", run.child.errorOutput);
  EXPECT_EQ(
      "[debug]" + kScopedPtrReport + "[/debug]\n[wait 800]\n[shell ERROR_TEMP.txt]\n[exit]\n",
      run.steps);
}

struct Tracked {
  explicit Tracked(int* deletions) : deletions(deletions) {}
  ~Tracked() { ++*deletions; }
  int* deletions;
  int value = 7;
};

TEST(ScopedPtr, OwnsItsObjectUntilTheScopeEnds) {
  int deletions = 0;
  {
    quillkit::ScopedPtr<Tracked> held(new Tracked(&deletions));
    EXPECT_EQ(7, held->value);
    EXPECT_EQ(7, (*held).value);
    EXPECT_EQ(0, deletions);
  }
  EXPECT_EQ(1, deletions);
}

TEST(ScopedPtr, GetOfAnEmptyPointerDoesNotRaise) {
  quillkit::ScopedPtr<int> nothing;
  EXPECT_EQ(nullptr, nothing.get());
}

class DebugLog : public ::testing::Test {
 protected:
  void SetUp() override {
    quillkit::setDebugSink([this](const std::string& text) { sent_.push_back(text); });
  }
  void TearDown() override { quillkit::setDebugSink(nullptr); }

  // The single text sent since the test began.
  std::string sentText() const {
    EXPECT_EQ(1u, sent_.size());
    return sent_.empty() ? std::string() : sent_.back();
  }

  std::vector<std::string> sent_;
};

TEST_F(DebugLog, PrintfEndsEveryLineWithOneLineFeed) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"abc", "abc\n"},
      {"abc\n", "abc\n"},
      {"", "\n"},
      {"100%d", "100%d\n"},  // the formatted text is not formatted again
  };
  for (const Case& c : cases) {
    sent_.clear();
    EXPECT_TRUE(quillkit::debugPrintf("%s", c.text.c_str()));
    EXPECT_EQ(c.expected, sentText()) << c.text;
  }
}

TEST_F(DebugLog, PrintfKeepsALineTo1022Characters) {
  const std::string full(1021, 'a');
  struct Case {
    size_t length;
    std::string expected;
  };
  const Case cases[] = {
      {1020, std::string(1020, 'a') + "\n"},
      {1021, full + "\n"},
      {1022, full + "\n"},  // its last character gives way to the line feed
      {1023, full + "\n"},
      {3000, full + "\n"},
  };
  for (const Case& c : cases) {
    sent_.clear();
    quillkit::debugPrintf("%s", std::string(c.length, 'a').c_str());
    EXPECT_EQ(c.expected, sentText()) << c.length;
  }
}

TEST_F(DebugLog, PrintfFormatsItsArguments) {
  quillkit::debugPrintf("%s failed: %d", "copy", 5);
  EXPECT_EQ("copy failed: 5\n", sentText());
}

TEST_F(DebugLog, OutputKeepsATextTo2047Characters) {
  const std::string full(2046, 'b');
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"x\n", "x\n"},
      {"x", "x\n"},
      {full, full + "\n"},
      {full + "b", full + "\n"},
      {std::string(5000, 'b'), full + "\n"},
  };
  for (const Case& c : cases) {
    sent_.clear();
    EXPECT_TRUE(quillkit::debugOutput("%s", c.text.c_str()));
    EXPECT_EQ(c.expected, sentText()) << c.text.size();
  }
}

TEST(SystemErrorText, NamesTheLastErrorOfAFailedOpen) {
  ScopedTempDir folder;
  const std::string missing = folder.join("missing.txt");
  ASSERT_EQ(nullptr, std::fopen(missing.c_str(), "rb"));
  const std::string text = quillkit::getLastErrorMessage();

  // The error of a missing file: ERROR_FILE_NOT_FOUND on Windows, ENOENT on POSIX.
  quillkit::ErrorMessage notFound;
  notFound.load(kWindows ? 2u : static_cast<uint32_t>(ENOENT), true);
  EXPECT_EQ(notFound.text(), text);
  if (kWindows) {
    // The system's own text, with its own line end.
    ASSERT_GT(text.size(), std::strlen("ERROR Message:\r\n"));
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
  } else {
    EXPECT_EQ(std::string("ERROR Message:") + std::strerror(ENOENT), text);
  }
  EXPECT_EQ(0u, text.find("ERROR Message:"));
}

TEST(SystemErrorText, LoadReplacesTheTextWithTheGivenCode) {
  quillkit::ErrorMessage message;
  EXPECT_EQ("", message.text());
  message.load(kWindows ? 5u : static_cast<uint32_t>(EACCES), true);
  const std::string denied = message.text();
  message.load(kWindows ? 2u : static_cast<uint32_t>(ENOENT), true);
  EXPECT_NE(denied, message.text());
  EXPECT_EQ(0u, message.text().find("ERROR Message:"));
  EXPECT_EQ(std::string::npos, message.text().find("ERROR Message:", 1));
}

}  // namespace
