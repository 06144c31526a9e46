// What the console shows on POSIX: the fixed texts in the locale's character set,
// names as the file system spells them but never obeyed, and a run that notices when
// its output is lost without giving up its copies.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/e2e_support.h"
#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

const std::vector<std::string> kFiles = {"a.dat", "b.dat", "c.dat"};

class ConsoleE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testsys::isWindowsBuild()) GTEST_SKIP() << "the console's code page decides";
  }
  TempDir dir_;
};

TEST_F(ConsoleE2e, FixedTextsInTheLocalesCharacterSetAndNamesUnchanged) {
  // Per locale, the beginnings of a warning line (" 詳しくは以下の"), a command-line
  // error ("以下の使い方を") and a refusal ("  すでにファイル"), in its bytes.
  const std::vector<std::vector<std::string>> cases = {
      {"C", " \x8f\xda\x82\xb5\x82\xad\x82\xcd\x88\xc8\x89\xba\x82\xcc",
       "\x88\xc8\x89\xba\x82\xcc\x8eg\x82\xa2\x95\xfb\x82\xf0",
       "  \x82\xb7\x82\xc5\x82\xc9\x83t\x83@\x83"
       "C\x83\x8b"},
      {"ja_JP.UTF-8",
       " \xe8\xa9\xb3\xe3\x81\x97\xe3\x81\x8f\xe3\x81\xaf\xe4\xbb\xa5\xe4\xb8\x8b\xe3\x81\xae",
       "\xe4\xbb\xa5\xe4\xb8\x8b\xe3\x81\xae\xe4\xbd\xbf\xe3\x81\x84\xe6\x96\xb9\xe3\x82\x92",
       "  "
       "\xe3\x81\x99\xe3\x81\xa7\xe3\x81\xab\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab"},
      {"ja_JP.EUC-JP", " \xbe\xdc\xa4\xb7\xa4\xaf\xa4\xcf\xb0\xca\xb2\xbc\xa4\xce",
       "\xb0\xca\xb2\xbc\xa4\xce\xbb\xc8\xa4\xa4\xca\xfd\xa4\xf2",
       "  \xa4\xb9\xa4\xc7\xa4\xcb\xa5\xd5\xa5\xa1\xa5\xa4\xa5\xeb"}};
  const std::string summer = "\xe5\xa4\x8f.dat";  // a UTF-8 name, never converted
  dir_.write("src/" + summer, "new");
  dir_.write("all/" + summer, "old");
  for (const auto& c : cases) {
    const std::string locale = PELQUIST_LOCPATH "/" + c[0];
    if (c[0] != "C" && !testsys::isDirectory(locale))
      runChild("/bin/sh",
               {"-c", "mkdir -p \"${0%/*}\" && localedef -i ja_JP -f \"$1\" \"$0\"", locale,
                c[0].substr(6)},
               ".");
    if (c[0] != "C" && !testsys::isDirectory(locale)) GTEST_SKIP() << "no locale " << c[0];
    const std::string error = runProgram({"-x"}, dir_.path(), "", c[0]).output;
    EXPECT_NE(std::string::npos, error.find("\n" + c[1])) << c[0];
    EXPECT_NE(std::string::npos, error.find("\n-x\n" + c[2])) << c[0];
    const std::string refusal =
        runProgram({"-collectcopy", "src/*.dat", "all"}, dir_.path(), "", c[0]).output;
    EXPECT_NE(std::string::npos, refusal.find(summer + " , false );\n" + c[3])) << c[0];
  }
}

TEST_F(ConsoleE2e, ALocaleThatIsNotInstalledIsReadByItsName) {
  // "以下の使い方を" after a command-line error, in UTF-8 or the reference Shift-JIS.
  const std::string utf8 =
      "\xe4\xbb\xa5\xe4\xb8\x8b\xe3\x81\xae\xe4\xbd\xbf\xe3\x81\x84\xe6\x96\xb9\xe3\x82\x92";
  const std::string shiftJis = "\x88\xc8\x89\xba\x82\xcc\x8eg\x82\xa2\x95\xfb\x82\xf0";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"LANG=en_US.UTF-8"}, utf8},
      {{"LC_ALL=", "LANG=xx_YY.UTF-8"}, utf8},  // an empty variable is no name
      {{"LC_CTYPE=xx_YY.utf8@euro", "LANG=C"}, utf8},
      {{"LC_ALL=C", "LANG=en_US.UTF-8"}, shiftJis},
      {{"LC_ALL=xx_YY.EUC-JP", "LANG=en_US.UTF-8"}, shiftJis},
      {{"LANG=xx_YY"}, shiftJis}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"-u", "LC_ALL", "-u", "LC_CTYPE", "-u", "LOCPATH"};
    arguments.insert(arguments.end(), c.first.begin(), c.first.end());
    arguments.insert(arguments.end(), {PELQUIST_COPY_EXE, "-x"});
    const std::string error = runChild("/usr/bin/env", arguments, dir_.path()).output;
    EXPECT_NE(std::string::npos, error.find("\n-x\n" + c.second))
        << c.first.front() << " " << c.first.back();
  }
}

TEST_F(ConsoleE2e, LostOutputFailsTheRunAfterEveryCopy) {
  // Before the program, after it; its status goes to standard error after its message.
  const std::vector<std::vector<std::string>> cases = {
      {"", ">/dev/full", "", "No space left on device"},
      {"", ">&-", "", "Bad file descriptor"},
      {"sleep 1; ", "", " | true", "Broken pipe"}};  // the reader is gone by then
  for (const auto& c : cases) {
    TempDir dir;
    for (const std::string& name : kFiles) dir.write("src/" + name, name);
    const std::string script = "{ " + c[0] +
                               "'" PELQUIST_COPY_EXE "' -collectcopy src/'*.dat' all " + c[1] +
                               "; echo $? >&2; }" + c[2];
    ChildResult result = runChild("/bin/sh", {"-c", script}, dir.path());
    EXPECT_EQ("pelquist_copy: write error: " + c[3] + "\n1\n", result.errorOutput) << c[1];
    EXPECT_EQ(kFiles, dir.list("all")) << c[1];
  }
}

// script(1) gives the program a pseudo-terminal: standard error there shows collect-copy's
// progress while the trace goes to a file, erased at the end, and its outcome in any case;
// the trace is the same bytes.
TEST_F(ConsoleE2e, ProgressAndOutcomeOnlyWhereStandardErrorIsATerminal) {
  if (!testsys::exists("/usr/bin/script")) GTEST_SKIP() << "no script(1)";
  dir_.write("src/a.dat", "abc");
  dir_.write("src/sub/b.dat", "defg");
  dir_.write("src/c.dat", "new");                           // left alone
  runChild("/usr/bin/mkfifo", {"src/p.dat"}, dir_.path());  // fails: a pipe
  dir_.makeDirs("src/x\\y");  // skipped: the name holds a separator
  const std::string run =
      "rm -rf all && mkdir all && echo old >all/c.dat && '" PELQUIST_COPY_EXE
      "' -collectcopy -nosw 'src/*.dat' all";
  auto onTerminal = [&](const std::string& command) {
    return runChild("/usr/bin/script", {"-qec", command, "/dev/null"}, dir_.path(), "", "",
                    {"LC_ALL=C"});
  };
  runChild("/bin/sh", {"-c", run + " >plain.txt 2>errors.txt"}, dir_.path(), "", "",
           {"LC_ALL=C"});
  EXPECT_EQ("", dir_.read("errors.txt"));
  const std::string outcome =
      "pelquist_copy: 2 copied, 1 existed, 1 failed, 1 skipped, 7 B in [0-9]+\\.[0-9] s\r\n";
  const std::string shown = onTerminal(run + " >shown.txt").output;
  EXPECT_TRUE(std::regex_match(
      shown, std::regex("(\rpelquist_copy: +[0-4]/4 files [^\r]+)+\r {77}\r" + outcome)))
      << shown;
  EXPECT_EQ(dir_.read("plain.txt"), dir_.read("shown.txt"));
  // With the trace on the same terminal, no progress line: only the outcome follows it.
  const std::string both = onTerminal(run).output;
  const std::size_t end = both.find("collectcopy end...\r\n");
  ASSERT_NE(std::string::npos, end) << both;
  EXPECT_TRUE(std::regex_match(both.substr(end + 20), std::regex(outcome))) << both;
  EXPECT_EQ(std::string::npos, both.find("\rpelquist_copy")) << both;
}

// In a UTF-8 locale (installed or not, here from LANG) a C1 control is masked too (here
// CSI, C2 9B).
TEST_F(ConsoleE2e, ControlBytesOfNamesAreShownNotObeyed) {
  const std::vector<std::string> names = {"a\nb.dat", "c\x1b[2Jd.dat", "e\xc2\x9b[2Jf.dat"};
  for (const std::string& name : names) dir_.write("src/" + name, name);
  const std::string trace =
      runProgram({"-collectcopy", "-nosw", "src/*.dat", "all"}, dir_.path()).output;
  for (const std::string shown : {"/all/a?b.dat", "/all/c?[2Jd.dat"})
    EXPECT_NE(std::string::npos,
              trace.find("\ncopy : " + dir_.path() + shown + "  succeeded\n"));
  EXPECT_EQ(names, dir_.list("all"));
  dir_.makeDirs("out");
  const std::string echo =
      runChild(PELQUIST_COPY_EXE, {"-nosw", "src/*.dat", "out"}, dir_.path(), "", "",
               {"LC_ALL=", "LC_CTYPE=", "LANG=xx_XX.utf8"})
          .output;
  EXPECT_NE(std::string::npos, echo.find("a?b.dat\n")) << echo;
  EXPECT_NE(std::string::npos, echo.find("e?[2Jf.dat\n")) << echo;
  EXPECT_EQ(std::string::npos, (trace + echo).find('\x1b'));
}

}  // namespace
