#ifndef PELQUIST_COPY_COMMAND_RUNNER_H_
#define PELQUIST_COPY_COMMAND_RUNNER_H_

#include <iosfwd>
#include <memory>
#include <string>

#include "copy/file_layer.h"

namespace copy {

/// Runs one command line of the shell-command modes (COPY, MOVE, XCOPY).
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  /// The interpreter's exit status, or -1 when no interpreter could be started.
  virtual int run(const std::string& commandLine) = 0;
};

/// The platform's runner: the C library's system() on Windows; on POSIX the program's
/// own interpreter, which reads answers to its questions from `in`, writes to `out`, and
/// works through the process's `files`, which outlive it.
std::unique_ptr<CommandRunner> makeSystemCommandRunner(std::istream& in, std::ostream& out,
                                                       const FileLayer& files);

}  // namespace copy

#endif  // PELQUIST_COPY_COMMAND_RUNNER_H_
