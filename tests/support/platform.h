#ifndef PELQUIST_TESTS_SUPPORT_PLATFORM_H_
#define PELQUIST_TESTS_SUPPORT_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the tests need from the system they run on, on narrow (byte) paths, one
// implementation per build (platform_posix.cpp, platform_win32.cpp).
namespace testsys {

/// True on the Windows build (run under Wine here), where some results are the
/// system's own (Wine's cmd.exe, its listings).
bool isWindowsBuild();
/// The separator of the system's own paths: '\' on Windows, '/' on POSIX.
char separator();
/// The line end of a text-mode stream: "\r\n" on Windows, "\n" on POSIX.
const char* textLineEnd();

bool makeDirectory(const std::string& path);
bool isDirectory(const std::string& path);
/// The longest path that createDirectories takes: 260 on Windows, PATH_MAX on POSIX.
std::size_t createPathLimit();

/// True when anything of that name exists, a dangling link included.
bool exists(const std::string& path);
/// Entry names without "." and "..", in no particular order.
std::vector<std::string> list(const std::string& path);
std::string currentDirectory();
bool changeDirectory(const std::string& path);
/// Removes a file, or a folder with everything in it (permissions restored first).
void removeTree(const std::string& path);
/// The system's temporary folder, without a trailing separator.
std::string temporaryRoot();
/// A number that differs between processes.
unsigned long processId();

/// Sets or clears the read-only attribute (POSIX: the write bits).
void setReadOnly(const std::string& path, bool readOnly);
/// Takes every permission away; false where permissions cannot do that (Windows).
bool makeUnreadable(const std::string& path);
/// True when permission bits do not stop this process (root on POSIX).
bool ignoresPermissions();
/// Makes `path` a file of `size` bytes without writing them; false when that cannot be
/// done cheaply.
bool makeSparseFile(const std::string& path, uint64_t size);
/// Makes `link` a symbolic link to `target`; false where that is not available.
bool makeSymbolicLink(const std::string& target, const std::string& link);
/// True when the program writes a copy to an unnamed file until it is complete, so that
/// even a process killed outright leaves nothing beside its destination (Linux).
bool copiesAreUnnamed();
/// True when the last system error says that the named entry does not exist.
bool lastErrorIsNotFound();
/// True in a build with a sanitizer's runtime, which needs far more address space than
/// the program itself.
bool builtWithSanitizer();

}  // namespace testsys

#endif  // PELQUIST_TESTS_SUPPORT_PLATFORM_H_
