#include "copy/shell_command.h"

#include <cstring>
#include <ostream>

#include "copy/texts.h"
#include "quillkit/console_text.h"
#include "quillkit/shown_name.h"

namespace copy {

PathForm classifyPath(const std::string& path) {
  bool quote = !path.empty() && path[0] == '/';
  for (char c : path) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '"' || c == '%') return PathForm::Refused;
    // Bytewise on purpose: a Shift-JIS second byte that equals '|' or '^' only makes
    // the path quoted, which is harmless.
    if (c == ' ' || std::strchr("&|<>^(),;=!+", c) != nullptr) quote = true;
  }
  return quote ? PathForm::Quoted : PathForm::Plain;
}

namespace {

std::string inForm(const std::string& path) {
  return classifyPath(path) == PathForm::Quoted ? "\"" + path + "\"" : path;
}

}  // namespace

ShellCommand buildShellCommand(CopyMode mode, const std::string& source,
                               const std::string& destination) {
  ShellCommand command;
  for (const std::string* path : {&source, &destination}) {
    if (classifyPath(*path) == PathForm::Refused) {
      command.refused = true;
      command.refusedPath = *path;
      return command;
    }
  }
  if (mode == Copy)
    command.line = copy::texts::kCopyCommand + inForm(source) + copy::texts::kCopyMiddle +
                   inForm(destination) + copy::texts::kCopyTail;
  else if (mode == Move)
    command.line = copy::texts::kMoveCommand + inForm(source) + " " + inForm(destination);
  else
    command.line = copy::texts::kXCopyCommand + inForm(source) + " " + inForm(destination);
  return command;
}

bool runShellCommand(std::ostream& console, CommandRunner& runner, CopyMode mode,
                     const std::string& source, const std::string& destination) {
  ShellCommand command = buildShellCommand(mode, source, destination);
  if (command.refused) {
    console << quillkit::consoleText(copy::texts::kUnsafePath) << std::endl;
    console << quillkit::shownName(command.refusedPath) << std::endl;
    return false;
  }
  return runner.run(command.line) == 0;
}

}  // namespace copy
