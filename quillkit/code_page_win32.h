#ifndef QUILLKIT_CODE_PAGE_WIN32_H_
#define QUILLKIT_CODE_PAGE_WIN32_H_

// The Windows build meets names and arguments through the system's wide calls and turns
// them into the bytes of the ANSI code page (932 on the program's home system) here, and
// only here, without "best fit": the ANSI calls would hand the program `e` for `é` or `\`
// for `¥`, another file's name. Windows build only.

#include <string>

namespace quillkit {

/// `text`, bytes of the ANSI code page, as the UTF-16 of the system's wide calls: exact
/// for every text the code page spells. A byte sequence the page does not spell makes
/// the text empty, which names nothing.
std::wstring toWide(const char* text);

/// `text` in the ANSI code page, written to `bytes`: true when the page spells every
/// character exactly. Each character it lacks (half of a surrogate pair counts as one)
/// becomes '?', which no Windows name holds, and the result is false.
bool toCodePage(const wchar_t* text, std::string& bytes);

}  // namespace quillkit

#endif  // QUILLKIT_CODE_PAGE_WIN32_H_
