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

bool RealFileSystem::copyFile(const std::string& source, const std::string& destination,
                              bool forceWrite, std::string& errorText) {
  if (CopyFileWin32(destination, source, forceWrite)) return true;
  // Taken before anything else can replace the system's last error.
  errorText = quillkit::getLastErrorMessage();
  return false;
}

// The copies under way are few enough that a terminal shows steady progress, and many
// enough that the data of several goes to disk together.
constexpr std::size_t kCopiesUnderWay = 32;
constexpr uint64_t kBytesUnderWay = 32 << 20;

void RealFileSystem::startReplacingCopy(const std::string& source,
                                        const std::string& destination) {
  replacing_.start(source, destination);
}

bool RealFileSystem::replacingCopiesFull() {
  return replacing_.started() >= kCopiesUnderWay || replacing_.bytesStarted() >= kBytesUnderWay;
}

bool RealFileSystem::finishReplacingCopy(std::string& errorText) {
  const bool finished = replacing_.finishNext();
  if (!finished) errorText = quillkit::getLastErrorMessage();
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
