#ifndef PELQUIST_TESTS_COPY_INTERPRETER_INTERPRETER_FIXTURE_H_
#define PELQUIST_TESTS_COPY_INTERPRETER_INTERPRETER_FIXTURE_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "copy/interpreter/interpreter.h"
#include "support/file_util.h"
#include "support/temp_dir.h"

/// What one command line left behind.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

/// A fresh temporary folder that is the current directory during the test.
class InterpreterTest : public ::testing::Test {
 protected:
  InterpreterTest() { EXPECT_EQ(0, chdir(dir_.path().c_str())); }

  /// Runs `line` with `input` as the answers to its questions.
  RunResult run(const std::string& line, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    shell::Interpreter interpreter(in, out, err);
    RunResult result;
    result.status = interpreter.run(line);
    result.out = out.str();
    result.err = err.str();
    return result;
  }
  std::string path(const std::string& name) const { return dir_.join(name); }
  void write(const std::string& name, const std::string& content) {
    writeFile(path(name), content);
  }
  std::string read(const std::string& name) const { return readFile(path(name)); }
  bool exists(const std::string& name) const { return fileExists(path(name)); }

  ScopedTempDir dir_;
};

#endif  // PELQUIST_TESTS_COPY_INTERPRETER_INTERPRETER_FIXTURE_H_
