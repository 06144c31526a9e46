#include "quillkit/shown_name.h"

#include "quillkit/platform.h"

namespace quillkit {

std::string shownName(const std::string& name) {
  if (!platform::kMasksControlBytes) return name;
  std::string shown = name;
  for (char& byte : shown)
    if ((byte >= 0x01 && byte <= 0x1F) || byte == 0x7F) byte = '?';
  return shown;
}

}  // namespace quillkit
