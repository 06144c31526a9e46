#include "copy/cmd_posix/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "copy/cmd_posix/paths.h"
#include "copy/cmd_posix/texts.h"
#include "quillkit/filesystem/posix/kernel_calls.h"

namespace cmd {
namespace {

namespace posix = quillkit::posix;

CopyResult failed(int error) {
  CopyResult result;
  result.error = error;
  return result;
}

CopyResult differs() {
  CopyResult result;
  result.differs = true;
  return result;
}

// Reads a source into `out`, up to its first ^Z when asked; `verify` compares instead.
CopyResult streamPart(const CombinePart& part, int out, bool verify) {
  int in = -1;
  struct stat status;
  if (int error = posix::openRegularFile(nativePath(part.path), in, status))
    return failed(error);
  std::string buffer(1 << 16, '\0'), written;
  CopyResult result;
  for (bool ended = false; !ended && result.succeeded();) {
    std::size_t size = 0;
    if (int error = posix::readSome(in, &buffer[0], buffer.size(), size)) {
      result.error = error;
      break;
    }
    if (size == 0) ended = true;
    if (part.stopsAtEndMark) {
      const void* mark = std::memchr(buffer.data(), 0x1A, size);
      if (mark != nullptr) {
        size = static_cast<std::size_t>(static_cast<const char*>(mark) - buffer.data());
        ended = true;
      }
    }
    if (!verify) {
      result.error = posix::writeAll(out, buffer.data(), size);
      continue;
    }
    written.resize(size);
    ssize_t back = read(out, &written[0], size);
    if (back != static_cast<ssize_t>(size) || written.compare(0, size, buffer, 0, size) != 0)
      result.differs = true;
  }
  close(in);
  return result;
}

int renameNoReplace(const std::string& from, const std::string& to) {
  int error = posix::renameExclusive(from.c_str(), to.c_str());
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
  return 0666 & ~posix::processUmask();
}

}  // namespace

CopyResult copyOneFile(const std::string& source, const std::string& destination, bool replace,
                       bool verify, bool makeWritable) {
  posix::CopyOptions options;
  options.replace = replace;
  options.verify = verify;
  options.makeWritable = makeWritable;
  return posix::copyFile(nativePath(source), nativePath(destination), options);
}

CopyResult combineFiles(const std::vector<CombinePart>& parts, const std::string& destination,
                        EndMark mark, bool replace, bool verify) {
  const std::string target = nativePath(destination);
  // A joined file replaces its destination whole: never a read-only file or a folder.
  if (int error = posix::checkReplaceable(target)) return failed(error);
  posix::PendingFile out;
  const mode_t mode = joinedFileMode(target);
  if (int error = out.create(target, mode)) return failed(error);
  int fd = out.descriptor();
  if (!out.hasMode(mode) && fchmod(fd, mode) != 0) return failed(errno);
  for (const CombinePart& part : parts) {
    CopyResult written = streamPart(part, fd, false);
    if (!written.succeeded()) return written;
  }
  const char endMark = 0x1A;
  bool addEndMark = mark != EndMark::None;
  if (mark == EndMark::AppendUnlessPresent) {
    const off_t size = lseek(fd, 0, SEEK_CUR);
    if (size < 0) return failed(errno);
    char last = 0;
    if (size > 0 && pread(fd, &last, 1, size - 1) != 1) return failed(errno);
    addEndMark = size == 0 || last != endMark;
  }
  if (addEndMark) {
    if (int error = posix::writeAll(fd, &endMark, 1)) return failed(error);
  }
  if (verify) {
    if (lseek(fd, 0, SEEK_SET) != 0) return failed(errno);
    for (const CombinePart& part : parts) {
      CopyResult compared = streamPart(part, fd, true);
      if (!compared.succeeded()) return compared;
    }
    char last;
    ssize_t got = read(fd, &last, 1);
    if (addEndMark ? (got != 1 || last != endMark) : got != 0) return differs();
  }
  return failed(out.commit(replace));
}

// True when both names are hard links of one file: a rename between them would leave
// both in place.
bool areHardLinks(const std::string& from, const std::string& to) {
  struct stat a, b;
  return lstat(from.c_str(), &a) == 0 && lstat(to.c_str(), &b) == 0 && !S_ISLNK(a.st_mode) &&
         !S_ISLNK(b.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

CopyResult movePath(const std::string& source, const std::string& destination, bool replace) {
  std::string from = nativePath(source), to = nativePath(destination);
  int error = 0;
  if (replace && areHardLinks(from, to)) {
    // The destination name already holds the file; only the source name has to go.
    error = unlink(from.c_str()) == 0 ? 0 : errno;
  } else if (replace) {
    error = rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  } else {
    error = renameNoReplace(from, to);
  }
  if (error != EXDEV) return failed(error);
  struct stat status;
  if (stat(from.c_str(), &status) != 0) return failed(errno);
  if (S_ISDIR(status.st_mode)) return failed(EXDEV);
  posix::CopyOptions options;
  options.replace = replace;
  options.verify = true;
  options.durable = true;  // on disk before the source goes
  CopyResult copied = posix::copyFile(from, to, options);
  if (!copied.succeeded()) return copied;
  return failed(unlink(from.c_str()) == 0 ? 0 : errno);
}

int makeDirectories(const std::string& path) {
  std::string target = nativePath(path);
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  struct stat status;
  if (stat(target.c_str(), &status) == 0) return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
  std::size_t slash = target.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    if (int error = makeDirectories(target.substr(0, slash))) return error;
  }
  if (mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) return errno;
  return 0;
}

std::string systemErrorText(const CopyResult& failure, ErrorSubject subject) {
  if (failure.differs) return texts::kVerifyFailed;
  return systemErrorText(failure.error, subject);
}

std::string systemErrorText(int error, ErrorSubject subject) {
  switch (error) {
    case ENOENT:
      return subject == ErrorSubject::Source ? texts::kFileNotFound : texts::kPathNotFound;
    case ENOTDIR:
      return texts::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EXDEV:
    case ENOTEMPTY:
    case EEXIST:
    case EINVAL:
      return texts::kAccessDenied;
    case EBUSY:
      return texts::kFileInUse;
    case ENOSPC:
    case EDQUOT:
      return texts::kDiskFull;
    case EFBIG:
      return texts::kFileTooLarge;
    case ENAMETOOLONG:
      return texts::kNameTooLong;
    case EIO:
      return texts::kDeviceError;
    case EMFILE:
    case ENFILE:
      return texts::kCannotOpenFile;
    default:
      return std::strerror(error);
  }
}

std::string missingSourceText(const std::string& source, int error) {
  if (error == ENOENT && !folderExists(source)) return texts::kPathNotFound;
  return systemErrorText(error, ErrorSubject::Source);
}

}  // namespace cmd
