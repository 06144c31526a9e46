#ifndef PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
#define PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "copy/file_system.h"
#include "quillkit/filesystem/entry_paths.h"

namespace copy {

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
    return directories.count(path) != 0 || findFile(path) != files.end();
  }
  std::unique_ptr<Destination> openDestination(const std::string& folder) override {
    return std::unique_ptr<Destination>(new Folder(*this, folder));
  }
  /// Threads as atOnce says: three open files each beyond the eight kept spare.
  CopyCapacity copyCapacity() override {
    return {firstAtOnce != 0 ? firstAtOnce : atOnce, atOnce > 1 ? 8 + 3 * atOnce : 0};
  }
  /// No processor time is used, and every look finds the thread has slept: copies at
  /// once are widened up to atOnce as they come.
  quillkit::ThreadTimes threadTimes() override { return {0, sleeps_ += 100}; }
  bool findFiles(const std::string& pattern, const std::string& directory,
                 FoundFiles& found) override {
    record("find " + pattern + " in " + directory);
    for (const std::string& path : walkResult) found.onFile(path);
    found.skipped = walkSkipped;
    found.stoppedAtLimit = walkStoppedAtLimit;
    return walkSucceeds;
  }

  // The world as it is.
  std::string current;
  std::set<std::string> directories;
  /// Files by path, with their content. Where foldsCase, a path finds the file whose path
  /// is the same but for the case of its letters, also é and É (as exFAT, SMB and NTFS).
  std::map<std::string, std::string> files;
  bool foldsCase = false;
  /// Sources that are links: read, they give the file at the path they lead to.
  std::map<std::string, std::string> links;
  std::list<std::string> walkResult;
  /// What the walk could not see: folders with their error texts, the entry limit.
  std::list<std::pair<std::string, std::string>> walkSkipped;
  bool walkStoppedAtLimit = false;

  // Failures to arrange.
  bool currentDirectoryFails = false;
  bool changeDirectoryFails = false;
  int createResult = 0;
  bool walkSucceeds = true;
  /// Destination paths whose copy fails to take its name, with the error text.
  std::map<std::string, std::string> copyFailures;
  /// A failed copy finds a file of that name in its way (another process made it).
  bool failureLeavesFile = false;
  /// Destination paths whose copy fails for want of space while other copies are
  /// prepared beside it, and succeeds alone.
  std::set<std::string> shortOfSpace;
  /// The bytes the copies may write: what prepared copies and copied files hold.
  std::size_t capacity = SIZE_MAX;
  /// Source paths whose copy takes that many milliseconds to prepare.
  std::map<std::string, int> slowCopies;
  /// How many copies collect-copy prepares at once at most, and (when not 0) at first.
  std::size_t atOnce = 1;
  std::size_t firstAtOnce = 0;
  /// The most copies that were prepared at once.
  int mostAtOnce = 0;

  /// Every call, in order: "cwd", "cd D", "mkdirs P", "isdir P", "exists P",
  /// "prepare D <- S [-fw]", "name D", "find PATTERN in D". With copies at once, in
  /// the order they were made.
  std::vector<std::string> calls;

 private:
  /// A destination folder: its entries are the fake's files at the joined paths.
  class Folder : public Destination {
   public:
    Folder(FakeFileSystem& fs, const std::string& folder)
        : fs_(fs), folder_(folder), paths_(folder.c_str()) {}
    const std::string& folder() const override { return folder_; }
    bool exists(const std::string& name) override {
      return fs_.exists(paths_.join(name.c_str()));
    }
    std::unique_ptr<PreparedCopy> makeCopy(const std::string& source, const std::string& name,
                                           bool forceWrite) override {
      return std::unique_ptr<PreparedCopy>(
          new Prepared(fs_, source, paths_.join(name.c_str()), forceWrite));
    }

   private:
    FakeFileSystem& fs_;
    const std::string folder_;
    const quillkit::EntryPaths paths_;
  };

  /// A copy whose data the fake takes when it is prepared.
  class Prepared : public PreparedCopy {
   public:
    Prepared(FakeFileSystem& fs, const std::string& source, const std::string& destination,
             bool forceWrite)
        : fs_(fs), sourcePath_(source), destination_(destination), forceWrite_(forceWrite) {}
    void prepare() override {
      fs_.record("prepare " + destination_ + " <- " + sourcePath_ +
                 (forceWrite_ ? " -fw" : ""));
      {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        fs_.mostAtOnce = std::max(fs_.mostAtOnce, ++fs_.preparing_);
      }
      // A slow copy takes its space at the end, as a large file written for a while.
      auto slow = fs_.slowCopies.find(sourcePath_);
      if (slow != fs_.slowCopies.end())
        std::this_thread::sleep_for(std::chrono::milliseconds(slow->second));
      std::lock_guard<std::mutex> lock(fs_.mutex_);
      take();
      --fs_.preparing_;
    }
    /// The source's data, where there is space for it. Under the fake's lock.
    void take() {
      // A source the test did not write is empty; a link must lead to a file.
      auto link = fs_.links.find(sourcePath_);
      auto file = fs_.findFile(link != fs_.links.end() ? link->second : sourcePath_);
      if (file == fs_.files.end() && link != fs_.links.end()) {
        outcome_.errorText = "ERROR Message:missing";
        return;
      }
      if (file != fs_.files.end()) {
        content_ = file->second;
        source_ = fs_.identityOf(file->first);
      }
      const bool othersPrepared = fs_.reserved_ != 0 || fs_.preparing_ > 1;
      if ((othersPrepared && fs_.shortOfSpace.count(destination_) != 0) ||
          fs_.used_ + fs_.reserved_ + content_.size() > fs_.capacity) {
        outcome_.errorText = "ERROR Message:No space left on device";
        outcome_.shortOfResources = true;
        return;
      }
      fs_.reserved_ += content_.size();
      ready_ = true;
    }
    ~Prepared() override {
      std::lock_guard<std::mutex> lock(fs_.mutex_);
      if (ready_) fs_.reserved_ -= content_.size();
    }
    bool ready() const override { return ready_; }
    quillkit::FileIdentity source() const override { return source_; }
    CopyOutcome takeName() override {
      fs_.record("name " + destination_);
      std::lock_guard<std::mutex> lock(fs_.mutex_);
      if (!ready_) return outcome_;
      auto failure = fs_.copyFailures.find(destination_);
      if (failure != fs_.copyFailures.end()) {
        if (fs_.failureLeavesFile) fs_.files[destination_] = "";
        outcome_.errorText = failure->second;
        return outcome_;
      }
      auto existing = fs_.findFile(destination_);
      const bool taken = existing != fs_.files.end() || fs_.directories.count(destination_);
      const bool itself =
          existing != fs_.files.end() && fs_.identityOf(existing->first) == source_;
      if (taken && (!forceWrite_ || itself)) {
        outcome_.errorText = forceWrite_ ? "ERROR Message:same file" : "ERROR Message:exists";
        return outcome_;
      }
      const std::string path = existing != fs_.files.end() ? existing->first : destination_;
      if (existing != fs_.files.end()) {
        outcome_.replaced = fs_.identityOf(path);
        fs_.used_ -= fs_.copiedSizes_[path];
      }
      fs_.files[path] = content_;
      fs_.inodes_[path] = ++fs_.lastInode_;
      fs_.copiedSizes_[path] = content_.size();
      fs_.reserved_ -= content_.size();
      fs_.used_ += content_.size();
      ready_ = false;
      outcome_.copied = true;
      return outcome_;
    }

   private:
    FakeFileSystem& fs_;
    const std::string sourcePath_;
    const std::string destination_;
    const bool forceWrite_;
    bool ready_ = false;
    std::string content_;
    quillkit::FileIdentity source_;
    CopyOutcome outcome_;
  };

  static std::string folded(std::string path) {
    for (char& c : path)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (std::size_t at; (at = path.find("\xC3\xA9")) != std::string::npos;)
      path[at + 1] = '\x89';  // é is É
    return path;
  }
  std::map<std::string, std::string>::iterator findFile(const std::string& path) {
    auto exact = files.find(path);
    if (exact != files.end() || !foldsCase) return exact;
    for (auto file = files.begin(); file != files.end(); ++file)
      if (folded(file->first) == folded(path)) return file;
    return files.end();
  }
  /// A file's identity: another for each time a copy writes it.
  quillkit::FileIdentity identityOf(const std::string& path) {
    auto inode = inodes_.find(path);
    if (inode == inodes_.end()) inode = inodes_.emplace(path, ++lastInode_).first;
    return {true, 1, inode->second};
  }

  void record(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls.push_back(call);
  }

  std::mutex mutex_;
  /// Copies being prepared.
  int preparing_ = 0;
  unsigned long sleeps_ = 0;
  std::map<std::string, uint64_t> inodes_;
  uint64_t lastInode_ = 0;
  /// The bytes of prepared copies, of copied files, and of each copied file.
  std::size_t reserved_ = 0;
  std::size_t used_ = 0;
  std::map<std::string, std::size_t> copiedSizes_;
};

}  // namespace copy

#endif  // PELQUIST_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
