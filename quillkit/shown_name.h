#ifndef QUILLKIT_SHOWN_NAME_H_
#define QUILLKIT_SHOWN_NAME_H_

#include <string>

namespace quillkit {

/// A path or name as the console shows it: on POSIX each control byte (0x01-0x1F,
/// 0x7F) becomes '?', so that a name can neither break a line nor steer the
/// terminal; in a UTF-8 console (`utf8Console`) so does each C1 control (U+0080-U+009F,
/// the pairs C2 80 to C2 9F), one '?' for its two bytes, while a byte 0x80-0x9F of its
/// own (a Shift-JIS lead byte) stays. The Windows build, whose names cannot hold them,
/// shows it unchanged. Only for writing: the file operations take the real bytes.
std::string shownName(const std::string& name, bool utf8Console);

/// shownName in the console of the user's locale (consoleIsUtf8).
std::string shownName(const std::string& name);

/// Appends shownName(name) to `out`, without a copy where nothing is masked: a line is
/// built whole and written at once.
void appendShownName(std::string& out, const std::string& name);

}  // namespace quillkit

#endif  // QUILLKIT_SHOWN_NAME_H_
