#ifndef PELQUIST_TESTS_SUPPORT_FILES_H_
#define PELQUIST_TESTS_SUPPORT_FILES_H_

#include <string>
#include <vector>

// Whole-file helpers on the system's own paths (Shift-JIS bytes on Windows).

/// Writes `content` to `path` (its folder must exist); throws when it cannot.
void writeFile(const std::string& path, const std::string& content);
/// The whole content of `path`; empty when it cannot be read.
std::string readFile(const std::string& path);
/// Names of the entries of a folder (not "." and ".."), sorted bytewise.
std::vector<std::string> listDirectory(const std::string& path);
/// `text` with every "\n" turned into the line end of a text-mode stream.
std::string withTextLineEnds(const std::string& text);

#endif  // PELQUIST_TESTS_SUPPORT_FILES_H_
