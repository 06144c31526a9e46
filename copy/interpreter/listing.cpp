#include "copy/interpreter/listing.h"

#include "copy/interpreter/path_text.h"
#include "quillkit/filesystem/find_primitives.h"

namespace shell {

std::vector<ListedEntry> listMatches(const std::string& directory, const std::string& pattern) {
  std::vector<ListedEntry> entries;
  quillkit::FindBlock* block = quillkit::allocateFindBlock();
  if (block == nullptr) return entries;
  std::string searchPath = joinPath(directory.empty() ? "." : directory, pattern);
  if (quillkit::findFirstEntry(block, searchPath.c_str()) == quillkit::kFindOk) {
    do {
      if (quillkit::entryIsDots(block)) continue;
      char name[4096];
      if (quillkit::copyEntryName(block, name, sizeof name) != 0) continue;
      ListedEntry entry;
      entry.name = name;
      entry.isDirectory = quillkit::entryIsSubDirectory(block) != 0;
      entries.push_back(entry);
    } while (quillkit::findNextEntry(block) == quillkit::kFindOk);
    quillkit::closeFind(block);
  }
  quillkit::freeFindBlock(&block);
  return entries;
}

}  // namespace shell
