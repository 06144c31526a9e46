#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "e2e/e2e_support.h"
#include "quillkit/platform.h"
#include "support/file_util.h"
#include "support/fs_platform.h"
#include "support/shift_jis.h"
#include "support/temp_dir.h"

namespace {

/// A source tree under a fresh temporary folder; the program runs in `work`.
class CollectCopyE2e : public ::testing::Test {
 protected:
  CollectCopyE2e() : root_(dir_.path()), work_(at("work")) { makeDirectories(work_); }

  /// `relative` (written with '/') under the temporary folder, in the platform's form.
  std::string at(const std::string& relative) const {
    std::string path = root_;
    path += nativeSeparator();
    for (char c : relative) path += c == '/' ? nativeSeparator() : c;
    return path;
  }
  static std::string sep() { return std::string(1, nativeSeparator()); }

  ChildResult collect(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-collectcopy", "-nosw"});
    return runProgram(arguments, work_);
  }

  /// The trace up to "find succeeded..." (or up to the reset line when `found` is false).
  static std::string head(const std::string& source, const std::string& pattern,
                          const std::string& destination, const std::string& destinationDir,
                          const std::string& current, const std::string& sourceDir,
                          bool forceWrite = false) {
    return "collectcopy start...\n"
           "src         : " + source + "\n"
           " collected  : " + pattern + "\n"
           "dest        : " + destination + "\n"
           " collected  : " + destinationDir + "\n"
           "current dir : " + current + "\n"
           " collected  : " + sourceDir + "\n"
           "force write : " + (forceWrite ? "true" : "false") + "\n"
           "\n"
           "reset() arg:\n"
           " arg1 / " + pattern + "\n"
           " arg2 / " + sourceDir + "\n"
           "reset succeeded...\n";
  }
  static std::string copyTo(const std::string& destination, const std::string& destinationDir) {
    return "find succeeded...\n\ncopy to    : " + destination + "\n collected : " +
           destinationDir + "\n";
  }
  static std::string copied(const std::string& destinationPath) {
    return "copy dest : " + destinationPath + "\ncopy : " + destinationPath + "  succeeded\n";
  }
  static std::string refused(const std::string& destinationPath, const std::string& sourcePath) {
    return "copy dest : " + destinationPath + "\n  CopyFileWin32(" + destinationPath + " , " +
           sourcePath + " , false );\n" + texts::kTraceExists + "\n" +
           texts::kTraceUseForceWrite + "\n";
  }

  ScopedTempDir dir_;
  std::string root_;
  std::string work_;
};

TEST_F(CollectCopyE2e, CollectsFromAnAbsoluteSourceIntoAnAbsoluteDestination) {
  writeFile(at("photos/a.jpg"), "jpeg");
  writeFile(at("photos/notes.txt"), "text");
  makeDirectories(at("all"));
  std::string source = at("photos") + sep() + "*.jpg";
  ChildResult result = collect({source, at("all")});
  std::string expected = head(source, "*.jpg", at("all"), at("all"), work_, at("photos") + sep()) +
                         copyTo(at("all"), at("all")) + "change current dir:" + at("photos") +
                         sep() + "\n" + copied(at("all/a.jpg")) + "collectcopy end...\n";
  EXPECT_EQ(consoleText(expected), result.output);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("jpeg", readFile(at("all/a.jpg")));
  EXPECT_EQ(std::vector<std::string>{"a.jpg"}, listDirectory(at("all")));
}

TEST_F(CollectCopyE2e, RelativeSourceAndCreatedRelativeDestination) {
  writeFile(at("work/a.txt"), "A");
  writeFile(at("work/sub/deep/b.txt"), "B");
  writeFile(at("work/sub/c.jpg"), "C");
  const std::string out = at("work/out");
  // "./out" names the same folder: the join drops the dot segment.
  for (const std::string& destination : {std::string("out"), "." + sep() + "out"}) {
    testfs::removeTree(out);
    ChildResult result = collect({"*.txt", destination});
    std::string expected = head("*.txt", "*.txt", destination, out, work_, work_ + sep()) +
                           copyTo(destination, out) + "current dir:" + work_ + "\n" +
                           copied(at("work/out/a.txt")) + copied(at("work/out/b.txt")) +
                           "collectcopy end...\n";
    EXPECT_EQ(consoleText(expected), result.output) << destination;
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), listDirectory(out));
  }
}

TEST_F(CollectCopyE2e, SameNameTwiceFirstWinsWithoutForceWriteLastWithIt) {
  writeFile(at("src/one/same.txt"), "first");
  writeFile(at("src/two/same.txt"), "second");
  makeDirectories(at("all"));
  std::string source = at("src") + sep() + "*.txt";
  std::string srcDir = at("src") + sep();
  std::string tail = copyTo(at("all"), at("all")) + "change current dir:" + srcDir + "\n";

  ChildResult keep = collect({source, at("all")});
  EXPECT_EQ(consoleText(head(source, "*.txt", at("all"), at("all"), work_, srcDir) + tail +
                        copied(at("all/same.txt")) +
                        refused(at("all/same.txt"), at("src/two/same.txt")) +
                        "collectcopy end...\n"),
            keep.output);
  EXPECT_EQ(0, keep.exitCode);
  EXPECT_EQ("first", readFile(at("all/same.txt")));

  ChildResult overwrite = collect({"-fw", source, at("all")});
  EXPECT_EQ(consoleText(head(source, "*.txt", at("all"), at("all"), work_, srcDir, true) + tail +
                        copied(at("all/same.txt")) + copied(at("all/same.txt")) +
                        "collectcopy end...\n"),
            overwrite.output);
  EXPECT_EQ(0, overwrite.exitCode);
  EXPECT_EQ("second", readFile(at("all/same.txt")));
}

TEST_F(CollectCopyE2e, DestinationEqualToSourceSkipsItsOwnFilesSilently) {
  writeFile(at("src/top.txt"), "top");
  writeFile(at("src/sub/low.txt"), "low");
  std::string source = at("src") + sep() + "*.txt";
  std::string srcDir = at("src") + sep();
  ChildResult result = collect({source, at("src")});
  EXPECT_EQ(consoleText(head(source, "*.txt", at("src"), at("src"), work_, srcDir) +
                        copyTo(at("src"), at("src")) + "change current dir:" + srcDir + "\n" +
                        copied(at("src/low.txt")) + "copy dest : " + at("src/top.txt") + "\n" + "collectcopy end...\n"),
            result.output);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("low", readFile(at("src/low.txt")));
}

TEST_F(CollectCopyE2e, DestinationInsideTheSourceTreeIsWalkedOnTheNextRun) {
  writeFile(at("work/a.txt"), "A");
  writeFile(at("work/sub/b.txt"), "B");
  ChildResult first = collect({"*.txt", "all"});
  EXPECT_EQ(0, first.exitCode);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), listDirectory(at("work/all")));
  // Now the walk meets all/ itself: its files are the destinations, skipped silently.
  ChildResult second = collect({"*.txt", "all"});
  std::string all = at("work/all");
  EXPECT_EQ(consoleText(head("*.txt", "*.txt", "all", all, work_, work_ + sep()) +
                        copyTo("all", all) + "current dir:" + work_ + "\n" +
                        refused(at("work/all/a.txt"), at("work/a.txt")) +
                        "copy dest : " + at("work/all/a.txt") + "\n" +
                        "copy dest : " + at("work/all/b.txt") + "\n" +
                        refused(at("work/all/b.txt"), at("work/sub/b.txt")) +
                        "collectcopy end...\n"),
            second.output);
  EXPECT_EQ(0, second.exitCode);
}

TEST_F(CollectCopyE2e, SourceWithoutPatternWalksItsParentOrFindsNothing) {
  writeFile(at("photos/a.jpg"), "x");
  makeDirectories(at("all"));
  // "photos" becomes the pattern, matched in the parent folder; no file has that name.
  ChildResult named = collect({at("photos"), at("all")});
  EXPECT_EQ(consoleText(head(at("photos"), "photos", at("all"), at("all"), work_,
                             root_ + sep()) +
                        copyTo(at("all"), at("all")) + "change current dir:" + root_ + sep() +
                        "\ncollectcopy end...\n"),
            named.output);
  EXPECT_EQ(0, named.exitCode);
  // A trailing separator leaves an empty pattern, which matches no file.
  std::string trailing = at("photos") + sep();
  ChildResult empty = collect({trailing, at("all")});
  EXPECT_EQ(consoleText(head(trailing, "", at("all"), at("all"), work_, trailing) +
                        copyTo(at("all"), at("all")) + "change current dir:" + trailing +
                        "\ncollectcopy end...\n"),
            empty.output);
  EXPECT_TRUE(listDirectory(at("all")).empty());
}

TEST_F(CollectCopyE2e, MissingSourceDirectoryEndsWithFindFailed) {
  makeDirectories(at("all"));
  std::string source = at("missing") + sep() + "*.txt";
  ChildResult result = collect({source, at("all")});
  EXPECT_EQ(consoleText(head(source, "*.txt", at("all"), at("all"), work_,
                             at("missing") + sep()) +
                        "find failed...\n"),
            result.output);
  EXPECT_EQ(1, result.exitCode);
}

TEST_F(CollectCopyE2e, FailedCopyIsExplainedAndFailsTheRun) {
  writeFile(at("src/a.txt"), "a");
  std::string source = at("src") + sep() + "*.txt";
  std::string missing = at("nowhere");  // absolute: neither looked up nor created
  ChildResult result = collect({source, missing});
  std::string destinationPath = at("nowhere/a.txt");
  std::string expected = head(source, "*.txt", missing, missing, work_, at("src") + sep()) +
                         copyTo(missing, missing) + "change current dir:" + at("src") + sep() +
                         "\ncopy dest : " + destinationPath + "\ncopy : " + destinationPath +
                         "  failed...\n  CopyFileWin32(" + destinationPath + " , " +
                         at("src/a.txt") + " , false );\n  GetLastError() / ERROR Message:";
  std::string expectedText = consoleText(expected);
  ASSERT_GE(result.output.size(), expectedText.size());
  EXPECT_EQ(expectedText, result.output.substr(0, expectedText.size()));
  std::string end = consoleText("collectcopy end...\n");
  EXPECT_EQ(end, result.output.substr(result.output.size() - end.size()));
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(fileExists(missing));
}

TEST_F(CollectCopyE2e, DestinationThatCannotBeCreatedIsReportedAndCopiesFail) {
  writeFile(at("work/a.txt"), "a");
  writeFile(at("work/blocked"), "a file in the way");
  ChildResult result = collect({"*.txt", "blocked" + sep() + "out"});
  std::string line = consoleText("CreateDirectory(" + at("work/blocked/out") + ");failed...\n");
  EXPECT_EQ(line, result.output.substr(0, line.size()));
  EXPECT_NE(std::string::npos, result.output.find("  failed..."));
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ("a file in the way", readFile(at("work/blocked")));
}

// With -fw, a copy that cannot complete leaves what was there.
TEST_F(CollectCopyE2e, ForceWriteOntoADirectoryFailsAndLeavesIt) {
  writeFile(at("src/a.txt"), "new");
  writeFile(at("all/a.txt/inner.txt"), "kept");
  std::string source = at("src") + sep() + "*.txt";
  ChildResult result = collect({"-fw", source, at("all")});
  std::string call = consoleText("copy : " + at("all/a.txt") + "  failed...\n  CopyFileWin32(" +
                                 at("all/a.txt") + " , " + at("src/a.txt") + " , true );\n");
  EXPECT_NE(std::string::npos, result.output.find(call)) << result.output;
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ("kept", readFile(at("all/a.txt/inner.txt")));
}

TEST_F(CollectCopyE2e, ForceWriteOntoAReadOnlyFileFailsAndLeavesIt) {
  if (quillkit::platform::kWindows)
    GTEST_SKIP() << "Wine overwrites read-only files; Windows refuses them as this build does";
  writeFile(at("src/a.txt"), "new");
  writeFile(at("all/a.txt"), "old");
  testfs::setReadOnly(at("all/a.txt"), true);
  ChildResult result = collect({"-fw", at("src") + sep() + "*.txt", at("all")});
  EXPECT_NE(std::string::npos, result.output.find(consoleText("  GetLastError() / ERROR Message:")));
  EXPECT_EQ(1, result.exitCode);
  testfs::setReadOnly(at("all/a.txt"), false);
  EXPECT_EQ("old", readFile(at("all/a.txt")));
}

TEST_F(CollectCopyE2e, UnreadableSourceIsExplainedWithItsOwnError) {
  if (testfs::ignoresPermissions() || quillkit::platform::kWindows)
    GTEST_SKIP() << "needs permission bits that bind this process";
  writeFile(at("src/a.txt"), "secret");
  testfs::setUnreadable(at("src/a.txt"));
  makeDirectories(at("all"));
  ChildResult result = collect({at("src") + sep() + "*.txt", at("all")});
  // The existence test of the missing destination must not replace the copy's error.
  EXPECT_NE(std::string::npos, result.output.find("ERROR Message:Permission denied"))
      << result.output;
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(fileExists(at("all/a.txt")));
}

TEST_F(CollectCopyE2e, UnreadableCurrentDirectoryEndsTheRunWithItsMessage) {
  if (quillkit::platform::kWindows) GTEST_SKIP() << "Windows keeps a current directory alive";
  // The program starts in a folder that is gone by then, so the current directory
  // cannot be read.
  std::string gone = at("gone");
  makeDirectories(gone);
  std::string script = "cd '" + gone + "' && rmdir '" + gone + "' && exec '" +
                       PELQUIST_COPY_EXE + "' -collectcopy -nosw '*.txt' out";
  ChildResult result = runChild("/bin/sh", {"-c", script}, root_);
  EXPECT_EQ("SafeGetCurrentDirectory Error\n", result.output);
  EXPECT_EQ(1, result.exitCode);
}

TEST_F(CollectCopyE2e, DoubleByteNamesWithBackslashSecondByteAreCollected) {
  const std::string& hyo = sjis::kHyo;
  const std::string& so = sjis::kSo;
  writeFile(at(hyo + "/" + so + ".txt"), "dbcs");
  writeFile(at(hyo + "/" + hyo + so + "/a" + hyo + ".txt"), "deep");
  makeDirectories(at("all"));
  ChildResult result = collect({at(hyo) + sep() + "*.txt", at("all")});
  EXPECT_EQ(0, result.exitCode) << result.output;
  EXPECT_EQ((std::vector<std::string>{"a" + hyo + ".txt", so + ".txt"}),
            listDirectory(at("all")));
  EXPECT_EQ("deep", readFile(at("all/a" + hyo + ".txt")));
}

}  // namespace
