// Before any header: stdlib.h declares rand_s, the system's random source, only then.
#define _CRT_RAND_S
#include <windows.h>

#include <cstdlib>
#include <string>

#include "copy/destination.h"
#include "copy/temporaries/temporary_names.h"
#include "quillkit/code_page_win32.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/entry_paths.h"
#include "quillkit/filesystem/file_identity_win32.h"
#include "quillkit/filesystem/utility.h"

namespace copy {

namespace {

/// How many letters of the system's random source name a temporary file.
constexpr int kTemporaryLetters = 12;

/// A name beside `destination` that nothing has yet, as far as anyone can foresee:
/// ".pelquist-" and 12 letters from the system's random source; empty where it has none.
std::string temporaryNameFor(const std::string& destination) {
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name =
      destination.substr(0, quillkit::findLastSeparator(destination.c_str()) + 1) +
      ".pelquist-";
  for (int i = 0; i < kTemporaryLetters; ++i) {
    unsigned int value = 0;
    if (rand_s(&value) != 0) return std::string();
    name += kLetters[value % (sizeof kLetters - 1)];
  }
  return name;
}

/// False, with the system's last error set as its own copy sets it, where a destination
/// that `forceWrite` replaces must be left alone: the source itself under another name
/// or a file another process holds open (a sharing violation), a read-only file (access
/// denied). A link there is replaced, whatever it leads to.
bool replaceable(const char* destination, const char* source) {
  const DWORD attributes = GetFileAttributesA(destination);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // not there: the name tells
  const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 && !link) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const quillkit::FileIdentity there =
      quillkit::identityOf(quillkit::toWide(destination).c_str());
  if (there == quillkit::identityOf(quillkit::toWide(source).c_str())) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
  }
  // Open elsewhere without leave to delete it, the name cannot be taken from it.
  HANDLE probe = CreateFileA(
      destination, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_SHARING_VIOLATION;
  CloseHandle(probe);
  return true;
}

/// Writes the file at `path` to disk and waits: where a copy replaces a file, the old
/// content must not be traded for data still in memory. False, with the system's last
/// error, where it cannot be.
bool flushToDisk(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const BOOL flushed = FlushFileBuffers(file);
  const DWORD error = GetLastError();
  CloseHandle(file);
  SetLastError(error);
  return flushed != 0;
}

/// Stops a copy under way once an interruption's cleanup has begun: the system's copy
/// then removes what it wrote, and the cleanup need not wait for the rest.
DWORD CALLBACK stopWhenCleanedUp(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER,
                                 DWORD, DWORD, HANDLE, HANDLE, LPVOID) {
  return temporaryNamesStopped() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

/// Copies `source` to `destination` (the Windows call's own order: destination first):
/// content, attributes and modification time, written by the system's copy under a
/// temporary name beside the destination, which then takes the destination's name in
/// one step (a link there is replaced, not written through). So an interruption leaves
/// the destination as it was or whole. An existing destination is replaced only when
/// `forceWrite`. True on success; on failure the system's last error tells why, as the
/// system's own copy of the file to its name would.
bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  if (forceWrite && !replaceable(destination.data(), source.data())) return false;
  // Taken by chance, one name in 2^71: many tries only in a folder full of them.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string temporary = temporaryNameFor(destination.data());
    if (temporary.empty()) return false;
    TemporaryName listed(temporary);
    const BOOL copied = CopyFileExA(source.data(), temporary.c_str(), stopWhenCleanedUp,
                                    nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS);
    DWORD error = GetLastError();
    // A read-only copy (of a read-only source) is made writable until it has its name:
    // the cleanup of an interruption could not remove it.
    const DWORD attributes = copied ? GetFileAttributesA(temporary.c_str()) : 0;
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) SetFileAttributesA(temporary.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    const bool flushed = !copied || !forceWrite || flushToDisk(temporary.c_str());
    if (!flushed) error = GetLastError();
    listed.made();
    if (!flushed) {
      DeleteFileA(temporary.c_str());
      SetLastError(error);
      return false;
    }
    if (!copied) {
      if (error == ERROR_FILE_EXISTS) continue;  // another's name: never removed
      DeleteFileA(temporary.c_str());
      SetLastError(error);
      return false;
    }
    const DWORD replace = forceWrite ? MOVEFILE_REPLACE_EXISTING : 0;
    if (MoveFileExA(temporary.c_str(), destination.data(), replace | MOVEFILE_WRITE_THROUGH)) {
      // Set on the name now: the temporary name's own attributes may differ (Wine hides a
      // name that begins with a dot).
      const DWORD named = readOnly ? GetFileAttributesA(destination.data()) : 0;
      if (named != 0 && named != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(destination.data(), named | FILE_ATTRIBUTE_READONLY);
      return true;
    }
    error = GetLastError();
    DeleteFileA(temporary.c_str());
    // An existing destination that may not be replaced: as a copy to the name says it.
    SetLastError(error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error);
    return false;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return false;
}

/// A copy made at the file's turn: the copies are made one after another.
class CopyAtTurn : public PreparedCopy {
 public:
  CopyAtTurn(const std::string& destination, const std::string& source, bool forceWrite)
      : destination_(destination), source_(source), forceWrite_(forceWrite) {}
  void prepare() override {}
  bool ready() const override { return true; }
  quillkit::FileIdentity source() const override { return quillkit::FileIdentity(); }
  CopyOutcome takeName() override {
    CopyOutcome outcome;
    outcome.copied = CopyFileWin32(destination_, source_, forceWrite_);
    // The copy just made has its source's size.
    WIN32_FILE_ATTRIBUTE_DATA made;
    if (outcome.copied &&
        GetFileAttributesExA(destination_.c_str(), GetFileExInfoStandard, &made) != 0)
      outcome.bytes = (static_cast<uint64_t>(made.nFileSizeHigh) << 32) | made.nFileSizeLow;
    if (!outcome.copied) {
      // Taken before anything else can replace the system's last error.
      outcome.errorText = quillkit::getLastErrorMessage();
      outcome.shortOfResources = quillkit::lastErrorIsShortOfResources();
    }
    return outcome;
  }

 private:
  const std::string destination_;
  const std::string source_;
  const bool forceWrite_;
};

/// The folder's copies, by their paths.
class WindowsDestination : public Destination {
 public:
  explicit WindowsDestination(const std::string& folder)
      : folder_(folder), paths_(folder.c_str()) {}
  const std::string& folder() const override { return folder_; }
  bool exists(const std::string& name) override {
    return quillkit::pathExists(paths_.join(name.c_str()));
  }
  std::unique_ptr<PreparedCopy> makeCopy(const std::string& source, const std::string& name,
                                         bool forceWrite) override {
    return std::unique_ptr<PreparedCopy>(
        new CopyAtTurn(paths_.join(name.c_str()), source, forceWrite));
  }

 private:
  const std::string folder_;
  const quillkit::EntryPaths paths_;
};

}  // namespace

std::unique_ptr<Destination> openDestination(const std::string& folder, const FileLayer&) {
  return std::unique_ptr<Destination>(new WindowsDestination(folder));
}

std::size_t filesForCopiesAhead() { return 0; }

}  // namespace copy
