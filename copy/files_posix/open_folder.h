#ifndef PELQUIST_COPY_FILES_POSIX_OPEN_FOLDER_H_
#define PELQUIST_COPY_FILES_POSIX_OPEN_FOLDER_H_

// Inside the file operations only: the folder that new files are made in, kept open.

#include <memory>
#include <string>

namespace copy::files {

/// A folder held open while files are made and named in it: relative to its descriptor
/// the kernel looks up one name for each file, not the folder's whole path, and a file
/// takes its name in the folder where it was made. Closed when the last holder lets go.
class OpenFolder {
 public:
  explicit OpenFolder(int fd) : fd_(fd) {}
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  int fd() const { return fd_; }

 private:
  const int fd_;
};

/// The folder at the absolute `path` open, shared with the other files being made there:
/// the last folder asked for stays open for the next file. Null for a relative path
/// (the process may change its directory), and where it cannot be opened so (other
/// kernels, a missing folder, no descriptor left): the file is then made by its path.
std::shared_ptr<const OpenFolder> openFolder(const std::string& path);

/// Lets go of the folder kept open: its path may lead to another folder from now on.
void forgetOpenFolder();

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_OPEN_FOLDER_H_
