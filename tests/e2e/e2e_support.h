#ifndef PELQUIST_TESTS_E2E_E2E_SUPPORT_H_
#define PELQUIST_TESTS_E2E_E2E_SUPPORT_H_

#include <string>
#include <vector>

#include "app/expected_texts.h"
#include "support/child_process.h"

/// Runs the built pelquist_copy with `arguments` in `workDirectory`, `input` on its
/// standard input.
ChildResult runProgram(const std::vector<std::string>& arguments,
                       const std::string& workDirectory, const std::string& input = "");

/// The program's lines as a text-mode standard output shows them: each "\n" becomes
/// the platform's line end.
std::string consoleText(const std::string& lines);


#endif  // PELQUIST_TESTS_E2E_E2E_SUPPORT_H_
