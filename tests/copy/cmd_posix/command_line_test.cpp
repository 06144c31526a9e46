#include "copy/cmd_posix/command_line.h"

#include <gtest/gtest.h>

namespace {

using copy::cmd::readWords;
using copy::cmd::Word;

// Each word rendered as text, with Q for quoted, S for a switch and + for a plus.
std::string describe(const std::vector<Word>& words) {
  std::string text;
  for (const Word& word : words) {
    text += "[" + word.text + "]";
    if (word.quoted) text += "Q";
    if (word.isSwitch()) text += "S";
    if (word.plus) text += "+";
  }
  return text;
}

TEST(CommandLineReader, SplitsAsCmdDoes) {
  struct Case {
    const char* line;
    bool plus;
    const char* words;
  };
  const Case cases[] = {
      {"COPY /B a.txt /B b.txt /B /V ", false, "[COPY][/B]S[a.txt][/B]S[b.txt][/B]S[/V]S"},
      {"  MOVE\ta.txt\t\tsub", false, "[MOVE][a.txt][sub]"},
      {"COPY /B  /B  /B /V ", false, "[COPY][/B]S[/B]S[/B]S[/V]S"},
      {"XCOPY /S \"my dir\" \"a & b;c|d\"", false, "[XCOPY][/S]S[my dir]Q[a & b;c|d]Q"},
      {"COPY \"/tmp/x y\" /tmp", false, "[COPY][/tmp/x y]Q[/tmp]S"},
      {"COPY a\"b c\"d e", false, "[COPY][ab cd]Q[e]"},
      {"COPY \"\" x", false, "[COPY][]Q[x]"},
      {"COPY \"open", false, "[COPY][open]Q"},
      {"COPY a+b +c \"d+e\" f", true, "[COPY][a][+]+[b][+]+[c][d+e]Q[f]"},
      {"COPY a+b", false, "[COPY][a+b]"},
      {"copy /-y x", false, "[copy][/-y]S[x]"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.words, describe(readWords(c.line, c.plus))) << c.line;
}

TEST(CommandLineReader, UpperCasesOnlyAsciiLetters) {
  EXPECT_EQ("COPY /-Y \x82\xa0Z", copy::cmd::upperAscii("copy /-y \x82\xa0z"));
}

}  // namespace
