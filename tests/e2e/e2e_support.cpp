#include "e2e/e2e_support.h"

#include "app/texts.h"
#include "support/file_util.h"

ChildResult runProgram(const std::vector<std::string>& arguments,
                       const std::string& workDirectory, const std::string& input) {
  return runChild(PELQUIST_COPY_EXE, arguments, workDirectory, input);
}

std::string consoleText(const std::string& lines) { return withTextLineEnds(lines); }

std::string usageLines() {
  return std::string(
             " usage: pelquist_copy <switches> <(src)> <(dest)>\n"
             " <switches>\n"
             "  -help  view help\n"
             "  -copy  copy mode\n"
             "  -move  move mode\n"
             "  -xcopy xcopy subdirectory all copy mode \n"
             "  -collectcopy / collect subdirectory to one directory\n"
             "  -fw    force write\n"
             "  -nosw  security warning is not displayed\n"
             "\n"
             "version : 0.50\n"
             "\n"
             " warning:\n") +
         warningLines();
}

std::string warningLines() {
  return std::string(texts::kWarning1) + "\n" + texts::kWarning2 + "\n" + texts::kWarning3 +
         "\n" + texts::kWarning4 + "\n";
}
