#include "quillkit/filesystem/file_identity_win32.h"

#include <windows.h>

namespace quillkit {

FileIdentity identityOf(const wchar_t* path) {
  // Backup semantics open a folder as well as a file; no access to the data is asked, so
  // a file that another process holds open can still be told.
  HANDLE handle = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FileIdentity();
  BY_HANDLE_FILE_INFORMATION information;
  const bool told = GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  if (!told) return FileIdentity();
  FileIdentity identity;
  identity.known = true;
  identity.device = information.dwVolumeSerialNumber;
  identity.inode =
      (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  return identity;
}

}  // namespace quillkit
