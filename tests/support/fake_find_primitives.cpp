#include "tests/support/fake_find_primitives.h"

#include <cstring>

#include "quillkit/filesystem/find_primitives.h"

namespace fakefind {

std::map<std::string, Listing>& listings() {
  static std::map<std::string, Listing> table;
  return table;
}

}  // namespace fakefind

namespace quillkit {

struct FindBlock {
  const fakefind::Listing* listing = nullptr;
  std::size_t position = 0;
  bool open = false;
};

namespace {

const fakefind::Entry* current(const FindBlock* block) {
  if (block->listing == nullptr || block->position >= block->listing->entries.size())
    return nullptr;
  return &block->listing->entries[block->position];
}

bool isDots(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

FindBlock* allocateFindBlock() { return new FindBlock(); }

int freeFindBlock(FindBlock** block) {
  if (block == nullptr || *block == nullptr) return -1;
  delete *block;
  *block = nullptr;
  return 0;
}

FindResult findFirstEntry(FindBlock* block, const char* searchPath) {
  auto found = fakefind::listings().find(searchPath);
  block->position = 0;
  block->open = found != fakefind::listings().end() && !found->second.entries.empty();
  block->listing = block->open ? &found->second : nullptr;
  return block->open ? kFindOk : kFindFailed;
}

FindResult findNextEntry(FindBlock* block) {
  if (!block->open) return kFindFailed;
  if (block->position + 1 < block->listing->entries.size()) {
    ++block->position;
    return kFindOk;
  }
  return block->listing->breaksOff ? kFindFailed : kFindNoMoreEntries;
}

int closeFind(FindBlock* block) {
  if (!block->open) return -1;
  block->open = false;
  return 0;
}

const char* entryName(FindBlock* block) {
  const fakefind::Entry* entry = current(block);
  return entry != nullptr ? entry->name.c_str() : "";
}

int copyEntryName(FindBlock* block, char* buffer, std::size_t size) {
  const fakefind::Entry* entry = current(block);
  if (entry == nullptr || entry->name.empty() || size <= entry->name.size()) return -1;
  std::memcpy(buffer, entry->name.c_str(), entry->name.size() + 1);
  return 0;
}

int entryMayBeLink(FindBlock*) { return 0; }

int entryIsSubDirectory(FindBlock* block) {
  const fakefind::Entry* entry = current(block);
  return entry != nullptr && entry->directory && !isDots(entry->name) ? 1 : 0;
}

int entryIsDots(FindBlock* block) {
  const fakefind::Entry* entry = current(block);
  return entry != nullptr && isDots(entry->name) ? 1 : 0;
}

uint32_t entryIsNormal(FindBlock*) { return kAttributeNormal; }

uint32_t entryIsReadOnly(FindBlock*) { return 0; }

FileIdentity listedDirectoryIdentity(FindBlock*) { return FileIdentity(); }

void entrySize(FindBlock*, uint32_t* high, uint32_t* low) {
  *high = 0;
  *low = 0;
}

// The walks over these listings have no read-ahead: they read nothing themselves.
void readAheadWith(FindBlock*, ListingReadAhead*) {}

void listedSubdirectories(FindBlock* block, std::vector<std::string>& names) {
  if (block->listing == nullptr) return;
  for (const fakefind::Entry& entry : block->listing->entries)
    if (entry.directory && !isDots(entry.name)) names.push_back(entry.name);
}

}  // namespace quillkit
