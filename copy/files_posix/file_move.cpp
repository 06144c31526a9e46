#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_io.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/folder_move.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace copy::files {
namespace {

/// How a destination name that is to be replaced stands to the source's file.
enum class Destination { Elsewhere, AnotherEntry, Unknown };

// AnotherEntry when the destination name reaches the source's file through an entry of
// its own: a hard link, or the target of a source that is a symbolic link. Then the
// destination keeps the file and only the source name has to go (a rename between two
// links of one file would leave both). Two spellings of one entry on a case-insensitive
// file system are not two entries: that entry is renamed, never unlinked. Which of the
// two it is, only the listing of a folder tells; where it cannot be read, a file of
// more than one link is Unknown.
Destination destinationOf(const std::string& source, DestinationFolder& folder,
                          const std::string& name) {
  using quillkit::posix::entryStatus;
  using quillkit::posix::fileStatus;
  const quillkit::posix::FileStatus to = folder.status(name.c_str(), false);
  if (to.isLink) return Destination::Elsewhere;  // the link there is what gets replaced
  const quillkit::posix::FileStatus from = entryStatus(source);
  if (from.isLink)
    return fileStatus(source).identity == to.identity ? Destination::AnotherEntry
                                                      : Destination::Elsewhere;
  if (!(from.identity == to.identity)) return Destination::Elsewhere;
  // An entry lives in one folder: names in two folders are two entries.
  int at;
  const quillkit::FileIdentity here = fileStatus(folderOf(source)).identity;
  const quillkit::FileIdentity there =
      folder.descriptor(at) == 0 ? quillkit::posix::identityOf(at) : quillkit::FileIdentity();
  if (here.known && there.known && !(here == there)) return Destination::AnotherEntry;
  KernelCalls& kernel = folder.kernel();
  const Listed a = listsExactly(kernel, source);
  const Listed b = there.known ? kernel.folderLists(at, ".", name) : Listed::Unknown;
  if (a == Listed::Yes && b == Listed::Yes) return Destination::AnotherEntry;
  struct stat status;
  if ((a == Listed::Unknown || b == Listed::Unknown) && lstat(source.c_str(), &status) == 0 &&
      status.st_nlink > 1)
    return Destination::Unknown;
  return Destination::Elsewhere;
}

// True when the folder of `source` and `folder` lie on one mount.
bool onOneMountWith(const std::string& source, DestinationFolder& folder) {
  int at;
  const int here = openFolderForNames(AT_FDCWD, folderOf(source).c_str());
  const bool one = here >= 0 && folder.descriptor(at) == 0 && onOneMount(here, at);
  if (here >= 0) close(here);
  return one;
}

// Where the source's file system gives a path's inode number (FUSE, network shares), a
// file saved under the source's name meanwhile keeps the identity: the name, opened
// afresh, must show the size, times and data that were copied (`copied`), which the
// copy `name` in `folder` holds. A name that holds anything else is another's (EBUSY).
int stillHoldsCopy(const std::string& source, DestinationFolder& folder,
                   const std::string& name, const struct stat& copied) {
  Descriptor now, copy;
  struct stat status;
  if (int error = openRegularFile(source, now.slot(), status, true))
    return error == ELOOP ? EBUSY : error;
  KernelCalls& kernel = folder.kernel();
  if (kernel.fileSystemIsLocal(now.get())) return 0;
  if (!sameMarks(status, copied) || status.st_ctime != copied.st_ctime) return EBUSY;
  int at;
  if (int error = folder.descriptor(at)) return error;
  copy.slot() = openat(at, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (copy.get() < 0) return errno;
  // Read from the share, not from what the system keeps of the file the name held.
  posix_fadvise(now.get(), 0, 0, POSIX_FADV_DONTNEED);
  const CopyResult same = compareContent(kernel, now.get(), copy.get());
  return same.error != 0 ? same.error : same.differs ? EBUSY : 0;
}

// Across file systems the source goes only once the destination's name is on disk, so
// that a power cut leaves the file at one place at least; and only while its name still
// leads to the entry that was moved (`moved`), and for a file, still holds what was
// copied into `name` (`copied`): one that another has swapped in or saved there stays
// (EBUSY).
int removeMovedSource(const std::string& source, DestinationFolder& folder,
                      const quillkit::FileIdentity& moved, const std::string& name = "",
                      const struct stat* copied = nullptr) {
  int at;
  if (int error = folder.descriptor(at)) return error;
  if (int error = folder.kernel().flushFolder(at)) return error;
  if (quillkit::posix::entryStatus(source).identity != moved) return EBUSY;
  if (copied != nullptr) {
    if (int error = stillHoldsCopy(source, folder, name, *copied)) return error;
  }
  return unlink(source.c_str()) == 0 ? 0 : errno;
}

// A symbolic link moves as a link: the same target text, owner and time at the
// destination, and only then the source link goes.
int moveLink(const std::string& source, DestinationFolder& folder, const std::string& name,
             bool replace) {
  struct stat status;
  if (int error = copyLink(source, folder, name, replace, status)) return error;
  return removeMovedSource(
      source, folder,
      {true, static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)});
}

}  // namespace

CopyResult movePath(const std::string& source, DestinationFolder& folder,
                    const std::string& name, bool replace) {
  int at;
  if (int error = folder.descriptor(at)) return CopyResult::ofError(error);
  int error = 0;
  const Destination target =
      replace ? destinationOf(source, folder, name) : Destination::Elsewhere;
  if (target == Destination::AnotherEntry) {
    error = unlink(source.c_str()) == 0 ? 0 : errno;
  } else if (target == Destination::Unknown) {
    error = EACCES;  // neither name may go on a guess
  } else if (replace) {
    error = renameAt(AT_FDCWD, source.c_str(), at, name.c_str());
  } else {
    error = claimName(AT_FDCWD, source.c_str(), folder, name.c_str());
  }
  if (error != EXDEV) return CopyResult::ofError(error);
  // The source is looked up once: what is copied and removed is the entry seen here,
  // never what another swaps in under its name (a link to a file of the person moving).
  const quillkit::posix::FileStatus status = quillkit::posix::entryStatus(source);
  if (status.isLink) return CopyResult::ofError(moveLink(source, folder, name, replace));
  if (!status.exists()) return CopyResult::ofError(status.error);
  if (status.isDirectory())
    return CopyResult::ofError(
        onOneMountWith(source, folder) ? moveFolderByCopy(source, folder, name) : EXDEV);
  FileCopy copy(source, folder, name, moveOptions(status.identity, replace));
  copy.prepare();
  const CopyResult copied = copy.takeName();
  if (!copied.succeeded()) return copied;
  return CopyResult::ofError(
      removeMovedSource(source, folder, status.identity, name, &copy.sourceStatus()));
}

int makeDirectories(const std::string& path) {
  std::string target = path;
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  const quillkit::posix::FileStatus status = quillkit::posix::fileStatus(target);
  if (status.exists()) return status.isDirectory() ? 0 : ENOTDIR;
  std::size_t slash = target.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (int error = makeDirectories(target.substr(0, slash))) return error;
  }
  if (mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) return errno;
  return 0;
}

}  // namespace copy::files
