#ifndef PELQUIST_COPY_CMD_POSIX_CONSOLE_H_
#define PELQUIST_COPY_CMD_POSIX_CONSOLE_H_

#include <iosfwd>
#include <string>

namespace copy::cmd {

/// Where a command reads its answers and writes its lines: listings, summaries and
/// questions to `out`, error texts to `err`, as cmd.exe does.
class Console {
 public:
  Console(std::istream& in, std::ostream& out, std::ostream& err)
      : in_(in), out_(out), err_(err) {}

  /// Writes one line (text and "\n") to the output.
  void line(const std::string& text);
  /// Writes one error line; the output written so far goes first.
  void error(const std::string& text);
  /// Writes `prompt` (no line end) and reads lines until one is a single letter of
  /// `choices` (upper case; the answer's case does not matter). That letter, or 0 at
  /// the end of the input: a question is never asked again once the input has ended.
  /// With `echo` the answer is written after the question and the line ended, as a
  /// program that reads single keys shows it.
  char ask(const std::string& prompt, const std::string& choices, bool echo = false);
  /// Flushes the output.
  void flush();

 private:
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  bool inputEnded_ = false;
};

/// Whether COPY, MOVE and XCOPY ask before overwriting, and the questions they ask.
class OverwriteGuard {
 public:
  /// Asks unless "/Y" was given; "/-Y" always asks; without either the COPYCMD
  /// environment variable decides ("/Y" or "/-Y" in it), and the default is to ask.
  OverwriteGuard(bool yesSwitch, bool noSwitch);
  /// True when the file may be overwritten: without asking, or when the answer to
  /// `prompt` is Yes or All (All stops the questions for the rest of the command).
  bool allows(Console& console, const std::string& prompt, bool echo = false);

 private:
  bool asking_;
};

/// The count right-aligned in 9 columns, as COPY and MOVE print it ("        1").
std::string paddedCount(int count);

}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_CONSOLE_H_
