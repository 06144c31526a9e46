#include "quillkit/diagnostics.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quillkit/scoped_ptr.h"
#include "tests/support/child_process.h"
#include "tests/support/debug_log.h"
#include "tests/support/expected_texts.h"
#include "tests/support/files.h"
#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

using expected::assertionReport;

const bool kWindows = testsys::isWindowsBuild();
// exit(-1) as each system reports it to the parent.
const long long kReportExitCode = kWindows ? -1 : 255;

const std::string kScopedPtrReport =
    assertionReport("ptr != 0", "boost/scoped_ptr", "94", "(unknown)");
const std::string kDriveNameReport =
    assertionReport("(quillkit::isAlpha(fname[0]) && fname[1] == ':')", "filesystem/utility",
                    "274", "No message\n");

// The steps of one report as the helper records them, in the order they must happen.
std::string reportSteps(const std::string& report, bool fileOpened) {
  return "[debug]" + report + "[/debug]\n" + (fileOpened ? "[wait 800]\n" : "") +
         "[shell ERROR_TEMP.txt]\n" + "[notice Message]\n" + expected::kAssertNotice + "\n" +
         "[exit]\n";
}

struct HelperRun {
  ChildResult child;
  std::string steps;
};

// Runs the helper in `folder`; the record of its steps is taken away after each run.
HelperRun runHelper(const TempDir& folder, std::vector<std::string> arguments) {
  HelperRun run;
  run.child = runChild(PELQUIST_TEST_HELPER_EXE, arguments, folder.path());
  const std::string events = folder.join("helper_events.log");
  run.steps = readFile(events);
  std::remove(events.c_str());
  return run;
}

std::string reportFile(const TempDir& folder) {
  return readFile(folder.join("ERROR_TEMP.txt"));
}

TEST(AssertionReport, IsLoggedFiledAnnouncedAndEndsTheProcess) {
  struct Case {
    const char* site;
    const std::string& report;
  };
  const Case cases[] = {{"scoped-ptr", kScopedPtrReport}, {"no-message", kDriveNameReport}};
  for (const Case& c : cases) {
    TempDir folder;
    HelperRun run = runHelper(folder, {c.site});
    EXPECT_EQ(kReportExitCode, run.child.exitCode) << c.site;
    EXPECT_EQ(withTextLineEnds(c.report), reportFile(folder)) << c.site;
    EXPECT_EQ(reportSteps(c.report, true), run.steps) << c.site;
  }
}

TEST(AssertionReport, DriveQualifiedNameInAJoinIsReportedOnWindowsOnly) {
  TempDir folder;
  HelperRun run = runHelper(folder, {"append-drive"});
  if (kWindows) {
    EXPECT_EQ(kReportExitCode, run.child.exitCode);
    EXPECT_EQ(withTextLineEnds(kDriveNameReport), reportFile(folder));
  } else {
    EXPECT_EQ(0, run.child.exitCode);
    EXPECT_EQ("dir/C:\\x", run.child.output);
    EXPECT_FALSE(folder.exists("ERROR_TEMP.txt"));
  }
}

TEST(AssertionReport, ReportsAreAppendedOldestFirstAndRunOnWithoutALineFeed) {
  TempDir folder;
  runHelper(folder, {"scoped-ptr"});
  runHelper(folder, {"no-message"});
  // "(unknown)" ends without a line feed, so the second report starts on its line.
  EXPECT_EQ(withTextLineEnds(kScopedPtrReport + kDriveNameReport), reportFile(folder));
  EXPECT_NE(std::string::npos, reportFile(folder).find("(unknown)QUILLKIT_ASSERT("));
}

TEST(AssertionReport, FileThatCannotBeOpenedSkipsOnlyTheWriteAndTheWait) {
  TempDir folder;
  folder.makeDirs("ERROR_TEMP.txt");  // a folder in the file's place
  HelperRun run = runHelper(folder, {"scoped-ptr"});
  EXPECT_EQ(kReportExitCode, run.child.exitCode);
  EXPECT_EQ(reportSteps(kScopedPtrReport, false), run.steps);
}

TEST(AssertionReport, MessageIsFormattedWithItsArguments) {
  TempDir folder;
  runHelper(folder, {"formatted"});
  EXPECT_EQ(withTextLineEnds(
                assertionReport("count > 0", "tools/counter", "42", "count -3 of items")),
            reportFile(folder));
}

TEST(AssertionReport, MessageIsCutAt1023Characters) {
  TempDir folder;
  runHelper(folder, {"long-message"});
  EXPECT_EQ(withTextLineEnds(assertionReport("x", "y", "1", std::string(1023, 'm'))),
            reportFile(folder));
}

TEST(AssertionReport, ReportIsCutAt2047Characters) {
  TempDir folder;
  runHelper(folder, {"long-report"});
  const std::string whole =
      assertionReport(std::string(1100, 'e'), "src", "7", std::string(1023, 'm'));
  EXPECT_EQ(withTextLineEnds(whole.substr(0, 2047)), reportFile(folder));
}

TEST(AssertionReport, MacroNamesTheConditionAndItsSource) {
  TempDir folder;
  HelperRun run = runHelper(folder, {"macro"});
  EXPECT_EQ(kReportExitCode, run.child.exitCode);
  const std::string report = reportFile(folder);
  const std::string lineEnd = testsys::textLineEnd();
  EXPECT_EQ(0u, report.find("QUILLKIT_ASSERT(count == 1):" + lineEnd + "file:"));
  EXPECT_NE(std::string::npos, report.find("test_helper_main.cpp / " + lineEnd + " line:"));
  const std::string tail = " / " + lineEnd + " message: No message" + lineEnd;
  ASSERT_GE(report.size(), tail.size());
  EXPECT_EQ(tail, report.substr(report.size() - tail.size()));
}

TEST(AssertionReport, NoticeGoesToStandardErrorOnPosix) {
  if (kWindows) GTEST_SKIP() << "the Windows notice is a message box";
  TempDir folder;
  HelperRun run = runHelper(folder, {"scoped-ptr", "real-notice"});
  EXPECT_EQ(kReportExitCode, run.child.exitCode);
  EXPECT_EQ(expected::kAssertNotice + "\n", run.child.errorOutput);
  EXPECT_EQ(
      "[debug]" + kScopedPtrReport + "[/debug]\n[wait 800]\n[shell ERROR_TEMP.txt]\n[exit]\n",
      run.steps);
}

TEST(AssertMacro, PassingConditionIsEvaluatedOnceAndGoesOn) {
  int evaluations = 0;
  QUILLKIT_ASSERT(++evaluations == 1);
  EXPECT_EQ(1, evaluations);
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

class DebugLogTest : public ::testing::Test {
 protected:
  // The single text sent since the test began.
  std::string sentText() const {
    EXPECT_EQ(1u, log_.lines.size());
    return log_.lines.empty() ? std::string() : log_.lines.back();
  }

  DebugLog log_;
};

TEST_F(DebugLogTest, PrintfEndsEveryLineWithOneLineFeed) {
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
    log_.lines.clear();
    EXPECT_TRUE(quillkit::debugPrintf("%s", c.text.c_str()));
    EXPECT_EQ(c.expected, sentText()) << c.text;
  }
}

TEST_F(DebugLogTest, PrintfKeepsALineTo1022Characters) {
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
    log_.lines.clear();
    quillkit::debugPrintf("%s", std::string(c.length, 'a').c_str());
    EXPECT_EQ(c.expected, sentText()) << c.length;
  }
}

TEST_F(DebugLogTest, PrintfFormatsItsArguments) {
  quillkit::debugPrintf("%s failed: %d", "copy", 5);
  EXPECT_EQ("copy failed: 5\n", sentText());
}

TEST_F(DebugLogTest, OutputKeepsATextTo2047Characters) {
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
    log_.lines.clear();
    EXPECT_TRUE(quillkit::debugOutput("%s", c.text.c_str()));
    EXPECT_EQ(c.expected, sentText()) << c.text.size();
  }
}

TEST(SystemErrorText, NamesTheLastErrorOfAFailedOpen) {
  TempDir folder;
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
