#ifndef PELQUIST_COPY_COPY_FILE_H_
#define PELQUIST_COPY_COPY_FILE_H_

#include "quillkit/string_ref.h"

/// Copies `source` to `destination` (note the order) with the platform's file copy:
/// content, attributes and modification time. With `forceWrite` false an existing
/// destination is never touched; with it true the destination is replaced whole or
/// not at all. A file copied onto itself fails and stays intact. True on success; on
/// failure the system's last error tells why (copy_file_win32.cpp, copy_file_posix.cpp).
bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite);

#endif  // PELQUIST_COPY_COPY_FILE_H_
