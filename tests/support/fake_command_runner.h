#ifndef PELQUIST_TESTS_SUPPORT_FAKE_COMMAND_RUNNER_H_
#define PELQUIST_TESTS_SUPPORT_FAKE_COMMAND_RUNNER_H_

#include <string>
#include <vector>

#include "copy/command_runner.h"

namespace copy {

/// Records every command line instead of running it, and answers with `status`.
class FakeCommandRunner : public CommandRunner {
 public:
  int run(const std::string& commandLine) override {
    lines.push_back(commandLine);
    return status;
  }

  std::vector<std::string> lines;
  int status = 0;
};

}  // namespace copy

#endif  // PELQUIST_TESTS_SUPPORT_FAKE_COMMAND_RUNNER_H_
