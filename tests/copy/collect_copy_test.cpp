#include "copy/collect_copy.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/debug_log.h"
#include "tests/support/expected_texts.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/platform.h"

namespace {

using Calls = std::vector<std::string>;

// A path as this build writes it: "D:/photos/*.jpg" is D:\photos\*.jpg on Windows and
// /photos/*.jpg on POSIX, which has no drives.
std::string p(std::string path) {
  if (!testsys::isWindowsBuild()) {
    if (path.size() >= 2 && path[1] == ':') path.erase(0, 2);
    return path;
  }
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

/// One collect-copy run on the fake, from D:\photos\*.jpg into E:\all unless a test
/// says otherwise, with the current directory C:\work.
class CollectCopyTest : public ::testing::Test {
 protected:
  CollectCopyTest() { fs_.current = p("C:/work"); }

  bool collect(const std::string& source, const std::string& destination,
               bool forceWrite = false) {
    result_ = collectCopy(console_, fs_, source, destination, forceWrite, errors_);
    return result_;
  }
  // The standard run's head and found lines.
  std::string photosToAll(bool forceWrite = false) const {
    return expected::traceHead(p("D:/photos/*.jpg"), "*.jpg", p("E:/all"), p("E:/all"),
                               p("C:/work"), p("D:/photos/"), forceWrite) +
           expected::traceFound(p("E:/all"), p("E:/all")) +
           "change current dir:" + p("D:/photos/") + "\n";
  }

  std::ostringstream console_;
  std::ostringstream errors_;
  FakeFileSystem fs_;
  bool result_ = false;
};

TEST_F(CollectCopyTest, AbsoluteSourceIntoAbsoluteDestination) {
  fs_.walkResult = {p("D:/photos/a.jpg")};
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(photosToAll() + expected::traceCopied(p("E:/all/a.jpg")) + "collectcopy end...\n",
            console_.str());
  // An absolute destination is neither looked up nor created.
  EXPECT_EQ((Calls{"cwd", "find *.jpg in " + p("D:/photos/"), "cd " + p("D:/photos/"),
                   "exists " + p("E:/all/a.jpg"),
                   "prepare " + p("E:/all/a.jpg") + " <- " + p("D:/photos/a.jpg"),
                   "name " + p("E:/all/a.jpg")}),
            fs_.calls);
  EXPECT_EQ(p("D:/photos/"), fs_.current);  // not restored
}

TEST_F(CollectCopyTest, RelativeSourceStaysInTheCurrentDirectoryAndMissingDestinationIsMade) {
  fs_.walkResult = {p("C:/work/sub/a.txt")};
  EXPECT_TRUE(collect(p("sub/*.txt"), "out"));
  EXPECT_EQ(expected::traceHead(p("sub/*.txt"), "*.txt", "out", p("C:/work/out"), p("C:/work"),
                                p("C:/work/sub/")) +
                expected::traceFound("out", p("C:/work/out")) + "current dir:" + p("C:/work") +
                "\n" + expected::traceCopied(p("C:/work/out/a.txt")) + "collectcopy end...\n",
            console_.str());
  EXPECT_EQ(
      (Calls{"cwd", "cwd", "isdir " + p("C:/work/out"), "mkdirs " + p("C:/work/out"), "cwd",
             "find *.txt in " + p("C:/work/sub/"), "cwd", "exists " + p("C:/work/out/a.txt"),
             "prepare " + p("C:/work/out/a.txt") + " <- " + p("C:/work/sub/a.txt"),
             "name " + p("C:/work/out/a.txt")}),
      fs_.calls);
}

TEST_F(CollectCopyTest, ExistingRelativeDestinationIsNotCreatedAgain) {
  fs_.directories = {p("C:/work/out")};
  EXPECT_TRUE(collect("*.txt", "out"));
  for (const std::string& call : fs_.calls) EXPECT_NE(0u, call.find("mkdirs")) << call;
}

TEST_F(CollectCopyTest, DestinationThatCannotBeCreatedIsReportedAndTheRunGoesOn) {
  fs_.createResult = -1;
  fs_.walkResult = {p("C:/work/a.txt")};
  fs_.copyFailures[p("C:/work/out/a.txt")] = "ERROR Message:no folder";
  EXPECT_FALSE(collect("*.txt", "out"));
  EXPECT_EQ("CreateDirectory(" + p("C:/work/out") + ");failed...\n" +
                expected::traceHead("*.txt", "*.txt", "out", p("C:/work/out"), p("C:/work"),
                                    p("C:/work/")) +
                expected::traceFound("out", p("C:/work/out")) + "current dir:" + p("C:/work") +
                "\n" + "copy dest : " + p("C:/work/out/a.txt") +
                "\ncopy : " + p("C:/work/out/a.txt") + "  failed...\n  CopyFileWin32(" +
                p("C:/work/out/a.txt") + " , " + p("C:/work/a.txt") +
                " , false );\n  GetLastError() / ERROR Message:no folder\n" +
                "collectcopy end...\n",
            console_.str());
}

TEST_F(CollectCopyTest, FailedWalkEndsTheTraceAndCopiesNothing) {
  fs_.walkSucceeds = false;
  EXPECT_FALSE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(expected::traceHead(p("D:/photos/*.jpg"), "*.jpg", p("E:/all"), p("E:/all"),
                                p("C:/work"), p("D:/photos/")) +
                "find failed...\n",
            console_.str());
  EXPECT_EQ((Calls{"cwd", "find *.jpg in " + p("D:/photos/")}), fs_.calls);
}

TEST_F(CollectCopyTest, WalkThatFindsNothingSucceeds) {
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(photosToAll() + "collectcopy end...\n", console_.str());
}

TEST_F(CollectCopyTest, SourceDirectoryThatCannotBeEnteredEndsTheRun) {
  fs_.changeDirectoryFails = true;
  fs_.walkResult = {p("D:/photos/a.jpg")};
  EXPECT_FALSE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(expected::traceHead(p("D:/photos/*.jpg"), "*.jpg", p("E:/all"), p("E:/all"),
                                p("C:/work"), p("D:/photos/")) +
                expected::traceFound(p("E:/all"), p("E:/all")) +
                "failed change current dir -> " + p("D:/photos/") + "\n",
            console_.str());
  EXPECT_EQ("cd " + p("D:/photos/"), fs_.calls.back());
}

TEST_F(CollectCopyTest, UnreadableCurrentDirectoryEndsTheRunThroughItsError) {
  fs_.currentDirectoryFails = true;
  try {
    collect("*.txt", "out");
    ADD_FAILURE() << "no error";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ("SafeGetCurrentDirectory Error", error.what());
  }
  EXPECT_EQ("", console_.str());
}

// The destination path is the file's own path: skipped after its "copy dest" line.
TEST_F(CollectCopyTest, FileOntoItselfIsSkippedSilently) {
  fs_.walkResult = {p("D:/photos/a.jpg"), p("D:/photos/sub/b.jpg")};
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("D:/photos")));
  EXPECT_EQ(expected::traceHead(p("D:/photos/*.jpg"), "*.jpg", p("D:/photos"), p("D:/photos"),
                                p("C:/work"), p("D:/photos/")) +
                expected::traceFound(p("D:/photos"), p("D:/photos")) + "change current dir:" +
                p("D:/photos/") + "\n" + "copy dest : " + p("D:/photos/a.jpg") + "\n" +
                expected::traceCopied(p("D:/photos/b.jpg")) + "collectcopy end...\n",
            console_.str());
  EXPECT_EQ(1u, fs_.files.size());
}

// The destination as typed followed by the file name is the found path: the same file
// too, although the joined destination path differs.
TEST_F(CollectCopyTest, FileNamedByTheTypedDestinationIsSkippedSilently) {
  const std::string typed = p("out/");
  fs_.walkResult = {typed + "a.txt"};
  EXPECT_TRUE(collect("*.txt", typed));
  EXPECT_EQ("copy dest : " + p("C:/work/out/a.txt") + "\ncollectcopy end...\n",
            console_.str().substr(console_.str().rfind("copy dest : ")));
  EXPECT_TRUE(fs_.files.empty());
}

TEST_F(CollectCopyTest, ExistingFileIsRefusedWithoutForceWrite) {
  fs_.walkResult = {p("D:/photos/a.jpg")};
  fs_.files[p("E:/all/a.jpg")] = "old";
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(photosToAll() + "copy dest : " + p("E:/all/a.jpg") + "\n" +
                expected::refusalLines(p("E:/all/a.jpg"), p("D:/photos/a.jpg")) +
                "collectcopy end...\n",
            console_.str());
  EXPECT_EQ("old", fs_.files[p("E:/all/a.jpg")]);
  EXPECT_EQ("exists " + p("E:/all/a.jpg"), fs_.calls.back());
}

TEST_F(CollectCopyTest, SameNameTwiceFirstWinsWithoutForceWriteLastWithIt) {
  const std::string first = p("D:/photos/one/same.jpg"), second = p("D:/photos/two/same.jpg");
  fs_.walkResult = {first, second};
  fs_.files = {{first, "1"}, {second, "2"}};
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(photosToAll() + expected::traceCopied(p("E:/all/same.jpg")) +
                "copy dest : " + p("E:/all/same.jpg") + "\n" +
                expected::refusalLines(p("E:/all/same.jpg"), second) + "collectcopy end...\n",
            console_.str());
  EXPECT_EQ("1", fs_.files[p("E:/all/same.jpg")]);

  console_.str("");
  fs_.current = p("C:/work");
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("E:/all"), true));
  EXPECT_EQ(photosToAll(true) + expected::traceCopied(p("E:/all/same.jpg")) +
                expected::traceCopied(p("E:/all/same.jpg")) + "collectcopy end...\n",
            console_.str());
  EXPECT_EQ("2", fs_.files[p("E:/all/same.jpg")]);
}

TEST_F(CollectCopyTest, FailedCopyIsExplainedLoggedAndFailsTheRunButNotTheLoop) {
  DebugLog log;
  fs_.walkResult = {p("D:/photos/a.jpg"), p("D:/photos/b.jpg")};
  fs_.copyFailures[p("E:/all/a.jpg")] = "ERROR Message:Access is denied.\r\n";
  EXPECT_FALSE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(photosToAll() + "copy dest : " + p("E:/all/a.jpg") +
                "\ncopy : " + p("E:/all/a.jpg") + "  failed...\n  CopyFileWin32(" +
                p("E:/all/a.jpg") + " , " + p("D:/photos/a.jpg") + " , false );\n" +
                "  GetLastError() / ERROR Message:Access is denied.\r\n\n" +
                expected::traceCopied(p("E:/all/b.jpg")) + "collectcopy end...\n",
            console_.str());
  EXPECT_EQ((std::vector<std::string>{"ERROR Message:Access is denied.\r\n"}), log.lines);
}

// Another process made the file between the existence test and the copy.
TEST_F(CollectCopyTest, CopyThatMeetsANewFileIsARefusalNotAFailure) {
  DebugLog log;
  fs_.walkResult = {p("D:/photos/a.jpg")};
  fs_.copyFailures[p("E:/all/a.jpg")] = "ERROR Message:exists";
  fs_.failureLeavesFile = true;
  EXPECT_TRUE(collect(p("D:/photos/*.jpg"), p("E:/all")));
  EXPECT_EQ(photosToAll() + "copy dest : " + p("E:/all/a.jpg") +
                "\ncopy : " + p("E:/all/a.jpg") + "  failed...\n" +
                expected::refusalLines(p("E:/all/a.jpg"), p("D:/photos/a.jpg")) +
                "collectcopy end...\n",
            console_.str());
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(CollectCopyTest, ForceWriteReplacesAndNamesItselfInTheFailure) {
  fs_.walkResult = {p("D:/photos/a.jpg"), p("D:/photos/b.jpg")};
  fs_.files = {{p("D:/photos/a.jpg"), "new"}, {p("E:/all/a.jpg"), "old"}};
  fs_.copyFailures[p("E:/all/b.jpg")] = "ERROR Message:busy";
  fs_.failureLeavesFile = true;  // with force-write an existing file is no refusal
  EXPECT_FALSE(collect(p("D:/photos/*.jpg"), p("E:/all"), true));
  EXPECT_EQ(photosToAll(true) + expected::traceCopied(p("E:/all/a.jpg")) + "copy dest : " +
                p("E:/all/b.jpg") + "\ncopy : " + p("E:/all/b.jpg") + "  failed...\n" +
                "  CopyFileWin32(" + p("E:/all/b.jpg") + " , " + p("D:/photos/b.jpg") +
                " , true );\n  GetLastError() / ERROR Message:busy\ncollectcopy end...\n",
            console_.str());
  EXPECT_EQ("new", fs_.files[p("E:/all/a.jpg")]);
  for (const std::string& call : fs_.calls) EXPECT_NE(0u, call.find("exists")) << call;
  // From the force-write line on, the console writes every bool as a word.
  console_ << true;
  EXPECT_EQ("true", console_.str().substr(console_.str().size() - 4));
}

// Copies are prepared several at once, and the run is still the one of copies made one
// after another: the same trace, result and files, whatever is prepared first.
TEST_F(CollectCopyTest, CopiesAtOnceEndAsCopiesOneAfterAnother) {
  struct Case {
    const char* what;
    std::vector<std::string> found;  // below D:/photos, or a full path
    bool forceWrite;
    std::size_t capacity;  // bytes the disk takes; each file holds its name
    bool foldsCase;
  };
  const std::size_t kAll = SIZE_MAX;
  const std::vector<std::string> twice = {"slow.jpg",   "a.jpg",   "x/A.JPG",
                                          "y/slow.jpg", "y/a.jpg", "y/Slow.jpg"};
  const std::vector<std::string> accents = {"x/\xC3\xA9.jpg", "slow.jpg", "y/\xC3\x89.jpg",
                                            "z/\xC3\xA9.jpg"};  // é, É, é
  // One after another the first two fill the disk; at once the small ones come first.
  const std::vector<std::string> full = {"slow.jpg", "big.jpg", "c.jpg", "d.jpg", "e.jpg"};
  const Case cases[] = {
      {"names twice, in either case", twice, false, kAll, true},
      {"the last of one name wins", twice, true, kAll, true},
      {"names equal but for the case of an accent", accents, false, kAll, true},
      {"the last of them wins", accents, true, kAll, true},
      {"refusals and failures",
       {"old.jpg", "bad.jpg", "slowbad.jpg", "c.jpg", "d.jpg"},
       false,
       kAll,
       false},
      {"failures while others go on",
       {"slowbad.jpg", "bad.jpg", "c.jpg", "old.jpg"},
       true,
       kAll,
       false},
      {"a destination inside the source",
       {"a.jpg", "E:/all/a.jpg", "E:/all/b.jpg", "b.jpg"},
       true,
       kAll,
       false},
      {"short of space beside others", {"slow.jpg", "full.jpg", "c.jpg"}, false, kAll, false},
      {"short of space, then the same name",
       {"slow.jpg", "full.jpg", "x/full.jpg", "c.jpg"},
       false,
       kAll,
       false},
      {"short of space, then the same name replaced",
       {"full.jpg", "slow.jpg", "x/full.jpg"},
       true,
       kAll,
       false},
      {"a full disk takes the first files", full, false, 40, false},
      {"and replaces the first files", full, true, 40, false},
      {"a link to an earlier destination",
       {"a/report.jpg", "slow.jpg", "z/latest.jpg"},
       true,
       kAll,
       false},
      {"into an empty folder",
       {"a/report.jpg", "slow.jpg", "z/latest.jpg"},
       false,
       kAll,
       false},
  };
  for (const Case& c : cases) {
    std::string runs[2];
    std::map<std::string, std::string> files[2];
    for (int parallel = 0; parallel < 2; ++parallel) {
      FakeFileSystem fs;
      fs.current = p("C:/work");
      fs.atOnce = parallel ? 4 : 1;
      fs.capacity = c.capacity;
      fs.foldsCase = c.foldsCase;
      for (const std::string& name : c.found) {
        const std::string path = name[1] == ':' ? p(name) : p("D:/photos/" + name);
        fs.walkResult.push_back(path);
        fs.files[path] = name == "big.jpg" ? std::string(27, 'b') : name;
      }
      fs.files[p("E:/all/old.jpg")] = "old";
      fs.files[p("E:/all/d.jpg")] = "old";
      fs.files[p("E:/all/report.jpg")] = "old report";
      fs.links[p("D:/photos/z/latest.jpg")] = p("E:/all/report.jpg");
      fs.copyFailures[p("E:/all/bad.jpg")] = "ERROR Message:bad";
      fs.copyFailures[p("E:/all/slowbad.jpg")] = "ERROR Message:slow and bad";
      for (const char* slow : {"slow.jpg", "y/Slow.jpg", "slowbad.jpg"})
        fs.slowCopies[p("D:/photos/") + slow] = 30;
      fs.slowCopies[p("D:/photos/big.jpg")] = 15;
      fs.shortOfSpace = {p("E:/all/full.jpg")};
      if (std::string(c.what) == "into an empty folder") fs.files.erase(p("E:/all/report.jpg"));
      std::ostringstream console;
      const bool result =
          collectCopy(console, fs, p("D:/photos/*.jpg"), p("E:/all"), c.forceWrite, errors_);
      runs[parallel] = console.str() + (result ? "true" : "false");
      files[parallel] = fs.files;
    }
    EXPECT_EQ(runs[0], runs[1]) << c.what;
    EXPECT_EQ(files[0], files[1]) << c.what;
  }
}

// Copies that leave the processors idle are joined by more threads as they come.
TEST_F(CollectCopyTest, CopiesAtOnceWidenWhileTheProcessorsIdle) {
  fs_.atOnce = 4;
  fs_.firstAtOnce = 1;
  for (int i = 0; i < 64; ++i) {
    const std::string path = p("D:/photos/f" + std::to_string(i) + ".jpg");
    fs_.walkResult.push_back(path);
    fs_.slowCopies[path] = 2;
  }
  EXPECT_TRUE(collectCopy(console_, fs_, p("D:/photos/*.jpg"), p("E:/all"), false, errors_));
  EXPECT_GT(fs_.mostAtOnce, 1);
}

// Whatever the walk could not see is named after the copies, and fails the run.
TEST_F(CollectCopyTest, WhatTheWalkCouldNotSeeIsReportedAfterTheCopiesAndFailsTheRun) {
  const std::string copiedA = expected::traceCopied(p("E:/all/a.jpg"));
  const std::string sealed =
      "find skipped : " + p("D:/photos/sealed") + " / ERROR Message:no\n";
  const std::string limit = "find stopped at the entry limit...\n";
  struct Case {
    bool skips;
    bool stops;
    std::string lines;
  };
  const Case cases[] = {
      {true, false, sealed}, {false, true, limit}, {true, true, sealed + limit}};
  for (const Case& c : cases) {
    FakeFileSystem fs;
    fs.current = p("C:/work");
    fs.walkResult = {p("D:/photos/a.jpg")};
    if (c.skips) fs.walkSkipped = {{p("D:/photos/sealed"), "ERROR Message:no"}};
    fs.walkStoppedAtLimit = c.stops;
    std::ostringstream console;
    EXPECT_FALSE(collectCopy(console, fs, p("D:/photos/*.jpg"), p("E:/all"), false, errors_));
    EXPECT_EQ(photosToAll() + copiedA + c.lines + "collectcopy end...\n", console.str());
  }
}

}  // namespace
