#ifndef PELQUIST_COPY_FILES_POSIX_FOLDER_MOVE_H_
#define PELQUIST_COPY_FILES_POSIX_FOLDER_MOVE_H_

// Inside the file operations only: a folder moved where the kernel will not rename it.

#include <string>

namespace copy::files {

class DestinationFolder;

/// Moves the folder `source` (native) to the new entry `name` of `folder` by copying it,
/// as a move to another file system moves a file: each file copied (content, bits, owner
/// where the process may, time), read back and on disk before it takes its name, each
/// link as a link, each folder with its bits, owner and time and its names on disk; and
/// only then is the source removed, entry by entry, each only while its name still leads
/// to what was copied. A failure before the removal leaves the source whole (and what was
/// copied so far, as mv does); one during the removal leaves every entry at one place at
/// least. 0 or errno: EEXIST where `name` exists, EPERM for a pipe, socket or device in
/// the folder, EBUSY for an entry swapped meanwhile.
int moveFolderByCopy(const std::string& source, DestinationFolder& folder,
                     const std::string& name);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_FOLDER_MOVE_H_
