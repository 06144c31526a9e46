#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "quillkit/code_page_win32.h"
#include "quillkit/filesystem/file_identity_win32.h"
#include "quillkit/filesystem/find_primitives.h"

namespace quillkit {

// The wide calls, whose names are the system's own: the ANSI ones would hand the program
// a "best fit" for a character the code page lacks, another file's name.
struct FindBlock {
  HANDLE handle = nullptr;
  WIN32_FIND_DATAW data = {};
  /// The current entry's name in the code page, with '?' for each character it lacks.
  std::string name;
  /// The folder part of the search path, with its separator: the listed folder.
  std::wstring folder;
};

namespace {

bool isDotsName(const std::string& name) { return name == "." || name == ".."; }

// The search path up to and with its last separator ("" for a bare name).
std::wstring folderOf(const std::wstring& searchPath) {
  const std::wstring::size_type last = searchPath.find_last_of(L"\\/");
  return last == std::wstring::npos ? std::wstring() : searchPath.substr(0, last + 1);
}

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
  block->folder = folderOf(wide);
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

// A folder link (a junction, a symbolic link) is a reparse point: it may lead back up.
int entryMayBeLink(FindBlock* block) {
  return (block->data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? 1 : 0;
}

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

// Asked only of a folder reached through a link: the listed folder is opened then.
FileIdentity listedDirectoryIdentity(FindBlock* block) {
  return identityOf(block->folder.empty() ? L"." : block->folder.c_str());
}

void entrySize(FindBlock* block, uint32_t* high, uint32_t* low) {
  *high = block->data.nFileSizeHigh;
  *low = block->data.nFileSizeLow;
}

}  // namespace quillkit
