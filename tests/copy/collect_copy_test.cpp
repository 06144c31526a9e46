#include "copy/collect_copy.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "copy/found_paths.h"
#include "tests/support/debug_log.h"
#include "tests/support/expected_texts.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/platform.h"

namespace copy {

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
  EXPECT_EQ((Calls{"cwd", "isdir " + p("C:/work/out"), "mkdirs " + p("C:/work/out"),
                   "find *.txt in " + p("C:/work/sub/"), "exists " + p("C:/work/out/a.txt"),
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

/// One run of files found below D:/photos (or at a full path) into E:/all, with one
/// copy at a time or four at once: its trace, result and files. E:/all holds old.jpg,
/// d.jpg and report.jpg; bad*.jpg fail, full.jpg runs short of space beside others,
/// slow* take long, z/latest.jpg and z/fresh.jpg are links to E:/all/report.jpg and
/// E:/all/new.jpg, big.jpg is large.
std::string runOf(const std::vector<std::string>& found, bool atOnce, bool forceWrite,
                  bool foldsCase, std::size_t capacity) {
  FakeFileSystem fs;
  fs.current = p("C:/work");
  fs.atOnce = atOnce ? 4 : 1;
  fs.capacity = capacity;
  fs.foldsCase = foldsCase;
  for (const std::string& name : found) {
    const std::string path = name[1] == ':' ? p(name) : p("D:/photos/" + name);
    fs.walkResult.push_back(path);
    fs.files[path] = name.find("big") != std::string::npos ? std::string(27, 'b') : name;
    if (name.find("slow") != std::string::npos) fs.slowCopies[path] = 30;
    if (name.find("bad") != std::string::npos)
      fs.copyFailures[p("E:/all/") + name.substr(name.rfind('/') + 1)] = "ERROR Message:bad";
  }
  fs.slowCopies[p("D:/photos/big.jpg")] = 15;
  fs.files[p("E:/all/old.jpg")] = "old";
  fs.files[p("E:/all/d.jpg")] = "old";
  fs.files[p("E:/all/report.jpg")] = "old report";
  fs.links[p("D:/photos/z/latest.jpg")] = p("E:/all/report.jpg");
  fs.links[p("D:/photos/z/fresh.jpg")] = p("E:/all/new.jpg");
  fs.shortOfSpace = {p("E:/all/full.jpg")};
  std::ostringstream console, errors;
  const bool result =
      collectCopy(console, fs, p("D:/photos/*.jpg"), p("E:/all"), forceWrite, errors);
  std::string run = console.str() + (result ? "true\n" : "false\n");
  for (const auto& [path, content] : fs.files) run += path + "=" + content + "\n";
  return run;
}

// Copies are prepared several at once, and the run is still the one of copies made one
// after another: the same trace, result and files, whatever is prepared first; with and
// without force-write, where names differ by case and where they are one.
TEST_F(CollectCopyTest, CopiesAtOnceEndAsCopiesOneAfterAnother) {
  struct Case {
    const char* what;
    std::vector<std::string> found;
    std::size_t capacity;  // bytes the disk takes
  };
  const std::size_t kAll = SIZE_MAX;
  const Case cases[] = {
      {"names twice",
       {"slow.jpg", "a.jpg", "x/A.JPG", "y/slow.jpg", "y/a.jpg", "y/Slow.jpg"},
       kAll},
      {"names apart by an accent's case",
       {"x/\xC3\xA9.jpg", "slow.jpg", "y/\xC3\x89.jpg", "z/\xC3\xA9.jpg"},
       kAll},  // é, É, é
      {"refusals and failures", {"old.jpg", "bad.jpg", "slowbad.jpg", "c.jpg", "d.jpg"}, kAll},
      {"a destination inside the source",
       {"a.jpg", "E:/all/a.jpg", "E:/all/b.jpg", "b.jpg"},
       kAll},
      {"short of space beside others", {"slow.jpg", "full.jpg", "x/full.jpg", "c.jpg"}, kAll},
      // One after another the first two fill the disk; at once the small ones come first.
      {"a full disk", {"slow.jpg", "big.jpg", "c.jpg", "d.jpg", "e.jpg"}, 40},
      {"a link to an earlier destination", {"a/report.jpg", "slow.jpg", "z/latest.jpg"}, kAll},
      {"a link to a later file", {"a/new.jpg", "slow.jpg", "z/fresh.jpg"}, kAll},
      {"a link to a file named while it is prepared", {"slow/new.jpg", "z/fresh.jpg"}, kAll},
  };
  for (const Case& c : cases)
    for (int variant = 0; variant < 4; ++variant) {
      const bool forceWrite = variant & 1, foldsCase = variant & 2;
      EXPECT_EQ(runOf(c.found, false, forceWrite, foldsCase, c.capacity),
                runOf(c.found, true, forceWrite, foldsCase, c.capacity))
          << c.what << " " << variant;
    }
}

// The same for trees made at random from names that differ by case, with refusals,
// failures, slow copies, a small disk and the destination inside the source.
TEST_F(CollectCopyTest, GeneratedTreesEndAsOneAfterAnother) {
  const char* const names[] = {"a.jpg",    "A.JPG",   "\xC3\xA9.jpg", "\xC3\x89.jpg",
                               "slow.jpg", "old.jpg", "bad.jpg",      "full.jpg",
                               "big.jpg",  "d.jpg",   "E:/all/a.jpg", "z/latest.jpg"};
  std::minstd_rand random(7);
  for (int tree = 0; tree < 40; ++tree) {
    std::vector<std::string> found;
    for (int i = random() % 12; i >= 0; --i)
      found.push_back((random() % 2 ? "x/" : "y/") + std::string(names[random() % 12]));
    for (std::string& name : found)
      if (name.find("E:") != std::string::npos || name.find("z/") != std::string::npos)
        name.erase(0, 2);
    const bool forceWrite = tree & 1, foldsCase = tree & 2;
    const std::size_t capacity = tree % 3 == 0 ? 60 : SIZE_MAX;
    EXPECT_EQ(runOf(found, false, forceWrite, foldsCase, capacity),
              runOf(found, true, forceWrite, foldsCase, capacity))
        << tree;
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

// The paths that wait come back as they went in, in order, whatever they share.
TEST(FoundPaths, GivesBackEveryPathInOrder) {
  const std::vector<std::string> paths = {"/a/b/one.jpg",
                                          "/a/b/two.jpg",
                                          "/a/b/c/three.jpg",
                                          "/a/b/two.jpg",
                                          "/a/b/two.jpg",
                                          "",
                                          "/x",
                                          std::string(300, 'y') + "/z.jpg",
                                          std::string(300, 'y') + "/" + std::string(200, 'w')};
  FoundPaths waiting;
  for (int round = 0; round < 2; ++round) {
    for (const std::string& path : paths) waiting.push(path);
    std::vector<std::string> back;
    while (!waiting.empty()) back.push_back(waiting.pop());
    EXPECT_EQ(paths, back) << round;
  }
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

}  // namespace copy
