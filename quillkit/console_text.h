#ifndef QUILLKIT_CONSOLE_TEXT_H_
#define QUILLKIT_CONSOLE_TEXT_H_

// The fixed texts in the character set of the user's console, one implementation per
// platform (console_text_posix.cpp, console_text_win32.cpp). The texts are written
// down as Shift-JIS bytes; names and paths are never converted.

namespace quillkit {

/// Takes the console's character set from the user's locale, once at start (POSIX:
/// LC_ALL, else LC_CTYPE, else LANG). A locale that is not installed counts as UTF-8
/// when its name says so (".UTF-8", ".utf8", any case), else as C. Until it is called,
/// and on Windows, whose console shows its code page's bytes, every text stays as
/// written.
void useLocaleCharacterSet();

/// `shiftJis`, a fixed text that lives as long as the program, in the character set
/// chosen by useLocaleCharacterSet: converted the first time it is asked for, then
/// the same bytes every time. The text itself in a Shift-JIS locale, in the C locale,
/// and where the set cannot write it.
const char* consoleText(const char* shiftJis);

/// True when useLocaleCharacterSet found a UTF-8 locale, or one asked for but not
/// installed whose name says UTF-8 (".UTF-8", ".utf8", any case), where the terminal
/// most likely reads UTF-8; false until then and on Windows.
bool consoleIsUtf8();

}  // namespace quillkit

#endif  // QUILLKIT_CONSOLE_TEXT_H_
