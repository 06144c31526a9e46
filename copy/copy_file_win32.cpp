#include <windows.h>

#include <string>

#include "copy/copy_file.h"

bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite) {
  return CopyFileA(source.data(), destination.data(), forceWrite ? FALSE : TRUE) != 0;
}

// The system's handles are not the C library's descriptors: no small limit applies.
std::size_t copiesTheSystemAllows() { return 64; }
