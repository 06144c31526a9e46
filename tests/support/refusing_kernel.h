#ifndef PELQUIST_TESTS_SUPPORT_REFUSING_KERNEL_H_
#define PELQUIST_TESTS_SUPPORT_REFUSING_KERNEL_H_

// POSIX build only: the kernel calls of the file operations as a file system that
// refuses or fails answers them, for the life of the object.

#include <cerrno>
#include <functional>
#include <string>

#include "copy/files_posix/kernel_calls.h"

/// Stands in for the system's kernel calls where a test hands its `context` to the file
/// operations: each switch makes one call refuse or fail as some file systems do; the
/// others, and all of them while no switch is set, are the system's own.
class RefusingKernel : public copy::files::KernelCalls {
 public:
  RefusingKernel() = default;

  /// The kernel calls of this object, and the process's umask.
  const copy::files::Context context{*this, copy::files::readUmask()};

  /// No exclusive rename, as other kernels and some file systems.
  bool refuseExclusiveRenames = false;
  /// No unnamed files.
  bool refuseUnnamedFiles = false;
  /// No link by descriptor, as kernels before 6.10 for an unprivileged user.
  bool refuseLinksByDescriptor = false;
  /// No hard links.
  bool refuseHardLinks = false;
  /// Every other read interrupted (EINTR), the others at most 1000 bytes, as FUSE with
  /// direct_io may answer.
  bool shortenReads = false;
  /// No name listed, as a case-insensitive file system for a name typed in another case.
  bool hideListedNames = false;
  /// Flushes and closes that fail with these (0: as they would): a file system that
  /// refuses the writes at flush or close, or has no flush (EINVAL). A failing close
  /// makes every file system count as one that writes out at close.
  int flushError = 0, closeError = 0;
  /// Every file system counts as one that writes out at close (a network's).
  bool remote = false;
  /// Flushes of a whole file system that fail with this (0: as they would).
  int fileSystemFlushError = 0;
  /// Told "data" before each file is flushed, "file system" before each whole file
  /// system, and "folder" before each folder.
  std::function<void(const char* step)> beforeFlush;
  /// Told before each new file is made.
  std::function<void()> beforeCreate;

  int renameExclusive(int fromAt, const char* from, int toAt, const char* to) override {
    return refuseExclusiveRenames ? ENOTSUP
                                  : KernelCalls::renameExclusive(fromAt, from, toAt, to);
  }
  int openUnnamedFile(int at, mode_t mode, int& fd) override {
    fd = -1;
    if (beforeCreate) beforeCreate();
    return refuseUnnamedFiles ? ENOTSUP : KernelCalls::openUnnamedFile(at, mode, fd);
  }
  int hardLink(int fromAt, const char* from, int toAt, const char* to) override {
    return refuseHardLinks ? EPERM : KernelCalls::hardLink(fromAt, from, toAt, to);
  }
  int flushFile(int fd) override {
    note("data");
    return flushError != 0 ? flushError : KernelCalls::flushFile(fd);
  }
  int flushFileSystem(int fd) override {
    note("file system");
    return fileSystemFlushError != 0 ? fileSystemFlushError : KernelCalls::flushFileSystem(fd);
  }
  int flushFolder(int at) override {
    note("folder");
    return KernelCalls::flushFolder(at);
  }
  int closeFile(int fd) override {
    const int error = KernelCalls::closeFile(fd);
    return error != 0 ? error : closeError;
  }
  bool fileSystemIsLocal(int at) override {
    return closeError == 0 && !remote && KernelCalls::fileSystemIsLocal(at);
  }
  ssize_t readAt(int fd, char* buffer, std::size_t size, off_t offset) override {
    if (shortenReads) {
      static thread_local bool interrupted = false;
      interrupted = !interrupted;
      if (interrupted) {
        errno = EINTR;
        return -1;
      }
      if (size > 1000) size = 1000;
    }
    return KernelCalls::readAt(fd, buffer, size, offset);
  }
  copy::files::Listed folderLists(int at, const char* folder,
                                  const std::string& name) override {
    return hideListedNames ? copy::files::Listed::No
                           : KernelCalls::folderLists(at, folder, name);
  }

 protected:
  int linkByDescriptor(int fd, int at, const char* name) override {
    return refuseLinksByDescriptor ? ENOENT : KernelCalls::linkByDescriptor(fd, at, name);
  }

 private:
  void note(const char* step) {
    if (beforeFlush) beforeFlush(step);
  }
};

#endif  // PELQUIST_TESTS_SUPPORT_REFUSING_KERNEL_H_
