#include <windows.h>

#include <cstring>
#include <vector>

#include "quillkit/code_page_win32.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/file_identity_win32.h"
#include "quillkit/filesystem/find_primitives.h"
#include "quillkit/filesystem/utility.h"

namespace quillkit {

namespace {

/// The wide call's text in the code page. A character the page lacks is '?', which the
/// system refuses in a folder part: a path built on it names no other folder.
std::string inCodePage(const std::vector<wchar_t>& text) {
  std::string bytes;
  toCodePage(text.data(), bytes);
  return bytes;
}

}  // namespace

int getCurrentDirectory(char* buffer, uint32_t bufferSize) {
  std::vector<wchar_t> wide(MAX_PATH);
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(wide.size()), wide.data());
  if (length >= wide.size()) {
    wide.resize(length + 1);
    length = GetCurrentDirectoryW(static_cast<DWORD>(wide.size()), wide.data());
  }
  if (length == 0 || length >= wide.size()) return 0;
  const std::string directory = inCodePage(wide);
  // One that does not fit leaves the buffer as it was, as the system's own call does.
  if (directory.size() >= bufferSize) return 1;
  std::memcpy(buffer, directory.c_str(), directory.size() + 1);
  return 1;
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
  // To find-first a '*' or '?' is a wildcard, never a byte of a name ('?' is what the
  // program makes of a character the code page lacks): no entry has such a name. The '?'
  // of a "\\?\" prefix is none. Neither is ever the second byte of a pair.
  if (std::strpbrk(path.data() + literalPrefixLength(path.data()), "*?") != nullptr)
    return false;
  FindSearch search;
  return search.first(path.data()) == kFindOk;
}

bool directoryExists(StringRef path) {
  // "dst\" and "dst\\" name the folder dst, which find-first takes for no entry; a root
  // ("C:\", "\") keeps its separator.
  std::string folder = path.textToNul();
  while (folder.size() > 1 &&
         endsWithSeparator(folder.c_str(), static_cast<uint32_t>(folder.size())) &&
         folder[folder.size() - 2] != ':')
    folder.pop_back();
  FindSearch search;
  return search.first(folder.c_str()) == kFindOk &&
         (entryIsSubDirectory(search.block()) != 0 || entryIsDots(search.block()) != 0);
}

FileIdentity directoryIdentity(StringRef path) {
  return identityOf(toWide(path.data()).c_str());
}

bool completeFromDriveOrRoot(StringRef path, std::string& full) {
  if (!isDriveOrRootRelative(path.data())) return false;
  const std::wstring wide = toWide(path.data());
  if (wide.empty()) return false;
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length =
      GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                              nullptr);
  }
  if (length == 0 || length >= buffer.size()) return false;
  full = inCodePage(buffer);
  return true;
}

}  // namespace quillkit
