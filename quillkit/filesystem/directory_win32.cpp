#include <windows.h>

#include "quillkit/filesystem/directory.h"

namespace quillkit {

int getCurrentDirectory(char* buffer, uint32_t bufferSize) {
  return GetCurrentDirectoryA(bufferSize, buffer) != 0 ? 1 : 0;
}

int setCurrentDirectory(const char* path) { return SetCurrentDirectoryA(path) ? 1 : 0; }

int createDirectory(const char* path, const SecurityAttributes& attributes) {
  SECURITY_ATTRIBUTES security = {};
  // The record's own size: 12 on a 32-bit build, larger on a 64-bit one.
  security.nLength = sizeof security;
  security.lpSecurityDescriptor = attributes.securityDescriptor;
  security.bInheritHandle = attributes.inheritHandle ? TRUE : FALSE;
  return CreateDirectoryA(path, &security) ? 1 : 0;
}

int directoryExists(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1
                                                                                          : 0;
}

int entryExists(const char* path) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(path, &data);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return 1;
}

}  // namespace quillkit
