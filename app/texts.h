#ifndef PELQUIST_APP_TEXTS_H_
#define PELQUIST_APP_TEXTS_H_

// Every fixed text that pelquist_copy prints. The Japanese ones are Shift-JIS bytes
// (code page 932), written as escapes; the comment above each gives its text and
// meaning. On a UTF-8 terminal: pelquist_copy ... | iconv -f CP932 -t UTF-8

namespace texts {

// --- usage text, one entry a line
constexpr const char kUsage1[] = " usage: pelquist_copy <switches> <(src)> <(dest)>";
constexpr const char kUsage2[] = " <switches>";
constexpr const char kUsage3[] = "  -help  view help";
constexpr const char kUsage4[] = "  -copy  copy mode";
constexpr const char kUsage5[] = "  -move  move mode";
constexpr const char kUsage6[] = "  -xcopy xcopy subdirectory all copy mode ";
constexpr const char kUsage7[] = "  -collectcopy / collect subdirectory to one directory";
constexpr const char kUsage8[] = "  -fw    force write";
constexpr const char kUsage9[] = "  -nosw  security warning is not displayed";
constexpr const char kVersionLabel[] = "version : ";
constexpr const char kWarningHeading[] = " warning:";

// --- the security warning (also the last four lines of the usage text)
/// " このプログラムは簡単なcopyとmoveのラッパーのためサブシェル( system() )を使用しています"
/// (This program is a simple wrapper around copy and move and so uses a subshell.)
constexpr const char kWarning1[] =
    " \x82\xb1\x82\xcc\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xcd\x8a\xc8\x92\x50\x82\xc8"
    "copy\x82\xc6move\x82\xcc\x83\x89\x83\x62\x83\x70\x81\x5b\x82\xcc\x82\xbd\x82\xdf\x83\x54"
    "\x83\x75\x83\x56\x83\x46\x83\x8b( system() )\x82\xf0\x8e\x67\x97\x70\x82\xb5\x82\xc4\x82"
    "\xa2\x82\xdc\x82\xb7";
/// " ネットワークにつながっていない安全な環境でお使いください。"
/// (Please use it in a safe environment that is not connected to a network.)
constexpr const char kWarning2[] =
    " \x83\x6c\x83\x62\x83\x67\x83\x8f\x81\x5b\x83\x4e\x82\xc9\x82\xc2\x82\xc8\x82\xaa\x82\xc1"
    "\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x88\xc0\x91\x53\x82\xc8\x8a\xc2\x8b\xab\x82\xc5\x82\xa8"
    "\x8e\x67\x82\xa2\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
/// " 詳しくは以下のURL先を見てください。" (For details, see the address below.)
constexpr const char kWarning3[] =
    " \x8f\xda\x82\xb5\x82\xad\x82\xcd\x88\xc8\x89\xba\x82\xcc"
    "URL\x90\xe6\x82\xf0\x8c\xa9\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
/// A public page on secure programming.
constexpr const char kWarning4[] =
    " https://wiki.sei.cmu.edu/confluence/display/seccode/SEI+CERT+Coding+Standards";

// --- command-line errors
/// "なんか何も入っていない引数になっちゃったんでペルクイストorz"
/// (Somehow an argument with nothing in it turned up.)
constexpr const char kEmptyArgument[] =
    "\x82\xc8\x82\xf1\x82\xa9\x89\xbd\x82\xe0\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xc8\x82\xa2"
    "\x88\xf8\x90\x94\x82\xc9\x82\xc8\x82\xc1\x82\xbf\x82\xe1\x82\xc1\x82\xbd\x82\xf1\x82\xc5"
    "\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67orz";
/// "なんか無効な switches を入力したらしいのペルクイスト"
/// (It seems invalid switches were entered.)
constexpr const char kInvalidSwitch[] =
    "\x82\xc8\x82\xf1\x82\xa9\x96\xb3\x8c\xf8\x82\xc8 switches \x82\xf0\x93\xfc\x97\xcd\x82\xb5"
    "\x82\xbd\x82\xe7\x82\xb5\x82\xa2\x82\xcc\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";
/// "以下の使い方を見てほしいのペルクイスト" (Please look at the usage below.)
constexpr const char kSeeUsageBelow[] =
    "\x88\xc8\x89\xba\x82\xcc\x8e\x67\x82\xa2\x95\xfb\x82\xf0\x8c\xa9\x82\xc4\x82\xd9\x82\xb5"
    "\x82\xa2\x82\xcc\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";
/// "なんかコマンドライン長すぎなんペルクイスト･･･○|￣|＿"
/// (The command line is too long: a third path was given.)
constexpr const char kTooManyPaths[] =
    "\x82\xc8\x82\xf1\x82\xa9\x83\x52\x83\x7d\x83\x93\x83\x68\x83\x89\x83\x43\x83\x93\x92\xb7"
    "\x82\xb7\x82\xac\x82\xc8\x82\xf1\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67"
    "\xa5\xa5\xa5\x81\x9b|\x81\x50|\x81\x51";

// --- the shell-command modes
/// "なんかmodeがどれでもないようなのペルクイスト おｒｚ"
/// (The mode seems to be none of the known ones.)
constexpr const char kUnknownMode[] =
    "\x82\xc8\x82\xf1\x82\xa9mode\x82\xaa\x82\xc7\x82\xea\x82\xc5\x82\xe0\x82\xc8\x82\xa2\x82"
    "\xe6\x82\xa4\x82\xc8\x82\xcc\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67 "
    "\x82\xa8\x82\x92\x82\x9a";
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
constexpr const char kTraceCreateDir[] = "CreateDirectory(";
constexpr const char kTraceCreateDirFailed[] = ");failed...";
constexpr const char kTraceEnd[] = "collectcopy end...";
/// "  すでにファイルが存在しちゃっているらしいのペルクイスト" (The file seems to exist already.)
constexpr const char kTraceExists[] =
    "  \x82\xb7\x82\xc5\x82\xc9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x91\xb6\x8d\xdd\x82\xb5"
    "\x82\xbf\x82\xe1\x82\xc1\x82\xc4\x82\xa2\x82\xe9\x82\xe7\x82\xb5\x82\xa2\x82\xcc\x83\x79"
    "\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";
/// "  強制上書きは -fwスイッチペルクイスト" (Forced overwriting is the -fw switch.)
constexpr const char kTraceUseForceWrite[] =
    "  \x8b\xad\x90\xa7\x8f\xe3\x8f\x91\x82\xab\x82\xcd -fw\x83\x58\x83\x43\x83\x62\x83\x60\x83"
    "\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";

// === The texts of the built-in COPY, MOVE and XCOPY interpreter (the POSIX build's own
// reading of the command lines), as an English cmd.exe prints them.
namespace cmd {

// --- system error texts, as Windows words a failed file operation
constexpr const char kFileNotFound[] = "The system cannot find the file specified.";
constexpr const char kPathNotFound[] = "The system cannot find the path specified.";
/// A destination name with a wildcard, which no file may have.
constexpr const char kInvalidName[] =
    "The filename, directory name, or volume label syntax is incorrect.";
constexpr const char kAccessDenied[] = "Access is denied.";
constexpr const char kFileInUse[] =
    "The process cannot access the file because it is being used by another process.";
constexpr const char kDiskFull[] = "There is not enough space on the disk.";
constexpr const char kFileTooLarge[] =
    "The file size exceeds the limit allowed and cannot be saved.";
constexpr const char kNameTooLong[] = "The filename or extension is too long.";
constexpr const char kDeviceError[] =
    "The request could not be performed because of an I/O device error.";
constexpr const char kCannotOpenFile[] = "The system cannot open the file.";
/// A verified copy that differs from its source.
constexpr const char kVerifyFailed[] = "Data error (cyclic redundancy check).";

// --- the command line
/// COPY and MOVE on a line they cannot read.
constexpr const char kSyntaxError[] = "The syntax of the command is incorrect.";
/// A command other than COPY, MOVE and XCOPY: its name goes between the two parts.
constexpr const char kNotRecognizedPrefix[] = "'";
constexpr const char kNotRecognizedSuffix[] =
    "' is not recognized as an internal or external command,\n"
    "operable program or batch file.";

// --- COPY and MOVE
/// The question before replacing a file: its name goes between the two parts (also
/// XCOPY's question begins so).
constexpr const char kOverwritePrefix[] = "Overwrite ";
constexpr const char kOverwriteSuffix[] = "? (Yes/No/All): ";
/// The summary lines, after the count right-aligned in 9 columns.
constexpr const char kFilesCopied[] = " file(s) copied.";
constexpr const char kFilesMoved[] = " file(s) moved.";
constexpr const char kDirsMoved[] = " dir(s) moved.";
constexpr const char kCopyOntoItself[] = "The file cannot be copied onto itself.";
/// COPY combining files, for a later source that is the destination itself.
constexpr const char kTargetContentsLost[] = "The contents of the target file were lost.";
constexpr const char kMoveManyToOne[] = "Cannot move multiple files to a single file.";

// --- XCOPY
/// Followed by the switch as typed.
constexpr const char kInvalidSwitchPrefix[] = "Invalid switch - ";
constexpr const char kInvalidParameterCount[] = "Invalid number of parameters";
/// Followed by the name or pattern looked for.
constexpr const char kFileNotFoundPrefix[] = "File not found - ";
/// The question for a destination that does not exist: its name goes between the two
/// parts.
constexpr const char kFileOrDirectoryPrefix[] = "Does ";
constexpr const char kFileOrDirectorySuffix[] =
    " specify a file name\nor directory name on the target\n(F = file, D = directory)? ";
/// A destination inside the source tree with /S or /E.
constexpr const char kCyclicCopy[] = "Cannot perform a cyclic copy";
constexpr const char kXcopyOntoItself[] = "File cannot be copied onto itself";
/// The end of XCOPY's question before replacing a file (after kOverwritePrefix and
/// the name).
constexpr const char kXcopyOverwriteSuffix[] = " (Yes/No/All)? ";
/// Between a file's full path and its destination's in the /F listing.
constexpr const char kFullNamesArrow[] = " -> ";
/// The summary line, after the count as it is (not aligned).
constexpr const char kXcopyFilesCopied[] = " File(s) copied";

}  // namespace cmd

}  // namespace texts

#endif  // PELQUIST_APP_TEXTS_H_
