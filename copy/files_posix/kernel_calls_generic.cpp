#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "copy/files_posix/kernel_calls.h"

namespace copy::files {

// Kernels other than Linux: the portable ways (read and write; a named temporary file;
// a hard link to claim a name) serve instead.

int kernelCopy(int, int, off_t&) { return ENOTSUP; }

KernelCalls::KernelCalls() : unnamedFilesLinkable_(false), fileSystemFlushReports_(false) {}

int KernelCalls::renameExclusive(int, const char*, int, const char*) { return ENOTSUP; }

int KernelCalls::openUnnamedFile(int, mode_t, int& fd) {
  fd = -1;
  return ENOTSUP;
}

int KernelCalls::linkUnnamedFile(int, int, const char*) { return ENOTSUP; }

int KernelCalls::linkByDescriptor(int, int, const char*) { return ENOTSUP; }

bool onOneMount(int a, int b) {
  struct stat one, other;
  return fstat(a, &one) == 0 && fstat(b, &other) == 0 && one.st_dev == other.st_dev;
}

// No O_PATH: a folder is opened for reading (for searching, where the kernel can).
int openFolderForNames(int at, const char* folder, bool noFollow) {
#ifdef O_SEARCH
  const int access = O_SEARCH;
#else
  const int access = O_RDONLY;
#endif
  return openat(at, folder, access | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
}

// Their extended attributes differ from Linux's calls, and are not copied.
int copyExtendedAttributes(int, int) { return 0; }

// No procfs of Linux's kind: every size is the end.
bool sizeMayLie(int) { return false; }

// Without O_PATH a file could be held only by opening it, which its bits may refuse.
int holdEntry(int, const char*) { return -1; }

// fdatasync is not everywhere (macOS); fsync is.
int flushData(int fd) { return fsync(fd); }

// Where syncfs exists, whether it reports failures to write out is not known.
int KernelCalls::flushFileSystem(int) { return ENOTSUP; }

// Which file systems write out nothing at close is not told here the same way on
// every kernel.
bool KernelCalls::fileSystemIsLocal(int) { return false; }

mode_t readUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool folderIsAppendOnly(int at) {
  // The BSD kernels (macOS too) keep the append-only flags in the status; a kernel
  // without them has no such folders this code could tell.
#if defined(UF_APPEND) && defined(SF_APPEND)
  struct stat status;
  return fstat(at, &status) == 0 && (status.st_flags & (UF_APPEND | SF_APPEND)) != 0;
#else
  (void)at;
  return false;
#endif
}

int dressNewLink(int at, const char* name, const struct stat& like) {
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(like)};
  if (fchownat(at, name, like.st_uid, like.st_gid, AT_SYMLINK_NOFOLLOW) != 0 && errno != EPERM)
    return errno;
  return utimensat(at, name, times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

struct timespec modificationTime(const struct stat& status) {
#ifdef __APPLE__
  return status.st_mtimespec;
#else
  return status.st_mtim;
#endif
}

}  // namespace copy::files
