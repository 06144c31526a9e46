#ifndef PELQUIST_COPY_FOUND_PATHS_H_
#define PELQUIST_COPY_FOUND_PATHS_H_

#include <cstddef>
#include <string>

namespace copy {

/// The paths a walk found and that wait for their turn, first in first out, kept small:
/// a walk gives the files of one folder one after another, so each path is kept as the
/// number of bytes it shares with the one before and the bytes that follow (a file's name,
/// mostly), in one stream of bytes that gives back the room of what was read.
class FoundPaths {
 public:
  bool empty() const { return count_ == 0; }
  std::size_t size() const { return count_; }
  /// Adds `path` after the others.
  void push(const std::string& path);
  /// Takes the first path: it is in `path` until the next pop(). Only when not empty().
  const std::string& pop();

 private:
  void pushNumber(std::size_t number);
  std::size_t popNumber();

  std::string bytes_;
  /// Where the next path begins in `bytes_`.
  std::size_t read_ = 0;
  std::size_t count_ = 0;
  /// The last path pushed, and the last popped: what the next one shares bytes with.
  std::string lastPushed_;
  std::string lastPopped_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_FOUND_PATHS_H_
