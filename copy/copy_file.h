#ifndef PELQUIST_COPY_COPY_FILE_H_
#define PELQUIST_COPY_COPY_FILE_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "quillkit/string_ref.h"

/// Copies `source` to `destination` (the Windows call's own order: destination first)
/// with the platform's file copy:
/// content, attributes and modification time. With `forceWrite` false an existing
/// destination is never touched; with it true the destination is replaced whole or
/// not at all. A file copied onto itself fails and stays intact. True on success; on
/// failure the system's last error tells why (copy_file_win32.cpp, copy_file_posix.cpp).
bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite);

/// Copies that replace their destinations (CopyFileWin32 with force-write), started one
/// after another and finished in the same order. On POSIX a started copy is written at
/// once; the first finish flushes the data of every started copy to disk in one go, and
/// each then takes its name. On Windows each is CopyFileWin32 when it is finished.
class ReplacingCopies {
 public:
  ReplacingCopies();
  ~ReplacingCopies();
  ReplacingCopies(const ReplacingCopies&) = delete;
  ReplacingCopies& operator=(const ReplacingCopies&) = delete;

  /// Starts a copy of `source` to `destination`.
  void start(const std::string& source, const std::string& destination);
  /// Finishes the oldest started copy: true when it is in place; false, with the
  /// system's last error telling why, as CopyFileWin32. Only after a start.
  bool finishNext();
  /// How many are started and not finished.
  std::size_t started() const { return pending_.size(); }
  /// The bytes that the started copies write ahead (none where nothing is written
  /// before finish).
  uint64_t bytesStarted() const { return bytes_; }

 private:
  struct Pending;
  std::deque<std::unique_ptr<Pending>> pending_;
  uint64_t bytes_ = 0;
};

#endif  // PELQUIST_COPY_COPY_FILE_H_
