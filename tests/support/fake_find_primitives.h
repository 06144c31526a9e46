#ifndef PELQUIST_TESTS_QUILLKIT_FILESYSTEM_FAKE_FIND_PRIMITIVES_H_
#define PELQUIST_TESTS_QUILLKIT_FILESYSTEM_FAKE_FIND_PRIMITIVES_H_

#include <map>
#include <string>
#include <vector>

// The find primitives over listings that a test writes down, for what no real
// directory does on demand: a listing that breaks off partway. Linked instead of the
// platform's primitives into walk_fake_tests only.
namespace fakefind {

struct Entry {
  std::string name;
  bool directory = false;
};

/// What one search path lists, in order, and whether the listing then breaks off with
/// a failure instead of ending.
struct Listing {
  std::vector<Entry> entries;
  bool breaksOff = false;
};

/// Search path (exactly as the finder builds it) to its listing; a path not here fails
/// to start.
std::map<std::string, Listing>& listings();

}  // namespace fakefind

#endif  // PELQUIST_TESTS_QUILLKIT_FILESYSTEM_FAKE_FIND_PRIMITIVES_H_
