#ifndef PELQUIST_COPY_DESTINATION_H_
#define PELQUIST_COPY_DESTINATION_H_

#include <cstddef>
#include <memory>
#include <string>

#include "copy/file_layer.h"
#include "copy/prepared_copy.h"

namespace copy {

/// The folder that collect-copy writes every copy into, made once by its caller and held
/// for the run: what it learns of the folder dies with it. Each copy takes a name in it
/// through makeCopy(); the copy writes content, attributes and modification time. Without
/// `forceWrite` an existing entry is never touched; with it a file is replaced whole or
/// not at all, and a link there is replaced, not written through. A file copied onto
/// itself fails and stays intact. The platform's own in destination_posix.cpp and
/// destination_win32.cpp.
class Destination {
 public:
  virtual ~Destination() = default;
  /// The folder as the caller named it.
  virtual const std::string& folder() const = 0;
  /// True when an entry `name` exists in the folder. May be called from several threads
  /// at once.
  virtual bool exists(const std::string& name) = 0;
  /// The copy of `source` for the entry `name`, not written yet (PreparedCopy::prepare()),
  /// which takes the name at PreparedCopy::takeName(), replacing an existing file only
  /// when `forceWrite`. Never null.
  virtual std::unique_ptr<PreparedCopy> makeCopy(const std::string& source,
                                                 const std::string& name, bool forceWrite) = 0;
  /// Writes out what the copies so far have written, so that the file system gives back
  /// the room it holds for data not yet written out (XFS holds more than the data): for a
  /// copy that ran short of space, before it is made again. False where there is nothing
  /// to write out, each copy being written whole at its turn (Windows).
  virtual bool writeOut() { return false; }
};

/// The platform's destination for `folder`, opened now through the process's `files`. A
/// folder that cannot be opened now (missing, no descriptor left) is tried again by each
/// copy, which fails with the system's reason while it still cannot. Never null.
std::unique_ptr<Destination> openDestination(const std::string& folder, const FileLayer& files);

/// How many files copies prepared ahead of their turn may hold open at once: what the
/// open-file limit leaves to the files open now (POSIX); 0 on Windows, where each copy is
/// made at its turn.
std::size_t filesForCopiesAhead();

}  // namespace copy

#endif  // PELQUIST_COPY_DESTINATION_H_
