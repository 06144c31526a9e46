#ifndef PELQUIST_COPY_INTERPRETER_LISTING_H_
#define PELQUIST_COPY_INTERPRETER_LISTING_H_

#include <string>
#include <vector>

namespace shell {

/// One entry found in a directory.
struct ListedEntry {
  std::string name;
  bool isDirectory = false;
};

/// The entries of `directory` (as typed; empty for the current one) whose names match
/// `pattern` as Windows matches them, in the find primitives' order, without "." and
/// "..". Empty when nothing matches or the directory cannot be read.
std::vector<ListedEntry> listMatches(const std::string& directory, const std::string& pattern);

}  // namespace shell

#endif  // PELQUIST_COPY_INTERPRETER_LISTING_H_
