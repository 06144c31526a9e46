#include "quillkit/filesystem/find_primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/platform.h"
#include "tests/support/temp_dir.h"

namespace {

using quillkit::FindBlock;
using Names = std::vector<std::string>;

/// One search for a test, with its current entry's name.
class Block : public quillkit::FindSearch {
 public:
  FindBlock* get() const { return block(); }
  std::string name() const {
    char buffer[260] = {};
    quillkit::copyEntryName(block(), buffer, sizeof buffer);
    return buffer;
  }
};

/// Every name that a search lists, in listing order; empty when the search fails.
Names listNames(const std::string& searchPath) {
  Block block;
  Names names;
  if (block.first(searchPath.c_str()) != quillkit::kFindOk) return names;
  do {
    names.push_back(block.name());
  } while (block.next() == quillkit::kFindOk);
  return names;
}

std::string joined(const Names& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
  return text;
}

// The names of the worked table of Windows mask matching.
class MaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name :
         {"README", "a", "ab", "abc", "ac", "a.txt", "a.txtx", "a.b.c", "x.tar.gz", ".hid"})
      temp_.write(std::string("names/") + name, "x");
  }
  std::string search(const std::string& mask) const { return temp_.join("names/" + mask); }

  TempDir temp_;
};

struct MaskRow {
  const char* mask;
  const char* expected;  // names in listing order, "" when the search fails
  bool wineAgrees;       // Wine 8's own matching (and its short names) agree
};

TEST_F(MaskTest, MatchesLongNamesAsWindowsDoes) {
  const char* all = ". .. .hid a a.b.c a.txt a.txtx ab abc ac README x.tar.gz";
  const MaskRow rows[] = {
      {"*", all, true},
      {"*.*", all, true},
      {"*.?", all, false},
      {"*.", ". .. a ab abc ac README", false},
      {"*.txt", "a.txt", false},
      {"*.t?t", "a.txt", false},
      {"a?c", "abc", true},
      {"a??", "a ab abc ac", false},
      {"?", ". .. a", false},  // ".." wherever "." is listed
      {"?.", ". .. a", false},
      {"??", ". .. a ab ac", false},
      {"??.", ". .. a ab ac", false},
      {"???.", ". .. a ab abc ac", false},
      {"a.*", "a a.b.c a.txt a.txtx", true},
      {"A*.", "a ab abc ac", false},
      {".*", ". .. .hid", true},
      {"a.???", "a a.txt", false},
      {"*c", "a.b.c abc ac", true},
      {"*C", "a.b.c abc ac", true},
      {"x*.GZ", "x.tar.gz", true},
      {"q*", "", true},
  };
  for (const MaskRow& row : rows) {
    if (testsys::isWindowsBuild() && !row.wineAgrees) continue;
    EXPECT_EQ(row.expected, joined(listNames(search(row.mask)))) << "mask " << row.mask;
  }
}

TEST_F(MaskTest, PlainNameIsLookedUpAsTheFileSystemNamesIt) {
  EXPECT_EQ("a.txt", joined(listNames(search("a.txt"))));
  // Only wildcard masks ignore case; a plain name is one exact lookup on POSIX.
  const char* upper = testsys::isWindowsBuild() ? "a.txt" : "";
  EXPECT_EQ(upper, joined(listNames(search("A.TXT"))));
}

TEST(FindPrimitives, ListsDotsFirstThenNamesWithLettersFolded) {
  TempDir temp;
  for (const char* name : {"_u", "Z", "a", "A1.TXT", "0n", ".hid", "!x", "a.b", "a1"})
    temp.write(std::string("d/") + name, "");
  EXPECT_EQ(". .. !x .hid 0n a a.b a1 A1.TXT Z _u", joined(listNames(temp.join("d/*"))));
}

TEST(FindPrimitives, NamesThatDifferOnlyInCaseAreOrderedBytewise) {
  if (testsys::isWindowsBuild()) GTEST_SKIP() << "one name per spelling on Windows";
  TempDir temp;
  for (const char* name : {"b", "B", "a", "A"}) temp.write(name, "");
  EXPECT_EQ(". .. A a B b", joined(listNames(temp.join("*"))));
}

TEST(FindPrimitives, QuestionMarkTakesOneCharacterOfSeveralBytes) {
  TempDir temp;
  const std::string hiragana = "\x82\xa0.txt";  // "あ.txt" in Shift-JIS
  temp.write(hiragana, "");
  temp.write("ab.txt", "");
  EXPECT_EQ(hiragana, joined(listNames(temp.join("?.txt"))));

  // Wine 8 lets '?' match nothing only at the end of a name; Windows and POSIX also
  // before a dot. Its file names are code page 932 besides.
  if (testsys::isWindowsBuild()) return;
  EXPECT_EQ("ab.txt " + hiragana, joined(listNames(temp.join("??.txt"))));
  const std::string accented = "\xc3\xa9.txt";  // "é.txt" in UTF-8
  temp.write(accented, "");
  EXPECT_EQ(hiragana + " " + accented, joined(listNames(temp.join("?.txt"))));
}

TEST(FindPrimitives, SecondBytesOfDoubleByteNamesKeepTheirCase) {
  TempDir temp;
  const std::string a = "\x83\x41", di = "\x83\x61";  // ア and ヂ: 'A' and 'a' second bytes
  temp.write(a + "x", "");
  temp.write(di + "x", "");
  temp.write("Ax", "");
  EXPECT_EQ(a + "x", joined(listNames(temp.join(a + "*"))));
  EXPECT_EQ(di + "x", joined(listNames(temp.join(di + "?"))));
  EXPECT_EQ("Ax", joined(listNames(temp.join("a*"))));
}

TEST(FindPrimitives, RootListsNoDots) {
  TempDir temp;
  const std::string& path = temp.path();
  const std::string root = testsys::isWindowsBuild() ? path.substr(0, 3) : "/";
  const Names names = listNames(root + "*");
  ASSERT_FALSE(names.empty());
  EXPECT_NE(".", names.front());
  EXPECT_NE("..", names.front());
}

TEST(FindPrimitives, PlainPathNamesOneEntryAndATrailingSeparatorNone) {
  TempDir temp;
  temp.makeDirs("dir");
  temp.write("dir/inner", "");
  Block block;
  ASSERT_EQ(quillkit::kFindOk, block.first(temp.join("dir").c_str()));
  EXPECT_EQ("dir", block.name());
  EXPECT_EQ(1, quillkit::entryIsSubDirectory(block.get()));
  EXPECT_EQ(quillkit::kFindNoMoreEntries, block.next());

  Block slash;
  const std::string withSeparator = temp.join("dir") + testsys::separator();
  EXPECT_EQ(quillkit::kFindFailed, slash.first(withSeparator.c_str()));
  EXPECT_EQ(-1, quillkit::closeFind(slash.get()));
}

TEST(FindPrimitives, FailuresLeaveANotFoundError) {
  TempDir temp;
  Block missing;
  EXPECT_EQ(quillkit::kFindFailed, missing.first(temp.join("missing").c_str()));
  EXPECT_TRUE(testsys::lastErrorIsNotFound());
  temp.makeDirs("empty");
  Block empty;
  const std::string mask = temp.join("empty/*.txt");
  EXPECT_EQ(quillkit::kFindFailed, empty.first(mask.c_str()));
  EXPECT_TRUE(testsys::lastErrorIsNotFound());
}

TEST(FindPrimitives, ResultCodesOfTheBlockOperations) {
  TempDir temp;
  temp.write("only", "");
  Block block;
  ASSERT_EQ(quillkit::kFindOk, block.first(temp.join("only").c_str()));
  char small[4];
  EXPECT_EQ(-1, quillkit::copyEntryName(block.get(), small, 4));  // "only" needs 5 bytes
  char exact[5];
  EXPECT_EQ(0, quillkit::copyEntryName(block.get(), exact, 5));
  EXPECT_STREQ("only", exact);
  EXPECT_EQ(quillkit::kFindNoMoreEntries, block.next());
  EXPECT_EQ(0, block.close());
  EXPECT_EQ(-1, quillkit::closeFind(block.get()));

  FindBlock* none = nullptr;
  EXPECT_EQ(-1, quillkit::freeFindBlock(nullptr));
  EXPECT_EQ(-1, quillkit::freeFindBlock(&none));
  FindBlock* fresh = quillkit::allocateFindBlock();
  ASSERT_NE(nullptr, fresh);
  EXPECT_EQ(0, quillkit::freeFindBlock(&fresh));
  EXPECT_EQ(nullptr, fresh);
}

// The record of the current entry outlives the search, as Windows keeps it in the
// block; a new search on the same block starts from its own first entry.
TEST(FindPrimitives, EntryOutlivesItsSearchAndTheBlockServesAgain) {
  TempDir temp;
  temp.write("a1", "");
  temp.write("b1", "");
  temp.write("b2", "");
  Block block;
  ASSERT_EQ(quillkit::kFindOk, block.first(temp.join("a*").c_str()));
  EXPECT_EQ(0, block.close());
  EXPECT_EQ("a1", block.name());
  ASSERT_EQ(quillkit::kFindOk, block.first(temp.join("b*").c_str()));
  EXPECT_EQ("b1", block.name());
  ASSERT_EQ(quillkit::kFindOk, block.next());
  EXPECT_EQ("b2", block.name());
  // Starting again closes the open search first.
  ASSERT_EQ(quillkit::kFindOk, block.first(temp.join("a*").c_str()));
  EXPECT_EQ("a1", block.name());
  EXPECT_EQ(quillkit::kFindNoMoreEntries, block.next());
}

TEST(FindPrimitives, AttributesOfFilesAndDirectories) {
  TempDir temp;
  temp.write("plain", "12345");
  temp.write("locked", "");
  testsys::setReadOnly(temp.join("locked"), true);
  temp.makeDirs("sub");

  Block plain;
  ASSERT_EQ(0, plain.first(temp.join("plain").c_str()));
  EXPECT_EQ(0, quillkit::entryIsSubDirectory(plain.get()));
  EXPECT_EQ(0u, quillkit::entryIsReadOnly(plain.get()));
  uint32_t high = 1;
  uint32_t low = 0;
  quillkit::entrySize(plain.get(), &high, &low);
  EXPECT_EQ(0u, high);
  EXPECT_EQ(5u, low);

  Block locked;
  ASSERT_EQ(0, locked.first(temp.join("locked").c_str()));
  EXPECT_EQ(quillkit::kAttributeReadOnly, quillkit::entryIsReadOnly(locked.get()));
  EXPECT_EQ(0u, quillkit::entryIsNormal(locked.get()));

  Block sub;
  ASSERT_EQ(0, sub.first(temp.join("sub").c_str()));
  EXPECT_EQ(1, quillkit::entryIsSubDirectory(sub.get()));
  EXPECT_EQ(0, quillkit::entryIsDots(sub.get()));
  EXPECT_EQ(0u, quillkit::entryIsNormal(sub.get()));
  EXPECT_EQ(0u, quillkit::entryIsReadOnly(sub.get()));

  if (testsys::isWindowsBuild()) return;  // Wine gives plain files the archive bit
  EXPECT_EQ(quillkit::kAttributeNormal, quillkit::entryIsNormal(plain.get()));
}

TEST(FindPrimitives, SymbolicLinksAreReportedAsWhatTheyPointTo) {
  TempDir temp;
  temp.makeDirs("target");
  temp.write("data", "abc");
  if (!testsys::makeSymbolicLink(temp.join("target"), temp.join("dirlink")) ||
      !testsys::makeSymbolicLink(temp.join("data"), temp.join("filelink")))
    GTEST_SKIP() << "no symbolic links here";

  Block block;
  ASSERT_EQ(0, block.first(temp.join("*link").c_str()));
  EXPECT_EQ("dirlink", block.name());
  EXPECT_EQ(1, quillkit::entryIsSubDirectory(block.get()));
  ASSERT_EQ(0, block.next());
  EXPECT_EQ("filelink", block.name());
  EXPECT_EQ(0, quillkit::entryIsSubDirectory(block.get()));
  uint32_t high = 0;
  uint32_t low = 0;
  quillkit::entrySize(block.get(), &high, &low);
  EXPECT_EQ(3u, low);
}

// A listing is read whole when the search starts and holds no descriptor afterwards:
// far more searches than a process may have open files all succeed.
TEST(FindPrimitives, SearchesHoldNoDescriptor) {
  TempDir temp;
  temp.write("d/a", "");
  const std::string mask = temp.join("d/*");
  int started = 0;
  for (int i = 0; i < 3000; ++i) {
    Block block;
    if (block.first(mask.c_str()) == quillkit::kFindOk) ++started;
  }
  EXPECT_EQ(3000, started);
}

// A link to nothing is still a name in its folder: found by its exact name, as itself.
TEST(FindPrimitives, DanglingLinkIsFoundByItsName) {
  TempDir temp;
  if (!testsys::makeSymbolicLink(temp.join("nowhere"), temp.join("dangling")))
    GTEST_SKIP() << "no symbolic links here";
  Block block;
  ASSERT_EQ(quillkit::kFindOk, block.first(temp.join("dangling").c_str()));
  EXPECT_EQ("dangling", block.name());
  EXPECT_EQ(0, quillkit::entryIsSubDirectory(block.get()));
}

}  // namespace
