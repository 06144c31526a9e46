#ifndef PELQUIST_COPY_FILE_LAYER_H_
#define PELQUIST_COPY_FILE_LAYER_H_

#include <memory>

namespace copy {

/// What every file operation of the process shares, made once by main before any copy
/// and handed to what copies: on POSIX the kernel's calls and the process's umask, read
/// here once (file_layer_posix.cpp); nothing on Windows (file_layer_win32.cpp). It holds
/// no cache: what is learnt of a folder belongs to the folder's own object.
class FileLayer {
 public:
  FileLayer();
  ~FileLayer();
  FileLayer(const FileLayer&) = delete;
  FileLayer& operator=(const FileLayer&) = delete;

  /// The platform's part, defined where it is used.
  struct Parts;
  Parts& parts() const { return *parts_; }

 private:
  const std::unique_ptr<Parts> parts_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_FILE_LAYER_H_
