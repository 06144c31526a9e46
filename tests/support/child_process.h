#ifndef PELQUIST_TESTS_SUPPORT_CHILD_PROCESS_H_
#define PELQUIST_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <string>
#include <vector>

/// What a finished child process left behind.
struct ChildResult {
  /// The exit status as the platform reports it (0-255 on POSIX; a signal gives
  /// 128 + its number); -1000 when the process could not be started.
  long long exitCode = -1000;
  /// Standard output, byte for byte.
  std::string output;
  /// Standard error, byte for byte.
  std::string errorOutput;
};

/// Runs `program` with `arguments` (each passed as one argument, bytes unchanged) in
/// `workDirectory`, with `input` as its standard input, and waits for it. `argv0` is
/// the name the program is started under; empty for its path. `environment` holds
/// NAME=value entries set for the child on POSIX (the Windows build's programs take the
/// code page, not the locale, and pass none).
ChildResult runChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workDirectory, const std::string& input = "",
                     const std::string& argv0 = "",
                     const std::vector<std::string>& environment = {});

#endif  // PELQUIST_TESTS_SUPPORT_CHILD_PROCESS_H_
