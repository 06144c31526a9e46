#include "support/temp_dir.h"

#include <atomic>
#include <stdexcept>

#include "support/fs_platform.h"

ScopedTempDir::ScopedTempDir() : startDirectory_(testfs::currentDirectory()) {
  static std::atomic<unsigned> counter{0};
  std::string root = testfs::temporaryRoot();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = root + testfs::separator() + "pelquist-test-" +
                            std::to_string(testfs::processId()) + "-" +
                            std::to_string(counter++);
    if (testfs::makeDirectory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder under " + root);
}

ScopedTempDir::~ScopedTempDir() {
  testfs::changeDirectory(startDirectory_);
  testfs::removeTree(path_);
}

std::string ScopedTempDir::join(const std::string& relative) const {
  return path_ + testfs::separator() + relative;
}
