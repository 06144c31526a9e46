#include "quillkit/shown_name.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/platform.h"

namespace {

// On POSIX, where a name may hold them, the control bytes of a name are shown as '?'
// wherever they stand (past the first 32 bytes too); Windows names cannot hold them.
TEST(ShownName, ShowsControlBytesAsQuestionMarksOnPosix) {
  const std::string longName(40, 'x');
  struct Row {
    std::string name, posix;
  };
  const Row rows[] = {
      {"plain name.txt", "plain name.txt"},
      {"a\nb\tc\rd", "a?b?c?d"},
      {"\x20\x7e\x80\xff", "\x20\x7e\x80\xff"},
      {"\x01", "?"},
      {"x\x1f", "x?"},
      {"x\x7f", "x?"},
      {longName + "\x1b[2J", longName + "?[2J"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(testsys::isWindowsBuild() ? row.name : row.posix, quillkit::shownName(row.name));
}

// A UTF-8 terminal obeys the C1 controls (C2 80 to C2 9F): one '?' each there, and only
// there; a byte 0x80-0x9F of its own (a Shift-JIS lead byte) stays.
TEST(ShownName, ShowsC1ControlsAsQuestionMarksInAUtf8Console) {
  const std::string name = "\xc2\x80\xc2\x9f[\xc2\xa0\xc2\x7f\x81\x40\x9b\xc2";
  const std::string utf8 = "??[\xc2\xa0\xc2?\x81\x40\x9b\xc2";
  EXPECT_EQ(testsys::isWindowsBuild() ? name : utf8, quillkit::shownName(name, true));
  EXPECT_EQ(testsys::isWindowsBuild() ? name : "\xc2\x80\xc2\x9f[\xc2\xa0\xc2?\x81\x40\x9b\xc2",
            quillkit::shownName(name, false));
}

}  // namespace
