#include "quillkit/filesystem/utility.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/platform.h"
#include "tests/support/shift_jis.h"

namespace {

using sjis::kA;
using sjis::kBar;
using sjis::kHyo;

// Windows paths have drives and the library inserts '' there; POSIX has neither.
const bool kWindows = testsys::isWindowsBuild();
const bool kHasDrives = kWindows;
const std::string kSep = kWindows ? "\\" : "/";

TEST(PathBytes, ClassifiesLeadAndTrailBytesAtTheirBoundaries) {
  struct Case {
    unsigned char byte;
    int lead;
    int trail;
  };
  const Case cases[] = {
      {0x3F, 0, 0}, {0x40, 0, 1}, {0x5C, 0, 1}, {0x7E, 0, 1}, {0x7F, 0, 0},
      {0x80, 0, 1}, {0x81, 1, 1}, {0x9F, 1, 1}, {0xA0, 0, 1}, {0xDF, 0, 1},
      {0xE0, 1, 1}, {0xF5, 1, 1}, {0xF6, 0, 1}, {0xFC, 0, 1}, {0xFD, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.byte));
    EXPECT_EQ(c.lead, quillkit::isLeadByte(c.byte));
    EXPECT_EQ(c.trail, quillkit::isTrailByte(c.byte));
  }
}

TEST(PathBytes, IsAlphaTakesOnlyAsciiLetters) {
  for (char c : std::string("AZaz")) EXPECT_TRUE(quillkit::isAlpha(c)) << c;
  for (char c : std::string("@[`{0:\xC1\xE9")) EXPECT_FALSE(quillkit::isAlpha(c)) << c;
}

TEST(FindChar, SkipsSecondBytesOfPairs) {
  struct Case {
    std::string text;
    char ch;
    int32_t expected;
  };
  const Case cases[] = {
      {"", ':', -1},
      {":x", ':', 0},
      {kHyo + "\\x", '\\', 2},
      {kHyo, '\\', -1},
      // 0xF6 is no lead byte here.
      {"\xF6\\x", '\\', 1},
      {kBar + "x|", '|', 3},
      {kBar, '|', -1},
      // ':' cannot be a second byte.
      {"\x95:", ':', 1},
      {"\\" + kHyo, '\\', 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expected, quillkit::findChar(c.text.c_str(), c.ch));
  }
}

TEST(HasColon, FindsAColonOutsidePairs) {
  EXPECT_EQ(0, quillkit::hasColon("\\\\server\\share"));
  EXPECT_EQ(1, quillkit::hasColon("C:\\a"));
  EXPECT_EQ(1, quillkit::hasColon("a:b"));
  EXPECT_EQ(0, quillkit::hasColon(""));
}

TEST(PathSeparators, AreBackslashThenSlash) { EXPECT_STREQ("\\/", quillkit::pathSeparators()); }

TEST(FindLastSeparator, IgnoresSecondBytesOfPairs) {
  struct Case {
    std::string path;
    int32_t expected;
  };
  const Case cases[] = {
      {"", -1},
      {"a/b\\c", 3},
      {kHyo + "\\x", 2},
      {kHyo, -1},
      {"dir\\" + kHyo, 3},
      // The pair's second byte does not swallow the separator after it.
      {kA + "\\b", 2},
      // 0xF6-0xFC are single bytes here.
      {"\xF6\\", 1},
      {"\xFC\\x", 1},
      // A lead byte at the end stands alone.
      {"a\\\x95", 1},
      // '/' is never a second byte.
      {"\x95/x", 1},  // '/' is never a second byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.expected, quillkit::findLastSeparator(c.path.c_str()));
  }
}

TEST(EndsWithSeparator, ComparesTheLastSeparatorWithTheLength) {
  EXPECT_EQ(1, quillkit::endsWithSeparator("C:\\dir\\", 7));
  EXPECT_EQ(1, quillkit::endsWithSeparator("C:\\dir/", 7));
  EXPECT_EQ(0, quillkit::endsWithSeparator("C:\\dir", 6));
  EXPECT_EQ(1, quillkit::endsWithSeparator("", 0));
  EXPECT_EQ(0, quillkit::endsWithSeparator(kHyo.c_str(), 2));
}

TEST(GetExtension, TakesTheTextAfterTheLastDotOfTheLastComponent) {
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"file.tar.gz", "gz"},
      {"dir.d\\file", ""},
      {"noext", ""},
      {"name.", ""},
      {".cfg", "cfg"},
      {"C:\\old.dir\\README", ""},
      {"a." + kHyo, kHyo},               // the pair's '\' is no separator
      {"dir.\xF6\\file", "\xF6\\file"},  // 0xF6 is a lead byte here
      {"a.\x95\x7F\\b", ""},             // 0x7F ends the pair
      {"a.\x81\\", "\x81\\"},            // 0x81 is the first lead byte
      {"a.\x80\\b", ""},                 // 0x80 is none
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const char* extension = quillkit::getExtension(c.path.c_str());
    EXPECT_EQ(c.expected, extension);
    EXPECT_EQ(c.path.c_str() + c.path.size() - c.expected.size(), extension);
  }
}

TEST(GetExtension, StopsAtASlashOnlyOnPosix) {
  EXPECT_EQ(std::string(kWindows ? "b/c" : ""), quillkit::getExtension("a.b/c"));
}

struct SplitCase {
  std::string path;
  std::string drive, dir, fname, ext;
};

void expectSplit(const SplitCase& c) {
  SCOPED_TRACE(c.path);
  quillkit::PathParts parts;
  parts.drive = parts.dir = parts.fname = parts.ext = "stale";
  EXPECT_TRUE(parts.split(c.path));
  EXPECT_EQ(c.drive, parts.drive);
  EXPECT_EQ(c.dir, parts.dir);
  EXPECT_EQ(c.fname, parts.fname);
  EXPECT_EQ(c.ext, parts.ext);
}

TEST(PathPartsSplit, SplitsLikeTheRuntimeOnBothBuilds) {
  const SplitCase cases[] = {
      {"", "", "", "", ""},
      {"\\work\\src\\a.b.txt", "", "\\work\\src\\", "a.b", ".txt"},
      {"dir.d\\file", "", "dir.d\\", "file", ""},
      {"sub/name.ext", "", "sub/", "name", ".ext"},
      {".cfg", "", "", "", ".cfg"},
      {"x\\", "", "x\\", "", ""},
      {kHyo + "x.txt", "", "", kHyo + "x", ".txt"},  // 表's '\' stays in the name
      {"\xFC\\a.txt", "", "", "\xFC\\a", ".txt"},    // the runtime's table reaches 0xFC
      {"\x81\\a.txt", "", "", "\x81\\a", ".txt"},    // and begins at 0x81
      {"\x80\\a.txt", "", "\x80\\", "a", ".txt"},
  };
  for (const SplitCase& c : cases) expectSplit(c);
}

TEST(PathPartsSplit, TakesADriveOnlyOnWindows) {
  if (kHasDrives) {
    expectSplit({"C:\\work\\src\\a.b.txt", "C:", "\\work\\src\\", "a.b", ".txt"});
    expectSplit({"a:b.txt", "a:", "", "b", ".txt"});
  } else {
    expectSplit({"C:\\work\\src\\a.b.txt", "", "C:\\work\\src\\", "a.b", ".txt"});
    expectSplit({"a:b.txt", "", "", "a:b", ".txt"});
  }
}

TEST(PathPartsSplit, KeepsASlashAfterUtf8AsSeparatorOnPosix) {
  const std::string summer = "\xE5\xA4\x8F";  // 夏 in UTF-8, last byte 0x8F
  if (kWindows)
    expectSplit({"/src/" + summer + "/x.jpg", "", "/src/", summer + "/x", ".jpg"});
  else
    expectSplit({"/src/" + summer + "/x.jpg", "", "/src/" + summer + "/", "x", ".jpg"});
}

// A part is cut only where the system would refuse it whole: at the path limit on POSIX,
// on Windows at 32,767 UTF-16 units of two bytes at most each, never at 255 bytes.
TEST(PathPartsSplit, CutsEachPartAtThePlatformsLimit) {
  const std::size_t limit = kWindows ? 65534 : testsys::createPathLimit();
  for (std::size_t length : {std::size_t{300}, limit + 50}) {
    const std::string longDir = std::string(length, 'd') + "\\";
    const std::string longName(length, 'n');
    const std::string longExt = "." + std::string(length, 'e');
    quillkit::PathParts parts;
    parts.split(longDir + longName + longExt);
    EXPECT_EQ(longDir.substr(0, limit), parts.dir) << length;
    EXPECT_EQ(longName.substr(0, limit), parts.fname) << length;
    EXPECT_EQ(longExt.substr(0, limit), parts.ext) << length;
  }
}

TEST(PathPartsSplit, ReadsThePathUpToItsNul) {
  const std::string withNul("a.txt\0b\\c.doc", 13);
  expectSplit({withNul, "", "", "a", ".txt"});
}

TEST(CollapseDotSegments, CollapsesBackslashDotBackslashByteByByte) {
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\a\\.\\.\\b", "C:\\a\\b"},
      {"C:\\a\\..\\b", "C:\\a\\..\\b"},
      {".\\a", ".\\a"},
      {"a\\.", "a\\."},
      {"\\.\\", "\\"},
      {kHyo + ".\\x", kHyo + "x"},  // the pair's second byte and the dot go
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    quillkit::collapseDotSegments(path);
    EXPECT_EQ(c.expected, path) << c.path;
  }
}

TEST(CollapseDotSegments, CollapsesSlashDotSlashOnlyOnPosix) {
  std::string path = "a/./b/././c";
  quillkit::collapseDotSegments(path);
  EXPECT_EQ(kWindows ? "a/./b/././c" : "a/b/c", path);
}

TEST(AppendPath, JoinsWithOneSeparator) {
  struct Case {
    std::string directory;
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\dst", "a.txt", "C:\\dst" + kSep + "a.txt"},
      {"C:\\dst\\", "\\a.txt", "C:\\dst\\a.txt"},
      {"C:\\dst/", "\\a.txt", "C:\\dst/a.txt"},
      {"C:\\dst/", "/a.txt", "C:\\dst/a.txt"},
      {"", "x", "x"},
      {"", "\\*.txt", "*.txt"},
      {"C:\\d", "\\\\x", "C:\\d" + kSep + "\\x"},  // only one leading separator goes
      {kHyo, "x", kHyo + kSep + "x"},              // 表 does not end in a separator
      {"C:\\cur\\", ".\\x\\y", "C:\\cur\\x\\y"},
      {"dir", "\x95", "dir" + kSep + "\x95"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory + " + " + c.name);
    std::string directory = c.directory;
    EXPECT_TRUE(quillkit::appendPath(directory, c.name));
    EXPECT_EQ(c.expected, directory);
  }
}

TEST(AppendPath, CollapsesTheDotSegmentsOfTheInsertedSeparator) {
  std::string cur = "C:\\cur";
  quillkit::appendPath(cur, ".\\x\\y");
  std::string dotted = "C:\\a\\.";
  quillkit::appendPath(dotted, "x");
  std::string posix = "/tmp/cur";
  quillkit::appendPath(posix, "./x/y");
  if (kWindows) {
    EXPECT_EQ("C:\\cur\\x\\y", cur);
    EXPECT_EQ("C:\\a\\x", dotted);
    EXPECT_EQ("/tmp/cur\\./x/y", posix);
  } else {
    EXPECT_EQ("C:\\cur/.\\x\\y", cur);  // only the pure forms collapse
    EXPECT_EQ("C:\\a\\./x", dotted);
    EXPECT_EQ("/tmp/cur/x/y", posix);
  }
}

TEST(AppendPath, TreatsAColonAsAnOrdinaryByteOnPosix) {
  if (kHasDrives)
    GTEST_SKIP() << "a drive-qualified name ends the process (see the report tests)";
  std::string directory = "out";
  EXPECT_TRUE(quillkit::appendPath(directory, "C:\\x"));
  EXPECT_EQ("out/C:\\x", directory);
}

TEST(IsAbsolutePath, FollowsThePlatform) {
  EXPECT_EQ(kHasDrives, quillkit::isAbsolutePath("C:\\a"));
  EXPECT_FALSE(quillkit::isAbsolutePath("a:b"));  // the system completes a drive's own
  EXPECT_EQ(kHasDrives, quillkit::isAbsolutePath("\\\\server\\share"));
  EXPECT_EQ(!kHasDrives, quillkit::isAbsolutePath("/usr/a"));
  EXPECT_FALSE(quillkit::isAbsolutePath("a\\b"));
  EXPECT_FALSE(quillkit::isAbsolutePath(""));
}

}  // namespace
