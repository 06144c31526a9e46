#include <cerrno>

#include "copy/copy_file.h"
#include "quillkit/filesystem/posix/file_copy.h"
#include "quillkit/filesystem/posix/native_path.h"

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  quillkit::posix::CopyOptions options;
  options.replace = forceWrite;
  const quillkit::posix::CopyResult result =
      quillkit::posix::copyFile(quillkit::posix::toNativePath(source.data()),
                                quillkit::posix::toNativePath(destination.data()), options);
  // Like CopyFileA's GetLastError, the reason stays in the system's last error.
  errno = result.error;
  return result.succeeded();
}
