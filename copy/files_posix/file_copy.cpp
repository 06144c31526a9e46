#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "copy/files_posix/file_io.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"

namespace files {
namespace {

// Plain read/write from the descriptors' current offsets to the end of `from`.
int copyByReading(int from, int to) {
  static constexpr std::size_t kChunk = 1 << 17;
  std::string buffer(kChunk, '\0');
  for (;;) {
    std::size_t got = 0;
    if (int error = readSome(from, &buffer[0], kChunk, got)) return error;
    if (got == 0) return 0;
    if (int error = writeAll(to, buffer.data(), got)) return error;
  }
}

// The kernel's ways first; where it declines, the data is read and written.
int copyData(int from, int to, const struct stat& source) {
  int error = kernelCopy(from, to, source.st_dev, source.st_size);
  return error == ENOTSUP ? copyByReading(from, to) : error;
}

}  // namespace

PendingCopy::PendingCopy() : file_(new PendingFile) {}
PendingCopy::~PendingCopy() = default;

CopyResult PendingCopy::write(const std::string& source, const std::string& destination,
                              const CopyOptions& options) {
  options_ = options;
  Descriptor in;
  struct stat status;
  if (int error = openRegularFile(source, in.slot(), status)) return CopyResult::ofError(error);
  size_ = status.st_size;
  // A copy that does not replace learns of an existing destination when it claims the
  // name; one that replaces checks it before anything is written.
  if (options.replace) {
    const quillkit::FileIdentity self = {true, static_cast<uint64_t>(status.st_dev),
                                         static_cast<uint64_t>(status.st_ino)};
    if (int error = checkReplaceable(destination, self)) {
      CopyResult refused = CopyResult::ofError(error);
      refused.sameFile = error == EBUSY;
      return refused;
    }
  }
  mode_t mode = status.st_mode & 0777;
  if (options.makeWritable) mode |= S_IWUSR;
  if (int error = file_->create(destination, mode)) return CopyResult::ofError(error);
  const int out = file_->descriptor();
  if (int error = copyData(in.get(), out, status)) return CopyResult::ofError(error);
  if (options.verify) {
    CopyResult compared = compareContent(in.get(), out);
    if (!compared.succeeded()) return compared;
  }
  if (options.keepOwner && fchown(out, status.st_uid, status.st_gid) != 0 && errno != EPERM)
    return CopyResult::ofError(errno);
  if (!file_->hasMode(mode) && fchmod(out, mode) != 0) return CopyResult::ofError(errno);
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(status)};
  if (futimens(out, times) != 0) return CopyResult::ofError(errno);
  return CopyResult();
}

bool PendingCopy::flushFileSystem() {
  return file_->descriptor() >= 0 && files::flushFileSystem(file_->descriptor()) == 0;
}

void PendingCopy::markFlushed() { file_->markFlushed(); }

CopyResult PendingCopy::commit() {
  return CopyResult::ofError(file_->commit(options_.replace, options_.durable));
}

CopyResult copyFile(const std::string& source, const std::string& destination,
                    const CopyOptions& options) {
  PendingCopy copy;
  CopyResult written = copy.write(source, destination, options);
  return written.succeeded() ? copy.commit() : written;
}

}  // namespace files
