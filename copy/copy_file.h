#ifndef PELQUIST_COPY_COPY_FILE_H_
#define PELQUIST_COPY_COPY_FILE_H_

#include <cstddef>
#include <memory>
#include <string>

#include "copy/prepared_copy.h"
#include "quillkit/string_ref.h"

namespace copy {

/// Copies `source` to `destination` (the Windows call's own order: destination first)
/// with the platform's file copy:
/// content, attributes and modification time. With `forceWrite` false an existing
/// destination is never touched; with it true the destination is replaced whole or
/// not at all. A file copied onto itself fails and stays intact. True on success; on
/// failure the system's last error tells why (copy_file_win32.cpp, copy_file_posix.cpp).
bool CopyFileWin32(quillkit::StringRef destination, quillkit::StringRef source,
                   bool forceWrite);

/// The copy that CopyFileWin32 makes, in steps: made now, on the thread that names it,
/// written by PreparedCopy::prepare() (POSIX: into a file without a name), named when
/// PreparedCopy::name() is called. On Windows, where the platform's copy is one call,
/// that call is made at the naming. Never null.
std::unique_ptr<PreparedCopy> makeFileCopy(const std::string& destination,
                                           const std::string& source, bool forceWrite);
/// How many files copies prepared ahead of their turn may hold open at once: what the
/// open-file limit leaves to the files open now (POSIX); 0 on Windows, where nothing is
/// prepared ahead.
std::size_t filesForCopiesAhead();

}  // namespace copy

#endif  // PELQUIST_COPY_COPY_FILE_H_
