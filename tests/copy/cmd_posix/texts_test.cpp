// The fixed texts of the built-in COPY, MOVE and XCOPY against cmd.exe's own wording,
// written here independently of the program's constants.

#include "copy/cmd_posix/texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextRow {
  const char* name;
  std::string actual;
  std::string expected;
};

TEST(CommandTexts, AreCmdsOwnWording) {
  namespace t = copy::cmd::texts;
  const TextRow rows[] = {
      {"kFileNotFound", t::kFileNotFound, "The system cannot find the file specified."},
      {"kPathNotFound", t::kPathNotFound, "The system cannot find the path specified."},
      {"kInvalidName", t::kInvalidName,
       "The filename, directory name, or volume label syntax is incorrect."},
      {"kAccessDenied", t::kAccessDenied, "Access is denied."},
      {"kFileInUse", t::kFileInUse,
       "The process cannot access the file because it is being used by another process."},
      {"kDiskFull", t::kDiskFull, "There is not enough space on the disk."},
      {"kFileTooLarge", t::kFileTooLarge,
       "The file size exceeds the limit allowed and cannot be saved."},
      {"kNameTooLong", t::kNameTooLong, "The filename or extension is too long."},
      {"kDeviceError", t::kDeviceError,
       "The request could not be performed because of an I/O device error."},
      {"kCannotOpenFile", t::kCannotOpenFile, "The system cannot open the file."},
      {"kVerifyFailed", t::kVerifyFailed, "Data error (cyclic redundancy check)."},
      {"kSyntaxError", t::kSyntaxError, "The syntax of the command is incorrect."},
      {"kNotRecognizedPrefix", t::kNotRecognizedPrefix, "'"},
      {"kNotRecognizedSuffix", t::kNotRecognizedSuffix,
       "' is not recognized as an internal or external command,\n"
       "operable program or batch file."},
      {"kOverwritePrefix", t::kOverwritePrefix, "Overwrite "},
      {"kOverwriteSuffix", t::kOverwriteSuffix, "? (Yes/No/All): "},
      {"kFilesCopied", t::kFilesCopied, " file(s) copied."},
      {"kFilesMoved", t::kFilesMoved, " file(s) moved."},
      {"kDirsMoved", t::kDirsMoved, " dir(s) moved."},
      {"kCopyOntoItself", t::kCopyOntoItself, "The file cannot be copied onto itself."},
      {"kTargetContentsLost", t::kTargetContentsLost,
       "The contents of the target file were lost."},
      {"kMoveManyToOne", t::kMoveManyToOne, "Cannot move multiple files to a single file."},
      {"kInvalidSwitchPrefix", t::kInvalidSwitchPrefix, "Invalid switch - "},
      {"kInvalidParameterCount", t::kInvalidParameterCount, "Invalid number of parameters"},
      {"kFileNotFoundPrefix", t::kFileNotFoundPrefix, "File not found - "},
      {"kFileOrDirectoryPrefix", t::kFileOrDirectoryPrefix, "Does "},
      {"kFileOrDirectorySuffix", t::kFileOrDirectorySuffix,
       " specify a file name\nor directory name on the target\n(F = file, D = directory)? "},
      {"kCyclicCopy", t::kCyclicCopy, "Cannot perform a cyclic copy"},
      {"kXcopyOntoItself", t::kXcopyOntoItself, "File cannot be copied onto itself"},
      {"kXcopyOverwriteSuffix", t::kXcopyOverwriteSuffix, " (Yes/No/All)? "},
      {"kFullNamesArrow", t::kFullNamesArrow, " -> "},
      {"kXcopyFilesCopied", t::kXcopyFilesCopied, " File(s) copied"},
  };
  for (const TextRow& row : rows) EXPECT_EQ(row.expected, row.actual) << row.name;
}

}  // namespace
