#ifndef PELQUIST_COPY_TEMPORARIES_TEMPORARY_NAMES_H_
#define PELQUIST_COPY_TEMPORARIES_TEMPORARY_NAMES_H_

// For the file operations of both builds, and for the cleanup that main sets up: the
// temporary names that exist, or are being made, right now, so that a signal (a console
// control event on Windows) that ends the process can take every one of them away first,
// whichever thread made it.

#include <functional>
#include <string>

namespace copy {

/// A temporary name listed for the cleanup while this lives. It is listed before the
/// name is made, and the making counts as under way until made(): the cleanup waits for
/// every making under way, and once it has begun no thread makes another name (the
/// constructor then waits until the process has ended). So with the step that gives the
/// file under it its final name (placing()): the cleanup closes the files open under the
/// names before it removes them, and a file it has closed must never take a name.
/// Unlisted however the scope is left: a name that turned out to be another's must not
/// stay listed.
class TemporaryName {
 public:
  /// `name` in the folder open as `folder` (POSIX), or a whole path where `folder` is -1;
  /// `shownFolder` is that folder's path, to name it in a message.
  explicit TemporaryName(std::string name, int folder = -1, std::string shownFolder = "");
  ~TemporaryName();
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  /// Says that the call that makes the name has returned, made or not. `file`, where
  /// the name was made for a file opened here, is its descriptor, which the cleanup
  /// closes before it removes the name: a file system may refuse to remove a file still
  /// open (SMB does).
  void made(int file = -1);
  /// Says that the owner is about to close that file itself: the cleanup leaves it.
  void closing();
  /// Says that the file under the name is about to take its final name (a rename, a
  /// link); until placed() that counts as a making under way, and once the cleanup has
  /// begun none starts (this waits until the process has ended).
  void placing();
  void placed();
  const std::string& name() const { return name_; }
  int folder() const { return folder_; }
  /// The name as a message shows it: with its folder's path, where that was given.
  std::string shown() const {
    return shownFolder_.empty() ? name_ : shownFolder_ + "/" + name_;
  }

 private:
  friend void removeTemporaryNamesForGood(const std::function<void(const TemporaryName&)>&,
                                          const std::function<void(int)>&);
  const std::string name_;
  const int folder_;
  const std::string shownFolder_;
  /// The open file under the name; guarded by the list's lock.
  int file_ = -1;
  bool making_ = true;
};

/// True once removeTemporaryNamesForGood() has begun: a making that can stop early (a long
/// copy on Windows) stops, so that the cleanup need not wait for it to end.
bool temporaryNamesStopped();

/// Stops every further temporary name, waits for those being made or placed, hands every
/// file still open under a listed name to `close` (where given), and then every listed
/// name to `remove`. For the thread that ends the process on a signal: the process must
/// end right after, as no copy can go on.
void removeTemporaryNamesForGood(const std::function<void(const TemporaryName&)>& remove,
                                 const std::function<void(int)>& close = nullptr);

}  // namespace copy

#endif  // PELQUIST_COPY_TEMPORARIES_TEMPORARY_NAMES_H_
