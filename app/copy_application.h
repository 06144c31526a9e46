#ifndef PELQUIST_APP_COPY_APPLICATION_H_
#define PELQUIST_APP_COPY_APPLICATION_H_

#include <iostream>
#include <ostream>

#include "app/application.h"
#include "copy/collect_observer.h"
#include "copy/command_runner.h"
#include "copy/copy_mode.h"
#include "copy/file_system.h"
#include "quillkit/string_ref.h"

namespace app {

/// pelquist_copy: recognises switches and paths and copies, moves or collects files.
/// Everything it prints goes to `console`, as bytes, each line ended by endl.
class CopyApplication : public Application {
 public:
  /// `console` receives all output; `runner` runs the shell-command lines;
  /// `fileSystem` does collect-copy's file work and answers whether a path is a file;
  /// `errors` receives the hints and reasons that standard output may not carry;
  /// `observer` is told how collect-copy goes.
  CopyApplication(std::ostream& console, copy::CommandRunner& runner,
                  copy::FileSystem& fileSystem, std::ostream& errors = std::cerr,
                  copy::CollectObserver& observer = copy::CollectObserver::none());
  ~CopyApplication() override = default;

  /// Prints the 17 lines of the usage text; true.
  bool usage() override;
  /// Reads the switches and up to two paths, then calls execute once. False after a
  /// command-line error (reported in Japanese), else execute's result.
  bool run() override;

  /// Prints the four lines of the security warning.
  void showSecurityWarning();
  /// Carries out `mode` on the two paths (their texts up to the NUL): collect-copy
  /// itself, the other modes through the command interpreter; a value outside the four
  /// prints its message and the usage text. True on success.
  bool execute(quillkit::StringRef source, quillkit::StringRef destination, copy::CopyMode mode,
               bool forceWrite);

 private:
  /// After a third path: when a path names an existing file with an extension, as a
  /// pattern that the shell expanded gives them, one line on `errors` that suggests
  /// the pattern quoted; nothing otherwise.
  void hintAtExpandedPattern();

  std::ostream& console_;
  copy::CommandRunner& runner_;
  copy::FileSystem& fileSystem_;
  std::ostream& errors_;
  copy::CollectObserver& observer_;
};

}  // namespace app

#endif  // PELQUIST_APP_COPY_APPLICATION_H_
