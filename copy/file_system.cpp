#include "copy/file_system.h"

#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/directory_walker.h"
#include "quillkit/processors.h"

namespace copy {

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

std::unique_ptr<Destination> RealFileSystem::openDestination(const std::string& folder) {
  return copy::openDestination(folder, files_);
}

FileSystem::CopyCapacity RealFileSystem::copyCapacity() {
  return {quillkit::processorsAvailable(), filesForCopiesAhead()};
}

quillkit::ThreadTimes RealFileSystem::threadTimes() { return quillkit::threadTimes(); }

bool RealFileSystem::findFiles(const std::string& pattern, const std::string& directory,
                               FoundFiles& found) {
  quillkit::DirectoryWalker walker;
  walker.reset(pattern, directory);
  walker.onFound = found.onFile;
  const bool succeeded = walker.find();
  for (const quillkit::DirectoryWalker::SkippedDirectory& skipped : walker.skipped)
    found.skipped.emplace_back(skipped.directory, skipped.errorText);
  found.stoppedAtLimit = walker.stoppedAtLimit;
  found.failure = walker.failure;
  return succeeded;
}

}  // namespace copy
