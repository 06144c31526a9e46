#include <gtest/gtest.h>

#include <string>

#include "quillkit/filesystem/posix/wildcard.h"
#include "tests/support/shift_jis.h"

namespace {

using quillkit::posix::WildcardMask;

struct LiteralRow {
  std::string mask;
  std::string name;
  bool matches;
};

// A mask's literal bytes match the same bytes of a name however the name's bytes would
// read as UTF-8; '?' and '*' step over whole characters from where a literal ended.
TEST(WildcardMask, LiteralBytesMatchWhateverTheEncoding) {
  const std::string hiraganaA = "\x82\xa0";         // あ in Shift-JIS
  const std::string hiraganaI = "\x82\xa2";         // い in Shift-JIS
  const std::string nuiA = "\xe3\x81" + hiraganaA;  // 縺あ; its first 3 bytes are UTF-8
  const std::string tsuA = "\xc2\xb1";              // ﾂｱ, also "±" in UTF-8
  const std::string katakanaA = "\x83\x41", di = "\x83\x61";  // ア and ヂ
  const LiteralRow rows[] = {
      // Names whose Shift-JIS bytes also form UTF-8.
      {"\xc2*", tsuA, true},
      {"*\xb1", tsuA, true},
      {"\xc2?", tsuA, true},
      {"\xe3\x81?", nuiA, true},
      {"?" + hiraganaA, nuiA, true},
      {"*" + hiraganaA, nuiA, true},
      {"\xe3\x81*", nuiA, true},
      {nuiA, nuiA, true},
      {"?", nuiA, false},  // two characters however they are read
      {"??", nuiA, true},
      {"*" + hiraganaI, nuiA, false},
      // Pure ASCII.
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"*.TXT", "a.txt", true},
      {"*.txt", "a.txtx", false},
      {"?", "ab", false},
      // Valid Shift-JIS: a pair is one character, and its second byte never a letter.
      {"?", sjis::kA, true},
      {"??", hiraganaA + hiraganaI, true},
      {"?", hiraganaA + hiraganaI, false},
      {"*" + hiraganaI, hiraganaA + hiraganaI, true},
      {"*a", katakanaA, false},
      {"*A", katakanaA, false},
      {"*|", sjis::kBar, false},
      {katakanaA + "*", katakanaA + "x", true},
      {di + "*", katakanaA + "x", false},
      {"?x", katakanaA + "x", true},
      {"?", katakanaA + "x", false},
      // UTF-8: a character is one for '?'.
      {"?", "\xc3\xa9", true},
      {"?.txt", "\xe3\x81\x82.txt", true},
  };
  for (const LiteralRow& row : rows)
    EXPECT_EQ(row.matches, WildcardMask(row.mask).matches(row.name.c_str()))
        << testing::PrintToString(row.mask) << " / " << testing::PrintToString(row.name);
}

}  // namespace
