#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_io.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"

namespace copy::files {
namespace {

// What copyByReading reads at once.
constexpr std::size_t kChunk = 1 << 17;
// Files up to this size are read whole, with no read-ahead.
constexpr off_t kWholeRead = kChunk;

// Plain read/write from the descriptors' current offsets: `left` bytes, or to the end
// of `from` when it ends earlier or `left` is negative (counted down when not).
int copyByReading(int from, int to, off_t& left) {
  // One buffer a thread, made once: most calls only learn that the file has ended.
  static thread_local std::string buffer(kChunk, '\0');
  while (left != 0) {
    const std::size_t want =
        left < 0 || left > static_cast<off_t>(kChunk) ? kChunk : static_cast<std::size_t>(left);
    std::size_t got = 0;
    if (int error = readSome(from, &buffer[0], want, got)) return error;
    if (got == 0) return 0;
    if (int error = writeAll(to, buffer.data(), got)) return error;
    if (left > 0) left -= static_cast<off_t>(got);
  }
  return 0;
}

// The next run of data in `fd` at or after `offset` (where `fd` stands) and below
// `size`, as [start, end), and `fd` moved to `start`: 0 or errno. start is `size` when
// only a hole is left. Where the kernel cannot tell holes (or the file cannot seek so,
// like those under /proc), everything is data and `fd` stays.
int nextData(int fd, off_t offset, off_t size, off_t& start, off_t& end) {
  start = offset;
  end = size;
#if defined(SEEK_DATA) && defined(SEEK_HOLE)
  const off_t data = lseek(fd, offset, SEEK_DATA);
  if (data < 0 && errno != ENXIO) return 0;
  start = data < 0 ? size : std::min(data, size);
  const off_t hole = lseek(fd, start, SEEK_HOLE);  // at `size`: none, or none below it
  if (hole > start) end = std::min(hole, size);
  if (lseek(fd, start, SEEK_SET) < 0) return errno;
#endif
  return 0;
}

// Copies the data and keeps the holes of `from` (as cp does), inside the kernel where it
// offers to (sharing the blocks where the file system can) and by reading and writing
// where it declines. Only a file with fewer blocks than its size can hold holes: the
// others are copied without looking for them. The copy ends at the size the source had
// when it was opened, whatever it grows to meanwhile; only where sizes lie (procfs,
// sysfs) is it read on to its end.
int copyData(int from, int to, const struct stat& source) {
  const off_t size = source.st_size;
  const bool mayHaveHoles = static_cast<off_t>(source.st_blocks) * 512 < size;
  off_t offset = 0;  // where both descriptors stand
  while (offset < size) {
    off_t start = offset, end = size;
    if (mayHaveHoles) {
      if (int error = nextData(from, offset, size, start, end)) return error;
      if (start != offset && lseek(to, start, SEEK_SET) < 0) return errno;
    }
    if (start >= size) {  // a hole to the end: only the size makes it
      if (ftruncate(to, size) != 0) return errno;
      offset = size;
      break;
    }
    off_t left = end - start;
    int error = kernelCopy(from, to, left);
    if (error == ENOTSUP) {
      // A small file is read in one request: no read-ahead beyond its end, which a file
      // system over a network (FUSE among them) drops when many files are read at once,
      // and then reads the file a page at a time, one round trip each.
      if (offset == 0 && size <= kWholeRead) posix_fadvise(from, 0, 0, POSIX_FADV_RANDOM);
      error = copyByReading(from, to, left);
    }
    if (error != 0) return error;
    offset = end - left;
    if (left > 0) break;  // the file ended early
  }
  // Only a file without blocks can be of a file system whose sizes lie.
  if (source.st_blocks != 0 || !sizeMayLie(from)) return 0;
  off_t rest = -1;
  return copyByReading(from, to, rest);
}

}  // namespace

namespace {

// checkReplaceable, and a destination that is the source spelled another way is the
// source itself, where its identity cannot tell (EBUSY).
int checkReplaceableBy(const std::string& sourcePath, DestinationFolder& folder,
                       const std::string& name, const quillkit::FileIdentity& source,
                       bool* exists = nullptr, quillkit::FileIdentity* found = nullptr) {
  bool there = false;
  const int error = checkReplaceable(folder, name, source, &there, found);
  if (exists != nullptr) *exists = there;
  if (error == 0 && there && oneEntryUnderTwoSpellings(sourcePath, folder, name)) return EBUSY;
  return error;
}

}  // namespace

FileCopy::FileCopy(std::string source, DestinationFolder& folder, std::string name,
                   const CopyOptions& options)
    : sourcePath_(std::move(source)),
      folder_(folder),
      name_(std::move(name)),
      options_(options),
      file_(new PendingFile(folder_, name_)) {
  if (options.flushWithOthers && (options.replace || options.durable)) file_->flushWithOthers();
}

FileCopy::~FileCopy() = default;

std::unique_ptr<FileCopy> prepareCopy(std::string source, DestinationFolder& folder,
                                      std::string name, const CopyOptions& options) {
  std::unique_ptr<FileCopy> prepared(
      new FileCopy(std::move(source), folder, std::move(name), options));
  prepared->prepare();
  return prepared;
}

void FileCopy::prepare() {
  folder_.closeLetGo();  // what the names taken before let go, freed here
  write();
  // A copy that failed holds no file open while it waits to tell why.
  if (!written_) file_->discard();
}

void FileCopy::write() {
  Descriptor in;
  struct stat status;
  failure_ = openSource(in, status);
  if (failure_.error != 0) return;
  mode_t mode = status.st_mode & 0777;
  if (options_.makeWritable) mode |= S_IWUSR;
  PendingFile& file = *file_;
  if ((failure_.error = file.create(mode)) != 0) return;
  const int out = file.descriptor();
  if ((failure_.error = copyData(in.get(), out, status)) != 0) return;
  if (options_.verify) {
    failure_ = compareContent(folder_.kernel(), in.get(), out);
    if (!failure_.succeeded()) return;
  }
  if ((failure_.error = keepAttributes(in.get(), out, status, mode)) != 0) return;
  // Replacing must not trade the old content for data still in memory.
  failure_.error = file.finish(options_.replace || options_.durable);
  written_ = failure_.error == 0;
}

CopyResult FileCopy::openSource(Descriptor& in, struct stat& status) {
  const bool asSeen = options_.sourceAsSeen.known;
  if (int error = openRegularFile(sourcePath_, in.slot(), status, asSeen))
    return CopyResult::ofError(asSeen && error == ELOOP ? EBUSY : error);
  source_ = {true, static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
  // The name was looked at before: another may have swapped it for another file since.
  if (asSeen && source_ != options_.sourceAsSeen) return CopyResult::ofError(EBUSY);
  seen_ = status;
  // A copy that does not replace learns of an existing destination when it takes the
  // name; one that replaces looks first, so as to write nothing that could not replace.
  if (!options_.replace) return CopyResult();
  CopyResult result =
      CopyResult::ofError(checkReplaceableBy(sourcePath_, folder_, name_, source_));
  result.sameFile = result.error == EBUSY;
  return result;
}

// A move keeps what a rename keeps: the owner where the process may set it, the setuid
// and setgid bits only where it did (a change of owner clears them, so they are set
// after it), and the extended attributes, file capabilities among them (cleared by a
// change of owner too). Every copy keeps the permission bits `mode`, the group where the
// process may give it, and the time.
int FileCopy::keepAttributes(int in, int out, const struct stat& status, mode_t mode) {
  bool owned = false;
  if (options_.keepOwner) {
    owned = fchown(out, status.st_uid, status.st_gid) == 0;
    if (owned)
      mode |= status.st_mode & (S_ISUID | S_ISGID);
    else if (errno != EPERM)
      return errno;
  }
  if (!owned) {
    if (int error = keepGroup(out, status.st_gid, mode)) return error;
  }
  const bool special = (mode & (S_ISUID | S_ISGID)) != 0;
  if ((special || !file_->hasMode(mode)) && fchmod(out, mode) != 0) return errno;
  if (options_.keepOwner) {
    if (int error = copyExtendedAttributes(in, out)) return error;
  }
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(status)};
  return futimens(out, times) == 0 ? 0 : errno;
}

// The group bits of a file are for its group: where the copy cannot have the source's
// group (the process is not root, nor a member of it), they would grant another group,
// the copy's (the folder's, where it passes its group on), and are cleared.
int FileCopy::keepGroup(int out, gid_t group, mode_t& mode) {
  if (folder_.newFileGroup(out) == group || fchown(out, static_cast<uid_t>(-1), group) == 0)
    return 0;
  if (errno != EPERM) return errno;
  mode &= ~static_cast<mode_t>(S_IRWXG);
  return 0;
}

CopyResult FileCopy::takeName(quillkit::FileIdentity* replaced) {
  if (!written_) return failure_;
  written_ = false;
  bool exists = false;
  if (options_.replace) {
    // Looked at again when the name is taken: copies before may have changed it.
    quillkit::FileIdentity target;
    CopyResult refused = CopyResult::ofError(
        checkReplaceableBy(sourcePath_, folder_, name_, source_, &exists, &target));
    if (refused.error != 0) {
      refused.sameFile = refused.error == EBUSY;
      file_.reset();
      return refused;
    }
    if (exists) file_->expectDestination();
    if (exists && replaced != nullptr) *replaced = target;
  }
  CopyResult result = CopyResult::ofError(file_->commit(options_.replace, options_.durable));
  result.answerLost = outcomeUnknown(result.error);
  file_.reset();
  return result;
}

CopyResult copyFile(const std::string& source, DestinationFolder& folder,
                    const std::string& name, const CopyOptions& options) {
  return prepareCopy(source, folder, name, options)->takeName();
}

}  // namespace copy::files
