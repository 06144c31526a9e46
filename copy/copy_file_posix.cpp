#include <cerrno>

#include "copy/copy_file.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/posix/file_copy.h"
#include "quillkit/filesystem/posix/native_path.h"

namespace posix = quillkit::posix;

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  posix::CopyOptions options;
  options.replace = forceWrite;
  const posix::CopyResult result = posix::copyFile(
      posix::toNativePath(source.data()), posix::toNativePath(destination.data()), options);
  // Like CopyFileA's GetLastError, the reason stays in the system's last error.
  errno = result.sameFile ? static_cast<int>(quillkit::kErrorSameFile) : result.error;
  return result.succeeded();
}

struct ReplacingCopies::Pending {
  posix::PendingCopy copy;
  posix::CopyResult written;
  uint64_t bytes = 0;
  bool flushed = false;
};

ReplacingCopies::ReplacingCopies() = default;
ReplacingCopies::~ReplacingCopies() = default;

void ReplacingCopies::start(const std::string& destination, const std::string& source) {
  posix::CopyOptions options;
  options.replace = true;
  pending_.push_back(std::make_unique<Pending>());
  Pending& next = *pending_.back();
  next.written = next.copy.write(posix::toNativePath(source.c_str()),
                                 posix::toNativePath(destination.c_str()), options);
  if (next.written.succeeded()) next.bytes = static_cast<uint64_t>(next.copy.size());
  bytes_ += next.bytes;
}

bool ReplacingCopies::finishNext() {
  // One flush of the file system puts every started copy on disk at once: each then
  // takes its name without a flush of its own.
  Pending& front = *pending_.front();
  if (front.written.succeeded() && !front.flushed && front.copy.flushFileSystem()) {
    for (std::unique_ptr<Pending>& started : pending_) {
      started->copy.markFlushed();
      started->flushed = true;
    }
  }
  std::unique_ptr<Pending> oldest = std::move(pending_.front());
  pending_.pop_front();
  bytes_ -= oldest->bytes;
  const posix::CopyResult result =
      oldest->written.succeeded() ? oldest->copy.commit() : oldest->written;
  errno = result.sameFile ? static_cast<int>(quillkit::kErrorSameFile) : result.error;
  return result.succeeded();
}
