#ifndef PELQUIST_COPY_INTERPRETER_ERROR_TEXT_H_
#define PELQUIST_COPY_INTERPRETER_ERROR_TEXT_H_

#include <string>

namespace shell {

/// What the failed operation was doing, for the one error that reads differently.
enum class ErrorSubject { Source, Destination };

/// The English Windows system text that cmd.exe shows for the failure `error` (an
/// errno value): "The system cannot find the file specified." for a missing source,
/// "...path specified." for a missing destination folder, "Access is denied.", ...
std::string systemErrorText(int error, ErrorSubject subject);

}  // namespace shell

#endif  // PELQUIST_COPY_INTERPRETER_ERROR_TEXT_H_
