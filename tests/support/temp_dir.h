#ifndef PELQUIST_TESTS_SUPPORT_TEMP_DIR_H_
#define PELQUIST_TESTS_SUPPORT_TEMP_DIR_H_

#include <string>
#include <vector>

/// A fresh, empty folder under the system's temporary folder, removed with everything
/// in it when the object goes away; the current directory is restored on the way out
/// if a test changed it. Paths below it are written relative, with '/' between names,
/// and turned into the system's form here ('/' is never the second byte of a
/// Shift-JIS pair, so names keep every byte).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The folder's absolute path in the system's form, without a trailing separator.
  const std::string& path() const { return path_; }
  /// path() and `relative`, with the system's separators; path() itself for "".
  std::string join(const std::string& relative) const;

  /// Writes a file, creating the folders on its way.
  void write(const std::string& relative, const std::string& content) const;
  /// Creates the folder and every missing one on its way.
  void makeDirs(const std::string& relative) const;
  std::string read(const std::string& relative) const;
  bool exists(const std::string& relative) const;
  bool isDirectory(const std::string& relative) const;
  /// The names in a folder, sorted bytewise.
  std::vector<std::string> list(const std::string& relative = "") const;

 private:
  std::string path_;
  std::string startDirectory_;
};

#endif  // PELQUIST_TESTS_SUPPORT_TEMP_DIR_H_
