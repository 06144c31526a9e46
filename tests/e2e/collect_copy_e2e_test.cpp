// Collect-copy on real trees, through the built program: what the fake file system of
// the unit tests cannot show (the walk, the copy and the error texts of this system).

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/e2e_support.h"
#include "tests/support/expected_texts.h"
#include "tests/support/files.h"
#include "tests/support/platform.h"
#include "tests/support/shift_jis.h"
#include "tests/support/temp_dir.h"

namespace {

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

/// A source tree under a fresh temporary folder; the program runs in `work`.
class CollectCopyE2e : public ::testing::Test {
 protected:
  CollectCopyE2e() : work_(dir_.join("work")) { dir_.makeDirs("work"); }

  std::string at(const std::string& relative) const { return dir_.join(relative); }
  static std::string sep() { return std::string(1, testsys::separator()); }

  ChildResult collect(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-collectcopy", "-nosw"});
    return runProgram(arguments, work_);
  }

  TempDir dir_;
  std::string work_;
};

TEST_F(CollectCopyE2e, CollectsFromAnAbsoluteSourceIntoAnAbsoluteDestination) {
  dir_.write("photos/a.jpg", "jpeg");
  dir_.write("photos/notes.txt", "text");
  dir_.makeDirs("all");
  std::string source = at("photos") + sep() + "*.jpg";
  ChildResult result = collect({source, at("all")});
  std::string expected =
      expected::traceHead(source, "*.jpg", at("all"), at("all"), work_, at("photos") + sep()) +
      expected::traceFound(at("all"), at("all")) + "change current dir:" + at("photos") +
      sep() + "\n" + expected::traceCopied(at("all/a.jpg")) + "collectcopy end...\n";
  EXPECT_EQ(withTextLineEnds(expected), result.output);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("jpeg", dir_.read("all/a.jpg"));
  EXPECT_EQ(std::vector<std::string>{"a.jpg"}, dir_.list("all"));
}

TEST_F(CollectCopyE2e, RelativeSourceAndCreatedRelativeDestination) {
  dir_.write("work/a.txt", "A");
  dir_.write("work/sub/deep/b.txt", "B");
  dir_.write("work/sub/c.jpg", "C");
  const std::string out = at("work/out");
  // "./out" names the same folder: the join drops the dot segment.
  for (const std::string& destination : {std::string("out"), "." + sep() + "out"}) {
    testsys::removeTree(out);
    ChildResult result = collect({"*.txt", destination});
    std::string expected =
        expected::traceHead("*.txt", "*.txt", destination, out, work_, work_ + sep()) +
        expected::traceFound(destination, out) + "current dir:" + work_ + "\n" +
        expected::traceCopied(at("work/out/a.txt")) +
        expected::traceCopied(at("work/out/b.txt")) + "collectcopy end...\n";
    EXPECT_EQ(withTextLineEnds(expected), result.output) << destination;
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), dir_.list("work/out"));
  }
}

TEST_F(CollectCopyE2e, DestinationInsideTheSourceTreeIsWalkedOnTheNextRun) {
  dir_.write("work/a.txt", "A");
  dir_.write("work/sub/b.txt", "B");
  ChildResult first = collect({"*.txt", "all"});
  EXPECT_EQ(0, first.exitCode);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), dir_.list("work/all"));
  // Now the walk meets all/ itself: its files are the destinations, skipped silently.
  ChildResult second = collect({"*.txt", "all"});
  std::string all = at("work/all");
  EXPECT_EQ(
      withTextLineEnds(expected::traceHead("*.txt", "*.txt", "all", all, work_, work_ + sep()) +
                       expected::traceFound("all", all) + "current dir:" + work_ + "\n" +
                       "copy dest : " + at("work/all/a.txt") + "\n" +
                       expected::refusalLines(at("work/all/a.txt"), at("work/a.txt")) +
                       "copy dest : " + at("work/all/a.txt") + "\n" +
                       "copy dest : " + at("work/all/b.txt") + "\n" +
                       "copy dest : " + at("work/all/b.txt") + "\n" +
                       expected::refusalLines(at("work/all/b.txt"), at("work/sub/b.txt")) +
                       "collectcopy end...\n"),
      second.output);
  EXPECT_EQ(0, second.exitCode);
}

TEST_F(CollectCopyE2e, SourceWithoutPatternWalksItsParentOrFindsNothing) {
  dir_.write("photos/a.jpg", "x");
  dir_.makeDirs("all");
  // "photos" becomes the pattern, matched in the parent folder; no file has that name.
  ChildResult named = collect({at("photos"), at("all")});
  EXPECT_EQ(
      withTextLineEnds(expected::traceHead(at("photos"), "photos", at("all"), at("all"), work_,
                                           dir_.path() + sep()) +
                       expected::traceFound(at("all"), at("all")) +
                       "change current dir:" + dir_.path() + sep() + "\ncollectcopy end...\n"),
      named.output);
  EXPECT_EQ(0, named.exitCode);
  // A trailing separator leaves an empty pattern, which matches no file.
  std::string trailing = at("photos") + sep();
  ChildResult empty = collect({trailing, at("all")});
  EXPECT_EQ(withTextLineEnds(
                expected::traceHead(trailing, "", at("all"), at("all"), work_, trailing) +
                expected::traceFound(at("all"), at("all")) + "change current dir:" + trailing +
                "\ncollectcopy end...\n"),
            empty.output);
  EXPECT_TRUE(dir_.list("all").empty());
}

// The trace says only "find failed..."; standard error names the folder and the reason.
TEST_F(CollectCopyE2e, SourceFolderThatCannotBeReadIsNamedWithItsReasonOnStandardError) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "the system's texts differ";
  dir_.write("file", "x");
  dir_.makeDirs("all");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"nowhere", "No such file or directory"}, {"file", "Not a directory"}};
  for (const auto& c : cases) {
    ChildResult result = collect({at(c.first) + "/*.txt", at("all")});
    const std::string tail = "\nfind failed...\n";
    EXPECT_EQ(tail, result.output.substr(result.output.size() - tail.size())) << c.first;
    EXPECT_EQ("pelquist_copy: cannot read '" + at(c.first) + "/': " + c.second + "\n",
              result.errorOutput);
  }
}

TEST_F(CollectCopyE2e, FailedCopyIsExplainedWithTheSystemsTextAndFailsTheRun) {
  dir_.write("src/a.txt", "a");
  std::string source = at("src") + sep() + "*.txt";
  std::string missing = at("nowhere");  // absolute: neither looked up nor created
  ChildResult result = collect({source, missing});
  std::string destinationPath = at("nowhere/a.txt");
  std::string expected =
      expected::traceHead(source, "*.txt", missing, missing, work_, at("src") + sep()) +
      expected::traceFound(missing, missing) + "change current dir:" + at("src") + sep() +
      "\ncopy dest : " + destinationPath + "\ncopy : " + destinationPath +
      "  failed...\n  CopyFileWin32(" + destinationPath + " , " + at("src/a.txt") +
      " , false );\n  GetLastError() / ERROR Message:";
  std::string expectedText = withTextLineEnds(expected);
  ASSERT_GE(result.output.size(), expectedText.size());
  EXPECT_EQ(expectedText, result.output.substr(0, expectedText.size()));
  std::string end = withTextLineEnds("collectcopy end...\n");
  EXPECT_EQ(end, result.output.substr(result.output.size() - end.size()));
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(dir_.exists("nowhere"));
}

TEST_F(CollectCopyE2e, UnreadableSourceIsExplainedWithItsOwnError) {
  if (testsys::ignoresPermissions() || testsys::isWindowsBuild())
    GTEST_SKIP() << "needs permission bits that bind this process";
  dir_.write("src/a.txt", "secret");
  testsys::makeUnreadable(at("src/a.txt"));
  dir_.makeDirs("all");
  ChildResult result = collect({at("src") + sep() + "*.txt", at("all")});
  // The existence test of the missing destination must not replace the copy's error.
  EXPECT_NE(std::string::npos, result.output.find("ERROR Message:Permission denied"))
      << result.output;
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(dir_.exists("all/a.txt"));
}

TEST_F(CollectCopyE2e, UnreadableCurrentDirectoryEndsTheRunWithItsMessage) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "Windows keeps a current directory alive";
  // The program starts in a folder that is gone by then, so the current directory
  // cannot be read.
  std::string gone = at("gone");
  dir_.makeDirs("gone");
  std::string script = "cd '" + gone + "' && rmdir '" + gone + "' && exec '" +
                       PELQUIST_COPY_EXE + "' -collectcopy -nosw '*.txt' out";
  ChildResult result = runChild("/bin/sh", {"-c", script}, dir_.path());
  EXPECT_EQ("SafeGetCurrentDirectory Error\n", result.output);
  EXPECT_EQ(1, result.exitCode);
}

TEST_F(CollectCopyE2e, DoubleByteNamesWithBackslashSecondByteAreCollected) {
  const std::string& hyo = sjis::kHyo;
  const std::string& so = sjis::kSo;
  dir_.write(hyo + "/" + so + ".txt", "dbcs");
  dir_.write(hyo + "/" + hyo + so + "/a" + hyo + ".txt", "deep");
  dir_.makeDirs("all");
  ChildResult result = collect({at(hyo) + sep() + "*.txt", at("all")});
  EXPECT_EQ(0, result.exitCode) << result.output;
  EXPECT_EQ((std::vector<std::string>{"a" + hyo + ".txt", so + ".txt"}), dir_.list("all"));
  EXPECT_EQ("deep", dir_.read("all/a" + hyo + ".txt"));
}

// --- what the walk and the copies do where POSIX allows more than Windows

// A source folder longer than Windows' 255 bytes is walked whole, never a folder whose
// name is a cut of it.
TEST_F(CollectCopyE2e, LongSourceFolderIsWalkedWhole) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "Windows paths end at 260 bytes";
  const std::string name = std::string(150, 'n') + "/" + std::string(150, 'm');
  const std::size_t cut = 255 - dir_.path().size() - 1;  // where a 255-byte part would end
  dir_.write(name + "/a.txt", "whole");
  dir_.write(name.substr(0, cut) + "/trap.txt", "cut");
  dir_.makeDirs("all");
  ChildResult result = collect({at(name) + "/*.txt", at("all")});
  EXPECT_EQ(0, result.exitCode) << result.output;
  EXPECT_EQ(std::vector<std::string>{"a.txt"}, dir_.list("all"));
}

// A name with '*' or '?' is a name: its existence test is no pattern.
TEST_F(CollectCopyE2e, NamesWithWildcardCharactersAreExactNames) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "no such names on Windows";
  dir_.write("src/a?.txt", "question");
  dir_.write("src/b*.txt", "star");
  dir_.write("all/ab.txt", "other");
  dir_.write("all/bx.txt", "other");
  ChildResult result = collect({at("src") + "/*.txt", at("all")});
  EXPECT_EQ(0, result.exitCode) << result.output;
  EXPECT_EQ((std::vector<std::string>{"a?.txt", "ab.txt", "b*.txt", "bx.txt"}),
            dir_.list("all"));
  EXPECT_EQ("question", dir_.read("all/a?.txt"));
}

// Two links back to the top make no file appear twice.
TEST_F(CollectCopyE2e, LinksBackUpTheTreeAreWalkedOnce) {
  dir_.write("src/a.txt", "a");
  dir_.makeDirs("src/sub");
  if (!testsys::makeSymbolicLink(at("src"), at("src/sub/up")) ||
      !testsys::makeSymbolicLink(at("src"), at("src/sub/again")))
    GTEST_SKIP() << "no symbolic links here";
  dir_.makeDirs("all");
  ChildResult result = collect({"-fw", at("src") + sep() + "*.txt", at("all")});
  EXPECT_EQ(0, result.exitCode) << result.output;
  EXPECT_EQ(1u, countOf(result.output, "copy dest : "));
  EXPECT_EQ(std::vector<std::string>{"a.txt"}, dir_.list("all"));
}

// A folder that cannot be listed does not stop the others, but it is named before the
// end and fails the run.
TEST_F(CollectCopyE2e, UnreadableFolderIsNamedAndFailsTheRun) {
  if (testsys::ignoresPermissions() || testsys::isWindowsBuild())
    GTEST_SKIP() << "needs permission bits that bind this process";
  dir_.write("src/a.txt", "a");
  dir_.write("src/sealed/b.txt", "b");
  dir_.write("src/z.txt", "z");
  testsys::makeUnreadable(at("src/sealed"));
  dir_.makeDirs("all");
  ChildResult result = collect({at("src") + "/*.txt", at("all")});
  const std::string tail = "find skipped : " + at("src/sealed") +
                           " / ERROR Message:Permission denied\ncollectcopy end...\n";
  ASSERT_GE(result.output.size(), tail.size());
  EXPECT_EQ(tail, result.output.substr(result.output.size() - tail.size()));
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "z.txt"}), dir_.list("all"));
}

// Killed while copies are under way, the program leaves every destination either as it
// was or complete, and nothing beside them. Its output goes to a pipe that nobody reads,
// so that it stops in the middle of a batch of replacing copies.
TEST_F(CollectCopyE2e, InterruptedRunLeavesWholeFilesAndNothingBeside) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "POSIX signals";
  const std::string all = "all/" + std::string(150, 'd');
  const std::string fresh(4096, 'n'), old(100, 'o');
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    names.push_back("f" + std::to_string(1000 + i) + ".dat");
    dir_.write("src/" + names.back(), fresh);
    dir_.write(all + "/" + names.back(), old);
  }
  // Without unnamed files (other kernels) only a signal that can be caught cleans up.
  std::vector<const char*> signals = {"TERM"};
  if (testsys::copiesAreUnnamed()) signals.push_back("KILL");
  for (const char* signal : signals) {
    const std::string script = std::string("mkfifo out; sleep 30 <out & r=$!; '") +
                               PELQUIST_COPY_EXE + "' -collectcopy -fw -nosw '" + at("src") +
                               "/*.dat' '" + at(all) + "' >out & p=$!; sleep 1; kill -" +
                               signal + " $p; wait $p; echo $?; kill $r; rm out";
    ChildResult result = runChild("/bin/sh", {"-c", script}, dir_.path());
    EXPECT_EQ(std::string(signal) == "TERM" ? "143\n" : "137\n", result.output) << signal;
    EXPECT_EQ(names, dir_.list(all)) << signal;
    std::size_t replaced = 0;
    for (const std::string& name : names) {
      const std::string content = dir_.read(all + "/" + name);
      EXPECT_TRUE(content == fresh || content == old) << name;
      if (content == fresh) ++replaced;
    }
    EXPECT_LT(replaced, names.size()) << signal;  // it was stopped midway
  }
}

}  // namespace

// With force-write each file meets the destination as the copies before it left it: a
// link to the last file of a name, replaced by the first, no longer is that file.
TEST_F(CollectCopyE2e, SameFileTestIsMadeWhenTheFilesTurnComes) {
  dir_.write("src/a/x.txt", "first");
  dir_.write("src/b/x.txt", "last");
  dir_.makeDirs("out");
  if (!testsys::makeSymbolicLink(at("src/b/x.txt"), at("out/x.txt"))) GTEST_SKIP();
  ChildResult result = collect({"-fw", at("src") + sep() + "*.txt", at("out")});
  EXPECT_EQ(0, result.exitCode) << result.output;
  EXPECT_EQ("last", dir_.read("out/x.txt"));
  EXPECT_EQ("last", dir_.read("src/b/x.txt"));
}

// A disk with room for one more file at a time takes every replacement, as copies one
// after another would: copies that ran short beside others are made again alone.
TEST_F(CollectCopyE2e, NearlyFullDiskTakesWhatOneCopyAtATimeWould) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "POSIX mounts";
  dir_.makeDirs("disk");
  const std::string mount = "mount -t tmpfs -o size=256k tmpfs '" + at("disk") + "' 2>&1";
  if (runChild("/bin/sh", {"-c", mount}, dir_.path()).exitCode != 0)
    GTEST_SKIP() << "no tmpfs mount here";
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back("f" + std::to_string(i) + ".dat");
    dir_.write("src/" + names.back(), std::string(40 << 10, 'n'));
    dir_.write("disk/" + names.back(), std::string(40 << 10, 'o'));
  }
  ChildResult result = collect({"-fw", at("src") + sep() + "*.dat", at("disk")});
  for (const std::string& name : names)
    EXPECT_EQ(std::string(40 << 10, 'n'), dir_.read("disk/" + name)) << name;
  EXPECT_EQ(0, result.exitCode) << result.output;
  runChild("/bin/sh", {"-c", "umount '" + at("disk") + "'"}, dir_.path());
}
