#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "copy/files_posix/kernel_calls.h"

namespace copy::files {

// Kernels other than Linux: the portable ways (read and write; a named temporary file;
// a hard link to claim a name) serve instead.

int kernelCopy(int, int, off_t&) { return ENOTSUP; }

int KernelCalls::renameExclusive(const char*, const char*) { return ENOTSUP; }

int KernelCalls::openUnnamedFile(int, const char*, mode_t, int& fd) {
  fd = -1;
  return ENOTSUP;
}

int KernelCalls::linkUnnamedFile(int, int, const char*) { return ENOTSUP; }

int KernelCalls::linkByDescriptor(int, int, const char*) { return ENOTSUP; }

int openFolderForNames(const char*) {
  errno = ENOTSUP;
  return -1;
}

// Their extended attributes differ from Linux's calls, and are not copied.
int copyExtendedAttributes(int, int) { return 0; }

// fdatasync is not everywhere (macOS); fsync is.
int flushData(int fd) { return fsync(fd); }

// Where syncfs exists, whether it reports failures to write out is not known.
int KernelCalls::flushFileSystem(int) { return ENOTSUP; }

// Which file systems write out nothing at close is not told here the same way on
// every kernel.
bool KernelCalls::fileSystemIsLocal(const char*) { return false; }

mode_t readUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool folderIsAppendOnly(const char* folder) {
  // The BSD kernels (macOS too) keep the append-only flags in the status; a kernel
  // without them has no such folders this code could tell.
#if defined(UF_APPEND) && defined(SF_APPEND)
  struct stat status;
  return stat(folder, &status) == 0 && (status.st_flags & (UF_APPEND | SF_APPEND)) != 0;
#else
  (void)folder;
  return false;
#endif
}

int dressNewLink(const char* path, const struct stat& like) {
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(like)};
  if (lchown(path, like.st_uid, like.st_gid) != 0 && errno != EPERM) return errno;
  return utimensat(AT_FDCWD, path, times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

std::string pathOfOpenFolder(int, const std::string& path) { return path; }

struct timespec modificationTime(const struct stat& status) {
#ifdef __APPLE__
  return status.st_mtimespec;
#else
  return status.st_mtim;
#endif
}

}  // namespace copy::files
