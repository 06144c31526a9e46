#include "quillkit/filesystem/directory.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/platform.h"
#include "tests/support/shift_jis.h"
#include "tests/support/temp_dir.h"

namespace {

// Windows has drives; on POSIX a leading separator is the root instead.
const bool kHasDrives = testsys::isWindowsBuild();
const bool kLeadingSeparatorIsRoot = !kHasDrives;
const std::size_t kMaxCreatePath = testsys::createPathLimit();

using sjis::kA;
using sjis::kBar;
using sjis::kHyo;

// Every test works with relative paths inside a fresh folder that is current.
class DirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(testsys::changeDirectory(folder_.path())); }

  std::string native(const std::string& relative) const { return folder_.join(relative); }
  std::vector<std::string> entries() const { return folder_.list(); }

  TempDir folder_;
};

using CreateDirectories = DirectoryTest;
using ChangeDirectory = DirectoryTest;

TEST(SecurityAttributes, AreDefaultSecurityNotInherited) {
  const quillkit::SecurityAttributes attributes;
  EXPECT_EQ(12u, attributes.length);
  EXPECT_EQ(nullptr, attributes.securityDescriptor);
  EXPECT_FALSE(attributes.inheritHandle);
}

TEST_F(CreateDirectories, CreatesEveryMissingLevel) {
  folder_.makeDirs("work");
  EXPECT_EQ(0, quillkit::createDirectories("work\\a\\b"));
  EXPECT_TRUE(folder_.isDirectory("work/a/b"));
}

TEST_F(CreateDirectories, WalksAnAbsolutePathFromTheDriveOrRoot) {
  const std::string path = folder_.join("x/y");
  EXPECT_EQ(0, quillkit::createDirectories(path.c_str()));
  EXPECT_TRUE(folder_.isDirectory("x/y"));
}

TEST_F(CreateDirectories, TakesBothSeparatorsAndStopsAtATrailingOne) {
  EXPECT_EQ(0, quillkit::createDirectories("a/b\\c"));
  EXPECT_TRUE(folder_.isDirectory("a/b/c"));
  EXPECT_EQ(0, quillkit::createDirectories("out\\"));
  EXPECT_TRUE(folder_.isDirectory("out"));
  EXPECT_EQ(0, quillkit::createDirectories("out\\"));  // an existing level passes
  EXPECT_EQ((std::vector<std::string>{"a", "out"}), entries());
}

TEST_F(CreateDirectories, RefusesALevelThatExistsAsAFile) {
  folder_.write("file", "");
  folder_.write("f", "");
  EXPECT_EQ(-1, quillkit::createDirectories("file\\sub"));
  EXPECT_EQ(-1, quillkit::createDirectories("file"));
  EXPECT_EQ(-1, quillkit::createDirectories("f"));  // one character as well
  EXPECT_FALSE(folder_.isDirectory("file/sub"));
}

TEST_F(CreateDirectories, OneCharacterPathReportsWhetherTheDirectoryExists) {
  EXPECT_EQ(0, quillkit::createDirectories("g"));
  EXPECT_TRUE(folder_.isDirectory("g"));
  EXPECT_EQ(0, quillkit::createDirectories("g"));
}

TEST_F(CreateDirectories, EmptyPathIsItsOwnResult) {
  EXPECT_EQ(4, quillkit::createDirectories(""));
  EXPECT_TRUE(entries().empty());
}

TEST_F(CreateDirectories, RefusesForbiddenCharactersAndKeepsEarlierLevels) {
  for (const char* path : {"keep\\x|y", "keep\\a*", "keep\\a?", "keep\\a\"b", "keep\\a<b",
                           "keep\\a>b", "*dir", "|\\dir"}) {
    EXPECT_EQ(-1, quillkit::createDirectories(path)) << path;
  }
  EXPECT_EQ((std::vector<std::string>{"keep"}), entries());
  EXPECT_TRUE(folder_.list("keep").empty());
  EXPECT_EQ(0, quillkit::createDirectories("|"));  // nothing to create
  EXPECT_EQ((std::vector<std::string>{"keep"}), entries());
}

TEST_F(CreateDirectories, TakesAColonForADriveOnlyOnWindows) {
  if (kHasDrives) {
    EXPECT_EQ(-1, quillkit::createDirectories("dir\\a:b"));
    EXPECT_EQ(-1, quillkit::createDirectories(":dir"));
    EXPECT_EQ((std::vector<std::string>{"dir"}), entries());
  } else {
    EXPECT_EQ(0, quillkit::createDirectories("dir\\a:b"));
    EXPECT_EQ(0, quillkit::createDirectories(":dir"));
    EXPECT_TRUE(folder_.isDirectory("dir/a:b"));
    EXPECT_TRUE(folder_.isDirectory(":dir"));
  }
}

TEST_F(CreateDirectories, LeadingSeparatorIsTheRootOnlyOnPosix) {
  EXPECT_EQ(0, quillkit::createDirectories("\\"));
  EXPECT_EQ(0, quillkit::createDirectories("/"));
  if (!kLeadingSeparatorIsRoot) {
    EXPECT_EQ(-1, quillkit::createDirectories("\\dir"));
    EXPECT_EQ(-1, quillkit::createDirectories("/dir"));
  }
  EXPECT_TRUE(entries().empty());
}

TEST_F(CreateDirectories, KeepsSecondBytesOfPairsInTheName) {
  EXPECT_EQ(0, quillkit::createDirectories((kHyo + "\\sub").c_str()));
  EXPECT_EQ(0, quillkit::createDirectories((kA + "\\b").c_str()));
  EXPECT_EQ(0, quillkit::createDirectories((kBar + "d").c_str()));
  EXPECT_EQ(0, quillkit::createDirectories(("x" + kHyo).c_str()));
  EXPECT_EQ(0, quillkit::createDirectories(("y\\" + kHyo).c_str()));  // right after a separator
  EXPECT_EQ((std::vector<std::string>{"x" + kHyo, "y", kA, kHyo, kBar + "d"}), entries());
  EXPECT_EQ((std::vector<std::string>{kHyo}), folder_.list("y"));
  EXPECT_EQ((std::vector<std::string>{"sub"}), folder_.list(kHyo));
  EXPECT_EQ((std::vector<std::string>{"b"}), folder_.list(kA));
}

TEST_F(CreateDirectories, AcceptsPathsUpToThePlatformLimit) {
  // Only the first level can be created; whether the long one can is the system's affair.
  const std::string first = "first\\";
  const std::string atLimit = first + std::string(kMaxCreatePath - first.size(), 'x');
  EXPECT_EQ(-1, quillkit::createDirectories((atLimit + "x").c_str()));
  EXPECT_TRUE(entries().empty());
  quillkit::createDirectories(atLimit.c_str());
  EXPECT_TRUE(folder_.isDirectory("first"));
}

TEST_F(ChangeDirectory, CreatesAMissingDirectoryAndMakesItCurrent) {
  EXPECT_TRUE(quillkit::changeDirectory("new\\deep\\", true));
  EXPECT_EQ(native("new/deep"), SafeGetCurrentDirectory());
  EXPECT_EQ(testsys::currentDirectory(), SafeGetCurrentDirectory());
}

TEST_F(ChangeDirectory, WithoutCreateOnlyTriesTheChange) {
  EXPECT_FALSE(quillkit::changeDirectory("missing\\", false));
  EXPECT_EQ(folder_.path(), testsys::currentDirectory());
  EXPECT_TRUE(entries().empty());
  folder_.makeDirs("there");
  EXPECT_TRUE(quillkit::changeDirectory("there", false));
  EXPECT_EQ(native("there"), testsys::currentDirectory());
}

TEST_F(ChangeDirectory, RefusesAFileAndCreatesNothing) {
  folder_.write("file.txt", "");
  EXPECT_FALSE(quillkit::changeDirectory("file.txt", true));
  EXPECT_EQ(folder_.path(), testsys::currentDirectory());
  EXPECT_EQ((std::vector<std::string>{"file.txt"}), entries());
}

TEST_F(ChangeDirectory, FailsWhenTheDirectoryCannotBeCreated) {
  EXPECT_FALSE(quillkit::changeDirectory("ok\\bad|name", true));
  EXPECT_EQ(folder_.path(), testsys::currentDirectory());
  EXPECT_TRUE(folder_.isDirectory("ok"));  // levels made before the failure stay
}

TEST_F(ChangeDirectory, DropsOnlyOneTrailingSeparator) {
  EXPECT_TRUE(quillkit::changeDirectory("twice\\\\", true));
  EXPECT_EQ(native("twice"), testsys::currentDirectory());
}

TEST_F(ChangeDirectory, EntersADoubleByteNameEndingInABackslashByte) {
  EXPECT_TRUE(quillkit::changeDirectory((kHyo + "\\").c_str(), true));
  EXPECT_EQ((std::vector<std::string>{kHyo}), entries());
  EXPECT_EQ(native(kHyo), testsys::currentDirectory());
}

TEST_F(ChangeDirectory, KeepsALoneRootOnPosix) {
  EXPECT_EQ(kLeadingSeparatorIsRoot, quillkit::changeDirectory("/", false));
  if (kLeadingSeparatorIsRoot) {
    EXPECT_EQ("/", SafeGetCurrentDirectory());
  }
}

TEST(SafeGetCurrentDirectory, ReturnsTheCurrentDirectory) {
  TempDir folder;
  ASSERT_TRUE(testsys::changeDirectory(folder.path()));
  EXPECT_EQ(folder.path(), SafeGetCurrentDirectory());
}

// A '?' or '*' is no byte of any Windows name ('?' is what code page 932 makes of a
// character it lacks), and on POSIX a byte looked up as it is: never a wildcard that
// finds another file.
TEST_F(DirectoryTest, PathExistsTakesNoWildcard) {
  folder_.write("a.txt", "a");
  EXPECT_TRUE(quillkit::pathExists(native("a.txt")));
  for (const char* name : {"?.txt", "*.txt", "a.tx?", "a.*"})
    EXPECT_FALSE(quillkit::pathExists(native(name))) << name;
}

}  // namespace
