#ifndef PELQUIST_TESTS_COPY_CMD_POSIX_INTERPRETER_FIXTURE_H_
#define PELQUIST_TESTS_COPY_CMD_POSIX_INTERPRETER_FIXTURE_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "copy/cmd_posix/interpreter.h"
#include "tests/support/refusing_kernel.h"
#include "tests/support/temp_dir.h"

/// What one command line left behind.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

/// One command line and what it must leave: its status and both outputs, byte for byte.
struct CommandCase {
  std::string line;
  int status;
  std::string out;
  std::string err;
  /// The answers to its questions.
  std::string input = "";
};

/// A fresh temporary folder that is the current directory during the test; paths are
/// relative to it, '/'-separated.
class InterpreterTest : public ::testing::Test {
 protected:
  InterpreterTest() { EXPECT_EQ(0, chdir(dir_.path().c_str())); }

  /// Runs `line` with `input` as the answers to its questions.
  RunResult run(const std::string& line, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    copy::cmd::Interpreter interpreter(in, out, err, kernel_.context);
    RunResult result;
    result.status = interpreter.run(line);
    result.out = out.str();
    result.err = err.str();
    return result;
  }
  /// Runs every case and compares all it left.
  void expectCases(const std::vector<CommandCase>& cases) {
    for (const CommandCase& c : cases) {
      RunResult result = run(c.line, c.input);
      EXPECT_EQ(c.status, result.status) << c.line;
      EXPECT_EQ(c.out, result.out) << c.line;
      EXPECT_EQ(c.err, result.err) << c.line;
    }
  }

  std::string path(const std::string& name) const { return dir_.join(name); }
  void write(const std::string& name, const std::string& content) { dir_.write(name, content); }
  void mkdir(const std::string& name) { dir_.makeDirs(name); }
  std::string read(const std::string& name) const { return dir_.read(name); }
  bool exists(const std::string& name) const { return dir_.exists(name); }
  std::vector<std::string> list(const std::string& name = "") const { return dir_.list(name); }

  TempDir dir_;
  /// The system's calls, unless a test makes one refuse.
  RefusingKernel kernel_;
};

#endif  // PELQUIST_TESTS_COPY_CMD_POSIX_INTERPRETER_FIXTURE_H_
