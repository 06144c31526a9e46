#ifndef QUILLKIT_FILESYSTEM_DIRECTORY_READER_POSIX_H_
#define QUILLKIT_FILESYSTEM_DIRECTORY_READER_POSIX_H_

// POSIX build only: the entries of one directory as the file system gives them. Linux
// reads them with getdents64 into a buffer of the reader's own (no stat of the directory,
// as opendir makes); other kernels with opendir and readdir.

#include <sys/types.h>

namespace quillkit {
namespace posix {

/// One entry of a directory, valid until the next call of DirectoryReader::next().
struct DirectoryEntry {
  const char* name;
  /// DT_* as the file system typed it; DT_UNKNOWN where it did not.
  unsigned char type;
  ino_t inode;
};

/// Reads one directory from its start to its end, once.
class DirectoryReader {
 public:
  DirectoryReader() = default;
  ~DirectoryReader();
  DirectoryReader(const DirectoryReader&) = delete;
  DirectoryReader& operator=(const DirectoryReader&) = delete;

  /// Opens the directory `path`: 0 or errno.
  int open(const char* path);
  /// The next entry; false at the end or after an error, which error() then tells.
  bool next(DirectoryEntry& entry);
  /// errno of the read that failed; 0 at a plain end.
  int error() const { return error_; }
  /// The open directory's descriptor.
  int descriptor() const;

 private:
  /// The open directory, as each kernel's reader keeps it.
  struct Stream;
  Stream* stream_ = nullptr;
  int error_ = 0;
};

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_DIRECTORY_READER_POSIX_H_
