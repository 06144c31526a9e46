#ifndef PELQUIST_TESTS_APP_EXPECTED_TEXTS_H_
#define PELQUIST_TESTS_APP_EXPECTED_TEXTS_H_

#include <string>

#include "app/texts.h"

// The program's fixed multi-line outputs as tests expect them, with "\n" line ends.

/// The four lines of the security warning.
inline std::string warningLines() {
  return std::string(texts::kWarning1) + "\n" + texts::kWarning2 + "\n" + texts::kWarning3 +
         "\n" + texts::kWarning4 + "\n";
}

/// The seventeen lines of the usage text.
inline std::string usageLines() {
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

/// The report of an invalid switch, followed by the usage text.
inline std::string invalidSwitchLines(const std::string& argument) {
  return std::string(texts::kInvalidSwitch) + "\n" + argument + "\n" + texts::kSeeUsageBelow +
         "\n\n" + usageLines();
}

#endif  // PELQUIST_TESTS_APP_EXPECTED_TEXTS_H_
