#ifndef PELQUIST_COPY_FILES_POSIX_FLUSH_BATCH_H_
#define PELQUIST_COPY_FILES_POSIX_FLUSH_BATCH_H_

// Inside the file operations only: the flushes of copies written ahead of their naming
// into one folder, made together.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace copy::files {

class KernelCalls;

/// Where many copies that must be on disk before they take their names are written
/// ahead into one folder of a local file system, one flush of the whole file system
/// (syncfs) writes out every copy written before it: one flush of the disk's cache for
/// many files, where each file's own flush costs one (ext4 without a journal flushes the
/// cache for each). Such a flush reports the failures of writing out that came after its
/// descriptor was opened: the batch opens the folder once copies wait together (a copy
/// waiting alone never costs a descriptor), and only files created after that are
/// flushed with it; the others, a file waiting alone, and every file where the kernel's
/// flush of a file system reports no failures are flushed on their own. After a failure,
/// each file that joined is, and the batch starts afresh once they are all named. One
/// batch belongs to one folder (DestinationFolder), and any thread may use it. Once many
/// files wait, the thread that writes the next one starts the flush, ahead of their
/// names: the thread that names the files in turn then finds them on disk, or waits for
/// the flush under way, instead of flushing while the names wait.
class FlushBatch {
 public:
  explicit FlushBatch(KernelCalls& kernel) : kernel_(kernel) {}
  ~FlushBatch();
  FlushBatch(const FlushBatch&) = delete;
  FlushBatch& operator=(const FlushBatch&) = delete;

  /// Asked as a file is created: what it shows to flush() when it is named.
  std::uint64_t generation();
  /// The file is written and must be on disk before it is named: true when it joins the
  /// batch (flush() then makes sure of it), with its `ticket`; false when it must be
  /// flushed on its own now (the folder is not on a `local` file system, or after a
  /// failure). Where many files wait and no flush is under way, this thread flushes the
  /// file system now.
  bool join(bool local, std::uint64_t& ticket);
  /// The file of `ticket` and `generation`, open as `fd` in the folder open as `folder`,
  /// is about to take its name: 0 when it is on disk, flushed with the others or on its
  /// own, or the errno of its own flush.
  int flush(int folder, int fd, std::uint64_t ticket, std::uint64_t generation);
  /// A file that joined will not take its name.
  void leave();

 private:
  /// A file that joined has left; with the last after a failure, the batch starts anew.
  void left();
  /// After a failure, with no file waiting and no flush under way: the batch starts anew.
  void startAfreshWhenDone();
  /// Flushes the file system through `reference_`, with `lock` let go meanwhile.
  void flushAll(std::unique_lock<std::mutex>& lock);

  KernelCalls& kernel_;
  std::mutex mutex_;
  /// Told when a flush of the file system ends.
  std::condition_variable flushed_;
  /// The folder's descriptor for the flushes (-1 until copies wait together).
  int reference_ = -1;
  /// Counts the openings of the folder: a file is flushed with the others only through
  /// the one opened before it was created.
  std::uint64_t generation_ = 0;
  /// Flushes of the file system started; files whose ticket is below `covered_` are on
  /// disk.
  std::uint64_t started_ = 0;
  std::uint64_t covered_ = 0;
  /// Files joined and not yet flushed or left.
  std::size_t waiting_ = 0;
  bool flushing_ = false;
  bool failed_ = false;
};

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_FLUSH_BATCH_H_
