#ifndef PELQUIST_COPY_CMD_POSIX_FILE_OPS_H_
#define PELQUIST_COPY_CMD_POSIX_FILE_OPS_H_

// The file operations of COPY, MOVE and XCOPY, and the texts of their failures. Paths
// are as typed ('\' and '/' are both separators). Results are 0 or a positive errno;
// a verified copy also says whether its read-back differed.

#include <string>
#include <vector>

#include "quillkit/filesystem/posix/file_copy.h"

namespace cmd {

using quillkit::posix::CopyResult;

/// One file copied with the program's file copy (atomic, metadata kept). With
/// `verify` the copy is read back and compared before it takes its name.
CopyResult copyOneFile(const std::string& source, const std::string& destination, bool replace,
                       bool verify, bool makeWritable);

/// A piece of a combined file: a source, and whether it ends at its first ^Z (0x1A).
struct CombinePart {
  std::string path;
  bool stopsAtEndMark = false;
};
/// Whether a ^Z follows the parts: never, always, or only when the data written does
/// not already end with one (a single file to an ASCII destination).
enum class EndMark { None, Append, AppendUnlessPresent };
/// Writes the parts one after another (and a ^Z at the end as `mark` says) into a new
/// file that replaces `destination` whole (when `replace`) or only if it does not
/// exist. The new file has the current time.
CopyResult combineFiles(const std::vector<CombinePart>& parts, const std::string& destination,
                        EndMark mark, bool replace, bool verify);

/// Renames a file or directory, replacing an existing file only when `replace`. Across
/// file systems a file is copied, verified and only then removed at its old place; a
/// directory fails there with EXDEV.
CopyResult movePath(const std::string& source, const std::string& destination, bool replace);

/// Creates the directory and the missing ones above it: 0 or errno (ENOTDIR when a
/// level is a file).
int makeDirectories(const std::string& path);

/// What the failed operation was doing, for the one error that reads differently.
enum class ErrorSubject { Source, Destination };

/// The English Windows system text that cmd.exe shows for a failure: "The system
/// cannot find the file specified." for a missing source, "...path specified." for a
/// missing destination folder, "Access is denied.", the data error of a verification
/// that differs, ...
std::string systemErrorText(const CopyResult& failure, ErrorSubject subject);
/// The same for a plain errno value.
std::string systemErrorText(int error, ErrorSubject subject);
/// The text for a source (a name or a pattern) that found nothing with `error`:
/// "...path specified." when its folder is missing too, as a Windows search fails
/// then with error 3 rather than 2; otherwise systemErrorText for a source.
std::string missingSourceText(const std::string& source, int error);

}  // namespace cmd

#endif  // PELQUIST_COPY_CMD_POSIX_FILE_OPS_H_
