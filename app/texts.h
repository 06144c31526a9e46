#ifndef PELQUIST_APP_TEXTS_H_
#define PELQUIST_APP_TEXTS_H_

// The fixed texts that the command line and the application print: the usage text,
// the security warning and the messages. The Japanese ones are Shift-JIS bytes (code
// page 932), written as escapes; the comment above each gives its text and meaning.
// The POSIX build writes them in the locale's character set (quillkit::consoleText).

namespace app {
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

/// "なんかコードページで書けない文字が引数に入っているのペルクイスト"
/// (An argument holds a character that the code page cannot write.) Followed by the
/// argument, with '?' for each such character.
constexpr const char kArgumentOutsideCodePage[] =
    "\x82\xc8\x82\xf1\x82\xa9\x83\x52\x81\x5b\x83\x68\x83\x79\x81\x5b\x83\x57\x82\xc5\x8f\x91"
    "\x82\xaf\x82\xc8\x82\xa2\x95\xb6\x8e\x9a\x82\xaa\x88\xf8\x90\x94\x82\xc9\x93\xfc\x82\xc1"
    "\x82\xc4\x82\xa2\x82\xe9\x82\xcc\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67";

// --- the mode executor
/// "なんかmodeがどれでもないようなのペルクイスト おｒｚ"
/// (The mode seems to be none of the known ones.)
constexpr const char kUnknownMode[] =
    "\x82\xc8\x82\xf1\x82\xa9mode\x82\xaa\x82\xc7\x82\xea\x82\xc5\x82\xe0\x82\xc8\x82\xa2\x82"
    "\xe6\x82\xa4\x82\xc8\x82\xcc\x83\x79\x83\x8b\x83\x4e\x83\x43\x83\x58\x83\x67 "
    "\x82\xa8\x82\x92\x82\x9a";

// --- a hint to standard error after kTooManyPaths
/// When a path names an existing file with an extension, as the shell's expansion of a
/// pattern gives them: followed by the pattern that would take it, in double quotes.
constexpr const char kQuotePatternHint[] =
    "pelquist_copy: more than two paths; if the shell expanded a pattern, quote it: ";

// --- the end of a run whose output was lost
/// To standard error, followed by the system's text of the failed write.
constexpr const char kWriteError[] = "pelquist_copy: write error: ";

// --- the end of a run that the system could not give what it needs
/// To standard error: no memory left.
constexpr const char kOutOfMemory[] = "pelquist_copy: stopped: not enough memory";
/// To standard error, followed by the system's text: a thread (the one that cleans up
/// after a signal) or another resource could not be had.
constexpr const char kOutOfResources[] = "pelquist_copy: stopped: ";

}  // namespace texts
}  // namespace app

#endif  // PELQUIST_APP_TEXTS_H_
