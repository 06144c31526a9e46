#include "quillkit/filesystem/entry_paths.h"

#include <cstring>

#include "quillkit/filesystem/utility.h"

namespace quillkit {

EntryPaths::EntryPaths(const char* directory) : directory_(directory), prefix_(directory) {
  appendPath(prefix_, "");
  simple_ = *getExtension((prefix_ + "x").c_str()) == '\0';
}

bool EntryPaths::simple(const char* name) const {
  return simple_ && std::strchr(name, '\\') == nullptr;
}

std::string EntryPaths::join(const char* name) const {
  if (simple(name)) return prefix_ + name;
  std::string path = directory_;
  appendPath(path, name);
  return path;
}

}  // namespace quillkit
