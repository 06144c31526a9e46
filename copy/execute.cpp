#include "app/copy_application.h"
#include "app/texts.h"

bool CopyApplication::execute(quillkit::StringRef source, quillkit::StringRef destination,
                              CopyMode mode, bool forceWrite) {
  switch (mode) {
    case CollectCopy:
      return executeCollectCopy(source, destination, forceWrite);
    case Copy:
    case Move:
    case XCopy:
      return executeShellCommand(source, destination, mode);
    default:
      console_ << texts::kUnknownMode << std::endl;
      usage();
      return false;
  }
}
