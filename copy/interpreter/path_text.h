#ifndef PELQUIST_COPY_INTERPRETER_PATH_TEXT_H_
#define PELQUIST_COPY_INTERPRETER_PATH_TEXT_H_

// Typed paths as the commands show them: both '\' and '/' separate, double-byte
// pairs are kept whole, the program inserts the platform's separator.

#include <string>

namespace shell {

/// The position where the last component begins (after the last separator); 0 when
/// the path has no separator.
size_t nameStart(const std::string& path);
/// True when `name` holds '*' or '?'.
bool hasWildcard(const std::string& name);
/// True when the path ends in a separator.
bool endsWithSeparator(const std::string& path);
/// `directory` and `name` with a separator between them unless the directory is empty
/// or already ends in one.
std::string joinPath(const std::string& directory, const std::string& name);

}  // namespace shell

#endif  // PELQUIST_COPY_INTERPRETER_PATH_TEXT_H_
