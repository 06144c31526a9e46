#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "copy/files_posix/file_io.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/pending_file.h"

namespace copy::files {
namespace {

CopyResult differs() {
  CopyResult result;
  result.differs = true;
  return result;
}

// Reads a source into `out`, up to its first ^Z when asked; `verify` compares instead.
CopyResult streamPart(const CombinePart& part, int out, bool verify) {
  Descriptor in;
  struct stat status;
  if (int error = openRegularFile(part.path, in.slot(), status))
    return CopyResult::ofError(error);
  std::string buffer(1 << 16, '\0'), written;
  CopyResult result;
  for (bool ended = false; !ended && result.succeeded();) {
    std::size_t size = 0;
    if (int error = readSome(in.get(), &buffer[0], buffer.size(), size)) {
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
      result.error = writeAll(out, buffer.data(), size);
      continue;
    }
    written.resize(size);
    ssize_t back = read(out, &written[0], size);
    if (back != static_cast<ssize_t>(size) || written.compare(0, size, buffer, 0, size) != 0)
      result.differs = true;
  }
  return result;
}

// A joined file keeps the permission bits of the file it replaces; a new one, and one
// that replaces a link (whose target another may have chosen), gets what the process's
// umask leaves of read and write for everyone, as any new file does.
mode_t joinedFileMode(DestinationFolder& folder, const std::string& name) {
  struct stat status;
  int at;
  if (folder.descriptor(at) == 0 &&
      fstatat(at, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
    return status.st_mode & 0777;
  return 0666 & ~folder.context().umask;
}

}  // namespace

CopyResult combineFiles(const std::vector<CombinePart>& parts, DestinationFolder& folder,
                        const std::string& name, EndMark mark, bool replace, bool verify) {
  // A joined file replaces its destination whole: never a read-only file or a folder.
  if (int error = checkReplaceable(folder, name)) return CopyResult::ofError(error);
  PendingFile out(folder, name);
  const mode_t mode = joinedFileMode(folder, name);
  if (int error = out.create(mode)) return CopyResult::ofError(error);
  int fd = out.descriptor();
  if (!out.hasMode(mode) && fchmod(fd, mode) != 0) return CopyResult::ofError(errno);
  for (const CombinePart& part : parts) {
    CopyResult written = streamPart(part, fd, false);
    if (!written.succeeded()) return written;
  }
  const char endMark = 0x1A;
  bool addEndMark = mark != EndMark::None;
  if (mark == EndMark::AppendUnlessPresent) {
    const off_t size = lseek(fd, 0, SEEK_CUR);
    if (size < 0) return CopyResult::ofError(errno);
    char last = 0;
    if (size > 0 && pread(fd, &last, 1, size - 1) != 1) return CopyResult::ofError(errno);
    addEndMark = size == 0 || last != endMark;
  }
  if (addEndMark) {
    if (int error = writeAll(fd, &endMark, 1)) return CopyResult::ofError(error);
  }
  if (verify) {
    if (lseek(fd, 0, SEEK_SET) != 0) return CopyResult::ofError(errno);
    for (const CombinePart& part : parts) {
      CopyResult compared = streamPart(part, fd, true);
      if (!compared.succeeded()) return compared;
    }
    char last;
    ssize_t got = read(fd, &last, 1);
    if (addEndMark ? (got != 1 || last != endMark) : got != 0) return differs();
  }
  return CopyResult::ofError(out.commit(replace));
}

}  // namespace copy::files
