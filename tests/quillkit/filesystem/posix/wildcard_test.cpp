#include "quillkit/filesystem/posix/wildcard.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
