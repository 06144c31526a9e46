#ifndef QUILLKIT_FILESYSTEM_DIRECTORY_H_
#define QUILLKIT_FILESYSTEM_DIRECTORY_H_

// The current directory, the creation of directories, and the two questions every
// layer asks of a concrete path: does it exist, is it a directory.

#include <cstdint>
#include <string>

#include "quillkit/filesystem/file_identity.h"
#include "quillkit/string_ref.h"

namespace quillkit {

/// Security attributes of a new directory: default security, not inheritable.
struct SecurityAttributes {
  uint32_t length = 12;
  void* securityDescriptor = nullptr;
  bool inheritHandle = false;
};

// --- the platform's wrappers (directory_win32.cpp, directory_posix.cpp); on failure
// the system's last error says why.

/// 1 when the current directory was written into `buffer` (with its NUL), else 0.
int getCurrentDirectory(char* buffer, uint32_t bufferSize);
/// 1 when `path` is now the current directory, else 0.
int setCurrentDirectory(const char* path);
/// 1 when the directory `path` was created, else 0 (also when it already exists).
int createDirectory(const char* path, const SecurityAttributes& attributes);
/// True when a file or directory of exactly that name exists (the text up to its NUL).
/// Windows asks its find-first lookup; POSIX looks the name up once, so '*' and '?'
/// are bytes of a name there, never a pattern.
bool pathExists(StringRef path);
/// True when a directory of exactly that name exists, by the same lookup.
bool directoryExists(StringRef path);
/// Which directory `path` leads to (a link followed): device and inode on POSIX, volume
/// and file index on Windows; unknown when it cannot be looked up.
FileIdentity directoryIdentity(StringRef path);
/// The system's absolute form of a path that names its drive but not its root ("C:src")
/// or its root but not its drive ("\src"), which only the system completes (it keeps a
/// current directory per drive): true, with `full` set. False for every other path, and
/// on POSIX, which has neither form.
bool completeFromDriveOrRoot(StringRef path, std::string& full);

// --- built on the wrappers

/// The current directory in `directory`; false, leaving it unchanged, when it cannot
/// be read or does not fit the platform's buffer.
bool readCurrentDirectory(std::string& directory);

/// `path` made absolute before the current directory changes: an absolute path as it is,
/// a drive- or root-relative one as the system completes it, any other joined to the
/// current directory `current` (appendPath).
std::string absolutePath(const std::string& current, StringRef path);

/// Makes `path` current, creating it (and every missing level) first when `create` is
/// set and nothing of that name exists. One trailing separator is ignored. False when
/// creation or the change failed; the current directory is then unchanged.
bool changeDirectory(StringRef path, bool create);

/// Creates the directory `path` and every missing level above it. 0 when the
/// directory now exists, -1 on failure (too long, a forbidden character, a level that
/// cannot be created or exists as a file), 4 for an empty path. Levels created before
/// a failure stay.
int32_t createDirectories(const char* path);

}  // namespace quillkit

/// The current directory; throws std::logic_error("SafeGetCurrentDirectory Error")
/// when it cannot be read or does not fit the buffer.
std::string SafeGetCurrentDirectory();

#endif  // QUILLKIT_FILESYSTEM_DIRECTORY_H_
