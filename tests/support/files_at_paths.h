#ifndef PELQUIST_TESTS_SUPPORT_FILES_AT_PATHS_H_
#define PELQUIST_TESTS_SUPPORT_FILES_AT_PATHS_H_

// POSIX build only: the file operations with their destinations written as paths, as
// the tests write them; each call holds the destination's folder for itself.

#include <fcntl.h>

#include <string>
#include <vector>

#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/pending_file.h"

namespace at {

using copy::files::Context;
using copy::files::CopyResult;
using copy::files::DestinationFolder;

inline CopyResult copyFile(const Context& context, const std::string& source,
                           const std::string& destination,
                           const copy::files::CopyOptions& options) {
  DestinationFolder folder(context, copy::files::folderOf(destination));
  return copy::files::copyFile(source, folder, copy::files::nameOf(destination), options);
}

inline CopyResult movePath(const Context& context, const std::string& source,
                           const std::string& destination, bool replace) {
  DestinationFolder folder(context, copy::files::folderOf(destination));
  return copy::files::movePath(source, folder, copy::files::nameOf(destination), replace);
}

inline CopyResult combineFiles(const Context& context,
                               const std::vector<copy::files::CombinePart>& parts,
                               const std::string& destination, copy::files::EndMark mark,
                               bool replace, bool verify) {
  DestinationFolder folder(context, copy::files::folderOf(destination));
  return copy::files::combineFiles(parts, folder, copy::files::nameOf(destination), mark,
                                   replace, verify);
}

inline int claimName(const Context& context, const std::string& from, const std::string& to) {
  DestinationFolder folder(context, copy::files::folderOf(to));
  return copy::files::claimName(AT_FDCWD, from.c_str(), folder, copy::files::nameOf(to));
}

inline int placeSymbolicLink(const Context& context, const std::string& target,
                             const std::string& destination, bool replace,
                             const struct stat& like) {
  DestinationFolder folder(context, copy::files::folderOf(destination));
  return copy::files::placeSymbolicLink(target, folder, copy::files::nameOf(destination),
                                        replace, like);
}

/// A pending file for the path `destination`, with its folder.
class PendingFile {
 public:
  PendingFile(const Context& context, const std::string& destination)
      : folder_(context, copy::files::folderOf(destination)),
        file_(folder_, copy::files::nameOf(destination)) {}
  copy::files::PendingFile* operator->() { return &file_; }

 private:
  DestinationFolder folder_;
  copy::files::PendingFile file_;
};

}  // namespace at

#endif  // PELQUIST_TESTS_SUPPORT_FILES_AT_PATHS_H_
