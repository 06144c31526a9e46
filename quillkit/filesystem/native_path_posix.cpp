#include "quillkit/filesystem/native_path_posix.h"

#include "quillkit/filesystem/utility.h"

namespace quillkit {
namespace posix {

std::string toNativePath(const char* path) {
  std::string native(path);
  // Most paths hold no backslash at all: nothing to look at byte by byte.
  if (native.find('\\') == std::string::npos) return native;
  for (size_t i = 0; i < native.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(native[i]);
    if (isLeadByte(c) && i + 1 < native.size() &&
        isTrailByte(static_cast<unsigned char>(native[i + 1]))) {
      ++i;
      continue;
    }
    if (c == '\\') native[i] = '/';
  }
  return native;
}

}  // namespace posix
}  // namespace quillkit
