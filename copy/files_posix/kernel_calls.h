#ifndef PELQUIST_COPY_FILES_POSIX_KERNEL_CALLS_H_
#define PELQUIST_COPY_FILES_POSIX_KERNEL_CALLS_H_

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <atomic>
#include <cstddef>
#include <string>

namespace copy::files {

// Inside the file operations only: the calls that differ by kernel and file system.
// Linux has the fast and exclusive ones (kernel_calls_linux.cpp); elsewhere they report
// ENOTSUP and the caller takes its portable way (kernel_calls_generic.cpp). The calls
// every kernel makes alike are in kernel_calls.cpp.

/// Copies up to `left` bytes from the current offset of `from` to that of `to` inside
/// the kernel, which shares the blocks (a reflink) where the file system can, as XFS
/// and btrfs do, counting `left` down: 0 when all are copied; ENOTSUP when the kernel
/// cannot for these files or stops early (a file under /proc can say it has ended), so
/// the caller reads and writes the rest from the offsets reached; any other errno is a
/// real failure.
int kernelCopy(int from, int to, off_t& left);

/// Whether a folder lists an entry spelled byte for byte as a name.
enum class Listed { Yes, No, Unknown };

/// The calls whose answers tell one file system from another: the one seam where a test
/// stands in for a file system that refuses or fails (tests/support/refusing_kernel.h).
/// This class itself makes the system's calls. Answers are 0 or errno unless said. A
/// folder is given as a descriptor `at` and a path relative to it (AT_FDCWD and a path
/// for a path), as the system's *at calls take them.
class KernelCalls {
 public:
  KernelCalls();
  virtual ~KernelCalls() = default;
  KernelCalls(const KernelCalls&) = delete;
  KernelCalls& operator=(const KernelCalls&) = delete;

  /// Renames `from` to `to` only when `to` does not exist: EEXIST when it exists,
  /// ENOTSUP when the kernel or file system has no such rename.
  virtual int renameExclusive(int fromAt, const char* from, int toAt, const char* to);
  /// Opens a new file without a name in the folder open as `at`, for reading and
  /// writing, with the permission bits `mode` less the umask: 0 and `fd`; ENOTSUP where
  /// the kernel or the file system has no unnamed files (or it could not name one: no
  /// /proc on kernels before 6.10); another errno when the folder cannot take a file.
  virtual int openUnnamedFile(int at, mode_t mode, int& fd);
  /// Gives the unnamed file `fd` the name `name` in the folder open as `at` only when no
  /// entry has that name: 0, EEXIST, or errno.
  virtual int linkUnnamedFile(int fd, int at, const char* name);
  /// Writes the data of the file `fd` to disk and waits: EINVAL when the file system has
  /// no flush at all.
  virtual int flushFile(int fd);
  /// Writes out everything of the file system that holds the open `fd` and waits
  /// (syncfs): 0, the errno of a failure to write out since `fd` was opened, or ENOTSUP
  /// where the kernel has no such flush or it reports no failures (Linux before 5.8).
  virtual int flushFileSystem(int fd);
  /// Writes the entries of the folder open as `at` to disk and waits (fsync of the
  /// folder), so that a name placed there outlives a power cut. Where the file system has
  /// no such flush (EINVAL) it counts as done; a folder that may be written but not read
  /// is flushed with everything else (sync).
  virtual int flushFolder(int at);
  /// Closes `fd`: 0, or the errno with which the file system refused the file at close
  /// (network and FUSE file systems write out then). The descriptor is gone either way.
  virtual int closeFile(int fd);
  /// True where the folder open as `at` is on a local file system that writes out
  /// nothing at close (ext2, ext3, ext4, XFS, btrfs, tmpfs), so that closing a file
  /// there cannot fail; false elsewhere (network and FUSE file systems), and where it
  /// cannot be told.
  virtual bool fileSystemIsLocal(int at);
  /// One read of up to `size` bytes of `fd` at `offset` (pread): the count, 0 at the
  /// end, or -1 with errno. Any file system may answer fewer bytes than asked or EINTR
  /// (FUSE with direct_io answers what it likes).
  virtual ssize_t readAt(int fd, char* buffer, std::size_t size, off_t offset);
  /// Makes `to` another name of the file `from` (EPERM or ENOTSUP where the file system
  /// has no hard links).
  virtual int hardLink(int fromAt, const char* from, int toAt, const char* to);
  /// Whether the folder `folder` (relative to `at`) lists an entry spelled byte for byte
  /// `name`: a case-insensitive file system finds an entry under other spellings too.
  /// Unknown when it cannot be listed.
  virtual Listed folderLists(int at, const char* folder, const std::string& name);

 protected:
  /// Linux: links the unnamed file `fd` as `name` through its descriptor, the cheaper
  /// way, which a kernel before 6.10 refuses an unprivileged user (ENOENT);
  /// linkUnnamedFile then links it by its name under /proc, from then on.
  virtual int linkByDescriptor(int fd, int at, const char* name);

 private:
  /// Whether an unnamed file can be named at all: by its descriptor, or through /proc.
  const bool unnamedFilesLinkable_;
  /// Whether syncfs reports failures to write out.
  const bool fileSystemFlushReports_;
  std::atomic<bool> linkByDescriptorWorks_{true};
};

/// What every file operation is given by its caller, made once by main (or a test): the
/// kernel's calls and the process's umask, read before any copy.
struct Context {
  KernelCalls& kernel;
  mode_t umask;
};

/// Opens the folder `folder` (relative to `at`) only to make and name files in it,
/// relative to the descriptor (Linux: O_PATH, which needs no permission to read the
/// folder; elsewhere for reading): the descriptor, or -1 with errno. `noFollow`: a link
/// there is not followed (ELOOP or ENOTDIR).
int openFolderForNames(int at, const char* folder, bool noFollow = false);

/// True where the size of the open file `fd` is not its end: its file system makes its
/// files' contents as they are read (Linux's procfs and sysfs, whose files say 0 or a
/// page and hold text). False for every other file, whose size is where a copy stops.
bool sizeMayLie(int fd);

/// A descriptor that holds the entry `name` of the folder open as `at` (a link itself,
/// not followed) without reading or writing it: the file stays while it is open, even
/// when its last name goes. -1 where it cannot be held (other kernels: no O_PATH).
int holdEntry(int at, const char* name);

/// Writes the data of the file `fd` to disk and waits (fdatasync, or fsync where there
/// is none): 0 or -1 with errno.
int flushData(int fd);

/// Fills `bytes` from the system's random source (getentropy), which no other process can
/// foresee: for names that others must not be able to take first. 0, or errno where the
/// kernel has no random source (ENOSYS).
int randomBytes(unsigned char* bytes, std::size_t count);

/// True when the folders open as `a` and `b` lie on one mount, which a user sees as one
/// drive although the kernel may refuse to rename a folder between them (from the lower
/// layer of an overlay, between two subvolumes of a btrfs). Linux tells the mount; other
/// kernels, where a mount has a device of its own, the device.
bool onOneMount(int a, int b);

/// Removes the entry `name` of the folder open as `at` (-1: `name` is a path): 0 or
/// errno. A file system that refuses to remove a file still open (SMB answers EBUSY) is
/// asked again for up to a second: it learns of a close only after close has returned
/// (FUSE).
int removeName(int at, const char* name);

/// The process's umask. Linux reads it from /proc/self/status, leaving it as it is;
/// other kernels can only set it to learn it, and set it back: for an instant then, a
/// file that another thread creates gets all permission bits. For main, before any
/// other thread starts.
mode_t readUmask();

/// True when names can be added to the folder open as `at` but not removed (an
/// append-only folder): a temporary name made there would stay for good.
bool folderIsAppendOnly(int at);

/// Gives the open file `to` every extended attribute of `from` (user.*, and where the
/// process may, security.capability and the rest): 0 or errno. Attributes the process may
/// not set, or the file system does not keep, are passed over; kernels without extended
/// attributes have none to give (kernel_calls_generic.cpp).
int copyExtendedAttributes(int from, int to);

/// Gives the symbolic link `name` in the folder open as `at`, which this process has just
/// made, the owner (where the process may) and modification time of `like`: 0 or errno.
/// Linux changes the link it opens, never a name: where another user has swapped the name
/// for something else (a hard link to a file of the person running), that is left alone
/// and the answer is EBUSY. Other kernels change the link by its name.
int dressNewLink(int at, const char* name, const struct stat& like);

/// The modification time of `status` to the nanosecond (the field's name differs
/// between kernels).
struct timespec modificationTime(const struct stat& status);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_KERNEL_CALLS_H_
