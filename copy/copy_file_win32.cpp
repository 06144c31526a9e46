#include <windows.h>

#include <string>

#include "copy/copy_file.h"

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  return CopyFileA(source.data(), destination.data(), forceWrite ? FALSE : TRUE) != 0;
}

// The system's copy flushes as it sees fit; each copy runs when it is finished.
struct ReplacingCopies::Pending {
  std::string destination;
  std::string source;
};

ReplacingCopies::ReplacingCopies() = default;
ReplacingCopies::~ReplacingCopies() = default;

void ReplacingCopies::start(const std::string& source, const std::string& destination) {
  pending_.push_back(std::make_unique<Pending>(Pending{destination, source}));
}

bool ReplacingCopies::finishNext() {
  std::unique_ptr<Pending> oldest = std::move(pending_.front());
  pending_.pop_front();
  return CopyFileWin32(oldest->destination, oldest->source, true);
}
