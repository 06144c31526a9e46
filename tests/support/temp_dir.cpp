#include "tests/support/temp_dir.h"

#include <atomic>
#include <stdexcept>

#include "tests/support/files.h"
#include "tests/support/platform.h"

TempDir::TempDir() : startDirectory_(testsys::currentDirectory()) {
  static std::atomic<unsigned> counter{0};
  std::string root = testsys::temporaryRoot();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = root + testsys::separator() + "pelquist-test-" +
                            std::to_string(testsys::processId()) + "-" +
                            std::to_string(counter++);
    if (testsys::makeDirectory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder under " + root);
}

TempDir::~TempDir() {
  testsys::changeDirectory(startDirectory_);
  testsys::removeTree(path_);
}

std::string TempDir::join(const std::string& relative) const {
  std::string path = path_;
  if (!relative.empty()) path += testsys::separator();
  for (char c : relative) path += c == '/' ? testsys::separator() : c;
  return path;
}

void TempDir::write(const std::string& relative, const std::string& content) const {
  std::size_t slash = relative.rfind('/');
  if (slash != std::string::npos) makeDirs(relative.substr(0, slash));
  writeFile(join(relative), content);
}

void TempDir::makeDirs(const std::string& relative) const {
  for (std::size_t slash = relative.find('/'); slash != std::string::npos;
       slash = relative.find('/', slash + 1))
    testsys::makeDirectory(join(relative.substr(0, slash)));
  testsys::makeDirectory(join(relative));
}

std::string TempDir::read(const std::string& relative) const {
  return readFile(join(relative));
}

bool TempDir::exists(const std::string& relative) const {
  return testsys::exists(join(relative));
}

bool TempDir::isDirectory(const std::string& relative) const {
  return testsys::isDirectory(join(relative));
}

std::vector<std::string> TempDir::list(const std::string& relative) const {
  return listDirectory(join(relative));
}
