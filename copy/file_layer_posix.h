#ifndef PELQUIST_COPY_FILE_LAYER_POSIX_H_
#define PELQUIST_COPY_FILE_LAYER_POSIX_H_

// POSIX build only: what the file layer of the process holds.

#include "copy/file_layer.h"
#include "copy/files_posix/kernel_calls.h"

namespace copy {

struct FileLayer::Parts {
  Parts() : context{kernel, files::readUmask()} {}
  files::KernelCalls kernel;
  /// What the file operations are given: the kernel above, and the umask read once.
  const files::Context context;
};

}  // namespace copy

#endif  // PELQUIST_COPY_FILE_LAYER_POSIX_H_
