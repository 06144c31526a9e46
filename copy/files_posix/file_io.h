#ifndef PELQUIST_COPY_FILES_POSIX_FILE_IO_H_
#define PELQUIST_COPY_FILES_POSIX_FILE_IO_H_

// Inside the file operations only: descriptors and the reads, writes and checks that
// every operation shares. Answers are 0 or a positive errno value.

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <string>

#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"
#include "quillkit/filesystem/file_identity.h"
#include "quillkit/write_all_posix.h"

namespace copy::files {

/// Closes its descriptor on every way out.
class Descriptor {
 public:
  Descriptor() = default;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int& slot() { return fd_; }

 private:
  int fd_ = -1;
};

/// Opens `path` for reading when it is a regular file and stores the descriptor in
/// `fd` (and its status in `status`): 0, or errno (EISDIR for a directory, EINVAL for a
/// pipe, socket or device, which are never waited on). When `noFollow`, a link there is
/// not followed (ELOOP).
int openRegularFile(const std::string& path, int& fd, struct stat& status,
                    bool noFollow = false);

/// Checks the entry `name` of `folder` before a write that would replace it: 0 when it
/// is missing or a writable file, EBUSY when it is `source` itself (under any name),
/// EISDIR for a directory, EACCES for a file its owner may not write. `exists`, where
/// given, tells whether the destination was there, and `found` what it led to.
int checkReplaceable(DestinationFolder& folder, const std::string& name,
                     const quillkit::FileIdentity& source = quillkit::FileIdentity(),
                     bool* exists = nullptr, quillkit::FileIdentity* found = nullptr);

/// True when two looks at files show the same size, permission bits, owner and
/// modification time (to the nanosecond, which a copy takes from its source): what tells
/// that two names hold one file where identities cannot
/// (DestinationFolder::identitiesHold).
bool sameMarks(const struct stat& a, const struct stat& b);

/// The options of a copy that a move makes of the file it examined (`source`): read
/// back, on disk before the source goes, with the source's owner where the process may.
CopyOptions moveOptions(const quillkit::FileIdentity& source, bool replace);

/// Makes the entry `name` of `folder` a symbolic link with the target text, owner and
/// time of the link `source`, whose status it leaves in `status`; an existing entry is
/// replaced only when `replace`, and only a file that may be (checkReplaceable). 0 or
/// errno.
int copyLink(const std::string& source, DestinationFolder& folder, const std::string& name,
             bool replace, struct stat& status);

/// The write loop is quillkit's, shared with the console.
using quillkit::posix::writeAll;

/// Reads up to `size` bytes, retrying an interrupted read: 0 or errno; `got` is the count.
int readSome(int fd, char* buffer, std::size_t size, std::size_t& got);

/// Compares the whole content of two open files from their starts; `differs` when they
/// are not the same.
CopyResult compareContent(KernelCalls& kernel, int left, int right);

/// Whether the folder of `path` lists an entry spelled byte for byte as the path's last
/// component (KernelCalls::folderLists).
Listed listsExactly(KernelCalls& kernel, const std::string& path);

/// True when `a` and `b`, the same names but for the case of ASCII letters, are one entry
/// spelled two ways: in one folder (the same path, or one entry by this same rule), which
/// does not list both spellings. Where a file system gives each spelling an identity of
/// its own (exFAT through FUSE), only the names tell. False where a folder cannot be
/// listed.
bool oneEntryUnderTwoSpellings(KernelCalls& kernel, const std::string& a, const std::string& b);
/// The same for the file at `source` and the entry `name` of `folder`, whose own listing
/// is read through its descriptor; and where identities cannot tell, two folders are one
/// when a name made in one shows in the other (DestinationFolder::reachedAt).
bool oneEntryUnderTwoSpellings(const std::string& source, DestinationFolder& folder,
                               const std::string& name);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_FILE_IO_H_
