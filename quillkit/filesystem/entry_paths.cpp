#include "quillkit/filesystem/entry_paths.h"

#include "quillkit/filesystem/utility.h"

namespace quillkit {

EntryPaths::EntryPaths(const char* directory) : directory_(directory), prefix_(directory) {
  appendPath(prefix_, "");
  simple_ = *getExtension((prefix_ + "x").c_str()) == '\0';
}

std::string EntryPaths::joinInFull(const char* name) const {
  std::string path = directory_;
  appendPath(path, name);
  return path;
}

}  // namespace quillkit
