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

// A UTF-8 terminal obeys the C1 controls U+0080-U+009F (C2 80 to C2 9F): each is shown
// as one '?' there, and only there; a byte 0x80-0x9F of its own, which leads a
// Shift-JIS pair, stays everywhere.
TEST(ShownName, ShowsC1ControlsAsQuestionMarksInAUtf8Console) {
  struct Row {
    std::string name, utf8, other;
  };
  const Row rows[] = {
      {"a\xc2\x9b[31mb", "a?[31mb", "a\xc2\x9b[31mb"},
      {"\xc2\x80\xc2\x9f\x1b", "???", "\xc2\x80\xc2\x9f?"},
      {"\xc2\xa0\xc2\x7f\xc2", "\xc2\xa0\xc2?\xc2", "\xc2\xa0\xc2?\xc2"},
      {"\x81\x40\x9b\x5c\x85", "\x81\x40\x9b\x5c\x85", "\x81\x40\x9b\x5c\x85"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(testsys::isWindowsBuild() ? row.name : row.utf8,
              quillkit::shownName(row.name, true));
    EXPECT_EQ(testsys::isWindowsBuild() ? row.name : row.other,
              quillkit::shownName(row.name, false));
  }
}

}  // namespace
