#include <windows.h>

#include <string>

#include "copy/copy_file.h"
#include "quillkit/diagnostics.h"

namespace copy {

namespace {

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
  CopyOutcome name() override {
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

}  // namespace

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  return CopyFileA(source.data(), destination.data(), forceWrite ? FALSE : TRUE) != 0;
}

std::unique_ptr<PreparedCopy> makeFileCopy(const std::string& destination,
                                           const std::string& source, bool forceWrite) {
  return std::unique_ptr<PreparedCopy>(new CopyAtTurn(destination, source, forceWrite));
}

std::size_t filesForCopiesAhead() { return 0; }

}  // namespace copy
