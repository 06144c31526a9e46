#include "copy/file_system.h"

#include "copy/copy_file.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/directory_walker.h"

std::string RealFileSystem::currentDirectory() { return SafeGetCurrentDirectory(); }

bool RealFileSystem::changeDirectory(const std::string& directory) {
  return quillkit::changeDirectory(directory, true);
}

int RealFileSystem::createDirectories(const std::string& path) {
  return quillkit::createDirectories(path.c_str());
}

bool RealFileSystem::isDirectory(const std::string& path) {
  return quillkit::directoryExists(path);
}

bool RealFileSystem::exists(const std::string& path) { return quillkit::pathExists(path); }

bool RealFileSystem::copyFile(const std::string& destination, const std::string& source,
                              bool forceWrite, std::string& errorText) {
  if (CopyFileWin32(destination, source, forceWrite)) return true;
  // Taken before anything else can replace the system's last error.
  errorText = quillkit::getLastErrorMessage();
  return false;
}

// A batch is small enough that a terminal shows steady progress, large enough that the
// data of many files goes to disk together.
constexpr std::size_t kBatchFiles = 32;
constexpr uint64_t kBatchBytes = 32 << 20;

bool RealFileSystem::startReplacingCopy(const std::string& destination,
                                        const std::string& source) {
  bytesStarted_ += replacing_.start(destination, source);
  return replacing_.started() >= kBatchFiles || bytesStarted_ >= kBatchBytes;
}

bool RealFileSystem::finishReplacingCopy(std::string& errorText) {
  const bool finished = replacing_.finishNext();
  if (!finished) errorText = quillkit::getLastErrorMessage();
  if (replacing_.started() == 0) bytesStarted_ = 0;
  return finished;
}

bool RealFileSystem::findFiles(const std::string& pattern, const std::string& directory,
                               FoundFiles& found) {
  quillkit::DirectoryWalker walker;
  walker.reset(pattern, directory);
  const bool succeeded = walker.find();
  found.files.swap(walker.results);
  for (const quillkit::DirectoryWalker::SkippedDirectory& skipped : walker.skipped)
    found.skipped.emplace_back(skipped.directory, skipped.errorText);
  found.stoppedAtLimit = walker.stoppedAtLimit;
  return succeeded;
}
