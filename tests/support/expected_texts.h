#ifndef PELQUIST_TESTS_SUPPORT_EXPECTED_TEXTS_H_
#define PELQUIST_TESTS_SUPPORT_EXPECTED_TEXTS_H_

#include <string>

// What the program must print, written here byte for byte and never taken from the
// program's own constants: a changed byte in a message is then a failing test. The
// Japanese texts are Shift-JIS (code page 932), with their text and meaning above.

namespace expected {

/// " このプログラムは簡単なcopyとmoveのラッパーのためサブシェル( system() )を使用しています"
/// (this program wraps copy and move and so uses a subshell)
const std::string kWarning1 =
    " \x82\xb1\x82\xcc\x83v\x83\x8d\x83O\x83\x89\x83\x80\x82\xcd\x8a\xc8\x92P\x82\xc8\x63opy"
    "\x82\xc6move\x82\xcc\x83\x89\x83\x62\x83p\x81[\x82\xcc\x82\xbd\x82\xdf\x83T\x83u\x83V"
    "\x83\x46\x83\x8b( system() )\x82\xf0\x8eg\x97p\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
/// " ネットワークにつながっていない安全な環境でお使いください。" (use it off the network)
const std::string kWarning2 =
    " \x83l\x83\x62\x83g\x83\x8f\x81[\x83N\x82\xc9\x82\xc2\x82\xc8\x82\xaa\x82\xc1\x82\xc4\x82"
    "\xa2\x82\xc8\x82\xa2\x88\xc0\x91S\x82\xc8\x8a\xc2\x8b\xab\x82\xc5\x82\xa8\x8eg\x82\xa2\x82"
    "\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
/// " 詳しくは以下のURL先を見てください。" (for details see the address below)
const std::string kWarning3 =
    " \x8f\xda\x82\xb5\x82\xad\x82\xcd\x88\xc8\x89\xba\x82\xccURL\x90\xe6\x82\xf0\x8c\xa9\x82"
    "\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
const std::string kWarning4 =
    " https://wiki.sei.cmu.edu/confluence/display/seccode/SEI+CERT+Coding+Standards";

/// "なんか何も入っていない引数になっちゃったんでペルクイストorz" (an empty argument)
const std::string kEmptyArgument =
    "\x82\xc8\x82\xf1\x82\xa9\x89\xbd\x82\xe0\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xc8\x82\xa2"
    "\x88\xf8\x90\x94\x82\xc9\x82\xc8\x82\xc1\x82\xbf\x82\xe1\x82\xc1\x82\xbd\x82\xf1\x82\xc5"
    "\x83y\x83\x8b\x83N\x83\x43\x83X\x83gorz";
/// "なんか無効な switches を入力したらしいのペルクイスト" (invalid switches)
const std::string kInvalidSwitch =
    "\x82\xc8\x82\xf1\x82\xa9\x96\xb3\x8c\xf8\x82\xc8 switches \x82\xf0\x93\xfc\x97\xcd\x82"
    "\xb5\x82\xbd\x82\xe7\x82\xb5\x82\xa2\x82\xcc\x83y\x83\x8b\x83N\x83\x43\x83X\x83g";
/// "以下の使い方を見てほしいのペルクイスト" (see the usage below)
const std::string kSeeUsageBelow =
    "\x88\xc8\x89\xba\x82\xcc\x8eg\x82\xa2\x95\xfb\x82\xf0\x8c\xa9\x82\xc4\x82\xd9\x82\xb5\x82"
    "\xa2\x82\xcc\x83y\x83\x8b\x83N\x83\x43\x83X\x83g";
/// "なんかコマンドライン長すぎなんペルクイスト･･･○|￣|＿" (a third path)
const std::string kTooManyPaths =
    "\x82\xc8\x82\xf1\x82\xa9\x83R\x83}\x83\x93\x83h\x83\x89\x83\x43\x83\x93\x92\xb7\x82\xb7"
    "\x82\xac\x82\xc8\x82\xf1\x83y\x83\x8b\x83N\x83\x43\x83X\x83g\xa5\xa5\xa5\x81\x9b|\x81P|"
    "\x81Q";
/// "なんかコードページで書けない文字が引数に入っているのペルクイスト" (an argument with a
/// character the code page cannot write)
const std::string kArgumentOutsideCodePage =
    "\x82\xc8\x82\xf1\x82\xa9\x83R\x81[\x83h\x83y\x81[\x83W\x82\xc5\x8f\x91\x82\xaf\x82\xc8\x82"
    "\xa2\x95\xb6\x8e\x9a\x82\xaa\x88\xf8\x90\x94\x82\xc9\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82"
    "\xe9"
    "\x82\xcc\x83y\x83\x8b\x83N\x83\x43\x83X\x83g";
/// "なんかmodeがどれでもないようなのペルクイスト おｒｚ" (a mode outside the four)
const std::string kUnknownMode =
    "\x82\xc8\x82\xf1\x82\xa9mode\x82\xaa\x82\xc7\x82\xea\x82\xc5\x82\xe0\x82\xc8\x82\xa2\x82"
    "\xe6\x82\xa4\x82\xc8\x82\xcc\x83y\x83\x8b\x83N\x83\x43\x83X\x83g \x82\xa8\x82\x92\x82\x9a";
/// "なんかサブシェルに渡せない文字がパスに入っているのペルクイスト" (a path no quoting
/// makes safe)
const std::string kUnsafePath =
    "\x82\xc8\x82\xf1\x82\xa9\x83T\x83u\x83V\x83\x46\x83\x8b\x82\xc9\x93n\x82\xb9\x82\xc8\x82"
    "\xa2\x95\xb6\x8e\x9a\x82\xaa\x83p\x83X\x82\xc9\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xe9\x82"
    "\xcc\x83y\x83\x8b\x83N\x83\x43\x83X\x83g";
/// "  すでにファイルが存在しちゃっているらしいのペルクイスト" (the file exists already)
const std::string kExists =
    "  \x82\xb7\x82\xc5\x82\xc9\x83t\x83@\x83\x43\x83\x8b\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82"
    "\xbf\x82\xe1\x82\xc1\x82\xc4\x82\xa2\x82\xe9\x82\xe7\x82\xb5\x82\xa2\x82\xcc\x83y\x83\x8b"
    "\x83N\x83\x43\x83X\x83g";
/// "  強制上書きは -fwスイッチペルクイスト" (forced overwriting is the -fw switch)
const std::string kUseForceWrite =
    "  \x8b\xad\x90\xa7\x8f\xe3\x8f\x91\x82\xab\x82\xcd -fw\x83X\x83\x43\x83\x62\x83`\x83y\x83"
    "\x8b\x83N\x83\x43\x83X\x83g";
/// "このテキストをこのソフトの開発者に渡せば、バグ発見の近道なります。\n \t\t
///  開発者に知らせるときはこのテキストを転記してあげましょう。" (the assertion notice)
const std::string kAssertNotice =
    "\x82\xb1\x82\xcc\x83\x65\x83L\x83X\x83g\x82\xf0\x82\xb1\x82\xcc\x83\x5c\x83t\x83g\x82\xcc"
    "\x8aJ\x94\xad\x8e\xd2\x82\xc9\x93n\x82\xb9\x82\xce\x81\x41\x83o\x83O\x94\xad\x8c\xa9\x82"
    "\xcc\x8b\xdf\x93\xb9\x82\xc8\x82\xe8\x82\xdc\x82\xb7\x81\x42\n \t\t\x8aJ\x94\xad\x8e\xd2"
    "\x82\xc9\x92m\x82\xe7\x82\xb9\x82\xe9\x82\xc6\x82\xab\x82\xcd\x82\xb1\x82\xcc\x83\x65\x83"
    "L\x83X\x83g\x82\xf0\x93]\x8bL\x82\xb5\x82\xc4\x82\xa0\x82\xb0\x82\xdc\x82\xb5\x82\xe5\x82"
    "\xa4\x81\x42";

/// The four lines of the security warning.
inline std::string warningLines() {
  return kWarning1 + "\n" + kWarning2 + "\n" + kWarning3 + "\n" + kWarning4 + "\n";
}

/// The seventeen lines of the usage text.
inline std::string usageLines() {
  return std::string(
             " usage: pelquist_copy <switches> <(src)> <(dest)>\n"
             " <switches>\n"
             "  -help  view help\n"
             "  -copy  copy mode\n"
             "  -move  move mode\n"
             "  -xcopy xcopy subdirectory all copy mode \n"
             "  -collectcopy / collect subdirectory to one directory\n"
             "  -fw    force write\n"
             "  -nosw  security warning is not displayed\n"
             "\n"
             "version : 0.50\n"
             "\n"
             " warning:\n") +
         warningLines();
}

/// The report of an invalid switch, followed by the usage text.
inline std::string invalidSwitchLines(const std::string& argument) {
  return kInvalidSwitch + "\n" + argument + "\n" + kSeeUsageBelow + "\n\n" + usageLines();
}

/// The three lines of collect-copy's refusal of an existing file.
inline std::string refusalLines(const std::string& destination, const std::string& source) {
  return "  CopyFileWin32(" + destination + " , " + source + " , false );\n" + kExists + "\n" +
         kUseForceWrite + "\n";
}

// clang-format off
/// Collect-copy's trace of its inputs, up to "reset succeeded...".
inline std::string traceHead(const std::string& source, const std::string& pattern,
                             const std::string& destination, const std::string& destinationDir,
                             const std::string& current, const std::string& sourceDir,
                             bool forceWrite = false) {
  return "collectcopy start...\n"
         "src         : " + source + "\n"
         " collected  : " + pattern + "\n"
         "dest        : " + destination + "\n"
         " collected  : " + destinationDir + "\n"
         "current dir : " + current + "\n"
         " collected  : " + sourceDir + "\n"
         "force write : " + (forceWrite ? "true" : "false") + "\n"
         "\n"
         "reset() arg:\n"
         " arg1 / " + pattern + "\n"
         " arg2 / " + sourceDir + "\n"
         "reset succeeded...\n";
}
// clang-format on

/// From "find succeeded..." to the lines of the destination.
inline std::string traceFound(const std::string& destination,
                              const std::string& destinationDir) {
  return "find succeeded...\n\ncopy to    : " + destination +
         "\n collected : " + destinationDir + "\n";
}

/// The two lines of a file that was copied.
inline std::string traceCopied(const std::string& destinationPath) {
  return "copy dest : " + destinationPath + "\ncopy : " + destinationPath + "  succeeded\n";
}

/// One assertion report, line by line.
inline std::string assertionReport(const std::string& expression, const std::string& source,
                                   const std::string& line, const std::string& message) {
  return "QUILLKIT_ASSERT(" + expression + "):\n" + "file:" + source + " / \n" +
         " line:" + line + " / \n" + " message: " + message;
}

}  // namespace expected

#endif  // PELQUIST_TESTS_SUPPORT_EXPECTED_TEXTS_H_
