#ifndef QUILLKIT_FILESYSTEM_FILE_IDENTITY_WIN32_H_
#define QUILLKIT_FILESYSTEM_FILE_IDENTITY_WIN32_H_

// Which file or folder a Windows path leads to. Windows build only.

#include "quillkit/filesystem/file_identity.h"

namespace quillkit {

/// The volume's serial number and the file index of what `path` (UTF-16) leads to, a link
/// followed, as the POSIX build tells files by device and inode; unknown when it cannot
/// be opened or the system does not tell.
FileIdentity identityOf(const wchar_t* path);

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_FILE_IDENTITY_WIN32_H_
