#include "copy/files_posix/folder_move.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_io.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace copy::files {
namespace {

/// An entry of the source that was copied, in the order it may be removed (what a folder
/// holds before the folder).
struct Copied {
  std::string path;
  quillkit::FileIdentity identity;
  bool isFolder;
};

/// The names in the folder `path`, without "." and "..": 0 or errno.
int namesIn(const std::string& path, std::vector<std::string>& names) {
  DIR* listing = opendir(path.c_str());
  if (listing == nullptr) return errno;
  errno = 0;
  while (const dirent* entry = readdir(listing)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
      names.push_back(entry->d_name);
  }
  const int error = errno;
  closedir(listing);
  return error;
}

/// Gives the folder `name` of the folder open as `at`, open itself as `made`, the bits,
/// owner (where the process may; the set-user-ID and set-group-ID bits only with it) and
/// times of `like`, once its entries are made: 0 or errno.
int dressFolder(int at, const std::string& name, int made, const struct stat& like) {
  // By its name, only while the name still leads to the folder made.
  if (quillkit::posix::statusAt(at, name.c_str(), false).identity !=
      quillkit::posix::identityOf(made))
    return EBUSY;
  mode_t mode = like.st_mode & 07777;
  if (fchownat(at, name.c_str(), like.st_uid, like.st_gid, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != EPERM) return errno;
    mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
  }
  if (fchmodat(at, name.c_str(), mode, 0) != 0) return errno;
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(like)};
  return utimensat(at, name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

/// Copies the folder `source` and all it holds to the new entry `name` of `folder`,
/// noting in `copied` each entry inside it: 0 or errno.
int copyFolder(const std::string& source, DestinationFolder& folder, const std::string& name,
               std::vector<Copied>& copied) {
  struct stat status;
  int at;
  if (lstat(source.c_str(), &status) != 0) return errno;
  if (int error = folder.descriptor(at)) return error;
  if (mkdirat(at, name.c_str(), 0700) != 0) return errno;
  const int fd = openFolderForNames(at, name.c_str(), true);
  if (fd < 0) return errno;
  DestinationFolder made(folder.context(), fd, folder.pathOf(name));
  std::vector<std::string> names;
  if (int error = namesIn(source, names)) return error;
  for (const std::string& entry : names) {
    const std::string path = source + "/" + entry;
    const quillkit::posix::FileStatus inside = quillkit::posix::entryStatus(path);
    struct stat link;
    int error = inside.error;
    if (inside.isLink)
      error = copyLink(path, made, entry, false, link);
    else if (inside.isDirectory())
      error = copyFolder(path, made, entry, copied);
    else if (inside.exists())
      error = copyFile(path, made, entry, moveOptions(inside.identity, false)).error;
    if (error == EINVAL) return EPERM;  // a pipe, socket or device, which is not copied
    if (error != 0) return error;
    copied.push_back({path, inside.identity, inside.isDirectory() && !inside.isLink});
  }
  if (int error = dressFolder(at, name, fd, status)) return error;
  return folder.kernel().flushFolder(fd);
}

}  // namespace

int moveFolderByCopy(const std::string& source, DestinationFolder& folder,
                     const std::string& name) {
  std::vector<Copied> copied;
  if (int error = copyFolder(source, folder, name, copied)) return error;
  int at;
  if (int error = folder.descriptor(at)) return error;
  if (int error = folder.kernel().flushFolder(at)) return error;
  for (const Copied& entry : copied) {
    if (quillkit::posix::entryStatus(entry.path).identity != entry.identity) return EBUSY;
    if ((entry.isFolder ? rmdir(entry.path.c_str()) : unlink(entry.path.c_str())) != 0)
      return errno;
  }
  return rmdir(source.c_str()) == 0 ? 0 : errno;
}

}  // namespace copy::files
