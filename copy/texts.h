#ifndef PELQUIST_COPY_TEXTS_H_
#define PELQUIST_COPY_TEXTS_H_

// The fixed texts of the copy operations: the shell-command lines and the collect-copy
// trace. The Japanese ones are Shift-JIS bytes (code page 932), written as escapes;
// the comment above each gives its text and meaning.

namespace copy {
namespace texts {

// --- the shell-command modes
/// "なんかサブシェルに渡せない文字がパスに入っているのペルクイスト"
/// (A path holds a character that cannot be handed to the subshell.)
constexpr const char kUnsafePath[] =
    "\x82\xc8\x82\xf1\x82\xa9\x83\x54\x83\x75\x83\x56\x83\x46\x83\x8b\x82\xc9\x93\x6e\x82\xb9"
    "\x82\xc8\x82\xa2\x95\xb6\x8e\x9a\x82\xaa\x83\x70\x83\x58\x82\xc9\x93\xfc\x82\xc1\x82\xc4"
    "\x82\xa2\x82\xe9\x82\xcc\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";
constexpr const char kCopyCommand[] = "COPY /B ";
constexpr const char kCopyMiddle[] = " /B ";
constexpr const char kCopyTail[] = " /B /V ";
constexpr const char kMoveCommand[] = "MOVE ";
constexpr const char kXCopyCommand[] = "XCOPY /S ";

// --- the collect-copy trace
constexpr const char kTraceStart[] = "collectcopy start...";
constexpr const char kTraceSource[] = "src         : ";
constexpr const char kTraceCollected[] = " collected  : ";
constexpr const char kTraceDestination[] = "dest        : ";
constexpr const char kTraceCurrentDir[] = "current dir : ";
constexpr const char kTraceForceWrite[] = "force write : ";
constexpr const char kTraceResetArgs[] = "reset() arg:";
constexpr const char kTraceResetArg1[] = " arg1 / ";
constexpr const char kTraceResetArg2[] = " arg2 / ";
constexpr const char kTraceResetDone[] = "reset succeeded...";
constexpr const char kTraceFindFailed[] = "find failed...";
constexpr const char kTraceFindDone[] = "find succeeded...";
constexpr const char kTraceCopyTo[] = "copy to    : ";
constexpr const char kTraceCopyToCollected[] = " collected : ";
constexpr const char kTraceChangedDir[] = "change current dir:";
constexpr const char kTraceChangeDirFailed[] = "failed change current dir -> ";
constexpr const char kTraceUnchangedDir[] = "current dir:";
constexpr const char kTraceCopyDest[] = "copy dest : ";
constexpr const char kTraceCopy[] = "copy : ";
constexpr const char kTraceCopySucceeded[] = "  succeeded";
constexpr const char kTraceCopyFailed[] = "  failed...";
constexpr const char kTraceCopyCall[] = "  CopyFileWin32(";
constexpr const char kTraceCopyCallSeparator[] = " , ";
constexpr const char kTraceCopyCallEnd[] = " );";
constexpr const char kTraceLastError[] = "  GetLastError() / ";
/// POSIX: the system's text (after "ERROR Message:") for a copy whose destination is its
/// source under another name, which no errno says.
constexpr const char kSameFileError[] =
    "The destination is the source file itself, under another name.";
constexpr const char kTraceCreateDir[] = "CreateDirectory(";
constexpr const char kTraceCreateDirFailed[] = ");failed...";
constexpr const char kTraceEnd[] = "collectcopy end...";
/// Before the end, for each folder the walk could not list: the folder, then the
/// system's error text.
constexpr const char kTraceFindSkipped[] = "find skipped : ";
constexpr const char kTraceFindSkippedReason[] = " / ";
/// Before the end, when the entry limit stopped the walk.
constexpr const char kTraceFindStoppedAtLimit[] = "find stopped at the entry limit...";
/// To standard error after kTraceFindFailed, where the system told why: the source
/// folder, then kCannotReadReason and the system's text.
constexpr const char kCannotRead[] = "pelquist_copy: cannot read '";
constexpr const char kCannotReadReason[] = "': ";
/// To standard error, for a temporary name that the cleanup after a signal could not
/// remove: the name (after its folder where the system tells it), then
/// kCannotRemoveReason and the system's text.
constexpr const char kCannotRemove[] = "pelquist_copy: cannot remove '";
constexpr const char kCannotRemoveReason[] = "': ";
// --- standard error, where it is a terminal: how collect-copy goes, and its outcome
/// The progress line: files done/found (right-aligned), bytes copied, their rate, and the
/// time left ("h:mm:ss").
constexpr const char kProgress[] = "pelquist_copy: %15s files  %10s  %10s/s  %8s left";
/// The time left: hours, minutes, seconds.
constexpr const char kTime[] = "%llu:%02llu:%02llu";
/// The time left before the first turn, when no pace is known.
constexpr const char kUnknownTime[] = "-:--:--";
/// The outcome line: copied, left alone (already there), failed, skipped, bytes, seconds.
constexpr const char kOutcome[] =
    "pelquist_copy: %llu copied, %llu existed, %llu failed, %llu skipped, %s in %.1f s";
/// Sizes below 1024 bytes; larger ones take one decimal and a unit of kByteUnits.
constexpr const char kBytes[] = "%llu B";
constexpr const char kBytesInUnit[] = "%.1f %s";
constexpr const char* const kByteUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
/// "  すでにファイルが存在しちゃっているらしいのペルクイスト"
/// (The file seems to exist already.)
constexpr const char kTraceExists[] =
    "  \x82\xb7\x82\xc5\x82\xc9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x91\xb6\x8d\xdd\x82\xb5"
    "\x82\xbf\x82\xe1\x82\xc1\x82\xc4\x82\xa2\x82\xe9\x82\xe7\x82\xb5\x82\xa2\x82\xcc\x83\x79"
    "\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";
/// "  強制上書きは -fwスイッチペルクイスト" (Forced overwriting is the -fw switch.)
constexpr const char kTraceUseForceWrite[] =
    "  \x8b\xad\x90\xa7\x8f\xe3\x8f\x91\x82\xab\x82\xcd -fw\x83\x58\x83\x43\x83\x62\x83\x60\x83"
    "\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";

}  // namespace texts
}  // namespace copy

#endif  // PELQUIST_COPY_TEXTS_H_
