#include <cstdlib>
#include <ostream>

#include "copy/command_runner.h"

namespace copy {

namespace {

/// Hands the command line to cmd.exe through the C runtime.
class SystemCommandRunner : public CommandRunner {
 public:
  explicit SystemCommandRunner(std::ostream& out) : out_(out) {}
  int run(const std::string& commandLine) override {
    // The subshell writes to the same console; what the program wrote goes first.
    out_.flush();
    return std::system(commandLine.c_str());
  }

 private:
  std::ostream& out_;
};

}  // namespace

std::unique_ptr<CommandRunner> makeSystemCommandRunner(std::istream&, std::ostream& out,
                                                       const FileLayer&) {
  return std::make_unique<SystemCommandRunner>(out);
}

}  // namespace copy
