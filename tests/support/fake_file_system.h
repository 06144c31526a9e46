#ifndef PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
#define PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_

#include <algorithm>
#include <chrono>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "copy/file_system.h"

/// A file system in memory for collect-copy: folders and files by their exact path,
/// every call recorded in order, any call made to fail. A copy behaves as the
/// platform's does: without force-write it fails on an existing file.
class FakeFileSystem : public FileSystem {
 public:
  std::string currentDirectory() override {
    record("cwd");
    if (currentDirectoryFails) throw std::logic_error("SafeGetCurrentDirectory Error");
    return current;
  }
  bool changeDirectory(const std::string& directory) override {
    record("cd " + directory);
    if (changeDirectoryFails) return false;
    current = directory;
    return true;
  }
  int createDirectories(const std::string& path) override {
    record("mkdirs " + path);
    if (createResult == 0) directories.insert(path);
    return createResult;
  }
  bool isDirectory(const std::string& path) override {
    record("isdir " + path);
    return directories.count(path) != 0;
  }
  bool exists(const std::string& path) override {
    record("exists " + path);
    std::lock_guard<std::mutex> lock(mutex_);
    return directories.count(path) != 0 || files.count(path) != 0;
  }
  CopyOutcome copyFile(const std::string& source, const std::string& destination,
                       bool forceWrite) override {
    record("copy " + destination + " <- " + source + (forceWrite ? " -fw" : ""));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      mostAtOnce = std::max(mostAtOnce, ++running_);
    }
    auto slow = slowCopies.find(source);
    if (slow != slowCopies.end())
      std::this_thread::sleep_for(std::chrono::milliseconds(slow->second));
    std::lock_guard<std::mutex> lock(mutex_);
    return copy(destination, source, forceWrite);
  }
  CopyThreads copyThreads() override {
    return {firstAtOnce != 0 ? firstAtOnce : atOnce, atOnce};
  }
  /// No processor time is used: copies at once are widened up to atOnce as they come.
  double processorSeconds() override { return 0; }
  bool findFiles(const std::string& pattern, const std::string& directory,
                 FoundFiles& found) override {
    record("find " + pattern + " in " + directory);
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
  /// Destination paths whose copy fails for want of space while others run beside it,
  /// and succeeds alone.
  std::set<std::string> shortOfSpace;
  /// Source paths whose copy takes that many milliseconds.
  std::map<std::string, int> slowCopies;
  /// How many copies collect-copy runs at once at most, and (when not 0) at first.
  std::size_t atOnce = 1;
  std::size_t firstAtOnce = 0;
  /// The most copies that ran at once.
  int mostAtOnce = 0;

  /// Every call, in order: "cwd", "cd D", "mkdirs P", "isdir P", "exists P",
  /// "copy D <- S [-fw]", "find PATTERN in D". With copies at once, in the order
  /// they were made.
  std::vector<std::string> calls;

 private:
  void record(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls.push_back(call);
  }

  CopyOutcome copy(const std::string& destination, const std::string& source, bool forceWrite) {
    CopyOutcome outcome;
    const bool alone = running_-- == 1;
    auto failure = copyFailures.find(destination);
    if (failure != copyFailures.end()) {
      outcome.errorText = failure->second;
      if (failureLeavesFile) files[destination] = "";
      return outcome;
    }
    if (shortOfSpace.count(destination) != 0 && !alone) {
      outcome.errorText = "ERROR Message:No space left on device";
      outcome.shortOfResources = true;
      return outcome;
    }
    if (!forceWrite && (directories.count(destination) != 0 || files.count(destination) != 0)) {
      outcome.errorText = "ERROR Message:exists";
      return outcome;
    }
    auto sourceFile = files.find(source);
    files[destination] = sourceFile != files.end() ? sourceFile->second : std::string();
    outcome.copied = true;
    return outcome;
  }

  std::mutex mutex_;
  /// Copies under way.
  int running_ = 0;
};

#endif  // PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
