#ifndef PELQUIST_TESTS_SUPPORT_FS_PLATFORM_H_
#define PELQUIST_TESTS_SUPPORT_FS_PLATFORM_H_

#include <string>
#include <vector>

// The few file-system calls that the test helpers need, per platform, on narrow
// (byte) paths.
namespace testfs {

bool makeDirectory(const std::string& path);
bool isDirectory(const std::string& path);
bool exists(const std::string& path);
/// Entry names without "." and "..", in no particular order.
std::vector<std::string> list(const std::string& path);
std::string currentDirectory();
bool changeDirectory(const std::string& path);
/// Removes a file, or a folder with everything in it (read-only bits cleared first).
void removeTree(const std::string& path);
/// The system's temporary folder, without a trailing separator.
std::string temporaryRoot();
/// A number that differs between processes.
unsigned long processId();
/// Sets or clears the read-only attribute (POSIX: the write bits).
void setReadOnly(const std::string& path, bool readOnly);
/// Takes every permission away (POSIX only; nothing on Windows).
void setUnreadable(const std::string& path);
/// True when permission bits do not stop this process (root on POSIX).
bool ignoresPermissions();
char separator();
const char* textLineEnd();

}  // namespace testfs

#endif  // PELQUIST_TESTS_SUPPORT_FS_PLATFORM_H_
