#ifndef PELQUIST_COPY_FILE_SYSTEM_H_
#define PELQUIST_COPY_FILE_SYSTEM_H_

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <utility>

#include "copy/destination.h"
#include "quillkit/processors.h"

namespace copy {

/// What a walk found, and what it could not see.
struct FoundFiles {
  /// Called with the full path of each matching file, in walk order, as the walk finds
  /// it: once for each file.
  std::function<void(const std::string&)> onFile;
  /// Each folder that could not be listed (or not to its end), and each entry passed
  /// over because its name holds a separator, with the error text for why.
  std::list<std::pair<std::string, std::string>> skipped;
  /// The entry limit stopped the walk before it had seen everything.
  bool stoppedAtLimit = false;
  /// Why the walked folder itself could not be read (or not to its end): the error text
  /// ("ERROR Message:..."); empty when it could, or when the walk did not say.
  std::string failure;
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
  /// The folder that copies go into, held by the caller while it copies. Never null.
  virtual std::unique_ptr<Destination> openDestination(const std::string& folder) = 0;
  /// What copies prepared at once may use: the processors the process may run on, and
  /// how many files they may hold open (0 where copies are not prepared ahead).
  struct CopyCapacity {
    std::size_t processors = 1;
    std::size_t openFiles = 0;
  };
  virtual CopyCapacity copyCapacity() = 0;
  /// What the calling thread has done so far (quillkit::threadTimes).
  virtual quillkit::ThreadTimes threadTimes() = 0;
  /// Walks `directory` and all below it for the files whose names match `pattern`:
  /// false when the walk failed and found nothing.
  virtual bool findFiles(const std::string& pattern, const std::string& directory,
                         FoundFiles& found) = 0;
};

/// The file system of this process: SafeGetCurrentDirectory, quillkit::changeDirectory,
/// quillkit::createDirectories, quillkit::directoryExists, quillkit::pathExists,
/// the platform's destination folder and the DirectoryWalker.
class RealFileSystem : public FileSystem {
 public:
  /// Copies through the process's `files`, which outlive it.
  explicit RealFileSystem(const FileLayer& files) : files_(files) {}
  std::string currentDirectory() override;
  bool changeDirectory(const std::string& directory) override;
  int createDirectories(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool exists(const std::string& path) override;
  std::unique_ptr<Destination> openDestination(const std::string& folder) override;
  CopyCapacity copyCapacity() override;
  quillkit::ThreadTimes threadTimes() override;
  bool findFiles(const std::string& pattern, const std::string& directory,
                 FoundFiles& found) override;

 private:
  const FileLayer& files_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_FILE_SYSTEM_H_
