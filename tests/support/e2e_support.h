#ifndef PELQUIST_TESTS_E2E_E2E_SUPPORT_H_
#define PELQUIST_TESTS_E2E_E2E_SUPPORT_H_

#include <string>
#include <vector>

#include "tests/support/child_process.h"

/// Runs the built pelquist_copy with `arguments` in `workDirectory`, `input` on its
/// standard input, in `locale` (POSIX; the C locale writes the reference bytes; others
/// from the build tree's own locales, see localePath).
inline ChildResult runProgram(const std::vector<std::string>& arguments,
                              const std::string& workDirectory, const std::string& input = "",
                              const std::string& locale = "C") {
  return runChild(PELQUIST_COPY_EXE, arguments, workDirectory, input, "",
                  {"LC_ALL=" + locale, "LOCPATH=" PELQUIST_LOCPATH});
}

#endif  // PELQUIST_TESTS_E2E_E2E_SUPPORT_H_
