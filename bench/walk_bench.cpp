// Walks a tree the way collect-copy does and prints how many files matched.
// Usage: walk_bench DIRECTORY [PATTERN]   (PATTERN defaults to "*.txt")

#include <cstdio>

#include "quillkit/filesystem/directory_walker.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY [PATTERN]\n", argv[0]);
    return 2;
  }
  quillkit::DirectoryWalker walker;
  walker.reset(argc > 2 ? argv[2] : "*.txt", argv[1]);
  const bool found = walker.find();
  std::printf("%zu\n", walker.results.size());
  return found ? 0 : 1;
}
