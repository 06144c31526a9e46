#include "copy/files_posix/file_io.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"
#include "quillkit/ascii.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace copy::files {

int openRegularFile(const std::string& path, int& fd, struct stat& status, bool noFollow) {
  // Without O_NONBLOCK a FIFO with no writer would hold the open forever; a regular
  // file reads the same either way, so the flag stays.
  fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (noFollow ? O_NOFOLLOW : 0));
  if (fd < 0) return errno;
  int error = 0;
  if (fstat(fd, &status) != 0)
    error = errno;
  else if (S_ISDIR(status.st_mode))
    error = EISDIR;
  else if (!S_ISREG(status.st_mode))
    error = EINVAL;  // only regular files have an end
  if (error == 0) return 0;
  close(fd);
  fd = -1;
  return error;
}

int checkReplaceable(DestinationFolder& folder, const std::string& name,
                     const quillkit::FileIdentity& source, bool* exists,
                     quillkit::FileIdentity* found) {
  const quillkit::posix::FileStatus target = folder.status(name.c_str(), true);
  if (exists != nullptr) *exists = target.exists();
  if (found != nullptr) *found = target.identity;
  if (!target.exists()) return target.error == ENOENT ? 0 : target.error;
  if (target.identity == source) return EBUSY;
  if (target.isDirectory()) return EISDIR;
  // A file its owner may not write counts as read-only; like Windows, it stays.
  return target.readOnly ? EACCES : 0;
}

bool sameMarks(const struct stat& a, const struct stat& b) {
  const struct timespec modifiedA = modificationTime(a), modifiedB = modificationTime(b);
  return a.st_size == b.st_size && a.st_mode == b.st_mode && a.st_uid == b.st_uid &&
         a.st_gid == b.st_gid && modifiedA.tv_sec == modifiedB.tv_sec &&
         modifiedA.tv_nsec == modifiedB.tv_nsec;
}

CopyOptions moveOptions(const quillkit::FileIdentity& source, bool replace) {
  CopyOptions options;
  options.sourceAsSeen = source;
  options.replace = replace;
  options.verify = true;
  options.durable = true;
  options.keepOwner = true;
  return options;
}

int copyLink(const std::string& source, DestinationFolder& folder, const std::string& name,
             bool replace, struct stat& status) {
  if (lstat(source.c_str(), &status) != 0) return errno;
  std::vector<char> target(status.st_size > 0 ? status.st_size + 1 : 4096);
  const ssize_t length = readlink(source.c_str(), target.data(), target.size());
  if (length < 0) return errno;
  if (static_cast<std::size_t>(length) == target.size()) return ENAMETOOLONG;  // it grew
  if (replace) {
    if (int error = checkReplaceable(folder, name)) return error;
  }
  return placeSymbolicLink(std::string(target.data(), length), folder, name, replace, status);
}

int readSome(int fd, char* buffer, std::size_t size, std::size_t& got) {
  ssize_t count;
  do {
    count = read(fd, buffer, size);
  } while (count < 0 && errno == EINTR);
  got = count < 0 ? 0 : static_cast<std::size_t>(count);
  return count < 0 ? errno : 0;
}

namespace {

/// Fills `buffer` from `offset` until it is full or the file ends, going on after short
/// and interrupted reads: 0 or errno; `got` is the count.
int readFull(KernelCalls& kernel, int fd, char* buffer, std::size_t size, off_t offset,
             std::size_t& got) {
  for (got = 0; got < size;) {
    const ssize_t count =
        kernel.readAt(fd, buffer + got, size - got, offset + static_cast<off_t>(got));
    if (count == 0) break;
    if (count > 0)
      got += static_cast<std::size_t>(count);
    else if (errno != EINTR)
      return errno;
  }
  return 0;
}

}  // namespace

CopyResult compareContent(KernelCalls& kernel, int left, int right) {
  static constexpr std::size_t kChunk = 1 << 16;
  std::string a(kChunk, '\0'), b(kChunk, '\0');
  off_t offset = 0;
  CopyResult result;
  for (;;) {
    std::size_t gotA = 0, gotB = 0;
    if (int error = readFull(kernel, left, &a[0], kChunk, offset, gotA))
      return CopyResult::ofError(error);
    if (int error = readFull(kernel, right, &b[0], kChunk, offset, gotB))
      return CopyResult::ofError(error);
    if (gotA != gotB || std::memcmp(a.data(), b.data(), gotA) != 0) {
      result.differs = true;
      return result;
    }
    if (gotA == 0) return result;
    offset += static_cast<off_t>(gotA);
  }
}

Listed listsExactly(KernelCalls& kernel, const std::string& path) {
  return kernel.folderLists(AT_FDCWD, folderOf(path).c_str(), nameOf(path));
}

namespace {

/// True when `a` and `b` are the same names but for the case of ASCII letters.
bool sameButForCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (quillkit::upperAscii(static_cast<unsigned char>(*a)) !=
        quillkit::upperAscii(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

/// Whether two spellings of names, each listed or not by its folder, may be one entry.
bool mayBeOneEntry(Listed a, Listed b) {
  return a != Listed::Unknown && b != Listed::Unknown &&
         !(a == Listed::Yes && b == Listed::Yes);
}

/// True when the folders `a` and `b` are one folder by their spellings.
bool oneFolder(KernelCalls& kernel, const std::string& a, const std::string& b) {
  if (a == b) return true;
  // Where identities are steady, the files' own told already; where they are not, the
  // folders' would not: only the folders' names can.
  if (a == "/" || b == "/" || a == "." || b == ".") return false;
  return oneEntryUnderTwoSpellings(kernel, a, b);
}

}  // namespace

bool oneEntryUnderTwoSpellings(KernelCalls& kernel, const std::string& a,
                               const std::string& b) {
  if (a == b) return true;
  const char* nameA = nameOf(a);
  const char* nameB = nameOf(b);
  if (!sameButForCase(nameA, nameB)) return false;
  if (std::strcmp(nameA, nameB) != 0 &&
      !mayBeOneEntry(listsExactly(kernel, a), listsExactly(kernel, b)))
    return false;
  return oneFolder(kernel, folderOf(a), folderOf(b));
}

bool oneEntryUnderTwoSpellings(const std::string& source, DestinationFolder& folder,
                               const std::string& name) {
  const char* sourceName = nameOf(source);
  if (!sameButForCase(sourceName, name.c_str())) return false;
  KernelCalls& kernel = folder.kernel();
  if (name != sourceName) {
    int at;
    const Listed there =
        folder.descriptor(at) == 0 ? kernel.folderLists(at, ".", name) : Listed::Unknown;
    if (!mayBeOneEntry(listsExactly(kernel, source), there)) return false;
  }
  return oneFolder(kernel, folderOf(source), folder.path()) ||
         folder.reachedAt(folderOf(source));
}

}  // namespace copy::files
