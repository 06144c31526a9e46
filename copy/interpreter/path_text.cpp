#include "copy/interpreter/path_text.h"

#include "quillkit/filesystem/utility.h"
#include "quillkit/platform.h"

namespace shell {

size_t nameStart(const std::string& path) {
  int32_t last = quillkit::findLastSeparator(path.c_str());
  return last < 0 ? 0 : static_cast<size_t>(last) + 1;
}

bool hasWildcard(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

bool endsWithSeparator(const std::string& path) {
  return !path.empty() && nameStart(path) == path.size();
}

std::string joinPath(const std::string& directory, const std::string& name) {
  if (directory.empty() || endsWithSeparator(directory)) return directory + name;
  return directory + quillkit::platform::kInsertedSeparator + name;
}

}  // namespace shell
