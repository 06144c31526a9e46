#ifndef PELQUIST_FUZZ_COMMAND_WORDS_H_
#define PELQUIST_FUZZ_COMMAND_WORDS_H_

// The words that the interpreter must read from the command line of a shell-command
// mode, as the usage of COPY /B, MOVE and XCOPY /S in the program's README states them.

#include <string>
#include <vector>

#include "copy/copy_mode.h"

namespace fuzz {

/// One word: a typed path, or the command or one of its fixed switches.
struct ExpectedWord {
  std::string text;
  bool path;
};

/// "COPY /B src /B dest /B /V", "MOVE src dest" or "XCOPY /S src dest" (for copy::Copy,
/// copy::Move, copy::XCopy); an empty path is no word.
inline std::vector<ExpectedWord> expectedWords(copy::CopyMode mode, const std::string& source,
                                               const std::string& destination) {
  std::vector<ExpectedWord> words;
  auto fixed = [&](const char* text) { words.push_back({text, false}); };
  auto path = [&](const std::string& text) {
    if (!text.empty()) words.push_back({text, true});
  };
  if (mode == copy::Copy) {
    fixed("COPY");
    fixed("/B");
    path(source);
    fixed("/B");
    path(destination);
    fixed("/B");
    fixed("/V");
  } else if (mode == copy::Move) {
    fixed("MOVE");
    path(source);
    path(destination);
  } else {
    fixed("XCOPY");
    fixed("/S");
    path(source);
    path(destination);
  }
  return words;
}

}  // namespace fuzz

#endif  // PELQUIST_FUZZ_COMMAND_WORDS_H_
