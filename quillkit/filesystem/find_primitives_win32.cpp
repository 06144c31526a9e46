#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "quillkit/filesystem/find_primitives.h"

namespace quillkit {

struct FindBlock {
  HANDLE handle;
  WIN32_FIND_DATAA data;
};

namespace {

bool isDotsName(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

// Windows lists with its own calls: nothing to read ahead.
void readAheadWith(FindBlock*, ListingReadAhead*) {}

void listedSubdirectories(FindBlock*, std::vector<std::string>&) {}

FindBlock* allocateFindBlock() {
  // Zero-filled: the handle starts as 0, not as INVALID_HANDLE_VALUE.
  return static_cast<FindBlock*>(std::calloc(1, sizeof(FindBlock)));
}

int freeFindBlock(FindBlock** block) {
  if (block == nullptr || *block == nullptr) return -1;
  std::free(*block);
  *block = nullptr;
  return 0;
}

FindResult findFirstEntry(FindBlock* block, const char* searchPath) {
  block->handle = FindFirstFileA(searchPath, &block->data);
  return block->handle == INVALID_HANDLE_VALUE ? kFindFailed : kFindOk;
}

FindResult findNextEntry(FindBlock* block) {
  if (FindNextFileA(block->handle, &block->data)) return kFindOk;
  return GetLastError() == ERROR_NO_MORE_FILES ? kFindNoMoreEntries : kFindFailed;
}

int closeFind(FindBlock* block) {
  if (block->handle == INVALID_HANDLE_VALUE) return -1;
  FindClose(block->handle);
  block->handle = INVALID_HANDLE_VALUE;
  return 0;
}

const char* entryName(FindBlock* block) { return block->data.cFileName; }

int copyEntryName(FindBlock* block, char* buffer, std::size_t size) {
  const std::size_t length = std::strlen(block->data.cFileName);
  if (length == 0 || size <= length) return -1;
  std::memcpy(buffer, block->data.cFileName, length + 1);
  return 0;
}

// A walk here names no folder's identity, so it has no use for links either.
int entryMayBeLink(FindBlock*) { return 0; }

int entryIsSubDirectory(FindBlock* block) {
  return (block->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                 !isDotsName(block->data.cFileName)
             ? 1
             : 0;
}

int entryIsDots(FindBlock* block) { return isDotsName(block->data.cFileName) ? 1 : 0; }

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
