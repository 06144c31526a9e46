#include "copy/files_posix/file_io.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "copy/files_posix/kernel_calls.h"
#include "quillkit/filesystem/file_status_posix.h"
#include "quillkit/ascii.h"

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

int checkReplaceable(const std::string& destination, const quillkit::FileIdentity& source,
                     bool* exists, quillkit::FileIdentity* found) {
  const quillkit::posix::FileStatus target = quillkit::posix::fileStatus(destination);
  if (exists != nullptr) *exists = target.exists();
  if (found != nullptr) *found = target.identity;
  if (!target.exists()) return target.error == ENOENT ? 0 : target.error;
  if (target.identity == source) return EBUSY;
  if (target.isDirectory()) return EISDIR;
  // A file its owner may not write counts as read-only; like Windows, it stays.
  return target.readOnly ? EACCES : 0;
}

mode_t processUmask() {
  static const mode_t mask = readUmask();
  return mask;
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
int readFull(int fd, char* buffer, std::size_t size, off_t offset, std::size_t& got) {
  for (got = 0; got < size;) {
    const ssize_t count =
        kernel().readAt(fd, buffer + got, size - got, offset + static_cast<off_t>(got));
    if (count == 0) break;
    if (count > 0)
      got += static_cast<std::size_t>(count);
    else if (errno != EINTR)
      return errno;
  }
  return 0;
}

}  // namespace

CopyResult compareContent(int left, int right) {
  static constexpr std::size_t kChunk = 1 << 16;
  std::string a(kChunk, '\0'), b(kChunk, '\0');
  off_t offset = 0;
  CopyResult result;
  for (;;) {
    std::size_t gotA = 0, gotB = 0;
    if (int error = readFull(left, &a[0], kChunk, offset, gotA))
      return CopyResult::ofError(error);
    if (int error = readFull(right, &b[0], kChunk, offset, gotB))
      return CopyResult::ofError(error);
    if (gotA != gotB || std::memcmp(a.data(), b.data(), gotA) != 0) {
      result.differs = true;
      return result;
    }
    if (gotA == 0) return result;
    offset += static_cast<off_t>(gotA);
  }
}

Listed listsExactly(const std::string& path) {
  return kernel().folderLists(folderOf(path), nameOf(path));
}

bool oneEntryUnderTwoSpellings(const std::string& a, const std::string& b) {
  if (a == b) return true;
  const std::string nameA = nameOf(a);
  const std::string nameB = nameOf(b);
  if (nameA.size() != nameB.size()) return false;
  for (std::size_t i = 0; i < nameA.size(); ++i)
    if (quillkit::upperAscii(static_cast<unsigned char>(nameA[i])) !=
        quillkit::upperAscii(static_cast<unsigned char>(nameB[i])))
      return false;
  if (nameA != nameB) {
    const Listed listedA = listsExactly(a), listedB = listsExactly(b);
    if (listedA == Listed::Unknown || listedB == Listed::Unknown) return false;
    if (listedA == Listed::Yes && listedB == Listed::Yes) return false;  // two entries
  }
  const std::string folderA = folderOf(a), folderB = folderOf(b);
  if (folderA == folderB) return true;
  // Where identities are steady, the files' own told already; where they are not, the
  // folders' would not: only the folders' names can.
  if (folderA == "/" || folderB == "/" || folderA == "." || folderB == ".") return false;
  return oneEntryUnderTwoSpellings(folderA, folderB);
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

const char* nameOf(const std::string& path) {
  return path.c_str() + (path.rfind('/') + 1);  // npos + 1 is 0
}

}  // namespace copy::files
