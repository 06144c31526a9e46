#include <windows.h>

#include <cstring>

#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/find_primitives.h"

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

// Both questions are the system's find-first lookup, so that "exists" agrees with
// what a walk sees. "dir\." names the directory itself, listed as ".".
bool pathExists(StringRef path) {
  // To find-first a '*' or '?' is a wildcard, never a byte of a name ('?' is what code
  // page 932 makes of a character it lacks): no entry has such a name. Neither is ever
  // the second byte of a pair.
  if (std::strpbrk(path.data(), "*?") != nullptr) return false;
  FindSearch search;
  return search.first(path.data()) == kFindOk;
}

bool directoryExists(StringRef path) {
  FindSearch search;
  return search.first(path.data()) == kFindOk &&
         (entryIsSubDirectory(search.block()) != 0 || entryIsDots(search.block()) != 0);
}

FileIdentity directoryIdentity(StringRef) { return FileIdentity(); }

}  // namespace quillkit
