#ifndef PELQUIST_TESTS_SUPPORT_REFUSING_KERNEL_H_
#define PELQUIST_TESTS_SUPPORT_REFUSING_KERNEL_H_

// POSIX build only: the kernel calls of the file operations as a file system that
// refuses or fails answers them, for the life of the object.

#include <cerrno>
#include <functional>
#include <string>

#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"

/// Stands in for the system's kernel calls while it lives (one at a time, set while no
/// copy runs): each switch makes one call refuse or fail as some file systems do; the
/// others are the system's own.
class RefusingKernel : public copy::files::KernelCalls {
 public:
  RefusingKernel() { use(this); }
  ~RefusingKernel() override { use(nullptr); }
  RefusingKernel(const RefusingKernel&) = delete;
  RefusingKernel& operator=(const RefusingKernel&) = delete;

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
  /// Flushes of a whole file system that fail with this (0: as they would).
  int fileSystemFlushError = 0;
  /// Told "data" before each file is flushed, "file system" before each whole file
  /// system, and "folder" before each folder.
  std::function<void(const char* step)> beforeFlush;

  int renameExclusive(const char* from, const char* to) override {
    return refuseExclusiveRenames ? ENOTSUP : KernelCalls::renameExclusive(from, to);
  }
  int openUnnamedFile(int at, const char* folder, mode_t mode, int& fd) override {
    fd = -1;
    return refuseUnnamedFiles ? ENOTSUP : KernelCalls::openUnnamedFile(at, folder, mode, fd);
  }
  int hardLink(const char* from, const char* to) override {
    return refuseHardLinks ? EPERM : KernelCalls::hardLink(from, to);
  }
  int flushFile(int fd) override {
    note("data");
    return flushError != 0 ? flushError : KernelCalls::flushFile(fd);
  }
  int flushFileSystem(int fd) override {
    note("file system");
    return fileSystemFlushError != 0 ? fileSystemFlushError : KernelCalls::flushFileSystem(fd);
  }
  int flushFolder(const std::string& folder) override {
    note("folder");
    return KernelCalls::flushFolder(folder);
  }
  int closeFile(int fd) override {
    const int error = KernelCalls::closeFile(fd);
    return error != 0 ? error : closeError;
  }
  bool fileSystemIsLocal(const char* folder) override {
    return closeError == 0 && KernelCalls::fileSystemIsLocal(folder);
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
  copy::files::Listed folderLists(const std::string& folder, const std::string& name) override {
    return hideListedNames ? copy::files::Listed::No : KernelCalls::folderLists(folder, name);
  }

 protected:
  int linkByDescriptor(int fd, int at, const char* path) override {
    return refuseLinksByDescriptor ? ENOENT : KernelCalls::linkByDescriptor(fd, at, path);
  }

 private:
  void note(const char* step) {
    if (beforeFlush) beforeFlush(step);
  }
  static void use(KernelCalls* kernel) {
    copy::files::kernelInUse = kernel;
    copy::files::forgetFolders();  // what was learnt of folders came from another kernel
  }
};

#endif  // PELQUIST_TESTS_SUPPORT_REFUSING_KERNEL_H_
