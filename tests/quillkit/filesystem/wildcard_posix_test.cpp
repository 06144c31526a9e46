#include "quillkit/filesystem/wildcard_posix.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/listing_order.h"
#include "tests/support/shift_jis.h"

namespace {

using quillkit::posix::WildcardMask;

struct MatchRow {
  std::string mask;
  std::string name;
  bool matches;
};

// Cases that a real directory cannot hold on every system: names of any bytes.
TEST(WildcardMask, QuestionMarkTakesOneWholeCharacter) {
  const MatchRow rows[] = {
      {"?", "\x82\xa0", true},   // a Shift-JIS pair is one character
      {"?", "\x81\x40", true},   // from the first lead byte and the first trail byte
      {"?", "\x81\x3f", false},  // below 0x40 the lead byte stands alone
      {"??", "\x81\x3f", true},
      {"?", "\x81\x7f", false},  // 0x7F is no trail byte
      {"??", "\x81\x7f", true},
      {"?", "\x80\x40", false},  // 0x80 is no lead byte
      {"?", "\xc3\xa9", true},   // a UTF-8 character
      {"?", "\xc2\xa0", true},   // the first and last leads of two bytes
      {"?", "\xdf\xbf", true},
      {"?", "\xe3\x81\x82", true},
      {"?", "\xf0\x9f\x98\x80", true},    // four bytes
      {"??", "\xc3\xa9\xa9", true},       // a continuation byte after a whole character
      {"???", "\x81\x80\x80\x80", true},  // no UTF-8: a Shift-JIS pair and two bytes
      {"a?", "ab", true},
      {"a?", "abc", false},
  };
  for (const MatchRow& row : rows)
    EXPECT_EQ(row.matches, WildcardMask(row.mask).matches(row.name.c_str()))
        << row.mask << " / " << row.name;
}

// A mask's literal bytes match the same bytes of a name however the name's bytes would
// read as UTF-8; '?' and '*' step over whole characters from where a literal ended.
TEST(WildcardMask, LiteralBytesMatchWhateverTheEncoding) {
  const std::string hiraganaA = "\x82\xa0";         // あ in Shift-JIS
  const std::string hiraganaI = "\x82\xa2";         // い in Shift-JIS
  const std::string nuiA = "\xe3\x81" + hiraganaA;  // 縺あ; its first 3 bytes are UTF-8
  const std::string tsuA = "\xc2\xb1";              // ﾂｱ, also "±" in UTF-8
  const std::string katakanaA = "\x83\x41", di = "\x83\x61";  // ア and ヂ
  const MatchRow rows[] = {
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
  for (const MatchRow& row : rows)
    EXPECT_EQ(row.matches, WildcardMask(row.mask).matches(row.name.c_str()))
        << testing::PrintToString(row.mask) << " / " << testing::PrintToString(row.name);
}

// The listing order folds ASCII letters of single-byte characters only: the second byte
// of a pair is compared as it is.
TEST(ListingOrder, FoldsOnlySingleByteLetters) {
  struct Row {
    std::string before;
    std::string after;
  };
  const Row rows[] = {
      {"a", "B"},
      {"B", "b"},  // equal when folded: bytewise
      {"ab", "AB1"},
      {"\x83\x5b", "\x83\x61"},  // ゼ before ヂ: 0x5B < 0x61, although 'A' < 0x5B
      {"\x83\x41", "\x83\x5b"},
  };
  for (const Row& row : rows) {
    EXPECT_TRUE(entryNameLess(row.before, row.after)) << row.before;
    EXPECT_FALSE(entryNameLess(row.after, row.before)) << row.before;
  }
}

// The first 8 key bytes, taken 8 at once for ASCII, are those of the whole key: every
// byte from 1 to 0xFF at each place of names shorter than, as long as and longer than 8.
TEST(ListingOrder, KeyStartIsTheKeysFirstEightBytes) {
  std::string scratch;
  for (const std::string base : {"", "abcdefg", "abcdefghij"})
    for (std::size_t at = 0; at <= base.size(); ++at)
      for (int byte = 1; byte <= 0xFF; ++byte) {
        const std::string name = std::string(base).insert(at, 1, static_cast<char>(byte));
        std::string key;
        quillkit::posix::appendListingKey(name.c_str(), name.size(), key);
        uint64_t expected = 0;
        for (std::size_t i = 0; i < 8; ++i)
          expected = expected << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
        ASSERT_EQ(expected,
                  quillkit::posix::listingKeyStart(name.c_str(), name.size(), scratch))
            << testing::PrintToString(name);
      }
}

}  // namespace
