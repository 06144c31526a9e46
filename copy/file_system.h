#ifndef PELQUIST_COPY_FILE_SYSTEM_H_
#define PELQUIST_COPY_FILE_SYSTEM_H_

#include <cstdint>
#include <list>
#include <string>
#include <utility>

#include "copy/copy_file.h"

/// What a walk found, and what it could not see.
struct FoundFiles {
  /// The full paths of the matching files, in walk order.
  std::list<std::string> files;
  /// Each folder that could not be listed (or not to its end), and each entry passed
  /// over because its name holds a separator, with the error text for why.
  std::list<std::pair<std::string, std::string>> skipped;
  /// The entry limit stopped the walk before it had seen everything.
  bool stoppedAtLimit = false;
};

/// Everything collect-copy asks of the world, so that its trace can be tested without
/// a real tree. RealFileSystem answers through the library's wrappers; tests use a
/// recording fake that can fail any call.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// The current directory; throws std::logic_error("SafeGetCurrentDirectory Error")
  /// when it cannot be read.
  virtual std::string currentDirectory() = 0;
  /// Makes `directory` current, creating it first when nothing of that name exists.
  virtual bool changeDirectory(const std::string& directory) = 0;
  /// Creates the directory and every missing level: 0, -1 on failure, 4 when empty.
  virtual int createDirectories(const std::string& path) = 0;
  /// True when a directory of that name exists.
  virtual bool isDirectory(const std::string& path) = 0;
  /// True when a file or directory of that name exists.
  virtual bool exists(const std::string& path) = 0;
  /// Copies `source` to `destination`, replacing an existing file only when
  /// `forceWrite`. On failure `errorText` is the system's text for why ("ERROR
  /// Message:..."), taken at once.
  virtual bool copyFile(const std::string& source, const std::string& destination,
                        bool forceWrite, std::string& errorText) = 0;
  /// Starts a copy that replaces whatever `destination` holds (a copy with
  /// force-write); started copies are finished, in the same order, by
  /// finishReplacingCopy.
  virtual void startReplacingCopy(const std::string& source,
                                  const std::string& destination) = 0;
  /// True when as many copies are started as should be at once: the caller finishes the
  /// oldest before it starts another.
  virtual bool replacingCopiesFull() = 0;
  /// Finishes the oldest started copy: true when it is in place; otherwise `errorText`
  /// is the system's text for why.
  virtual bool finishReplacingCopy(std::string& errorText) = 0;
  /// Walks `directory` and all below it for the files whose names match `pattern`:
  /// false when the walk failed and found nothing.
  virtual bool findFiles(const std::string& pattern, const std::string& directory,
                         FoundFiles& found) = 0;
};

/// The file system of this process: SafeGetCurrentDirectory, quillkit::changeDirectory,
/// quillkit::createDirectories, quillkit::directoryExists, quillkit::pathExists,
/// CopyFileWin32 and the DirectoryWalker.
class RealFileSystem : public FileSystem {
 public:
  std::string currentDirectory() override;
  bool changeDirectory(const std::string& directory) override;
  int createDirectories(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool exists(const std::string& path) override;
  bool copyFile(const std::string& source, const std::string& destination, bool forceWrite,
                std::string& errorText) override;
  void startReplacingCopy(const std::string& source, const std::string& destination) override;
  bool replacingCopiesFull() override;
  bool finishReplacingCopy(std::string& errorText) override;
  bool findFiles(const std::string& pattern, const std::string& directory,
                 FoundFiles& found) override;

 private:
  ReplacingCopies replacing_;
};

#endif  // PELQUIST_COPY_FILE_SYSTEM_H_
