#ifndef PELQUIST_COPY_COPY_FILE_H_
#define PELQUIST_COPY_COPY_FILE_H_

#include <cstddef>
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

/// How many copies may run at once before the process runs out of open files (each
/// holds at most three descriptors); at least 1.
std::size_t copiesTheSystemAllows();

#endif  // PELQUIST_COPY_COPY_FILE_H_
