#ifndef PELQUIST_APP_PROCESS_COMMAND_LINE_H_
#define PELQUIST_APP_PROCESS_COMMAND_LINE_H_

/// The process's whole command line as one byte string: GetCommandLineA on Windows;
/// on POSIX the arguments joined by spaces, each quoted when it holds a blank.
const char* processCommandLine();

#endif  // PELQUIST_APP_PROCESS_COMMAND_LINE_H_
