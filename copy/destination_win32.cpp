#include <windows.h>

#include <string>

#include "copy/destination.h"
#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/entry_paths.h"

namespace copy {

namespace {

/// Copies `source` to `destination` (the Windows call's own order: destination first)
/// with the platform's file copy: content, attributes and modification time; an existing
/// destination is replaced only when `forceWrite`. True on success; on failure the
/// system's last error tells why.
bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  return CopyFileA(source.data(), destination.data(), forceWrite ? FALSE : TRUE) != 0;
}

/// The platform's copy writes the data and takes the name in one call, which cannot be
/// split without a temporary name that closing the console would leave behind: the
/// call is made at the file's turn, so the copies are made one after another.
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
