#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

#include "copy/destination.h"
#include "copy/file_layer_posix.h"
#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_ops.h"
#include "copy/texts.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/native_path_posix.h"
#include "quillkit/texts.h"

namespace copy {

namespace {

std::string native(const std::string& path) {
  return quillkit::posix::toNativePath(path.c_str());
}

files::CopyOptions optionsFor(bool forceWrite) {
  files::CopyOptions options;
  options.replace = forceWrite;
  return options;
}

/// Why a copy failed, as the trace shows it: the system's text for its errno, except
/// for a destination that is the source itself, for which POSIX has no errno of its own
/// (the file layer answers EBUSY, "Device or resource busy", which would mislead).
std::string reasonOf(const files::CopyResult& result) {
  if (result.sameFile)
    return std::string(quillkit::texts::kErrorMessagePrefix) + texts::kSameFileError;
  quillkit::ErrorMessage message;
  message.load(static_cast<uint32_t>(result.error), true);
  return message.text();
}

/// A copy written into a file without a name (or a temporary one), named at its turn.
class PreparedPosixCopy : public PreparedCopy {
 public:
  explicit PreparedPosixCopy(std::unique_ptr<files::FileCopy> copy) : copy_(std::move(copy)) {}
  void prepare() override { copy_->prepare(); }
  bool ready() const override { return copy_->error() == 0; }
  quillkit::FileIdentity source() const override { return copy_->source(); }
  CopyOutcome takeName() override {
    CopyOutcome outcome;
    const files::CopyResult result = copy_->takeName(&outcome.replaced);
    outcome.copied = result.succeeded();
    if (outcome.copied) outcome.bytes = copy_->size();
    if (!outcome.copied) {
      outcome.errorText = reasonOf(result);
      outcome.shortOfResources =
          quillkit::errorIsShortOfResources(static_cast<uint32_t>(result.error));
      outcome.answerLost = result.answerLost;
    }
    return outcome;
  }

 private:
  const std::unique_ptr<files::FileCopy> copy_;
};

/// The folder's copies, made and named in it through its descriptor.
class PosixDestination : public Destination {
 public:
  PosixDestination(const std::string& folder, const files::Context& context)
      : shown_(folder), folder_(context, native(folder)) {}
  const std::string& folder() const override { return shown_; }
  bool exists(const std::string& name) override {
    return folder_.status(name.c_str(), false).exists();
  }
  bool writeOut() override {
    folder_.writeOut();
    return true;
  }
  std::unique_ptr<PreparedCopy> makeCopy(const std::string& source, const std::string& name,
                                         bool forceWrite) override {
    files::CopyOptions options = optionsFor(forceWrite);
    options.flushWithOthers = true;
    return std::unique_ptr<PreparedCopy>(new PreparedPosixCopy(std::unique_ptr<files::FileCopy>(
        new files::FileCopy(native(source), folder_, name, options))));
  }

 private:
  const std::string shown_;
  files::DestinationFolder folder_;
};

}  // namespace

std::unique_ptr<Destination> openDestination(const std::string& folder,
                                             const FileLayer& files) {
  return std::unique_ptr<Destination>(new PosixDestination(folder, files.parts().context));
}

std::size_t filesForCopiesAhead() {
  struct rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  // Far from any limit that copies prepared ahead could reach: nothing to count.
  constexpr rlim_t kMany = 4096;
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > kMany) return kMany;
  // The descriptors open now, those that the parent left open too, which the limit
  // counts: up to the last of them, taken to be the one before 256 free in a row.
  rlim_t open = 0;
  for (int fd = 0, free = 0; static_cast<rlim_t>(fd) < limit.rlim_cur && free < 256; ++fd) {
    const bool isOpen = fcntl(fd, F_GETFD) != -1;
    open += isOpen ? 1 : 0;
    free = isOpen ? 0 : free + 1;
  }
  return static_cast<std::size_t>(limit.rlim_cur - std::min(open, limit.rlim_cur));
}

}  // namespace copy
