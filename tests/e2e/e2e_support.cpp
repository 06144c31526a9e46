#include "e2e/e2e_support.h"

#include "support/file_util.h"

ChildResult runProgram(const std::vector<std::string>& arguments,
                       const std::string& workDirectory, const std::string& input) {
  return runChild(PELQUIST_COPY_EXE, arguments, workDirectory, input);
}

std::string consoleText(const std::string& lines) { return withTextLineEnds(lines); }
