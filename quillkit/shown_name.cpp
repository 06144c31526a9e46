#include "quillkit/shown_name.h"

#include "quillkit/console_text.h"
#include "quillkit/platform.h"

namespace quillkit {

namespace {

bool isControlByte(unsigned char byte) {
  return (byte >= 0x01 && byte <= 0x1F) || byte == 0x7F;
}

/// The lead byte of every UTF-8 C1 control (U+0080-U+009F).
constexpr unsigned char kC1Lead = 0xC2;

bool isC1Control(const std::string& name, std::size_t at) {
  return static_cast<unsigned char>(name[at]) == kC1Lead && at + 1 < name.size() &&
         static_cast<unsigned char>(name[at + 1]) >= 0x80 &&
         static_cast<unsigned char>(name[at + 1]) <= 0x9F;
}

/// True when shownName would change something of `name`. Nearly every name holds
/// nothing to mask: looked for in one pass without writes (which the compiler turns into
/// vector instructions).
bool holdsMasked(const std::string& name, bool utf8Console) {
  if (!os::kMasksControlBytes) return false;
  unsigned char any = 0;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    any |= static_cast<unsigned char>(static_cast<unsigned char>(byte - 1) < 0x1F) |
           static_cast<unsigned char>(byte == 0x7F) |
           static_cast<unsigned char>(utf8Console && byte == kC1Lead);
  }
  return any != 0;
}

}  // namespace

std::string shownName(const std::string& name, bool utf8Console) {
  if (!holdsMasked(name, utf8Console)) return name;
  std::string shown;
  shown.reserve(name.size());
  for (std::size_t at = 0; at < name.size(); ++at) {
    if (utf8Console && isC1Control(name, at)) {
      shown += '?';
      ++at;
    } else {
      shown += isControlByte(static_cast<unsigned char>(name[at])) ? '?' : name[at];
    }
  }
  return shown;
}

std::string shownName(const std::string& name) { return shownName(name, consoleIsUtf8()); }

void appendShownName(std::string& out, const std::string& name) {
  const bool utf8 = consoleIsUtf8();
  if (holdsMasked(name, utf8))
    out += shownName(name, utf8);
  else
    out += name;
}

}  // namespace quillkit
