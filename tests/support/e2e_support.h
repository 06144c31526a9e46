#ifndef PELQUIST_TESTS_E2E_E2E_SUPPORT_H_
#define PELQUIST_TESTS_E2E_E2E_SUPPORT_H_

#include <string>
#include <vector>

#include "tests/support/child_process.h"

/// Runs the built pelquist_copy with `arguments` in `workDirectory`, `input` on its
/// standard input.
inline ChildResult runProgram(const std::vector<std::string>& arguments,
                              const std::string& workDirectory, const std::string& input = "") {
  return runChild(PELQUIST_COPY_EXE, arguments, workDirectory, input);
}

#endif  // PELQUIST_TESTS_E2E_E2E_SUPPORT_H_
