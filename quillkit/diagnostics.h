#ifndef QUILLKIT_DIAGNOSTICS_H_
#define QUILLKIT_DIAGNOSTICS_H_

#include <cstdint>
#include <string>

namespace quillkit {

/// Reports a broken internal precondition and ends the process with exit status -1:
/// the report goes to the debugger output, is appended to "ERROR_TEMP.txt" in the
/// current directory (then an 800 ms wait, only when the file opened), the shell is
/// asked to open that file, and the user is shown a notice. `messageFormat` may be
/// null ("No message\n"); otherwise it is formatted printf-style with the arguments.
[[noreturn]] void assertionFailed(const char* expression, const char* source, int line,
                                  const char* messageFormat, ...);

/// Sends one line of at most 1022 characters, always ending in a line feed, to the
/// debug log. Always returns true.
bool debugPrintf(const char* format, ...);

/// The output stage of debugPrintf: at most 2047 characters, line feed added when
/// missing, sent to the debugger output. Always returns true.
bool debugOutput(const char* format, ...);

/// "ERROR Message:" followed by the system's text for the calling thread's last error.
std::string getLastErrorMessage();
/// True when the calling thread's last error says that the disk, a quota or the open
/// files ran out: a want that other work of the process may have caused.
bool lastErrorIsShortOfResources();
/// The same for the error `code`.
bool errorIsShortOfResources(uint32_t code);

/// The system error text of one error code.
class ErrorMessage {
 public:
  virtual ~ErrorMessage() = default;
  /// Replaces the text with "ERROR Message:" and the system's text for `code`, or for
  /// the calling thread's last error when `useGivenCode` is false.
  void load(uint32_t code, bool useGivenCode);
  /// The text as loaded; empty before the first load.
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

/// Where the debug log and an assertion report go outside the process: the debugger
/// output, the wait after writing "ERROR_TEMP.txt", the shell's request to open it, and
/// the notice to the user. This class itself is the system's; a test stands in with its
/// own (tests/support/debug_log.h), so that a report neither blocks on a message box
/// nor starts a program.
class ReportOutlets {
 public:
  virtual ~ReportOutlets() = default;
  virtual void sendToDebugger(const char* text);
  virtual void wait(unsigned milliseconds);
  virtual void openInShell(const char* fileName);
  virtual void notice(const char* title, const char* text);
};

/// The outlets in use: the system's own while null. A test sets it before any thread of
/// its own starts.
extern ReportOutlets* outletsInUse;

}  // namespace quillkit

/// Raises an assertion report unless `condition` holds. The report names the
/// condition's text, this source file and line, and no message.
#define QUILLKIT_ASSERT(condition)                                                          \
  do {                                                                                      \
    if (!(condition)) ::quillkit::assertionFailed(#condition, __FILE__, __LINE__, nullptr); \
  } while (0)

#endif  // QUILLKIT_DIAGNOSTICS_H_
