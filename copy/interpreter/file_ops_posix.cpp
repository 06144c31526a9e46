#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "copy/copy_file_posix.h"
#include "copy/kernel_calls.h"
#include "copy/interpreter/file_ops.h"
#include "quillkit/filesystem/native_path_posix.h"

namespace shell {
namespace {

std::string native(const std::string& path) {
  return path.empty() ? std::string(".") : quillkit::toNativePath(path.c_str());
}

std::string currentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? buffer : "/";
}

// Reads a source into `out`, up to its first ^Z when asked; `verify` compares instead.
int streamPart(const CombinePart& part, int out, bool verify) {
  int in = posixfile::openRegularFile(native(part.path));
  if (in < 0) return -in;
  std::string buffer(1 << 16, '\0'), written;
  int error = 0;
  for (bool ended = false; !ended && error == 0;) {
    ssize_t got = read(in, &buffer[0], buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    size_t size = static_cast<size_t>(got);
    if (got == 0) ended = true;
    if (part.stopsAtEndMark) {
      const void* mark = std::memchr(buffer.data(), 0x1A, size);
      if (mark != nullptr) {
        size = static_cast<size_t>(static_cast<const char*>(mark) - buffer.data());
        ended = true;
      }
    }
    if (!verify) {
      error = posixfile::writeAll(out, buffer.data(), size);
      continue;
    }
    written.resize(size);
    ssize_t back = read(out, &written[0], size);
    if (back != static_cast<ssize_t>(size) || written.compare(0, size, buffer, 0, size) != 0)
      error = verifyFailedError();
  }
  close(in);
  return error;
}

int renameNoReplace(const std::string& from, const std::string& to) {
  int error = renameExclusive(from.c_str(), to.c_str());
  if (error != ENOTSUP) return error;
  // No exclusive rename here: a hard link claims the name for a file.
  struct stat status;
  if (stat(from.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    if (access(to.c_str(), F_OK) == 0) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  return unlink(from.c_str()) == 0 ? 0 : errno;
}

// A joined file keeps the permission bits of the file it replaces; a new one gets what
// the process's umask leaves of read and write for everyone, as any new file does.
mode_t joinedFileMode(const std::string& target) {
  struct stat status;
  if (stat(target.c_str(), &status) == 0) return status.st_mode & 0777;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

PathInfo inspectPath(const std::string& path) {
  PathInfo info;
  struct stat status;
  if (stat(native(path).c_str(), &status) != 0) {
    info.error = errno;
    return info;
  }
  info.kind = S_ISDIR(status.st_mode) ? PathKind::Directory : PathKind::File;
  info.readOnly = (status.st_mode & S_IWUSR) == 0;
  info.device = status.st_dev;
  info.inode = status.st_ino;
  return info;
}

bool isSameEntry(const PathInfo& a, const PathInfo& b) {
  return a.kind != PathKind::Missing && b.kind != PathKind::Missing && a.device == b.device &&
         a.inode == b.inode;
}

namespace {

// `tail` (names separated by '/') appended to the resolved `head`; a ".." in it takes
// back the name before it, as the system will once the missing folders exist.
std::string joinTail(std::string head, const std::string& tail) {
  size_t start = 0;
  while (start < tail.size()) {
    size_t end = tail.find('/', start);
    if (end == std::string::npos) end = tail.size();
    std::string name = tail.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      size_t slash = head.find_last_of('/');
      head.erase(slash == 0 ? 1 : slash);
      continue;
    }
    if (head != "/") head += '/';
    head += name;
  }
  return head;
}

}  // namespace

std::string fullPath(const std::string& path) {
  std::string absolute = native(path);
  if (absolute[0] != '/') absolute = currentDirectory() + "/" + absolute;
  // Resolve the longest existing head; the rest is kept as written.
  std::string tail;
  for (;;) {
    char resolved[PATH_MAX];
    if (realpath(absolute.c_str(), resolved) != nullptr) return joinTail(resolved, tail);
    size_t slash = absolute.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return native(path);
    std::string name = absolute.substr(slash + 1);
    if (!name.empty() && name != ".") tail = tail.empty() ? name : name + "/" + tail;
    absolute.erase(slash);
  }
}

int copyOneFile(const std::string& source, const std::string& destination, bool replace,
                bool verify, bool makeWritable) {
  posixfile::CopyOptions options;
  options.replace = replace;
  options.verify = verify;
  options.makeWritable = makeWritable;
  return posixfile::copyFile(native(source), native(destination), options);
}

int combineFiles(const std::vector<CombinePart>& parts, const std::string& destination,
                 bool addEndMark, bool replace, bool verify) {
  const std::string target = native(destination);
  // A joined file replaces its destination whole: never a read-only file or a folder.
  if (int error = posixfile::checkReplaceable(target)) return error;
  posixfile::PendingFile out;
  if (int error = out.create(target)) return error;
  int fd = out.descriptor();
  if (fchmod(fd, joinedFileMode(target)) != 0) return errno;
  for (const CombinePart& part : parts) {
    if (int error = streamPart(part, fd, false)) return error;
  }
  const char endMark = 0x1A;
  if (addEndMark) {
    if (int error = posixfile::writeAll(fd, &endMark, 1)) return error;
  }
  if (verify) {
    if (lseek(fd, 0, SEEK_SET) != 0) return errno;
    for (const CombinePart& part : parts) {
      if (int error = streamPart(part, fd, true)) return error;
    }
    char last;
    ssize_t got = read(fd, &last, 1);
    if (addEndMark ? (got != 1 || last != endMark) : got != 0) return verifyFailedError();
  }
  return out.commit(replace);
}

int movePath(const std::string& source, const std::string& destination, bool replace) {
  std::string from = native(source), to = native(destination);
  int error = 0;
  if (replace) {
    error = rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  } else {
    error = renameNoReplace(from, to);
  }
  if (error != EXDEV) return error;
  struct stat status;
  if (stat(from.c_str(), &status) != 0) return errno;
  if (S_ISDIR(status.st_mode)) return EXDEV;
  posixfile::CopyOptions options;
  options.replace = replace;
  options.verify = true;
  options.durable = true;  // on disk before the source goes
  if (int copyError = posixfile::copyFile(from, to, options)) return copyError;
  return unlink(from.c_str()) == 0 ? 0 : errno;
}

int makeDirectories(const std::string& path) {
  std::string target = native(path);
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  struct stat status;
  if (stat(target.c_str(), &status) == 0) return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
  size_t slash = target.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (int error = makeDirectories(target.substr(0, slash))) return error;
  }
  if (mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) return errno;
  return 0;
}

int verifyFailedError() { return posixfile::kVerifyFailed; }

}  // namespace shell
