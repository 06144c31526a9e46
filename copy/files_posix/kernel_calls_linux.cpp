#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/utsname.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "copy/files_posix/kernel_calls.h"

namespace copy::files {
int kernelCopy(int from, int to, off_t& left) {
  while (left > 0) {
    ssize_t copied = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(left), 0);
    // An early end is the reader's to confirm: kernels that copy_file_range files under
    // /proc answer 0 although they hold text.
    if (copied == 0) return ENOTSUP;
    if (copied > 0) {
      left -= copied;
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
        errno == EBADF || errno == EPERM)
      return ENOTSUP;
    return errno;
  }
  return 0;
}

namespace {

// syncfs reports failures to write out since Linux 5.8; before, it says nothing.
bool fileSystemFlushReports() {
  struct utsname system;
  unsigned major = 0, minor = 0;
  return uname(&system) == 0 && sscanf(system.release, "%u.%u", &major, &minor) == 2 &&
         (major > 5 || (major == 5 && minor >= 8));
}

}  // namespace

// An unnamed file takes its name through its descriptor, or where the kernel refuses
// that, through /proc: without /proc it may not be named at all, and none is made.
KernelCalls::KernelCalls()
    : unnamedFilesLinkable_(access("/proc/self/fd", X_OK) == 0),
      fileSystemFlushReports_(fileSystemFlushReports()) {}

int KernelCalls::renameExclusive(int fromAt, const char* from, int toAt, const char* to) {
  if (renameat2(fromAt, from, toAt, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) return ENOTSUP;
  return errno;
}

int KernelCalls::openUnnamedFile(int at, mode_t mode, int& fd) {
  fd = -1;
  if (!unnamedFilesLinkable_) return ENOTSUP;
  fd = openat(at, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  if (fd >= 0) return 0;
  // Kernels and file systems without O_TMPFILE answer with one of these.
  if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return ENOTSUP;
  return errno;
}

// Linking by the descriptor needs, before Linux 6.10, a privilege
// (CAP_DAC_READ_SEARCH); linking the name under /proc does not. Given up after the first
// refusal.
int KernelCalls::linkUnnamedFile(int fd, int at, const char* name) {
  const bool tried = linkByDescriptorWorks_;
  if (tried) {
    const int error = linkByDescriptor(fd, at, name);
    if (error == 0) return 0;
    // Without the privilege the kernel answers ENOENT, as it does for a missing folder.
    if (error != EPERM && error != ENOENT) return error;
  }
  // The one name under /proc that the program uses: the unnamed file's own.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (linkat(AT_FDCWD, self.c_str(), at, name, AT_SYMLINK_FOLLOW) != 0) return errno;
  if (tried) linkByDescriptorWorks_ = false;
  return 0;
}

int KernelCalls::linkByDescriptor(int fd, int at, const char* name) {
  return linkat(fd, "", at, name, AT_EMPTY_PATH) == 0 ? 0 : errno;
}

bool onOneMount(int a, int b) {
  struct statx one, other;
  if (statx(a, "", AT_EMPTY_PATH, STATX_MNT_ID, &one) != 0 ||
      statx(b, "", AT_EMPTY_PATH, STATX_MNT_ID, &other) != 0)
    return false;
  if ((one.stx_mask & other.stx_mask & STATX_MNT_ID) != 0)
    return one.stx_mnt_id == other.stx_mnt_id;
  // Before Linux 5.8: the device, which each subvolume of a btrfs has its own.
  return one.stx_dev_major == other.stx_dev_major && one.stx_dev_minor == other.stx_dev_minor;
}

int openFolderForNames(int at, const char* folder, bool noFollow) {
  return openat(at, folder, O_PATH | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
}

bool sizeMayLie(int fd) {
  struct statfs status;
  return fstatfs(fd, &status) == 0 &&
         (status.f_type == PROC_SUPER_MAGIC || status.f_type == SYSFS_MAGIC);
}

int holdEntry(int at, const char* name) {
  return openat(at, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
}

int flushData(int fd) { return fdatasync(fd); }

int KernelCalls::flushFileSystem(int fd) {
  if (!fileSystemFlushReports_) return ENOTSUP;
  return syncfs(fd) == 0 ? 0 : errno;
}

bool KernelCalls::fileSystemIsLocal(int at) {
  struct statfs status;
  if (fstatfs(at, &status) != 0) return false;
  switch (status.f_type) {
    case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
      return true;
    default:
      return false;
  }
}

mode_t readUmask() {
  // "Umask:\t0022" since Linux 4.7.
  if (FILE* status = fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && fgets(line, sizeof line, status) != nullptr)
      found = sscanf(line, "Umask: %o", &mask) == 1;
    fclose(status);
    if (found) return static_cast<mode_t>(mask);
  }
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool folderIsAppendOnly(int at) {
  const int fd = openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  const bool appendOnly = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL);
  close(fd);
  return appendOnly;
}

int copyExtendedAttributes(int from, int to) {
  std::string names(256, '\0'), value;
  ssize_t length;
  while ((length = flistxattr(from, &names[0], names.size())) < 0 && errno == ERANGE)
    names.resize(names.size() * 4);
  if (length < 0) return errno == ENOTSUP ? 0 : errno;
  for (std::size_t at = 0; at < static_cast<std::size_t>(length);
       at += std::strlen(&names[at]) + 1) {
    const char* name = &names[at];
    ssize_t size = fgetxattr(from, name, nullptr, 0);
    if (size < 0) continue;  // gone, or not readable by this process
    value.resize(static_cast<std::size_t>(size));
    size = fgetxattr(from, name, &value[0], value.size());
    if (size < 0) continue;
    if (fsetxattr(to, name, value.data(), static_cast<std::size_t>(size), 0) != 0 &&
        errno != EPERM && errno != ENOTSUP && errno != EACCES)
      return errno;
  }
  return 0;
}

int dressNewLink(int at, const char* name, const struct stat& like) {
  const int fd = openat(at, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat status;
  int error = fstat(fd, &status) == 0 ? 0 : errno;
  // A link this process made is its own: anything else was put there by another.
  if (error == 0 && (!S_ISLNK(status.st_mode) || status.st_uid != geteuid())) error = EBUSY;
  if (error == 0 && fchownat(fd, "", like.st_uid, like.st_gid, AT_EMPTY_PATH) != 0 &&
      errno != EPERM)
    error = errno;
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(like)};
  if (error == 0 && utimensat(fd, "", times, AT_EMPTY_PATH) != 0) error = errno;
  close(fd);
  return error;
}

struct timespec modificationTime(const struct stat& status) {
  return status.st_mtim;
}

}  // namespace copy::files
