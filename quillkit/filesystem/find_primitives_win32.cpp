#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "quillkit/code_page_win32.h"
#include "quillkit/filesystem/find_primitives.h"

namespace quillkit {

// The wide calls, whose names are the system's own: the ANSI ones would hand the program
// a "best fit" for a character the code page lacks, another file's name.
struct FindBlock {
  HANDLE handle = nullptr;
  WIN32_FIND_DATAW data = {};
  /// The current entry's name in the code page, with '?' for each character it lacks.
  std::string name;
};

namespace {

bool isDotsName(const std::string& name) { return name == "." || name == ".."; }

void takeName(FindBlock* block) { toCodePage(block->data.cFileName, block->name); }

}  // namespace

// Windows lists with its own calls: nothing to read ahead.
void readAheadWith(FindBlock*, ListingReadAhead*) {}

void listedSubdirectories(FindBlock*, std::vector<std::string>&) {}

FindBlock* allocateFindBlock() {
  // Value-initialised: the handle starts as 0, not as INVALID_HANDLE_VALUE.
  return new (std::nothrow) FindBlock();
}

int freeFindBlock(FindBlock** block) {
  if (block == nullptr || *block == nullptr) return -1;
  delete *block;
  *block = nullptr;
  return 0;
}

FindResult findFirstEntry(FindBlock* block, const char* searchPath) {
  const std::wstring wide = toWide(searchPath);
  block->name.clear();
  if (wide.empty()) {
    // Bytes that the code page does not spell name no entry.
    block->handle = INVALID_HANDLE_VALUE;
    SetLastError(*searchPath == '\0' ? ERROR_PATH_NOT_FOUND : ERROR_NO_UNICODE_TRANSLATION);
    return kFindFailed;
  }
  block->handle = FindFirstFileW(wide.c_str(), &block->data);
  if (block->handle == INVALID_HANDLE_VALUE) return kFindFailed;
  takeName(block);
  return kFindOk;
}

FindResult findNextEntry(FindBlock* block) {
  if (FindNextFileW(block->handle, &block->data)) {
    takeName(block);
    return kFindOk;
  }
  return GetLastError() == ERROR_NO_MORE_FILES ? kFindNoMoreEntries : kFindFailed;
}

int closeFind(FindBlock* block) {
  if (block->handle == INVALID_HANDLE_VALUE) return -1;
  FindClose(block->handle);
  block->handle = INVALID_HANDLE_VALUE;
  return 0;
}

const char* entryName(FindBlock* block) { return block->name.c_str(); }

int copyEntryName(FindBlock* block, char* buffer, std::size_t size) {
  const std::size_t length = block->name.size();
  if (length == 0 || size <= length) return -1;
  std::memcpy(buffer, block->name.c_str(), length + 1);
  return 0;
}

// A walk here names no folder's identity, so it has no use for links either.
int entryMayBeLink(FindBlock*) { return 0; }

int entryIsSubDirectory(FindBlock* block) {
  return (block->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                 !isDotsName(block->name)
             ? 1
             : 0;
}

int entryIsDots(FindBlock* block) { return isDotsName(block->name) ? 1 : 0; }

uint32_t entryIsNormal(FindBlock* block) {
  return block->data.dwFileAttributes & FILE_ATTRIBUTE_NORMAL;
}

uint32_t entryIsReadOnly(FindBlock* block) {
  return block->data.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
}

// The system's enumeration decides what a walk meets; it names no folder's identity.
FileIdentity listedDirectoryIdentity(FindBlock*) { return FileIdentity(); }

void entrySize(FindBlock* block, uint32_t* high, uint32_t* low) {
  *high = block->data.nFileSizeHigh;
  *low = block->data.nFileSizeLow;
}

}  // namespace quillkit
