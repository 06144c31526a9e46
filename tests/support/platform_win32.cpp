#include <windows.h>

#include "tests/support/platform.h"

namespace testsys {

bool isWindowsBuild() { return true; }
char separator() { return '\\'; }
const char* textLineEnd() { return "\r\n"; }
std::size_t createPathLimit() { return 260; }

bool makeDirectory(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool isDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> list(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA((path + "\\*").c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(handle, &data));
  FindClose(handle);
  return names;
}

std::string currentDirectory() {
  char buffer[MAX_PATH * 2];
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : "";
}

bool changeDirectory(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) != 0;
}

void removeTree(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    for (const std::string& name : list(path)) removeTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

std::string temporaryRoot() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetTempPathA(sizeof buffer, buffer);
  std::string result(buffer, length);
  while (result.size() > 3 && (result.back() == '\\' || result.back() == '/'))
    result.pop_back();
  return result;
}

void setReadOnly(const std::string& path, bool readOnly) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                        : (attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  SetFileAttributesA(path.c_str(), attributes);
}

bool makeUnreadable(const std::string&) { return false; }

bool ignoresPermissions() { return false; }

unsigned long processId() { return GetCurrentProcessId(); }

bool makeSparseFile(const std::string& path, uint64_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return sized;
}

bool makeSymbolicLink(const std::string&, const std::string&) { return false; }

bool copiesAreUnnamed() { return false; }

bool lastErrorIsNotFound() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool builtWithSanitizer() { return false; }

}  // namespace testsys
