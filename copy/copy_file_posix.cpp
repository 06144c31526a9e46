#include <cerrno>

#include "copy/copy_file.h"
#include "copy/files_posix/file_ops.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/native_path_posix.h"

namespace {

std::string native(const std::string& path) {
  return quillkit::posix::toNativePath(path.c_str());
}

// Like CopyFileA's GetLastError, the reason stays in the system's last error: true when
// the copy succeeded.
bool leaveLastError(const files::CopyResult& result) {
  errno = result.sameFile ? static_cast<int>(quillkit::kErrorSameFile) : result.error;
  return result.succeeded();
}

}  // namespace

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  files::CopyOptions options;
  options.replace = forceWrite;
  return leaveLastError(
      files::copyFile(native(source.data()), native(destination.data()), options));
}

struct ReplacingCopies::Pending {
  files::PendingCopy copy;
  files::CopyResult written;
  uint64_t bytes = 0;
  bool flushed = false;
};

ReplacingCopies::ReplacingCopies() = default;
ReplacingCopies::~ReplacingCopies() = default;

void ReplacingCopies::start(const std::string& source, const std::string& destination) {
  files::CopyOptions options;
  options.replace = true;
  pending_.push_back(std::make_unique<Pending>());
  Pending& next = *pending_.back();
  next.written = next.copy.write(native(source), native(destination), options);
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
  return leaveLastError(oldest->written.succeeded() ? oldest->copy.commit() : oldest->written);
}
