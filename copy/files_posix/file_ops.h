#ifndef PELQUIST_COPY_FILES_POSIX_FILE_OPS_H_
#define PELQUIST_COPY_FILES_POSIX_FILE_OPS_H_

// POSIX build only: the file operations of the program, behind collect-copy's
// destination and the built-in COPY, MOVE and XCOPY. Paths are native ('/' separators);
// a destination is an entry of a folder held by its descriptor (destination_folder.h).
// Every operation answers 0 or a positive errno value; a copy also says whether its
// read-back differed.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "quillkit/filesystem/file_identity.h"

namespace copy::files {

class Descriptor;
class DestinationFolder;
class PendingFile;

/// How a copy treats the destination and the copy.
struct CopyOptions {
  /// Replace an existing destination (never a read-only one); otherwise fail with EEXIST.
  bool replace = false;
  /// Read the copy back and compare it with the source before it takes the final name.
  bool verify = false;
  /// Give the copy its owner's write permission even when the source lacks it.
  bool makeWritable = false;
  /// Flush a new file to disk before it takes its name (a replacement always is): for
  /// a copy after which the source goes away.
  bool durable = false;
  /// The copy is one of many prepared ahead of their naming: a flush it needs may be
  /// made when it takes its name, together with theirs.
  bool flushWithOthers = false;
  /// Give the copy the source's owner and group where the process may (a move): as
  /// another user, a failure to is no error.
  bool keepOwner = false;
  /// Where known, the source must be this very file (a move, which looked at it first):
  /// it is opened without following a link, and a source that is now a link or another
  /// file fails with EBUSY, copying nothing.
  quillkit::FileIdentity sourceAsSeen;
};

/// What an operation came to.
struct CopyResult {
  /// 0, or the errno of the step that failed.
  int error = 0;
  /// The copy was read back and differs from its source; it did not take the name.
  bool differs = false;
  /// The destination is the source itself under another name (error is EBUSY).
  bool sameFile = false;
  /// The step that gives the copy its name did not say whether it was made (a server's
  /// answer lost), and the name does not hold the copy: it failed for that reason,
  /// whatever the name holds, never for a file that existed.
  bool answerLost = false;

  bool succeeded() const { return error == 0 && !differs; }
  /// The result of a step that answered `error` (0 for success).
  static CopyResult ofError(int error) {
    CopyResult result;
    result.error = error;
    return result;
  }
};

/// Copies content, permission bits and modification time of `source` to the entry
/// `name` of `folder`. A failed copy leaves no destination or the old one, never a
/// partial file, and nothing beside it. Fails with EBUSY (sameFile) for a file copied
/// onto itself when replacing (EEXIST when not), EISDIR when either side is a directory,
/// EACCES for a read-only destination, EINVAL for a source that is a pipe, socket or
/// device.
CopyResult copyFile(const std::string& source, DestinationFolder& folder,
                    const std::string& name, const CopyOptions& options);

/// A copy made in three steps, so that copies can be written ahead of their turn while
/// their names are taken in order: made with its source and destination, prepare()
/// writes the data (flushed where the copy will replace, or is durable) into a file
/// without the destination's name, and takeName() gives it that name, as copyFile would.
/// Destroyed unnamed, it leaves nothing. What it keeps in memory is taken when it is
/// made: made and named on one thread and written on others, it gives its memory back to
/// the thread that took it (an allocator makes a thread that frees another's memory wait
/// on it).
class FileCopy {
 public:
  /// A copy of `source` for the entry `name` of `folder` (which outlives it), not
  /// written yet.
  FileCopy(std::string source, DestinationFolder& folder, std::string name,
           const CopyOptions& options);
  ~FileCopy();
  FileCopy(const FileCopy&) = delete;
  FileCopy& operator=(const FileCopy&) = delete;

  /// The first step of copyFile, once: opens the source and writes the copy. A replacing
  /// copy whose destination is already known to refuse (the source itself, a directory,
  /// a read-only file) writes nothing.
  void prepare();
  /// 0 when the data is written; else why the preparation failed, which takeName()
  /// answers.
  int error() const { return failure_.error; }
  /// The file that was read: a copy whose source an earlier copy has since replaced
  /// holds old data.
  const quillkit::FileIdentity& source() const { return source_; }
  /// The source's size when it was opened; 0 where it could not be.
  uint64_t size() const { return static_cast<uint64_t>(seen_.st_size); }
  /// The source's status when it was opened (zeros where it could not be): what a move
  /// checks before it removes the source.
  const struct stat& sourceStatus() const { return seen_; }
  /// Gives the copy its name: the result of the copy. `replaced`, where given, gets the
  /// identity of the file that the destination led to and that the copy replaced.
  CopyResult takeName(quillkit::FileIdentity* replaced = nullptr);

 private:
  /// prepare() up to its first failure, which it leaves in `failure_`.
  void write();
  /// Opens the source as `in`, with its `status`, and checks what a replacing copy would
  /// replace: why it cannot be copied, if it cannot.
  CopyResult openSource(Descriptor& in, struct stat& status);
  /// Gives the copy `out` the attributes of the source `in` that it keeps: 0 or errno.
  int keepAttributes(int in, int out, const struct stat& status, mode_t mode);
  /// Gives the copy `out` the source's `group` where the process may, or takes the group
  /// bits from `mode` where it may not: 0 or errno.
  int keepGroup(int out, gid_t group, mode_t& mode);

  CopyResult failure_;
  quillkit::FileIdentity source_;
  std::string sourcePath_;
  struct stat seen_ {};
  DestinationFolder& folder_;
  std::string name_;
  CopyOptions options_;
  /// The file written; it holds the copy once `written_`.
  std::unique_ptr<PendingFile> file_;
  bool written_ = false;
};

/// A copy made and prepared at once. Never null.
std::unique_ptr<FileCopy> prepareCopy(std::string source, DestinationFolder& folder,
                                      std::string name, const CopyOptions& options);

/// A piece of a combined file: a source, and whether it ends at its first ^Z (0x1A).
struct CombinePart {
  std::string path;
  bool stopsAtEndMark = false;
};
/// Whether a ^Z follows the parts: never, always, or only when the data written does
/// not already end with one (a single file to an ASCII destination).
enum class EndMark { None, Append, AppendUnlessPresent };
/// Writes the parts one after another (and a ^Z at the end as `mark` says) into a new
/// file that replaces the entry `name` of `folder` whole (when `replace`) or only if it
/// does not exist. The new file has the current time.
CopyResult combineFiles(const std::vector<CombinePart>& parts, DestinationFolder& folder,
                        const std::string& name, EndMark mark, bool replace, bool verify);

/// Renames a file or directory to the entry `name` of `folder`, replacing an existing
/// file only when `replace`. Across file systems a file is copied, verified and only then
/// removed at its old place; a directory fails there with EXDEV.
CopyResult movePath(const std::string& source, DestinationFolder& folder,
                    const std::string& name, bool replace);

/// Creates the directory and the missing ones above it: 0 or errno (ENOTDIR when a
/// level is a file). Unlike the library's createDirectories it knows no Windows name
/// rules and tells why it failed.
int makeDirectories(const std::string& path);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_FILE_OPS_H_
