// What the console shows on POSIX: the fixed texts in the locale's character set,
// names as the file system spells them but never obeyed, and a run that notices when
// its output is lost without giving up its copies.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
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
  // Per locale: a warning line, a command-line error and a refusal, in its bytes.
  const char* sjis[] = {
      " \x8f\xda\x82\xb5\x82\xad\x82\xcd\x88\xc8\x89\xba\x82\xccURL\x90\xe6\x82\xf0\x8c\xa9"
      "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81"
      "B",
      "\x88\xc8\x89\xba\x82\xcc\x8eg\x82\xa2\x95\xfb\x82\xf0\x8c\xa9\x82\xc4\x82\xd9\x82\xb5"
      "\x82"
      "\xa2\x82\xcc\x83y\x83\x8b\x83N\x83"
      "C\x83X\x83g",
      "  \x8b\xad\x90\xa7\x8f\xe3\x8f\x91\x82\xab\x82\xcd -fw\x83X\x83"
      "C\x83"
      "b\x83`\x83y\x83"
      "\x8b\x83N\x83"
      "C\x83X\x83g"};
  const std::vector<std::vector<std::string>> cases = {
      {"C", sjis[0], sjis[1], sjis[2]},
      {"ja_JP.SHIFT_JIS", sjis[0], sjis[1], sjis[2]},
      {"ja_JP.UTF-8",
       " \xe8\xa9\xb3\xe3\x81\x97\xe3\x81\x8f\xe3\x81\xaf\xe4\xbb\xa5\xe4\xb8\x8b\xe3\x81\xaeUR"
       "L"
       "\xe5\x85\x88\xe3\x82\x92\xe8\xa6\x8b\xe3\x81\xa6\xe3\x81\x8f\xe3\x81\xa0\xe3\x81\x95"
       "\xe3"
       "\x81\x84\xe3\x80\x82",
       "\xe4\xbb\xa5\xe4\xb8\x8b\xe3\x81\xae\xe4\xbd\xbf\xe3\x81\x84\xe6\x96\xb9\xe3\x82\x92"
       "\xe8"
       "\xa6\x8b\xe3\x81\xa6\xe3\x81\xbb\xe3\x81\x97\xe3\x81\x84\xe3\x81\xae\xe3\x83\x9a\xe3"
       "\x83"
       "\xab\xe3\x82\xaf\xe3\x82\xa4\xe3\x82\xb9\xe3\x83\x88",
       "  \xe5\xbc\xb7\xe5\x88\xb6\xe4\xb8\x8a\xe6\x9b\xb8\xe3\x81\x8d\xe3\x81\xaf "
       "-fw\xe3\x82\xb9"
       "\xe3\x82\xa4\xe3\x83\x83\xe3\x83\x81\xe3\x83\x9a\xe3\x83\xab\xe3\x82\xaf\xe3\x82\xa4"
       "\xe3"
       "\x82\xb9\xe3\x83\x88"},
      {"ja_JP.EUC-JP",
       " \xbe\xdc\xa4\xb7\xa4\xaf\xa4\xcf\xb0\xca\xb2\xbc\xa4\xceURL\xc0\xe8\xa4\xf2\xb8\xab"
       "\xa4"
       "\xc6\xa4\xaf\xa4\xc0\xa4\xb5\xa4\xa4\xa1\xa3",
       "\xb0\xca\xb2\xbc\xa4\xce\xbb\xc8\xa4\xa4\xca\xfd\xa4\xf2\xb8\xab\xa4\xc6\xa4\xdb\xa4"
       "\xb7"
       "\xa4\xa4\xa4\xce\xa5\xda\xa5\xeb\xa5\xaf\xa5\xa4\xa5\xb9\xa5\xc8",
       "  \xb6\xaf\xc0\xa9\xbe\xe5\xbd\xf1\xa4\xad\xa4\xcf "
       "-fw\xa5\xb9\xa5\xa4\xa5\xc3\xa5\xc1\xa5"
       "\xda\xa5\xeb\xa5\xaf\xa5\xa4\xa5\xb9\xa5\xc8"}};
  const std::string summer = "\xe5\xa4\x8f.dat";  // a UTF-8 name, never converted
  dir_.write("src/" + summer, "new");
  dir_.write("all/" + summer, "old");
  for (const auto& c : cases) {
    if (c[0] != "C" && !testsys::isDirectory(PELQUIST_LOCPATH "/" + c[0])) {
      std::printf("skipped: no locale %s\n", c[0].c_str());
      continue;
    }
    const std::string error = runProgram({"-x"}, dir_.path(), "", c[0]).output;
    EXPECT_NE(std::string::npos, error.find("\n" + c[1] + "\n")) << c[0];
    EXPECT_NE(std::string::npos, error.find("\n-x\n" + c[2] + "\n")) << c[0];
    const std::string refusal =
        runProgram({"-collectcopy", "src/*.dat", "all"}, dir_.path(), "", c[0]).output;
    EXPECT_NE(std::string::npos, refusal.find("\n" + c[1] + "\n")) << c[0];
    EXPECT_NE(std::string::npos, refusal.find(summer + " , false );\n  ")) << c[0];
    EXPECT_NE(std::string::npos, refusal.find("\n" + c[3] + "\n")) << c[0];
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

TEST_F(ConsoleE2e, ControlBytesOfNamesAreShownNotObeyed) {
  const std::vector<std::string> names = {"a\nb.dat",
                                          "c\x1b]0;x\x07"
                                          "d.dat"};
  for (const std::string& name : names) dir_.write("src/" + name, name);
  const std::string trace =
      runProgram({"-collectcopy", "-nosw", "src/*.dat", "all"}, dir_.path()).output;
  for (const std::string shown : {"/all/a?b.dat", "/all/c?]0;x?d.dat"})
    EXPECT_NE(std::string::npos,
              trace.find("\ncopy : " + dir_.path() + shown + "  succeeded\n"))
        << trace;
  EXPECT_EQ(names, dir_.list("all"));
  dir_.makeDirs("out");
  const std::string echo = runProgram({"-nosw", "src/*.dat", "out"}, dir_.path()).output;
  EXPECT_NE(std::string::npos, echo.find("a?b.dat\n")) << echo;
  EXPECT_EQ(std::string::npos, (trace + echo).find_first_of("\x1b\x07"));
}

}  // namespace
