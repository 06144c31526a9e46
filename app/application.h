#ifndef PELQUIST_APP_APPLICATION_H_
#define PELQUIST_APP_APPLICATION_H_

#include <cstddef>
#include <cstdint>
#include <list>
#include <set>
#include <string>
#include <vector>

namespace app {

/// The command-line arguments in order, argv[0] first. Elements may be empty.
class ArgumentList : public std::list<std::string> {
 public:
  /// Adds argv[0] to argv[argc-1] at the end (nothing for argc < 1). Always true.
  bool append(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) push_back(std::string(argv[i]));
    return true;
  }
};

/// One argument of the process, as the code page spells it.
struct ProcessArgument {
  std::string text;
  /// False when the code page lacks one of its characters, each written '?' in `text`.
  bool exact = true;
};

/// A console application: keeps the command line and sends the program either to its
/// usage text ("-help" anywhere) or to its run operation.
class Application {
 public:
  Application() = default;
  virtual ~Application() = default;

  /// Appends argv to `arguments`, keeps argv[0] as `programPath`, marks the object
  /// initialised. Always true.
  virtual bool init(int argc, char** argv);
  /// The same for the process's arguments (processArguments): the positions of those
  /// the code page could not spell exactly are kept in `misspelt`, for run() to refuse.
  virtual bool init(const std::vector<ProcessArgument>& argv);
  /// Appends the pieces of the process's whole command line to `arguments` (split at
  /// blanks outside double quotes, quotes removed). False when it ends inside quotes.
  virtual bool initFromCommandLine();
  /// Prints the usage text.
  virtual bool usage() = 0;
  /// False when not initialised; otherwise usage() when an argument is exactly
  /// "-help", else run().
  virtual bool start();
  /// Carries out the command line.
  virtual bool run() = 0;

 protected:
  /// Splits one command-line string the way initFromCommandLine does.
  bool appendCommandLine(const char* commandLine);

  ArgumentList arguments;
  /// Positions in `arguments` (argv[0] at 0) of the arguments that reached the program
  /// with a '?' for a character the code page lacks: as paths they would name others.
  std::set<std::size_t> misspelt;
  int32_t initialized = 0;
  std::string programPath;
};

/// The process's whole command line as one byte string: GetCommandLineA on Windows;
/// on POSIX the arguments joined by spaces, each quoted when it holds a blank
/// (process_command_line_win32.cpp, process_command_line_posix.cpp).
const char* processCommandLine();

/// The arguments of `main`, argv[0] first, as the program takes them: on Windows read
/// again from the wide command line and converted to the code page without best fit (the
/// C runtime's argv turns `é` into `e`, another file's name); on POSIX argv as it is,
/// every one exact.
std::vector<ProcessArgument> processArguments(int argc, char** argv);

}  // namespace app

#endif  // PELQUIST_APP_APPLICATION_H_
