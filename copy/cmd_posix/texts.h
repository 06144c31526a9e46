#ifndef PELQUIST_COPY_CMD_POSIX_TEXTS_H_
#define PELQUIST_COPY_CMD_POSIX_TEXTS_H_

// Every fixed text of the POSIX build's own COPY, MOVE and XCOPY, as an English
// cmd.exe prints them.

namespace copy::cmd {
namespace texts {

// --- system error texts, as Windows words a failed file operation
constexpr const char kFileNotFound[] = "The system cannot find the file specified.";
constexpr const char kPathNotFound[] = "The system cannot find the path specified.";
/// A destination name with a wildcard, which no file may have.
constexpr const char kInvalidName[] =
    "The filename, directory name, or volume label syntax is incorrect.";
constexpr const char kAccessDenied[] = "Access is denied.";
/// A folder moved to another file system (another drive).
constexpr const char kNotSameDevice[] =
    "The system cannot move the file to a different disk drive.";
constexpr const char kFileInUse[] =
    "The process cannot access the file because it is being used by another process.";
constexpr const char kDiskFull[] = "There is not enough space on the disk.";
constexpr const char kFileTooLarge[] =
    "The file size exceeds the limit allowed and cannot be saved.";
constexpr const char kNameTooLong[] = "The filename or extension is too long.";
constexpr const char kDeviceError[] =
    "The request could not be performed because of an I/O device error.";
constexpr const char kCannotOpenFile[] = "The system cannot open the file.";
/// A verified copy that differs from its source.
constexpr const char kVerifyFailed[] = "Data error (cyclic redundancy check).";

/// Before the reason (on its own line), for an entry of a listing that is left out
/// because no path names it: followed by the entry as the system spells it.
constexpr const char kSkippedNamePrefix[] = "Name skipped - ";

// --- the command line
/// COPY and MOVE on a line they cannot read.
constexpr const char kSyntaxError[] = "The syntax of the command is incorrect.";
/// A command other than COPY, MOVE and XCOPY: its name goes between the two parts.
constexpr const char kNotRecognizedPrefix[] = "'";
constexpr const char kNotRecognizedSuffix[] =
    "' is not recognized as an internal or external command,\n"
    "operable program or batch file.";

// --- COPY and MOVE
/// The question before replacing a file: its name goes between the two parts (also
/// XCOPY's question begins so).
constexpr const char kOverwritePrefix[] = "Overwrite ";
constexpr const char kOverwriteSuffix[] = "? (Yes/No/All): ";
/// The summary lines, after the count right-aligned in 9 columns.
constexpr const char kFilesCopied[] = " file(s) copied.";
constexpr const char kFilesMoved[] = " file(s) moved.";
constexpr const char kDirsMoved[] = " dir(s) moved.";
constexpr const char kCopyOntoItself[] = "The file cannot be copied onto itself.";
/// COPY combining files, for a later source that is the destination itself.
constexpr const char kTargetContentsLost[] = "The contents of the target file were lost.";
constexpr const char kMoveManyToOne[] = "Cannot move multiple files to a single file.";

// --- XCOPY
/// Followed by the switch as typed.
constexpr const char kInvalidSwitchPrefix[] = "Invalid switch - ";
constexpr const char kInvalidParameterCount[] = "Invalid number of parameters";
/// Followed by the name or pattern looked for.
constexpr const char kFileNotFoundPrefix[] = "File not found - ";
/// The question for a destination that does not exist: its name goes between the two
/// parts.
constexpr const char kFileOrDirectoryPrefix[] = "Does ";
constexpr const char kFileOrDirectorySuffix[] =
    " specify a file name\nor directory name on the target\n(F = file, D = directory)? ";
/// A destination inside the source tree with /S or /E.
constexpr const char kCyclicCopy[] = "Cannot perform a cyclic copy";
constexpr const char kXcopyOntoItself[] = "File cannot be copied onto itself";
/// The end of XCOPY's question before replacing a file (after kOverwritePrefix and
/// the name).
constexpr const char kXcopyOverwriteSuffix[] = " (Yes/No/All)? ";
/// Between a file's full path and its destination's in the /F listing.
constexpr const char kFullNamesArrow[] = " -> ";
/// Before the system's text (on its own line), for a folder that could not be listed:
/// followed by the folder.
constexpr const char kUnreadableDirectoryPrefix[] = "Unable to read directory - ";
/// Around the number of entries, where the walk of the source stopped at its limit.
constexpr const char kEntryLimitPrefix[] = "Too many entries: the walk stopped after ";
constexpr const char kEntryLimitSuffix[] = " of them, and copies only what it found";
/// Before the folder (and the system's text on its own line), for a folder of the
/// destination that could not be made or entered.
constexpr const char kUnableToCreateDirectoryPrefix[] = "Unable to create directory - ";
/// The summary line, after the count as it is (not aligned).
constexpr const char kXcopyFilesCopied[] = " File(s) copied";

}  // namespace texts
}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_TEXTS_H_
