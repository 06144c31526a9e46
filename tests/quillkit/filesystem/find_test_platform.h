#ifndef PELQUIST_TESTS_QUILLKIT_FILESYSTEM_FIND_TEST_PLATFORM_H_
#define PELQUIST_TESTS_QUILLKIT_FILESYSTEM_FIND_TEST_PLATFORM_H_

#include <cstdint>
#include <string>

// What the enumeration tests need from the platform beyond the shared test support.
namespace findtest {

/// True on the Windows build (run under Wine here): some listings differ there.
bool isWindowsBuild();
/// True when the process may read every folder whatever its permissions (root).
bool readsEverything();
/// Makes `path` a file of `size` bytes without writing them; false when that cannot be
/// done cheaply.
bool makeSparseFile(const std::string& path, uint64_t size);
/// Makes the file read-only for its owner.
bool makeReadOnly(const std::string& path);
/// Takes every permission from a folder (false where permissions cannot do that).
bool makeUnreadable(const std::string& path);
/// Makes `link` a symbolic link to `target` (false where that is not available).
bool makeSymbolicLink(const std::string& target, const std::string& link);
/// True when the last system error says that the named entry does not exist.
bool lastErrorIsNotFound();

}  // namespace findtest

#endif  // PELQUIST_TESTS_QUILLKIT_FILESYSTEM_FIND_TEST_PLATFORM_H_
