#include "copy/file_system.h"

#include <algorithm>

#include "copy/copy_file.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/directory_walker.h"
#include "quillkit/processors.h"

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

CopyOutcome RealFileSystem::copyFile(const std::string& source, const std::string& destination,
                                     bool forceWrite) {
  CopyOutcome outcome;
  outcome.copied = CopyFileWin32(destination, source, forceWrite);
  if (!outcome.copied) {
    // Taken before anything else can replace the system's last error.
    outcome.errorText = quillkit::getLastErrorMessage();
    outcome.shortOfResources = quillkit::lastErrorIsShortOfResources();
  }
  return outcome;
}

FileSystem::CopyThreads RealFileSystem::copyThreads() {
  // One copy per processor this process may use, the caller's thread among them: more
  // threads than busy processors cost more in handing copies over than they gain. Copies
  // that wait on the disk (a replacing copy's flush) or on a network leave the processors
  // idle; more of them at once overlap their waits, and flushes made together are written
  // out together, up to 16 (more gain nothing on a disk). Within what the open files allow.
  const std::size_t most = std::min(std::size_t{16}, copiesTheSystemAllows());
  return {std::min(quillkit::processorsAvailable(), most), most};
}

double RealFileSystem::processorSeconds() { return quillkit::processorSecondsUsed(); }

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
