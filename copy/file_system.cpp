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

bool RealFileSystem::findFiles(const std::string& pattern, const std::string& directory,
                               std::list<std::string>& files) {
  quillkit::DirectoryWalker walker;
  walker.reset(pattern, directory);
  const bool found = walker.find();
  files.swap(walker.results);
  return found;
}
