#ifndef PELQUIST_COPY_COLLECT_COPY_H_
#define PELQUIST_COPY_COLLECT_COPY_H_

#include <iosfwd>
#include <string>

#include "copy/collect_observer.h"
#include "copy/file_system.h"

namespace copy {

/// Collect-copy: every file below the source's directory whose name matches the
/// source's pattern is copied into the destination directory, side by side, with the
/// trace of every step on `console`. A relative source or destination is taken from the
/// current directory and a missing relative destination is created; an existing file
/// is replaced only with `forceWrite`. False when the walk or the change into an
/// absolute source's directory failed, or when a copy failed for another reason than
/// an existing destination; true otherwise. `fileSystem` does all the file work.
/// `errors` gets what the trace may not carry: why the source folder cannot be read.
/// `observer` is told of the walk, of each file's turn and of the end.
bool collectCopy(std::ostream& console, FileSystem& fileSystem, const std::string& source,
                 const std::string& destination, bool forceWrite, std::ostream& errors,
                 CollectObserver& observer = CollectObserver::none());

}  // namespace copy

#endif  // PELQUIST_COPY_COLLECT_COPY_H_
