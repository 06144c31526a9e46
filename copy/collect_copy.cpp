#include "app/copy_application.h"

bool CopyApplication::executeCollectCopy(quillkit::StringRef, quillkit::StringRef, bool) {
  return false;
}
