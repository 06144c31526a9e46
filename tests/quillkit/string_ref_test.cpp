#include "quillkit/string_ref.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StringRef, CountsACStringOnFirstRequestAndKeepsTheCount) {
  const char text[] = "abc";
  quillkit::StringRef ref(text);
  EXPECT_EQ(0xFFFFFFFFu, ref.rawLength());  // not counted yet
  EXPECT_EQ(3u, ref.length());
  EXPECT_EQ(3u, ref.rawLength());
  EXPECT_EQ(text, ref.data());
}

TEST(StringRef, TakesAStandardStringsExactSizeButItsTextStopsAtTheNul) {
  const std::string text("ab\0cd", 5);
  quillkit::StringRef ref(text);
  EXPECT_EQ(5u, ref.rawLength());
  EXPECT_EQ("ab", ref.textToNul());
}

}  // namespace
