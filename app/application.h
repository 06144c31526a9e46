#ifndef PELQUIST_APP_APPLICATION_H_
#define PELQUIST_APP_APPLICATION_H_

#include <cstdint>
#include <list>
#include <string>

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

/// A console application: keeps the command line and sends the program either to its
/// usage text ("-help" anywhere) or to its run operation.
class Application {
 public:
  Application() = default;
  virtual ~Application() = default;

  /// Appends argv to `arguments`, keeps argv[0] as `programPath`, marks the object
  /// initialised. Always true.
  virtual bool init(int argc, char** argv);
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
  int32_t initialized = 0;
  std::string programPath;
};

/// The process's whole command line as one byte string: GetCommandLineA on Windows;
/// on POSIX the arguments joined by spaces, each quoted when it holds a blank
/// (process_command_line_win32.cpp, process_command_line_posix.cpp).
const char* processCommandLine();

}  // namespace app

#endif  // PELQUIST_APP_APPLICATION_H_
