#ifndef QUILLKIT_FILESYSTEM_LISTING_READ_AHEAD_H_
#define QUILLKIT_FILESYSTEM_LISTING_READ_AHEAD_H_

#include <memory>
#include <string>
#include <vector>

namespace quillkit {

namespace posix {
struct RawListing;
}

/// Reads the listings of the folders that a walk will enter next, on a thread of its
/// own, while the walk works on the folder before: the kernel's work for the next folders
/// overlaps the walk's on this one. A walk makes one and owns it (DirectoryWalker::find),
/// hands it to its finders, and tells it the folders it will enter, in the order it will
/// enter them. It reads only where a second processor is there to take it, and only on
/// POSIX: Windows lists with the system's own search (listing_read_ahead_win32.cpp).
class ListingReadAhead {
 public:
  ListingReadAhead();
  /// Stops the reading thread and joins it.
  ~ListingReadAhead();
  ListingReadAhead(const ListingReadAhead&) = delete;
  ListingReadAhead& operator=(const ListingReadAhead&) = delete;

  /// Whether it reads at all: a walk may leave out telling it the folders when not.
  bool active() const { return state_ != nullptr; }
  /// The folders that the walk will enter next, in the order it will, as it will hand
  /// them to its finders: read before those expected earlier. The reading thread starts
  /// with the first folders, so that a walk of one folder costs no thread.
  void expect(const std::vector<std::string>& directories);
  /// POSIX: moves the listing of `directory` (native, ending in '/') into `listing` and
  /// answers true when it was read ahead, waiting while it is being read; false when it
  /// was not, and the caller reads it itself.
  bool take(const std::string& directory, posix::RawListing& listing);

 private:
  /// The reading thread and what it has read.
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_LISTING_READ_AHEAD_H_
