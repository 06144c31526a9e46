#include <ostream>
#include <string>

#include "app/copy_application.h"
#include "app/texts.h"
#include "copy/copy_file.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/directory_walker.h"
#include "quillkit/filesystem/find_primitives.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/platform.h"

namespace {

// True when a find-first lookup of `path` names a directory.
bool directoryFound(const std::string& path) {
  quillkit::FindBlock* block = quillkit::allocateFindBlock();
  if (block == nullptr) return false;
  bool found = quillkit::findFirstEntry(block, path.c_str()) == quillkit::kFindOk;
  bool directory =
      found && (quillkit::entryIsSubDirectory(block) || quillkit::entryIsDots(block));
  if (found) quillkit::closeFind(block);
  quillkit::freeFindBlock(&block);
  return directory;
}

quillkit::PathParts splitPath(const std::string& path) {
  quillkit::PathParts parts;
  parts.split(path);
  return parts;
}

bool isAbsolute(const std::string& path) { return quillkit::isAbsolutePath(path.c_str()); }

// `path` joined to the current directory.
std::string fromCurrentDirectory(const std::string& path) {
  std::string joined = SafeGetCurrentDirectory();
  quillkit::appendPath(joined, path);
  return joined;
}

/// One collect-copy run: gathers every file below the source directory whose name
/// matches the source's pattern into the destination directory, with its trace.
class CollectCopyRun {
 public:
  CollectCopyRun(std::ostream& console, std::string source, std::string destination,
              bool forceWrite)
      : console_(console),
        source_(std::move(source)),
        destination_(std::move(destination)),
        forceWrite_(forceWrite) {}

  bool run() {
    quillkit::PathParts full =
        splitPath(isAbsolute(source_) ? source_ : fromCurrentDirectory(source_));
    sourceDirectory_ = full.drive + full.dir;
    prepareDestination();
    quillkit::PathParts typed = splitPath(source_);
    std::string pattern = typed.fname + typed.ext;
    traceInputs(pattern);

    quillkit::DirectoryWalker walker;
    walker.reset(pattern, sourceDirectory_);
    line(texts::kTraceResetDone);
    if (!walker.find()) {
      line(texts::kTraceFindFailed);
      return false;
    }
    line(texts::kTraceFindDone);
    bool result = true;

    console_ << std::endl;
    line(texts::kTraceCopyTo + destination_);
    line(texts::kTraceCopyToCollected + destinationDirectory_);
    if (!enterSourceDirectory()) return false;
    for (const std::string& path : walker.results)
      if (!collect(path)) result = false;
    line(texts::kTraceEnd);
    return result;
  }

 private:
  void line(const std::string& text) { console_ << text << std::endl; }

  // The destination made absolute; a missing relative one is created.
  void prepareDestination() {
    if (isAbsolute(destination_)) {
      destinationDirectory_ = destination_;
      return;
    }
    destinationDirectory_ = fromCurrentDirectory(destination_);
    if (directoryFound(destinationDirectory_)) return;
    if (quillkit::createDirectories(destinationDirectory_.c_str()) != 0)
      line(texts::kTraceCreateDir + destinationDirectory_ + texts::kTraceCreateDirFailed);
  }

  void traceInputs(const std::string& pattern) {
    line(texts::kTraceStart);
    line(texts::kTraceSource + source_);
    line(texts::kTraceCollected + pattern);
    line(texts::kTraceDestination + destination_);
    line(texts::kTraceCollected + destinationDirectory_);
    line(texts::kTraceCurrentDir + SafeGetCurrentDirectory());
    line(texts::kTraceCollected + sourceDirectory_);
    console_ << texts::kTraceForceWrite << std::boolalpha << forceWrite_ << std::endl;
    console_ << std::endl;
    line(texts::kTraceResetArgs);
    line(texts::kTraceResetArg1 + pattern);
    line(texts::kTraceResetArg2 + sourceDirectory_);
  }

  // An absolute source becomes the current directory; a relative one leaves it.
  bool enterSourceDirectory() {
    if (!isAbsolute(source_)) {
      line(texts::kTraceUnchangedDir + SafeGetCurrentDirectory());
      return true;
    }
    quillkit::PathParts parts = splitPath(source_);
    std::string directory = parts.drive + parts.dir;
    if (!quillkit::changeDirectory(directory, true)) {
      line(texts::kTraceChangeDirFailed + directory);
      return false;
    }
    line(texts::kTraceChangedDir + directory);
    return true;
  }

  // Copies one found file; false only when the copy failed for another reason than
  // an existing destination without force-write.
  bool collect(const std::string& sourcePath) {
    quillkit::PathParts parts = splitPath(sourcePath);
    std::string fileName = parts.fname + parts.ext;
    std::string destinationPath = destinationDirectory_;
    quillkit::appendPath(destinationPath, fileName);
    line(texts::kTraceCopyDest + destinationPath);
    if (destinationPath == sourcePath || destination_ + fileName == sourcePath) return true;
    if (quillkit::pathExists(destinationPath) && !forceWrite_) {
      refuse(destinationPath, sourcePath);
      return true;
    }
    if (CopyFileWin32(destinationPath, sourcePath, forceWrite_)) {
      line(texts::kTraceCopy + destinationPath + texts::kTraceCopySucceeded);
      return true;
    }
    // Kept before the existence test below, which would replace the system's last error.
    uint32_t error = quillkit::lastErrorCode();
    line(texts::kTraceCopy + destinationPath + texts::kTraceCopyFailed);
    if (quillkit::pathExists(destinationPath) && !forceWrite_) {
      refuse(destinationPath, sourcePath);
      return true;
    }
    console_ << texts::kTraceCopyCall << destinationPath << texts::kTraceCopyCallSeparator
             << sourcePath << texts::kTraceCopyCallSeparator << forceWrite_
             << texts::kTraceCopyCallEnd << std::endl;
    quillkit::debugPrintf("%s", errorText(error).c_str());
    line(texts::kTraceLastError + errorText(error));
    return false;
  }

  void refuse(const std::string& destinationPath, const std::string& sourcePath) {
    console_ << texts::kTraceCopyCall << destinationPath << texts::kTraceCopyCallSeparator
             << sourcePath << texts::kTraceCopyCallSeparator << false
             << texts::kTraceCopyCallEnd << std::endl;
    line(texts::kTraceExists);
    line(texts::kTraceUseForceWrite);
  }

  static std::string errorText(uint32_t code) {
    quillkit::ErrorMessage message;
    message.load(code, true);
    return message.text();
  }

  std::ostream& console_;
  const std::string source_;
  const std::string destination_;
  const bool forceWrite_;
  std::string sourceDirectory_;
  std::string destinationDirectory_;
};

}  // namespace

bool CopyApplication::executeCollectCopy(quillkit::StringRef source,
                                         quillkit::StringRef destination, bool forceWrite) {
  return CollectCopyRun(console_, source.textToNul(), destination.textToNul(), forceWrite).run();
}
