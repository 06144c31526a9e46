#ifndef PELQUIST_TESTS_SUPPORT_TEMP_DIR_H_
#define PELQUIST_TESTS_SUPPORT_TEMP_DIR_H_

#include <string>

/// A fresh, empty folder under the system's temporary folder, removed with everything
/// in it when the object goes away. The current directory is restored on the way out
/// if a test changed it.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  /// The folder's absolute path in the platform's form, without a trailing separator.
  const std::string& path() const { return path_; }
  /// path() joined with a relative name using the platform's separator.
  std::string join(const std::string& relative) const;

 private:
  std::string path_;
  std::string startDirectory_;
};

#endif  // PELQUIST_TESTS_SUPPORT_TEMP_DIR_H_
