#ifndef PELQUIST_COPY_CMD_POSIX_COMMAND_LINE_H_
#define PELQUIST_COPY_CMD_POSIX_COMMAND_LINE_H_

#include <string>
#include <vector>

#include "quillkit/ascii.h"

namespace copy::cmd {

/// One word of a command line, as cmd.exe's COPY, MOVE and XCOPY see it.
struct Word {
  /// The text with its double quotes removed.
  std::string text;
  /// The word held a double quote: it is a path, whatever it begins with.
  bool quoted = false;
  /// An unquoted '+' between COPY's sources.
  bool plus = false;

  /// An unquoted word that begins with '/'.
  bool isSwitch() const { return !quoted && !plus && !text.empty() && text[0] == '/'; }
};

/// Splits a command line: spaces and tabs outside double quotes separate words, double
/// quotes group and are removed. With `plusSeparates`, an unquoted '+' is a word of
/// its own (COPY's concatenation).
std::vector<Word> readWords(const std::string& line, bool plusSeparates);

/// Switches and command names ignore the case of ASCII letters.
using quillkit::upperAscii;

}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_COMMAND_LINE_H_
