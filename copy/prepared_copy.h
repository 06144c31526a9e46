#ifndef PELQUIST_COPY_PREPARED_COPY_H_
#define PELQUIST_COPY_PREPARED_COPY_H_

#include <cstdint>
#include <string>

#include "quillkit/filesystem/file_identity.h"

namespace copy {

/// What one copy came to.
struct CopyOutcome {
  bool copied = false;
  /// Why it failed: the system's text ("ERROR Message:...").
  std::string errorText;
  /// It failed for want of disk space, quota or open files, which copies prepared beside
  /// it may have held: it may succeed alone.
  bool shortOfResources = false;
  /// It failed taking its name, with an error that does not say whether the name was
  /// taken (a server's answer lost), and the name does not hold it: whatever is there
  /// now, it is no file that existed.
  bool answerLost = false;
  /// The file that the destination led to and that the copy replaced, where one was.
  quillkit::FileIdentity replaced;
  /// The size of the source that was copied, where the platform tells; 0 otherwise.
  uint64_t bytes = 0;
};

/// One file's copy, made by the thread that takes the names, written ahead of its turn by
/// any thread (prepare()): it takes its destination's name only through takeName(), which
/// the thread that takes the names calls in walk order. Destroyed unnamed, it is given
/// up and leaves nothing: no file, no space, no open file.
class PreparedCopy {
 public:
  virtual ~PreparedCopy() = default;
  /// Writes the copy, on any thread; once, before takeName(). It takes no memory where it
  /// can: what the copy keeps was taken when it was made, and is given back by the
  /// thread that made it (an allocator makes a thread that frees another's memory wait).
  virtual void prepare() = 0;
  /// False when the preparation failed: takeName() then only tells why.
  virtual bool ready() const = 0;
  /// The file that was read, where the platform tells: a copy whose source an earlier
  /// copy has replaced since holds the old data.
  virtual quillkit::FileIdentity source() const = 0;
  /// Gives the copy its destination's name (an existing file is replaced only where the
  /// copy was prepared to replace), and tells what the copy came to. Called once.
  virtual CopyOutcome takeName() = 0;
};

}  // namespace copy

#endif  // PELQUIST_COPY_PREPARED_COPY_H_
