#include "app/application.h"

namespace app {

bool Application::init(int argc, char** argv) {
  initialized = 1;
  arguments.append(argc, argv);
  programPath = argv[0];
  return true;
}

bool Application::init(const std::vector<ProcessArgument>& argv) {
  initialized = 1;
  for (const ProcessArgument& argument : argv) {
    if (!argument.exact) misspelt.insert(arguments.size());
    arguments.push_back(argument.text);
  }
  if (!argv.empty()) programPath = argv.front().text;
  return true;
}

bool Application::initFromCommandLine() { return appendCommandLine(processCommandLine()); }

bool Application::appendCommandLine(const char* commandLine) {
  // Pieces are formed without their quotes; empty pieces between adjacent
  // separators are dropped, a piece left at the end is kept.
  bool quoted = false;
  std::string piece;
  bool inPiece = false;
  for (const char* p = commandLine;; ++p) {
    char c = *p;
    bool separator =
        c == '\0' || (!quoted && (c == '\n' || c == '\r' || c == ' ' || c == '\t'));
    if (separator) {
      if (inPiece) arguments.push_back(piece);
      piece.clear();
      inPiece = false;
      if (c == '\0') break;
      continue;
    }
    inPiece = true;
    if (c == '"')
      quoted = !quoted;
    else
      piece += c;
  }
  return !quoted;
}

bool Application::start() {
  if (initialized != 1) return false;
  for (const std::string& argument : arguments)
    if (argument == "-help") return usage();
  return run();
}

}  // namespace app
