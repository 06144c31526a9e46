#include <iostream>

#include "copy/cmd_posix/interpreter.h"
#include "copy/command_runner.h"
#include "copy/file_layer_posix.h"

namespace copy {

namespace {

/// Runs the command lines with the program's own interpreter; error texts go to the
/// standard error stream, as cmd.exe writes them.
class InterpreterRunner : public CommandRunner {
 public:
  InterpreterRunner(std::istream& in, std::ostream& out, const files::Context& context)
      : interpreter_(in, out, std::cerr, context) {}
  int run(const std::string& commandLine) override { return interpreter_.run(commandLine); }

 private:
  cmd::Interpreter interpreter_;
};

}  // namespace

std::unique_ptr<CommandRunner> makeSystemCommandRunner(std::istream& in, std::ostream& out,
                                                       const FileLayer& files) {
  return std::make_unique<InterpreterRunner>(in, out, files.parts().context);
}

}  // namespace copy
