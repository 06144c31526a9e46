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
      {"kUsage1", texts::kUsage1, " usage: pelquist_copy <switches> <(src)> <(dest)>"},
      {"kUsage2", texts::kUsage2, " <switches>"},
      {"kUsage3", texts::kUsage3, "  -help  view help"},
      {"kUsage4", texts::kUsage4, "  -copy  copy mode"},
      {"kUsage5", texts::kUsage5, "  -move  move mode"},
      {"kUsage6", texts::kUsage6, "  -xcopy xcopy subdirectory all copy mode "},
      {"kUsage7", texts::kUsage7, "  -collectcopy / collect subdirectory to one directory"},
      {"kUsage8", texts::kUsage8, "  -fw    force write"},
      {"kUsage9", texts::kUsage9, "  -nosw  security warning is not displayed"},
      {"kVersionLabel", texts::kVersionLabel, "version : "},
      {"kWarningHeading", texts::kWarningHeading, " warning:"},
      {"kWarning1", texts::kWarning1, expected::kWarning1},
      {"kWarning2", texts::kWarning2, expected::kWarning2},
      {"kWarning3", texts::kWarning3, expected::kWarning3},
      {"kWarning4", texts::kWarning4, expected::kWarning4},
      {"kEmptyArgument", texts::kEmptyArgument, expected::kEmptyArgument},
      {"kInvalidSwitch", texts::kInvalidSwitch, expected::kInvalidSwitch},
      {"kSeeUsageBelow", texts::kSeeUsageBelow, expected::kSeeUsageBelow},
      {"kTooManyPaths", texts::kTooManyPaths, expected::kTooManyPaths},
      {"kUnknownMode", texts::kUnknownMode, expected::kUnknownMode},
  };
  expectRows(std::begin(rows), std::end(rows));
}

TEST(FixedTexts, ShellCommandLinesAndTheCollectCopyTrace) {
  const TextRow rows[] = {
      {"kUnsafePath", copytexts::kUnsafePath, expected::kUnsafePath},
      {"kCopyCommand", copytexts::kCopyCommand, "COPY /B "},
      {"kCopyMiddle", copytexts::kCopyMiddle, " /B "},
      {"kCopyTail", copytexts::kCopyTail, " /B /V "},
      {"kMoveCommand", copytexts::kMoveCommand, "MOVE "},
      {"kXCopyCommand", copytexts::kXCopyCommand, "XCOPY /S "},
      {"kTraceStart", copytexts::kTraceStart, "collectcopy start..."},
      {"kTraceSource", copytexts::kTraceSource, "src         : "},
      {"kTraceCollected", copytexts::kTraceCollected, " collected  : "},
      {"kTraceDestination", copytexts::kTraceDestination, "dest        : "},
      {"kTraceCurrentDir", copytexts::kTraceCurrentDir, "current dir : "},
      {"kTraceForceWrite", copytexts::kTraceForceWrite, "force write : "},
      {"kTraceResetArgs", copytexts::kTraceResetArgs, "reset() arg:"},
      {"kTraceResetArg1", copytexts::kTraceResetArg1, " arg1 / "},
      {"kTraceResetArg2", copytexts::kTraceResetArg2, " arg2 / "},
      {"kTraceResetDone", copytexts::kTraceResetDone, "reset succeeded..."},
      {"kTraceFindFailed", copytexts::kTraceFindFailed, "find failed..."},
      {"kTraceFindDone", copytexts::kTraceFindDone, "find succeeded..."},
      {"kTraceCopyTo", copytexts::kTraceCopyTo, "copy to    : "},
      {"kTraceCopyToCollected", copytexts::kTraceCopyToCollected, " collected : "},
      {"kTraceChangedDir", copytexts::kTraceChangedDir, "change current dir:"},
      {"kTraceChangeDirFailed", copytexts::kTraceChangeDirFailed,
       "failed change current dir -> "},
      {"kTraceUnchangedDir", copytexts::kTraceUnchangedDir, "current dir:"},
      {"kTraceCopyDest", copytexts::kTraceCopyDest, "copy dest : "},
      {"kTraceCopy", copytexts::kTraceCopy, "copy : "},
      {"kTraceCopySucceeded", copytexts::kTraceCopySucceeded, "  succeeded"},
      {"kTraceCopyFailed", copytexts::kTraceCopyFailed, "  failed..."},
      {"kTraceCopyCall", copytexts::kTraceCopyCall, "  CopyFileWin32("},
      {"kTraceCopyCallSeparator", copytexts::kTraceCopyCallSeparator, " , "},
      {"kTraceCopyCallEnd", copytexts::kTraceCopyCallEnd, " );"},
      {"kTraceLastError", copytexts::kTraceLastError, "  GetLastError() / "},
      {"kTraceCreateDir", copytexts::kTraceCreateDir, "CreateDirectory("},
      {"kTraceCreateDirFailed", copytexts::kTraceCreateDirFailed, ");failed..."},
      {"kTraceEnd", copytexts::kTraceEnd, "collectcopy end..."},
      {"kTraceFindSkipped", copytexts::kTraceFindSkipped, "find skipped : "},
      {"kTraceFindSkippedReason", copytexts::kTraceFindSkippedReason, " / "},
      {"kTraceFindStoppedAtLimit", copytexts::kTraceFindStoppedAtLimit,
       "find stopped at the entry limit..."},
      {"kTraceExists", copytexts::kTraceExists, expected::kExists},
      {"kTraceUseForceWrite", copytexts::kTraceUseForceWrite, expected::kUseForceWrite},
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
      {"kSameFileError", qt::kSameFileError,
       "The destination is the source file itself, under another name."},
      {"kCurrentDirectoryError", qt::kCurrentDirectoryError, "SafeGetCurrentDirectory Error"},
  };
  expectRows(std::begin(rows), std::end(rows));
}

}  // namespace
