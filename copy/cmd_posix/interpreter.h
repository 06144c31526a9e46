#ifndef PELQUIST_COPY_CMD_POSIX_INTERPRETER_H_
#define PELQUIST_COPY_CMD_POSIX_INTERPRETER_H_

#include <iosfwd>
#include <string>

#include "copy/cmd_posix/console.h"
#include "copy/files_posix/kernel_calls.h"

namespace copy::cmd {

/// The program's own reading of the command lines it hands to cmd.exe on Windows:
/// COPY, MOVE and XCOPY with cmd.exe's observable behaviour. No shell is ever started,
/// so nothing in a path can run anything.
class Interpreter {
 public:
  /// Answers to questions come from `in`; listings, summaries and questions go to `out`,
  /// error texts to `err`; the files are worked on through `context`, which outlives it.
  Interpreter(std::istream& in, std::ostream& out, std::ostream& err,
              const files::Context& context);

  /// Runs one command line and returns the ERRORLEVEL it leaves (9009 for a command
  /// other than COPY, MOVE and XCOPY, as cmd.exe for an unknown program).
  int run(const std::string& commandLine);

 private:
  Console console_;
  const files::Context& context_;
};

}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_INTERPRETER_H_
