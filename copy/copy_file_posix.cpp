#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

#include "copy/copy_file.h"
#include "copy/files_posix/file_ops.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/native_path_posix.h"

namespace {

std::string native(const std::string& path) {
  return quillkit::posix::toNativePath(path.c_str());
}

// Like CopyFileA's GetLastError, the reason stays in the system's last error: true when
// the copy succeeded.
bool leaveLastError(const files::CopyResult& result) {
  errno = result.sameFile ? static_cast<int>(quillkit::kErrorSameFile) : result.error;
  return result.succeeded();
}

}  // namespace

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  files::CopyOptions options;
  options.replace = forceWrite;
  return leaveLastError(
      files::copyFile(native(source.data()), native(destination.data()), options));
}

std::size_t copiesTheSystemAllows() {
  struct rlimit limit;
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 64;
  // The standard streams and a few the walk and the libraries hold stay free.
  const rlim_t spare = limit.rlim_cur > 16 ? limit.rlim_cur - 16 : 0;
  return std::max<std::size_t>(1, static_cast<std::size_t>(spare / 3));
}
