#include "quillkit/filesystem/directory_walker.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "tests/support/debug_log.h"
#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

using quillkit::DirectoryWalker;
using Paths = std::list<std::string>;

/// `relative` ('/'-separated) below `top`, in the form the walker builds. '/' is never
/// the second byte of a pair, so it can be replaced blindly.
std::string pathBelow(const std::string& top, const std::string& relative) {
  std::string native = relative;
  for (char& c : native)
    if (c == '/') c = testsys::separator();
  return top + testsys::separator() + native;
}

Paths below(const std::string& top, const std::vector<std::string>& relatives) {
  Paths paths;
  for (const std::string& relative : relatives) paths.push_back(pathBelow(top, relative));
  return paths;
}

// top: a.txt ab.c C.TXT f.h k.adme m/{ab.c b.txt n/{d.txt e.q}} noext readme z.txt
class WalkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"a.txt", "ab.c", "C.TXT", "f.h", "k.adme", "m/ab.c", "m/b.txt",
                             "m/n/d.txt", "m/n/e.q", "noext", "readme", "z.txt"})
      temp_.write(std::string("top/") + file, "x");
  }
  std::string top() const { return temp_.join("top"); }

  TempDir temp_;
  DirectoryWalker walker_;
};

struct PatternRow {
  const char* pattern;
  std::vector<std::string> expected;
};

TEST(DirectoryWalker, StartsRecursiveWithTheEntryLimitOfAboutAMillion) {
  const DirectoryWalker walker;
  EXPECT_EQ(1u, walker.options);
  EXPECT_EQ(1010720u, walker.entryLimit);
  EXPECT_TRUE(walker.patterns.empty());
}

TEST_F(WalkerTest, OnePatternMatchesByNameOrByTheTailAfterTwoBytes) {
  const PatternRow rows[] = {
      {"*.*",
       {"a.txt", "ab.c", "C.TXT", "f.h", "k.adme", "m/ab.c", "m/b.txt", "m/n/d.txt", "m/n/e.q",
        "noext", "readme", "z.txt"}},
      {"*.txt", {"a.txt", "m/b.txt", "m/n/d.txt", "z.txt"}},
      {"C.TXT", {"C.TXT"}},
      {"*.?", {"ab.c", "f.h", "m/ab.c", "m/n/e.q"}},
      {"a.txt", {"a.txt", "m/b.txt", "m/n/d.txt", "z.txt"}},
      {"ab.c", {"ab.c", "m/ab.c"}},
      {"readme", {"k.adme", "readme"}},
      {"*", {}},
      {"ab", {}},  // two bytes: no tail, so only a file named so, not every file without
                   // an extension
  };
  for (const PatternRow& row : rows) {
    walker_.reset(row.pattern, top());
    EXPECT_TRUE(walker_.find()) << row.pattern;
    EXPECT_EQ(below(top(), row.expected), walker_.results) << row.pattern;
  }
}

TEST_F(WalkerTest, WithoutRecursionThePlatformMatchesTheFilesOfOneDirectory) {
  walker_.reset("*.txt", top());
  walker_.options &= ~DirectoryWalker::kRecursive;
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "C.TXT", "z.txt"}), walker_.results);

  walker_.patterns = {"*"};
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(
      below(top(), {"a.txt", "ab.c", "C.TXT", "f.h", "k.adme", "noext", "readme", "z.txt"}),
      walker_.results);

  walker_.patterns = {"*.zip"};
  EXPECT_FALSE(walker_.find());
  EXPECT_TRUE(walker_.results.empty());
}

TEST_F(WalkerTest, TrailingSeparatorOfTheDirectoryGivesTheSamePaths) {
  walker_.reset("*.txt", top() + testsys::separator());
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "m/b.txt", "m/n/d.txt", "z.txt"}), walker_.results);
}

TEST_F(WalkerTest, FindTwiceWithoutResetListsTheTreeAgain) {
  walker_.reset("*.txt", top());
  EXPECT_EQ(3u, walker_.options);  // recursive, accepting partial results
  ASSERT_TRUE(walker_.find());
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "m/b.txt", "m/n/d.txt", "z.txt"}), walker_.results);
}

// More folders than the walk's read-ahead holds at once, and deeper than one level: the
// walk finds what it finds without one, in the same order.
TEST(WalkerReadAhead, WideAndDeepTreeIsWalkedInListingOrder) {
  TempDir temp;
  std::vector<std::string> expected;
  for (char d = 'A'; d <= 'X'; ++d) {
    for (char e = '0'; e <= '4'; ++e)
      expected.push_back(std::string("d") + d + "/e" + e + "/f.txt");
    expected.push_back(std::string("d") + d + "/g.txt");
  }
  for (const std::string& file : expected) temp.write("top/" + file, "x");
  DirectoryWalker walker;
  walker.reset("*.txt", temp.join("top"));
  ASSERT_TRUE(walker.find());
  EXPECT_EQ(below(temp.join("top"), expected), walker.results);
}

TEST_F(WalkerTest, EntryLimitCountsDirectoriesAndEntriesDotsIncluded) {
  walker_.reset("*.*", top());
  walker_.entryLimit = 0;
  EXPECT_TRUE(walker_.find());
  EXPECT_TRUE(walker_.results.empty());
  EXPECT_TRUE(walker_.stoppedAtLimit);

  // Opening the top directory counts 1, and every entry 1 more; an entry is examined
  // while the count is at most the limit: ".", "..", a.txt, ab.c.
  walker_.entryLimit = 4;
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "ab.c"}), walker_.results);
  EXPECT_TRUE(walker_.stoppedAtLimit);

  // Just enough for every folder and entry: nothing was left out.
  walker_.entryLimit = 22;
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(12u, walker_.results.size());
  EXPECT_FALSE(walker_.stoppedAtLimit);
  EXPECT_TRUE(walker_.skipped.empty());
  walker_.entryLimit = 21;
  EXPECT_TRUE(walker_.find());
  EXPECT_TRUE(walker_.stoppedAtLimit);
}

TEST_F(WalkerTest, MissingTopDirectoryFailsQuietlyWithOnePattern) {
  DebugLog log;
  walker_.reset("*.txt", temp_.join("missing"));
  EXPECT_FALSE(walker_.find());
  EXPECT_TRUE(walker_.results.empty());
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(WalkerTest, PatternWithAColonIsADriveOnlyWhereThereAreDrives) {
  if (testsys::isWindowsBuild()) {
    walker_.reset("C:*.txt", top());
    EXPECT_FALSE(walker_.find());
    EXPECT_TRUE(walker_.results.empty());
    return;
  }
  temp_.write("top/a:b", "");
  walker_.reset("a:b", top());
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a:b"}), walker_.results);
}

TEST_F(WalkerTest, SeveralPatternsCollectFilesByExtension) {
  walker_.reset("*.txt", top());
  walker_.patterns.push_back("*.c");
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "ab.c", "m/ab.c", "m/b.txt", "m/n/d.txt", "z.txt"}),
            walker_.results);

  // A pattern without a dot is an extension as a whole, never a name.
  walker_.patterns = {"readme", "*.q"};
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"m/n/e.q"}), walker_.results);
}

TEST_F(WalkerTest, SeveralPatternsRefuseOneThatMatchesEverything) {
  EXPECT_FALSE(DirectoryWalker().find());  // no pattern at all
  for (const Paths& patterns : {Paths{"*.txt", "*"}, Paths{"*.*", "*.c"}}) {
    walker_.reset("*.txt", top());
    walker_.patterns = patterns;
    EXPECT_FALSE(walker_.find());
    EXPECT_TRUE(walker_.results.empty());
  }
  quillkit::ExtensionFilterVisitor visitor(walker_.results, 10);
  EXPECT_TRUE(visitor.addFilter("*.?"));
  EXPECT_TRUE(visitor.addFilter("noext"));
  EXPECT_EQ((Paths{"?", "noext"}), visitor.filters);
}

TEST_F(WalkerTest, MissingTopDirectoryIsLoggedTwiceBySeveralPatterns) {
  DebugLog log;
  walker_.reset("*.txt", temp_.join("missing"));
  walker_.patterns.push_back("*.c");
  EXPECT_FALSE(walker_.find());
  ASSERT_EQ(2u, log.lines.size());
  EXPECT_EQ(0u, log.lines[0].rfind("ERROR Message:", 0));
  EXPECT_EQ(log.lines[0], log.lines[1]);
}

// The base visitor's handlers do nothing and say so; only onError writes, the system's
// error text.
TEST(WalkVisitor, BaseHandlersAnswerTrueAndOnlyOnErrorLogs) {
  DebugLog log;
  quillkit::WalkVisitor visitor;
  quillkit::FileFinder finder;
  EXPECT_TRUE(visitor.onDots(finder, "d", "*", true));
  EXPECT_TRUE(visitor.onFile(finder, "d", "*", true));
  EXPECT_TRUE(visitor.onDirectory(finder, "d", "*", true));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(visitor.onError(finder, "d", "*", true));
  ASSERT_EQ(1u, log.lines.size());
  EXPECT_EQ(0u, log.lines[0].find("ERROR Message:"));
}

// wide: a/{1.txt 2.txt 3.txt} b.txt
TEST(WalkerLimits, OnePatternSharesTheCounterSeveralPatternsCountPerDirectory) {
  TempDir temp;
  const std::string top = temp.join("wide");
  for (const char* file : {"a/1.txt", "a/2.txt", "a/3.txt", "b.txt"})
    temp.write(std::string("wide/") + file, "");
  DirectoryWalker walker;
  walker.reset("*.txt", top);
  walker.entryLimit = 4;
  EXPECT_TRUE(walker.find());
  EXPECT_TRUE(walker.results.empty());

  walker.patterns.push_back("*.c");
  EXPECT_TRUE(walker.find());
  EXPECT_EQ(below(top, {"a/1.txt", "a/2.txt", "b.txt"}), walker.results);
}

// Links back up the tree are not walked again; a link to a folder elsewhere is.
TEST(WalkerLinks, FolderAlreadyOnTheWayDownIsNotWalkedAgain) {
  TempDir temp;
  temp.write("top/a.txt", "");
  temp.write("top/sub/b.txt", "");
  temp.write("elsewhere/c.txt", "");
  if (!testsys::makeSymbolicLink(temp.join("top"), temp.join("top/sub/up")) ||
      !testsys::makeSymbolicLink(temp.join("top"), temp.join("top/sub/up2")) ||
      !testsys::makeSymbolicLink(temp.join("top/sub"), temp.join("top/sub/self")) ||
      !testsys::makeSymbolicLink(temp.join("elsewhere"), temp.join("top/there")))
    GTEST_SKIP() << "no symbolic links here";
  DirectoryWalker walker;
  walker.reset("*.txt", temp.join("top"));
  EXPECT_TRUE(walker.find());
  EXPECT_EQ(below(temp.join("top"), {"a.txt", "sub/b.txt", "there/c.txt"}), walker.results);
  EXPECT_TRUE(walker.skipped.empty());
}

// A folder whose full path is longer than the system takes is skipped and remembered.
TEST(WalkerLimits, FolderBeyondThePathLimitIsSkippedWithItsReason) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "Windows paths stop at 260 bytes";
  TempDir temp;
  temp.write("deep/a.txt", "");
  ASSERT_TRUE(testsys::changeDirectory(temp.join("deep")));
  const std::string level(200, 'd');
  std::string relative;
  for (std::size_t length = temp.path().size(); length < testsys::createPathLimit() + 200;
       length += level.size() + 1) {
    ASSERT_TRUE(testsys::makeDirectory(level));
    ASSERT_TRUE(testsys::changeDirectory(level));
    relative += "/" + level;
  }
  DirectoryWalker walker;
  walker.reset("*.txt", temp.join("deep"));
  EXPECT_TRUE(walker.find());
  EXPECT_EQ(below(temp.join("deep"), {"a.txt"}), walker.results);
  ASSERT_EQ(1u, walker.skipped.size());
  EXPECT_EQ("ERROR Message:File name too long", walker.skipped.front().errorText);
  EXPECT_EQ(0u,
            walker.skipped.front().directory.find(temp.join("deep") + relative.substr(0, 201)));
}

// locked: a.txt sealed/{b.txt} z.txt, with sealed unreadable
class UnreadableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"a.txt", "sealed/b.txt", "z.txt"})
      temp_.write(std::string("locked/") + file, "");
    if (testsys::ignoresPermissions() || !testsys::makeUnreadable(temp_.join("locked/sealed")))
      GTEST_SKIP() << "every folder is readable here";
  }
  std::string top() const { return temp_.join("locked"); }

  TempDir temp_;
};

TEST_F(UnreadableTest, OnePatternSkipsTheSubdirectoryWithoutALogLine) {
  DebugLog log;
  DirectoryWalker walker;
  walker.reset("*.txt", top());
  EXPECT_TRUE(walker.find());
  EXPECT_EQ(below(top(), {"a.txt", "z.txt"}), walker.results);
  EXPECT_TRUE(log.lines.empty());
  // ... but remembers it, with the system's reason.
  ASSERT_EQ(1u, walker.skipped.size());
  EXPECT_EQ(pathBelow(top(), "sealed"), walker.skipped.front().directory);
  EXPECT_EQ("ERROR Message:Permission denied", walker.skipped.front().errorText);

  walker.reset("*.txt", pathBelow(top(), "sealed"));
  EXPECT_FALSE(walker.find());
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(UnreadableTest, SeveralPatternsLogTheFailureTwiceAndGoOn) {
  DebugLog log;
  DirectoryWalker walker;
  walker.reset("*.txt", top());
  walker.patterns.push_back("*.c");
  EXPECT_TRUE(walker.find());
  EXPECT_EQ(below(top(), {"a.txt", "z.txt"}), walker.results);
  ASSERT_EQ(2u, log.lines.size());
  EXPECT_NE(std::string::npos, log.lines[0].find("ERROR Message:"));
}

// The walk as the finder's own accessors describe it: every full path by the general
// join, every extension from the full path, the pattern rule as it is written.
void referenceWalk(const std::string& directory, const std::string& pattern, Paths& found) {
  quillkit::FileFinder finder;
  if (!finder.findFirst(directory.c_str(), "*.*")) return;
  const std::string tail = pattern.size() >= 3 ? pattern.substr(2) : std::string();
  do {
    // A '\' after an ASCII byte would be a separator: no path names that entry.
    const std::string name = finder.fileName();
    const std::size_t at = name.find('\\');
    if (finder.isDots() || (at < name.size() && (at == 0 || !(name[at - 1] & 0x80)))) continue;
    const std::string path = finder.fullPath();
    if (finder.isSubDirectory()) {
      if (path != directory) referenceWalk(path, pattern, found);
      continue;
    }
    const std::string extension = finder.extension();
    if (finder.fileName() == pattern ||
        (!tail.empty() &&
         (tail == "*" || extension == tail || (tail == "?" && extension.size() == 1))))
      found.push_back(path);
  } while (finder.findNext());
}

// Names whose paths or extensions a shortcut could get wrong: mixed case, Shift-JIS
// pairs ending in 0x5C, UTF-8 whose last byte is a Shift-JIS lead byte, "dot." names,
// and on POSIX links and names holding a lone '\', which are passed over and told.
TEST(WalkerPaths, AreThoseOfTheGeneralJoinForEveryFormOfTheStartFolder) {
  TempDir temp;
  const std::string hyo = "\x95\x5c", so = "\x83\x5c", summer = "\xe5\xa4\x8f";
  using Names = std::vector<std::string>;
  for (const std::string& file :
       Names{"t/Mixed.TXT", "t/mixed.txt", "t/a.txt", "t/dot.", "t/dir.d/README",
             "t/" + hyo + "/x.txt", "t/" + hyo + "/" + so + ".txt", "t/" + hyo + ".d/" + hyo,
             "t/sub/b.txt", "t/sub/c.q"})
    temp.write(file, "x");
  if (!testsys::isWindowsBuild()) {
    for (const std::string& file :
         Names{"t/" + summer + "/b.txt", "t/" + summer + ".txt", "t/\\lead.txt",
               "t/a\\.\\b.txt", "t/dir.d/x\\y", "t/x\\..\\../c.txt"})
      temp.write(file, "x");
    testsys::makeSymbolicLink(temp.join("t/sub"), temp.join("t/link"));
    testsys::makeSymbolicLink(temp.join("t/nowhere"), temp.join("t/dangling.txt"));
  }
  const std::string top = temp.join("t"), sep(1, testsys::separator());
  for (const std::string& start :
       Names{top, top + sep, top + sep + ".", top + sep + "." + sep}) {
    for (const char* pattern : {"*.*", "*.txt", "*.?", "a.txt", "*.d", "README", "dot."}) {
      Paths expected;
      referenceWalk(start, pattern, expected);
      DirectoryWalker walker;
      walker.reset(pattern, start);
      EXPECT_TRUE(walker.find());
      EXPECT_EQ(expected, walker.results) << start << " " << pattern;
      if (testsys::isWindowsBuild()) continue;
      ASSERT_FALSE(walker.skipped.empty());  // the folder x\..\.. is always among them
      EXPECT_EQ(0u, walker.skipped.back().errorText.find("ERROR Message:The name holds a"));
    }
  }
}

// Start folders whose typed end does not stop the extension search: Windows does not
// stop at '/', and for a '\\' after 0xF6 the search takes the pair's view, which only
// the general join reproduces. A dotless file there has its folder's extension.
TEST(WalkerPaths, ExtensionSearchesThatRunIntoTheStartFolderAreKept) {
  TempDir temp;
  std::pair<std::string, std::string> c;  // the start folder as typed, and the pattern
  if (testsys::isWindowsBuild()) {
    temp.write("w.d/x", "x");
    c = {temp.join("w.d") + "/", "*.d/x"};
  } else {
    temp.write("w.d\xf6/x", "x");
    c = {temp.join("w.d\xf6") + "\\", "*.d\xf6\\x"};
  }
  Paths expected;
  referenceWalk(c.first, c.second, expected);
  EXPECT_EQ(1u, expected.size());
  DirectoryWalker walker;
  walker.reset(c.second, c.first);
  EXPECT_TRUE(walker.find());
  EXPECT_EQ(expected, walker.results);
}

}  // namespace
