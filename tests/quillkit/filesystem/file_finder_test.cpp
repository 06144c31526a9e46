#include "quillkit/filesystem/file_finder.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

using quillkit::FileFinder;

class FileFinderTest : public ::testing::Test {
 protected:
  std::string sub(const std::string& name) const { return temp_.join(name); }

  TempDir temp_;
  FileFinder finder_;
};

TEST_F(FileFinderTest, StatesFromConstructionToClose) {
  temp_.write("a.txt", "");
  EXPECT_FALSE(finder_.isOpen());
  EXPECT_FALSE(finder_.isError());
  EXPECT_FALSE(finder_.isEnd());
  EXPECT_FALSE(finder_.close());

  // Positioned: the directory is kept exactly as passed.
  ASSERT_TRUE(finder_.findFirst(temp_.path().c_str(), "*.txt"));
  EXPECT_TRUE(finder_.isOpen());
  EXPECT_FALSE(finder_.isError());
  EXPECT_FALSE(finder_.isEnd());
  EXPECT_EQ(temp_.path(), finder_.directory());
  EXPECT_EQ("a.txt", finder_.fileName());

  // Ended: still open, still on its directory.
  EXPECT_FALSE(finder_.findNext());
  EXPECT_TRUE(finder_.isEnd());
  EXPECT_FALSE(finder_.isError());
  EXPECT_TRUE(finder_.isOpen());
  EXPECT_EQ(temp_.path(), finder_.directory());

  EXPECT_TRUE(finder_.close());
  EXPECT_FALSE(finder_.isOpen());
  EXPECT_EQ("", finder_.directory());
  EXPECT_FALSE(finder_.close());
}

TEST_F(FileFinderTest, NamesNothingBeforeItsFirstEntry) {
  EXPECT_EQ("", finder_.fileName());
  EXPECT_EQ("", finder_.fullPath());
  EXPECT_EQ("", finder_.extension());
}

TEST_F(FileFinderTest, FailedSearchLeavesTheFinderClosedWithAnError) {
  ASSERT_TRUE(finder_.findFirst(temp_.path().c_str(), "*"));
  // A new search closes the open one first, even when the new one fails.
  EXPECT_FALSE(finder_.findFirst(sub("missing").c_str(), "*"));
  EXPECT_FALSE(finder_.isOpen());
  EXPECT_TRUE(finder_.isError());
  EXPECT_FALSE(finder_.isEnd());
  EXPECT_EQ("", finder_.directory());

  EXPECT_FALSE(finder_.findFirst(temp_.path().c_str(), "*.none"));
  EXPECT_TRUE(finder_.isError());
}

TEST_F(FileFinderTest, DirectoryWithOrWithoutSeparatorGivesTheSameFullPath) {
  temp_.write("archive.tar.gz", "");
  const std::string expected = temp_.join("archive.tar.gz");
  const std::string withSeparator = temp_.path() + testsys::separator();
  for (const std::string& directory : {temp_.path(), withSeparator}) {
    ASSERT_TRUE(finder_.findFirst(directory.c_str(), "*.gz")) << directory;
    EXPECT_EQ(directory, finder_.directory());
    EXPECT_EQ(expected, finder_.fullPath());
    EXPECT_EQ("gz", finder_.extension());
  }
  // A leading separator of the pattern is dropped.
  const std::string pattern = std::string(1, testsys::separator()) + "*.gz";
  ASSERT_TRUE(finder_.findFirst(temp_.path().c_str(), pattern.c_str()));
  EXPECT_EQ(expected, finder_.fullPath());
}

TEST_F(FileFinderTest, EmptyDirectorySearchesTheCurrentDirectory) {
  temp_.write("here.txt", "");
  ASSERT_TRUE(testsys::changeDirectory(temp_.path()));  // restored by temp_
  ASSERT_TRUE(finder_.findFirst("", "*.txt"));
  EXPECT_EQ("here.txt", finder_.fullPath());
}

TEST_F(FileFinderTest, DotsAreNeverSubdirectories) {
  temp_.makeDirs("d/..x");
  ASSERT_TRUE(finder_.findFirst(sub("d").c_str(), "*"));
  EXPECT_EQ(".", finder_.fileName());
  EXPECT_TRUE(finder_.isDots());
  EXPECT_FALSE(finder_.isSubDirectory());
  ASSERT_TRUE(finder_.findNext());
  EXPECT_EQ("..", finder_.fileName());
  EXPECT_TRUE(finder_.isDots());
  EXPECT_FALSE(finder_.isSubDirectory());
  ASSERT_TRUE(finder_.findNext());
  EXPECT_EQ("..x", finder_.fileName());
  EXPECT_FALSE(finder_.isDots());
  EXPECT_TRUE(finder_.isSubDirectory());
  EXPECT_FALSE(finder_.findNext());
  EXPECT_TRUE(finder_.isEnd());
}

TEST_F(FileFinderTest, InfoOfAFileLargerThanFourGibibytes) {
  const uint64_t size = (uint64_t{1} << 32) + 5;
  if (!testsys::makeSparseFile(sub("big.bin"), size))
    GTEST_SKIP() << "no cheap way to make a large file here";
  ASSERT_TRUE(finder_.findFirst(temp_.path().c_str(), "big.bin"));
  EXPECT_EQ(size, finder_.fileSize());
  const quillkit::FileEntryInfo info = finder_.info();
  EXPECT_EQ(size, info.size);
  EXPECT_FALSE(info.isSubDirectory);
  EXPECT_FALSE(info.isReadOnly);
}

}  // namespace
