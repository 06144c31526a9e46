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
  ASSERT_TRUE(walker_.find());
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "m/b.txt", "m/n/d.txt", "z.txt"}), walker_.results);
}

TEST_F(WalkerTest, EntryLimitCountsDirectoriesAndEntriesDotsIncluded) {
  walker_.reset("*.*", top());
  walker_.entryLimit = 0;
  EXPECT_TRUE(walker_.find());
  EXPECT_TRUE(walker_.results.empty());

  // Opening the top directory counts 1, and every entry 1 more; an entry is examined
  // while the count is at most the limit: ".", "..", a.txt, ab.c.
  walker_.entryLimit = 4;
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ(below(top(), {"a.txt", "ab.c"}), walker_.results);
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

}  // namespace
