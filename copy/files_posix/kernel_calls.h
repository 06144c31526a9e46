#ifndef PELQUIST_COPY_FILES_POSIX_KERNEL_CALLS_H_
#define PELQUIST_COPY_FILES_POSIX_KERNEL_CALLS_H_

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

#include <cstddef>
#include <string>

namespace files {

// Inside the file operations only: the fast and exclusive calls that only some kernels
// offer. Linux has them (kernel_calls_linux.cpp); elsewhere they report ENOTSUP and the
// caller takes its portable way (kernel_calls_generic.cpp). The calls every kernel makes
// alike, and the tests' switches for them, are in kernel_calls.cpp.

/// Copies up to `left` bytes from the current offset of `from` to that of `to` inside
/// the kernel, which shares the blocks (a reflink) where the file system can, as XFS
/// and btrfs do, counting `left` down: 0 when all are copied; ENOTSUP when the kernel
/// cannot for these files or stops early (a file under /proc can say it has ended), so
/// the caller reads and writes the rest from the offsets reached; any other errno is a
/// real failure.
int kernelCopy(int from, int to, off_t& left);

/// Renames `from` to `to` only when `to` does not exist. 0 when done, EEXIST when it
/// exists, ENOTSUP when the kernel or file system has no such rename.
int renameExclusive(const char* from, const char* to);
/// Tests only: makes renameExclusive answer ENOTSUP, so that a name is claimed by a hard
/// link as where the kernel has no exclusive rename.
void refuseExclusiveRenamesForTesting(bool refuse);

/// Opens a new file without a name in `folder`, for reading and writing, with the
/// permission bits `mode` less the umask: 0 and `fd`; ENOTSUP where the kernel or the
/// file system has no unnamed files (or a test refuses them); another errno (ENOENT
/// for a missing folder) when the folder cannot take a file at all.
int openUnnamedFile(const char* folder, mode_t mode, int& fd);
/// Gives the unnamed file `fd` the name `path` only when no entry has that name: 0,
/// EEXIST, or errno.
int linkUnnamedFile(int fd, const char* path);
/// Tests only: makes the kernel refuse to link an unnamed file by its descriptor, as
/// kernels before 6.10 do for an unprivileged user, so that it is linked by its name
/// under /proc.
void refuseLinksByDescriptorForTesting(bool refuse);
/// Writes the data of the file `fd` to disk and waits (fdatasync, or fsync where there
/// is none): 0 or -1 with errno. The one call of these that differs by kernel.
int flushData(int fd);
/// flushFile(fd): flushData, or the failure a test asks for: 0 or errno (EINVAL when
/// the file system has no flush at all).
int flushFile(int fd);
/// Writes the entries of `folder` to disk and waits (fsync of the folder), so that a
/// name placed there outlives a power cut: 0 or errno. Where the file system has no such
/// flush (EINVAL) it counts as done; a folder that may be written but not read is
/// flushed with everything else (sync).
int flushFolder(const std::string& folder);
/// The steps that make a move durable, as a test sees them: "data" (flushFile),
/// "folder" (flushFolder), each told before it is taken.
using DurableStepObserver = void (*)(const char* step);
/// Tests only: tells `observer` of each durable step (nullptr: none).
void observeDurableStepsForTesting(DurableStepObserver observer);
/// Closes `fd`: 0, or the errno with which the file system refused the file at close
/// (network and FUSE file systems write out then). The descriptor is gone either way.
int closeFile(int fd);
/// True where `folder` is on a local file system that writes out nothing at close
/// (ext2, ext3, ext4, XFS, btrfs, tmpfs), so that closing a file there cannot fail;
/// false elsewhere (network and FUSE file systems), and where it cannot be told.
bool fileSystemIsLocal(const char* folder);
/// Tests only: true while failFlushAndCloseForTesting makes closeFile fail.
bool closeFailsForTesting();
/// Tests only: makes flushFile fail with `flushError` and closeFile with `closeError`
/// (0: as they would), as a file system that accepts the writes and refuses them at
/// flush or close, or has no flush at all (EINVAL).
void failFlushAndCloseForTesting(int flushError, int closeError);
/// True where the kernel has unnamed files at all (a file system may still refuse).
bool kernelHasUnnamedFiles();
/// Tests only: makes openUnnamedFile refuse, so that the named fallback is taken.
void refuseUnnamedFilesForTesting(bool refuse);
/// True when the folder of `path` lists an entry spelled byte for byte as the path's last
/// component: a case-insensitive file system finds an entry under other spellings too,
/// so two names of one file may be one entry there. False when the folder cannot be
/// listed. The same on every kernel (file_move.cpp).
bool listsExactName(const std::string& path);
/// True when `a` and `b`, the same names but for the case of ASCII letters, are one entry
/// spelled two ways: in one folder (the same path, or one entry by this same rule), which
/// does not list both spellings. Where a file system gives each spelling an identity of its own
/// (exFAT through FUSE), only the names tell. False where a folder cannot be listed.
/// (file_move.cpp)
bool oneEntryUnderTwoSpellings(const std::string& a, const std::string& b);
/// Tests only: makes listsExactName answer false, as a case-insensitive file system does
/// for a name typed in another case than its entry's.
void hideExactNamesForTesting(bool hide);

/// One read of up to `size` bytes of `fd` at `offset` (pread): the count, 0 at the end,
/// or -1 with errno. Any file system may answer fewer bytes than asked or EINTR (FUSE
/// with direct_io answers what it likes).
ssize_t readAt(int fd, char* buffer, std::size_t size, off_t offset);
/// Tests only: makes every other readAt fail with EINTR and the others read at most 1000
/// bytes, as a FUSE file system opened with direct_io may.
void shortenReadsForTesting(bool shorten);

/// Makes `to` another name of the file `from`: 0 or errno (EPERM or ENOTSUP where the
/// file system has no hard links).
int hardLink(const char* from, const char* to);
/// Tests only: makes hardLink answer EPERM, as on a file system without hard links.
void refuseHardLinksForTesting(bool refuse);
/// Fills `bytes` from the system's random source (getentropy), which no other process can
/// foresee: for names that others must not be able to take first. 0, or errno where the
/// kernel has no random source (ENOSYS).
int randomBytes(unsigned char* bytes, std::size_t count);

/// True when names can be added to `folder` but not removed (an append-only folder):
/// a temporary name made there would stay for good.
bool folderIsAppendOnly(const char* folder);

/// Gives the open file `to` every extended attribute of `from` (user.*, and where the
/// process may, security.capability and the rest): 0 or errno. Attributes the process may
/// not set, or the file system does not keep, are passed over; kernels without extended
/// attributes have none to give (kernel_calls_generic.cpp).
int copyExtendedAttributes(int from, int to);

/// Gives the symbolic link `path`, which this process has just made, the owner (where the
/// process may) and modification time of `like`: 0 or errno. Linux changes the link it
/// opens, never a name: where another user has swapped the name for something else
/// (a hard link to a file of the person running), that is left alone and the answer is
/// EBUSY. Other kernels change the link by its name.
int dressNewLink(const char* path, const struct stat& like);

/// A path that reaches the folder open as `fd` (found at `path`) itself, whatever is
/// renamed or linked in the path later: Linux names an open folder under
/// /proc/self/fd. Elsewhere, and where /proc is missing, `path`.
std::string pathOfOpenFolder(int fd, const std::string& path);

/// The modification time of `status` to the nanosecond (the field's name differs
/// between kernels).
struct timespec modificationTime(const struct stat& status);

}  // namespace files

#endif  // PELQUIST_COPY_FILES_POSIX_KERNEL_CALLS_H_
