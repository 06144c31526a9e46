#include <windows.h>

#include "copy/copy_file.h"

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  return CopyFileA(source.data(), destination.data(), forceWrite ? FALSE : TRUE) != 0;
}
