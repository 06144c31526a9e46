#include "quillkit/shown_name.h"

#include "quillkit/platform.h"

namespace quillkit {

namespace {

bool isControlByte(unsigned char byte) {
  return (byte >= 0x01 && byte <= 0x1F) || byte == 0x7F;
}

}  // namespace

std::string shownName(const std::string& name) {
  if (!platform::kMasksControlBytes) return name;
  // Nearly every name holds none: looked for first in one pass without writes (which
  // the compiler turns into vector instructions), then masked only where found.
  unsigned char any = 0;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    any |= static_cast<unsigned char>(static_cast<unsigned char>(byte - 1) < 0x1F) |
           static_cast<unsigned char>(byte == 0x7F);
  }
  if (any == 0) return name;
  std::string shown = name;
  for (char& byte : shown)
    if (isControlByte(static_cast<unsigned char>(byte))) byte = '?';
  return shown;
}

}  // namespace quillkit
