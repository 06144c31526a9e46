#include "copy/shell_command.h"

#include <gtest/gtest.h>

namespace copy {

namespace {

struct FormCase {
  const char* path;
  PathForm form;
};

TEST(ShellCommandPathForm, QuotesOperatorsAndRefusesWhatQuotesCannotHold) {
  const FormCase cases[] = {
      {"a.txt", PathForm::Plain},
      {"C:\\dir\\a.txt", PathForm::Plain},
      {"dir/sub", PathForm::Plain},
      {"\x95\x5c.txt", PathForm::Plain},   // a Shift-JIS pair whose second byte is '\'
      {"\x83\x7c.txt", PathForm::Quoted},  // a second byte equal to '|': quoting is harmless
      {"", PathForm::Plain},
      {"a b.txt", PathForm::Quoted},
      {"/abs/path", PathForm::Quoted},
      {"x&y", PathForm::Quoted},
      {"x|y", PathForm::Quoted},
      {"x<y", PathForm::Quoted},
      {"x>y", PathForm::Quoted},
      {"x^y", PathForm::Quoted},
      {"(x)", PathForm::Quoted},
      {"x,y", PathForm::Quoted},
      {"x;y", PathForm::Quoted},
      {"x=y", PathForm::Quoted},
      {"x!y", PathForm::Quoted},
      {"a+b.txt", PathForm::Quoted},
      {"a\"b", PathForm::Refused},
      {"%PATH%", PathForm::Refused},
      {"a\tb", PathForm::Refused},
      {"a\nb", PathForm::Refused},
      {"\x1f", PathForm::Refused},
  };
  for (const FormCase& c : cases) EXPECT_EQ(c.form, classifyPath(c.path)) << c.path;
}

TEST(ShellCommandLine, BuildsEachModeWithPathsInTheirForms) {
  EXPECT_EQ("COPY /B a.txt /B b.txt /B /V ", buildShellCommand(Copy, "a.txt", "b.txt").line);
  EXPECT_EQ("MOVE a.txt sub", buildShellCommand(Move, "a.txt", "sub").line);
  EXPECT_EQ("XCOPY /S src dst", buildShellCommand(XCopy, "src", "dst").line);
  EXPECT_EQ("COPY /B  /B  /B /V ", buildShellCommand(Copy, "", "").line);
  EXPECT_EQ("MOVE \"my file.txt\" \"a&b\"", buildShellCommand(Move, "my file.txt", "a&b").line);
  EXPECT_EQ("XCOPY /S \"/src/x\" \"/dst\"", buildShellCommand(XCopy, "/src/x", "/dst").line);
}

TEST(ShellCommandLine, NamesTheFirstRefusedPath) {
  ShellCommand command = buildShellCommand(Copy, "50%", "a\"b");
  EXPECT_TRUE(command.refused);
  EXPECT_EQ("50%", command.refusedPath);
  EXPECT_EQ("", command.line);
  command = buildShellCommand(Move, "ok", "a\"b");
  EXPECT_TRUE(command.refused);
  EXPECT_EQ("a\"b", command.refusedPath);
}

}  // namespace

}  // namespace copy
