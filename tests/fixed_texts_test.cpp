// Every fixed text of the program against its expected bytes, written here and in
// tests/support/expected_texts.h independently of the program's constants.

#include <gtest/gtest.h>

#include <string>

#include "app/texts.h"
#include "copy/texts.h"
#include "quillkit/texts.h"
#include "tests/support/expected_texts.h"

namespace {

struct TextRow {
  const char* name;
  std::string actual;
  std::string expected;
};

void expectRows(const TextRow* begin, const TextRow* end) {
  for (const TextRow* row = begin; row != end; ++row)
    EXPECT_EQ(row->expected, row->actual) << row->name;
}

TEST(FixedTexts, UsageWarningAndCommandLineMessages) {
  const TextRow rows[] = {
      {"kUsage1", app::texts::kUsage1, " usage: pelquist_copy <switches> <(src)> <(dest)>"},
      {"kUsage2", app::texts::kUsage2, " <switches>"},
      {"kUsage3", app::texts::kUsage3, "  -help  view help"},
      {"kUsage4", app::texts::kUsage4, "  -copy  copy mode"},
      {"kUsage5", app::texts::kUsage5, "  -move  move mode"},
      {"kUsage6", app::texts::kUsage6, "  -xcopy xcopy subdirectory all copy mode "},
      {"kUsage7", app::texts::kUsage7,
       "  -collectcopy / collect subdirectory to one directory"},
      {"kUsage8", app::texts::kUsage8, "  -fw    force write"},
      {"kUsage9", app::texts::kUsage9, "  -nosw  security warning is not displayed"},
      {"kVersionLabel", app::texts::kVersionLabel, "version : "},
      {"kWarningHeading", app::texts::kWarningHeading, " warning:"},
      {"kWarning1", app::texts::kWarning1, expected::kWarning1},
      {"kWarning2", app::texts::kWarning2, expected::kWarning2},
      {"kWarning3", app::texts::kWarning3, expected::kWarning3},
      {"kWarning4", app::texts::kWarning4, expected::kWarning4},
      {"kEmptyArgument", app::texts::kEmptyArgument, expected::kEmptyArgument},
      {"kInvalidSwitch", app::texts::kInvalidSwitch, expected::kInvalidSwitch},
      {"kSeeUsageBelow", app::texts::kSeeUsageBelow, expected::kSeeUsageBelow},
      {"kTooManyPaths", app::texts::kTooManyPaths, expected::kTooManyPaths},
      {"kUnknownMode", app::texts::kUnknownMode, expected::kUnknownMode},
      {"kArgumentOutsideCodePage", app::texts::kArgumentOutsideCodePage,
       expected::kArgumentOutsideCodePage},
  };
  expectRows(std::begin(rows), std::end(rows));
}

TEST(FixedTexts, ShellCommandLinesAndTheCollectCopyTrace) {
  const TextRow rows[] = {
      {"kUnsafePath", copy::texts::kUnsafePath, expected::kUnsafePath},
      {"kCopyCommand", copy::texts::kCopyCommand, "COPY /B "},
      {"kCopyMiddle", copy::texts::kCopyMiddle, " /B "},
      {"kCopyTail", copy::texts::kCopyTail, " /B /V "},
      {"kMoveCommand", copy::texts::kMoveCommand, "MOVE "},
      {"kXCopyCommand", copy::texts::kXCopyCommand, "XCOPY /S "},
      {"kTraceStart", copy::texts::kTraceStart, "collectcopy start..."},
      {"kTraceSource", copy::texts::kTraceSource, "src         : "},
      {"kTraceCollected", copy::texts::kTraceCollected, " collected  : "},
      {"kTraceDestination", copy::texts::kTraceDestination, "dest        : "},
      {"kTraceCurrentDir", copy::texts::kTraceCurrentDir, "current dir : "},
      {"kTraceForceWrite", copy::texts::kTraceForceWrite, "force write : "},
      {"kTraceResetArgs", copy::texts::kTraceResetArgs, "reset() arg:"},
      {"kTraceResetArg1", copy::texts::kTraceResetArg1, " arg1 / "},
      {"kTraceResetArg2", copy::texts::kTraceResetArg2, " arg2 / "},
      {"kTraceResetDone", copy::texts::kTraceResetDone, "reset succeeded..."},
      {"kTraceFindFailed", copy::texts::kTraceFindFailed, "find failed..."},
      {"kTraceFindDone", copy::texts::kTraceFindDone, "find succeeded..."},
      {"kTraceCopyTo", copy::texts::kTraceCopyTo, "copy to    : "},
      {"kTraceCopyToCollected", copy::texts::kTraceCopyToCollected, " collected : "},
      {"kTraceChangedDir", copy::texts::kTraceChangedDir, "change current dir:"},
      {"kTraceChangeDirFailed", copy::texts::kTraceChangeDirFailed,
       "failed change current dir -> "},
      {"kTraceUnchangedDir", copy::texts::kTraceUnchangedDir, "current dir:"},
      {"kTraceCopyDest", copy::texts::kTraceCopyDest, "copy dest : "},
      {"kTraceCopy", copy::texts::kTraceCopy, "copy : "},
      {"kTraceCopySucceeded", copy::texts::kTraceCopySucceeded, "  succeeded"},
      {"kTraceCopyFailed", copy::texts::kTraceCopyFailed, "  failed..."},
      {"kTraceCopyCall", copy::texts::kTraceCopyCall, "  CopyFileWin32("},
      {"kTraceCopyCallSeparator", copy::texts::kTraceCopyCallSeparator, " , "},
      {"kTraceCopyCallEnd", copy::texts::kTraceCopyCallEnd, " );"},
      {"kTraceLastError", copy::texts::kTraceLastError, "  GetLastError() / "},
      {"kSameFileError", copy::texts::kSameFileError,
       "The destination is the source file itself, under another name."},
      {"kTraceCreateDir", copy::texts::kTraceCreateDir, "CreateDirectory("},
      {"kTraceCreateDirFailed", copy::texts::kTraceCreateDirFailed, ");failed..."},
      {"kTraceEnd", copy::texts::kTraceEnd, "collectcopy end..."},
      {"kTraceFindSkipped", copy::texts::kTraceFindSkipped, "find skipped : "},
      {"kTraceFindSkippedReason", copy::texts::kTraceFindSkippedReason, " / "},
      {"kTraceFindStoppedAtLimit", copy::texts::kTraceFindStoppedAtLimit,
       "find stopped at the entry limit..."},
      {"kTraceExists", copy::texts::kTraceExists, expected::kExists},
      {"kTraceUseForceWrite", copy::texts::kTraceUseForceWrite, expected::kUseForceWrite},
  };
  expectRows(std::begin(rows), std::end(rows));
}

TEST(FixedTexts, LibraryReportsAndErrors) {
  namespace qt = quillkit::texts;
  const TextRow rows[] = {
      {"kAssertReportFormat", qt::kAssertReportFormat,
       "QUILLKIT_ASSERT(%s):\nfile:%s / \n line:%d / \n message: %s"},
      {"kAssertNoMessage", qt::kAssertNoMessage, "No message\n"},
      {"kAssertReportFile", qt::kAssertReportFile, "ERROR_TEMP.txt"},
      {"kAssertNoticeTitle", qt::kAssertNoticeTitle, "Message"},
      {"kAssertNotice", qt::kAssertNotice, expected::kAssertNotice},
      {"kDriveNameExpression", qt::kDriveNameExpression,
       "(quillkit::isAlpha(fname[0]) && fname[1] == ':')"},
      {"kDriveNameSource", qt::kDriveNameSource, "filesystem/utility"},
      {"kDriveNameLine", std::to_string(qt::kDriveNameLine), "274"},
      {"kScopedPtrExpression", qt::kScopedPtrExpression, "ptr != 0"},
      {"kScopedPtrSource", qt::kScopedPtrSource, "boost/scoped_ptr"},
      {"kScopedPtrLine", std::to_string(qt::kScopedPtrLine), "94"},
      {"kScopedPtrMessage", qt::kScopedPtrMessage, "(unknown)"},
      {"kErrorMessagePrefix", qt::kErrorMessagePrefix, "ERROR Message:"},
      {"kCurrentDirectoryError", qt::kCurrentDirectoryError, "SafeGetCurrentDirectory Error"},
  };
  expectRows(std::begin(rows), std::end(rows));
}

}  // namespace
