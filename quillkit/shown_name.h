#ifndef QUILLKIT_SHOWN_NAME_H_
#define QUILLKIT_SHOWN_NAME_H_

#include <string>

namespace quillkit {

/// A path or name as the console shows it: on POSIX each control byte (0x01-0x1F,
/// 0x7F) becomes '?', so that a name can neither break a line nor steer the
/// terminal; the Windows build, whose names cannot hold them, shows it unchanged.
/// Only for writing: the file operations take the real bytes.
std::string shownName(const std::string& name);

}  // namespace quillkit

#endif  // QUILLKIT_SHOWN_NAME_H_
