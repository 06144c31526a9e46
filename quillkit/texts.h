#ifndef QUILLKIT_TEXTS_H_
#define QUILLKIT_TEXTS_H_

// Every fixed text of the quillkit library. Japanese texts are Shift-JIS bytes.

namespace quillkit {
namespace texts {

/// Layout of one assertion report: expression, source, line, message.
constexpr const char kAssertReportFormat[] =
    "QUILLKIT_ASSERT(%s):\nfile:%s / \n line:%d / \n message: %s";
/// The message of a raise site that gives none.
constexpr const char kAssertNoMessage[] = "No message\n";
/// The file that collects assertion reports, in the current directory.
constexpr const char kAssertReportFile[] = "ERROR_TEMP.txt";
/// Title of the notice shown with an assertion report.
constexpr const char kAssertNoticeTitle[] = "Message";
/// "このテキストをこのソフトの開発者に渡せば、バグ発見の近道なります。\n \t\t
///  開発者に知らせるときはこのテキストを転記してあげましょう。"
/// (Give this text to the developer of this software: it is a shortcut to finding the
///  bug. When you tell the developer, copy this text for them.)
constexpr const char kAssertNotice[] =
    "\x82\xb1\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x82\xb1\x82\xcc\x83\x5c"
    "\x83\x74\x83\x67\x82\xcc\x8a\x4a\x94\xad\x8e\xd2\x82\xc9\x93\x6e\x82\xb9\x82\xce"
    "\x81\x41\x83\x6f\x83\x4f\x94\xad\x8c\xa9\x82\xcc\x8b\xdf\x93\xb9\x82\xc8\x82\xe8"
    "\x82\xdc\x82\xb7\x81\x42\n \t\t"
    "\x8a\x4a\x94\xad\x8e\xd2\x82\xc9\x92\x6d\x82\xe7\x82\xb9\x82\xe9\x82\xc6\x82\xab"
    "\x82\xcd\x82\xb1\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x93\x5d\x8b\x4c"
    "\x82\xb5\x82\xc4\x82\xa0\x82\xb0\x82\xdc\x82\xb5\x82\xe5\x82\xa4\x81\x42";

/// The raise site of the path join: a file name that carries a drive.
constexpr const char kDriveNameExpression[] =
    "(quillkit::isAlpha(fname[0]) && fname[1] == ':')";
constexpr const char kDriveNameSource[] = "filesystem/utility";
constexpr int kDriveNameLine = 274;

/// The raise site of the scoped owning pointer used while it holds nothing.
constexpr const char kScopedPtrExpression[] = "ptr != 0";
constexpr const char kScopedPtrSource[] = "boost/scoped_ptr";
constexpr int kScopedPtrLine = 94;
constexpr const char kScopedPtrMessage[] = "(unknown)";

/// Prefix of every system error text.
constexpr const char kErrorMessagePrefix[] = "ERROR Message:";
/// Why a walk passes over an entry whose name holds a '\' (possible on POSIX): the
/// path utilities would take it for a separator.
constexpr const char kNameHoldsSeparator[] =
    "The name holds a backslash, which this program reads as a folder separator.";

/// Why a walk on Windows passes over a name that ends with a dot or a space.
constexpr const char kNameEndsWithDotOrSpace[] =
    "The name ends with a dot or a space, which Windows drops from a path.";
/// Why a walk on Windows passes over a name that is a device's.
constexpr const char kNameIsDevice[] =
    "The name is that of a device (CON, CONIN$, CONOUT$, PRN, AUX, NUL, COM1-COM9, "
    "LPT1-LPT9), which Windows opens in the file's place.";
/// Why a walk on Windows passes over a name with a character (shown as '?') that the
/// system's ANSI code page cannot spell: any spelling the program could use names
/// another file, or none.
constexpr const char kNameOutsideCodePage[] =
    "The name holds a character that the system's ANSI code page cannot spell.";

/// Message of the one exception of the library.
constexpr const char kCurrentDirectoryError[] = "SafeGetCurrentDirectory Error";

}  // namespace texts
}  // namespace quillkit

#endif  // QUILLKIT_TEXTS_H_
