#ifndef PELQUIST_APP_APPLICATION_H_
#define PELQUIST_APP_APPLICATION_H_

#include <cstdint>
#include <string>

#include "app/argument_list.h"

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

#endif  // PELQUIST_APP_APPLICATION_H_
