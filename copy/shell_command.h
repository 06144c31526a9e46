#ifndef PELQUIST_COPY_SHELL_COMMAND_H_
#define PELQUIST_COPY_SHELL_COMMAND_H_

#include <iosfwd>
#include <string>

#include "copy/command_runner.h"
#include "copy/copy_mode.h"

namespace copy {

/// How one path may go into a command line for the command interpreter.
enum class PathForm {
  /// As typed: nothing in it means anything to the interpreter.
  Plain,
  /// Inside double quotes: it holds a blank, an interpreter operator or COPY's '+'
  /// (which would join files), or begins with '/' (which would read as a switch).
  Quoted,
  /// Not at all: it holds a double quote, a '%' or a control byte, which no quoting
  /// makes safe.
  Refused,
};

/// The form in which `path` may be handed to the interpreter.
PathForm classifyPath(const std::string& path);

/// The command line of a shell-command mode, or the path that cannot be passed.
struct ShellCommand {
  /// Empty when `refusedPath` is set.
  std::string line;
  /// The first path (source before destination) whose form is Refused.
  std::string refusedPath;
  bool refused = false;
};

/// Builds the COPY, MOVE or XCOPY line for `mode` (Copy, Move or XCopy): fixed texts
/// with the two paths in their forms; an empty path adds nothing.
ShellCommand buildShellCommand(CopyMode mode, const std::string& source,
                               const std::string& destination);

/// Carries out a shell-command mode: builds its line and hands it to `runner`, or,
/// when a path cannot be passed, says so on `console` and runs nothing. True when the
/// command ended with status 0.
bool runShellCommand(std::ostream& console, CommandRunner& runner, CopyMode mode,
                     const std::string& source, const std::string& destination);

}  // namespace copy

#endif  // PELQUIST_COPY_SHELL_COMMAND_H_
