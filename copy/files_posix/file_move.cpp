#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/pending_file.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace files {
namespace {

// True when both names are hard links of one file: a rename between them would leave
// both in place.
bool areHardLinks(const std::string& from, const std::string& to) {
  const quillkit::posix::FileStatus a = quillkit::posix::entryStatus(from);
  const quillkit::posix::FileStatus b = quillkit::posix::entryStatus(to);
  return !a.isLink && !b.isLink && a.identity == b.identity;
}

}  // namespace

CopyResult movePath(const std::string& source, const std::string& destination, bool replace) {
  int error = 0;
  if (replace && areHardLinks(source, destination)) {
    // The destination name already holds the file; only the source name has to go.
    error = unlink(source.c_str()) == 0 ? 0 : errno;
  } else if (replace) {
    error = rename(source.c_str(), destination.c_str()) == 0 ? 0 : errno;
  } else {
    error = claimName(source, destination);
  }
  if (error != EXDEV) return CopyResult::ofError(error);
  const quillkit::posix::FileStatus status = quillkit::posix::fileStatus(source);
  if (!status.exists()) return CopyResult::ofError(status.error);
  if (status.isDirectory()) return CopyResult::ofError(EXDEV);
  CopyOptions options;
  options.replace = replace;
  options.verify = true;
  options.durable = true;  // on disk before the source goes
  CopyResult copied = copyFile(source, destination, options);
  if (!copied.succeeded()) return copied;
  return CopyResult::ofError(unlink(source.c_str()) == 0 ? 0 : errno);
}

int makeDirectories(const std::string& path) {
  std::string target = path;
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  const quillkit::posix::FileStatus status = quillkit::posix::fileStatus(target);
  if (status.exists()) return status.isDirectory() ? 0 : ENOTDIR;
  std::size_t slash = target.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (int error = makeDirectories(target.substr(0, slash))) return error;
  }
  if (mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) return errno;
  return 0;
}

}  // namespace files
