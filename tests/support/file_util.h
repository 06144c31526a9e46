#ifndef PELQUIST_TESTS_SUPPORT_FILE_UTIL_H_
#define PELQUIST_TESTS_SUPPORT_FILE_UTIL_H_

#include <string>
#include <vector>

// Small file helpers for tests. Paths are byte strings as the program sees them
// (Shift-JIS on Windows), used with the platform's narrow file API.

/// Writes `content` to `path`, creating the parent folders that are missing.
void writeFile(const std::string& path, const std::string& content);
/// The whole content of `path`; empty when it cannot be read.
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
void makeDirectories(const std::string& path);
/// Names of the entries of a folder (not "." and ".."), sorted bytewise.
std::vector<std::string> listDirectory(const std::string& path);
/// The current directory.
std::string currentDirectory();
/// The platform's separator: '\' on Windows, '/' on POSIX.
char nativeSeparator();
/// The platform's line end on a text-mode stream: "\r\n" on Windows, "\n" on POSIX.
const char* textLineEnd();
/// `text` with every "\n" turned into textLineEnd().
std::string withTextLineEnds(const std::string& text);

#endif  // PELQUIST_TESTS_SUPPORT_FILE_UTIL_H_
