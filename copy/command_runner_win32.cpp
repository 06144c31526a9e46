#include <cstdlib>

#include "copy/command_runner.h"

namespace {

/// Hands the line to the C library's system(), that is to cmd.exe.
class SystemCommandRunner : public CommandRunner {
 public:
  int run(const std::string& commandLine) override { return std::system(commandLine.c_str()); }
};

}  // namespace

std::unique_ptr<CommandRunner> makeSystemCommandRunner(std::istream&, std::ostream&) {
  return std::make_unique<SystemCommandRunner>();
}
