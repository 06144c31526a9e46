#ifndef PELQUIST_COPY_CMD_POSIX_ERROR_TEXTS_H_
#define PELQUIST_COPY_CMD_POSIX_ERROR_TEXTS_H_

// The texts that COPY, MOVE and XCOPY show for a failed file operation, as cmd.exe
// shows the English Windows system texts.

#include <string>

#include "copy/cmd_posix/error_texts.h"
#include "copy/files_posix/file_ops.h"

namespace copy::cmd {

using files::CopyResult;

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

}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_ERROR_TEXTS_H_
