#ifndef PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
#define PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_

#include <list>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "copy/file_system.h"

/// A file system in memory for collect-copy: folders and files by their exact path,
/// every call recorded in order, any call made to fail. A copy behaves as the
/// platform's does: without force-write it fails on an existing file.
class FakeFileSystem : public FileSystem {
 public:
  std::string currentDirectory() override {
    calls.push_back("cwd");
    if (currentDirectoryFails) throw std::logic_error("SafeGetCurrentDirectory Error");
    return current;
  }
  bool changeDirectory(const std::string& directory) override {
    calls.push_back("cd " + directory);
    if (changeDirectoryFails) return false;
    current = directory;
    return true;
  }
  int createDirectories(const std::string& path) override {
    calls.push_back("mkdirs " + path);
    if (createResult == 0) directories.insert(path);
    return createResult;
  }
  bool isDirectory(const std::string& path) override {
    calls.push_back("isdir " + path);
    return directories.count(path) != 0;
  }
  bool exists(const std::string& path) override {
    calls.push_back("exists " + path);
    return directories.count(path) != 0 || files.count(path) != 0;
  }
  bool copyFile(const std::string& source, const std::string& destination, bool forceWrite,
                std::string& errorText) override {
    calls.push_back("copy " + destination + " <- " + source + (forceWrite ? " -fw" : ""));
    return copy(destination, source, forceWrite, errorText);
  }
  void startReplacingCopy(const std::string& source, const std::string& destination) override {
    calls.push_back("start " + destination + " <- " + source);
    started.push_back({destination, source});
  }
  bool replacingCopiesFull() override { return started.size() >= batchSize; }
  bool finishReplacingCopy(std::string& errorText) override {
    const std::pair<std::string, std::string> oldest = started.front();
    started.erase(started.begin());
    calls.push_back("finish " + oldest.first);
    return copy(oldest.first, oldest.second, true, errorText);
  }
  bool findFiles(const std::string& pattern, const std::string& directory,
                 FoundFiles& found) override {
    calls.push_back("find " + pattern + " in " + directory);
    found.files = walkResult;
    found.skipped = walkSkipped;
    found.stoppedAtLimit = walkStoppedAtLimit;
    return walkSucceeds;
  }

  // The world as it is.
  std::string current;
  std::set<std::string> directories;
  std::map<std::string, std::string> files;
  std::list<std::string> walkResult;
  /// What the walk could not see: folders with their error texts, the entry limit.
  std::list<std::pair<std::string, std::string>> walkSkipped;
  bool walkStoppedAtLimit = false;

  // Failures to arrange.
  bool currentDirectoryFails = false;
  bool changeDirectoryFails = false;
  int createResult = 0;
  bool walkSucceeds = true;
  /// Destination paths whose copy fails, with the system error text it fails with.
  std::map<std::string, std::string> copyFailures;
  /// A failed copy finds a file of that name in its way (another process made it).
  bool failureLeavesFile = false;
  /// How many replacing copies may be under way at once.
  std::size_t batchSize = 2;

  /// Every call, in order: "cwd", "cd D", "mkdirs P", "isdir P", "exists P",
  /// "copy D <- S [-fw]", "start D <- S", "finish D", "find PATTERN in D".
  std::vector<std::string> calls;

 private:
  bool copy(const std::string& destination, const std::string& source, bool forceWrite,
            std::string& errorText) {
    auto failure = copyFailures.find(destination);
    if (failure != copyFailures.end()) {
      errorText = failure->second;
      if (failureLeavesFile) files[destination] = "";
      return false;
    }
    if (!forceWrite && (directories.count(destination) != 0 || files.count(destination) != 0)) {
      errorText = "ERROR Message:exists";
      return false;
    }
    auto sourceFile = files.find(source);
    files[destination] = sourceFile != files.end() ? sourceFile->second : std::string();
    return true;
  }

  std::vector<std::pair<std::string, std::string>> started;
};

#endif  // PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
