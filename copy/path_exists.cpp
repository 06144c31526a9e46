#include "copy/copy_file.h"
#include "quillkit/filesystem/find_primitives.h"

namespace quillkit {

// The same lookup as every other find, so that "exists" agrees with what a walk sees.
bool pathExists(StringRef path) {
  FindBlock* block = allocateFindBlock();
  if (block == nullptr) return false;
  bool found = findFirstEntry(block, path.textToNul().c_str()) == kFindOk;
  if (found) closeFind(block);
  freeFindBlock(&block);
  return found;
}

}  // namespace quillkit
