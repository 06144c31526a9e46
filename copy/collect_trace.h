#ifndef PELQUIST_COPY_COLLECT_TRACE_H_
#define PELQUIST_COPY_COLLECT_TRACE_H_

#include <ostream>
#include <string>

#include "copy/collect_plan.h"
#include "copy/planned_copy.h"

namespace copy {

/// The lines that collect-copy writes of its steps, on the console, and what standard
/// output may not carry, on `errors`. Names are shown, not obeyed: their control bytes
/// are written so that they are seen (quillkit::shownName); the system's error texts,
/// which may end in their own line end, are written as they are.
class CollectTrace {
 public:
  CollectTrace(std::ostream& console, std::ostream& errors)
      : console_(console), errors_(errors) {}

  /// A line of a fixed text, or of a fixed text and a name.
  void line(const std::string& text);
  /// The run's inputs and what it derived from them, up to "reset succeeded...".
  void inputs(const std::string& source, const CollectPlan& plan,
              const std::string& currentDirectory, bool forceWrite);
  /// After "find failed...": to `errors`, the folder and the system's text for why it
  /// could not be read, where the walk said (`errorText` not empty).
  void unreadable(const std::string& folder, std::string errorText);
  /// From "find succeeded..." to the lines of the destination.
  void found(const CollectPlan& plan);
  /// The lines of one turn, written together when it is done: where the console is a
  /// terminal, its own line buffering still shows each at once.
  void turn(const TurnOutcome& outcome, bool forceWrite);
  /// A name or folder the walk could not see, and why.
  void skipped(const std::string& path, const std::string& errorText);

 private:
  /// A line of the turn's: a fixed text, a name and a fixed text, built whole.
  void nameLine(const char* before, const std::string& name, const char* after = "");
  /// "CopyFileWin32(destination , source , forceWrite );" of a copy that did not take
  /// its name.
  void copyCall(const std::string& destinationPath, const std::string& source, bool forceWrite);

  std::ostream& console_;
  std::ostream& errors_;
  /// The last line nameLine() built, kept with its room for the next one.
  std::string line_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_COLLECT_TRACE_H_
