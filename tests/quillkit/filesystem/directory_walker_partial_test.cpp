// The walker over listings that break off partway (see fake_find_primitives.h): what it
// keeps, what it reports, and the accept-partial rule that collect-copy relies on.

#include <gtest/gtest.h>

#include <list>
#include <string>

#include "quillkit/filesystem/directory_walker.h"
#include "tests/support/debug_log.h"
#include "tests/support/fake_find_primitives.h"
#include "tests/support/platform.h"

namespace {

using Paths = std::list<std::string>;
using fakefind::Listing;

// The separator that the library inserts between a folder and a name.
const std::string kSep(1, testsys::separator());

// top: a.txt sub/, then the listing breaks off; sub: b.txt, and it breaks off too.
class PartialListingTest : public ::testing::Test {
 protected:
  PartialListingTest() {
    fakefind::listings() = {
        {"top/*.*", Listing{{{"."}, {".."}, {"a.txt"}, {"sub", true}}, true}},
        {"top/sub" + kSep + "*.*", Listing{{{"."}, {".."}, {"b.txt"}}, true}},
        {"none/*.*", Listing{{{"."}, {".."}, {"x.dat"}}, true}},
    };
  }
  ~PartialListingTest() override { fakefind::listings().clear(); }

  quillkit::DirectoryWalker walker_;
  DebugLog log_;
};

TEST_F(PartialListingTest, KeepsWhatWasFoundAndSucceedsOnlyWhenAcceptingPartialResults) {
  walker_.reset("*.txt", "top/");
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ((Paths{"top/a.txt", "top/sub" + kSep + "b.txt"}), walker_.results);
  // One line for each listing that broke off, the subfolder's included: the system's
  // error text.
  ASSERT_EQ(2u, log_.lines.size());
  for (const std::string& line : log_.lines) EXPECT_EQ(0u, line.find("ERROR Message:")) << line;

  walker_.options = quillkit::DirectoryWalker::kRecursive;
  EXPECT_FALSE(walker_.find());
  EXPECT_EQ((Paths{"top/a.txt", "top/sub" + kSep + "b.txt"}), walker_.results);
}

TEST_F(PartialListingTest, FailsWhenNothingWasFoundBeforeTheBreak) {
  walker_.reset("*.txt", "none/");
  EXPECT_FALSE(walker_.find());
  EXPECT_TRUE(walker_.results.empty());
  EXPECT_EQ(1u, log_.lines.size());
}

TEST_F(PartialListingTest, SeveralPatternsKeepTheirResultsAndLogEachBreakTwice) {
  walker_.reset("*.txt", "top/");
  walker_.patterns.push_back("*.dat");
  EXPECT_TRUE(walker_.find());
  EXPECT_EQ((Paths{"top/a.txt", "top/sub" + kSep + "b.txt"}), walker_.results);
  EXPECT_EQ(4u, log_.lines.size());
}

// What no Windows path reaches is passed over there and told with its reason: a name
// that ends with a dot or a space (dropped from a path), a device's name with any
// extension, in any case, spaces before the dot (the device opens instead), and a name
// with a '?', which the find primitives write for a character the code page lacks.
TEST(UnreachableNames, ArePassedOverAndToldOnWindows) {
  Listing listing;
  for (const char* name :
       {"a.txt.", "a.txt ", "nul.txt", "Aux.tar.gz", "prn  .dat", "CON", "com1.c", "LPT9",
        "com0.c", "COMA.c", "lpt.c", "aux1.c", "conin$.txt", "CONOUT$", "conin.c", "caf?.txt"})
    listing.entries.push_back({name});
  fakefind::listings() = {{"top/*.*", listing}};
  quillkit::DirectoryWalker walker;
  walker.reset("*.*", "top/");
  walker.options = quillkit::DirectoryWalker::kRecursive;
  EXPECT_TRUE(walker.find());
  fakefind::listings().clear();
  std::string seen;
  for (const std::string& path : walker.results) seen += path.substr(4) + "|";
  for (const auto& skipped : walker.skipped) seen += skipped.errorText.substr(23, 4) + "|";
  EXPECT_EQ(testsys::isWindowsBuild()
                ? "com0.c|COMA.c|lpt.c|aux1.c|conin.c|ends|ends|is t|is t|is t|is t|is t|is t|"
                  "is t|is t|hold|"
                : "a.txt.|a.txt |nul.txt|Aux.tar.gz|prn  .dat|CON|com1.c|LPT9|com0.c|COMA.c|"
                  "lpt.c|aux1.c|conin$.txt|CONOUT$|conin.c|caf?.txt|",
            seen);
}

// A name that holds a separator is passed over by a recursive walk, and told where the
// pattern wants it by its extension, the part after its last dot.
TEST(UnreachableNames, AreToldWhereThePatternWantsThem) {
  Listing listing;
  for (const char* name : {"a\\b.txt", "a\\b.c", "a\\b"}) listing.entries.push_back({name});
  fakefind::listings() = {{"top/*.*", listing}};
  const std::pair<const char*, const char*> cases[] = {
      {"*.txt", "a\\b.txt|"}, {"*.?", "a\\b.c|"}, {"*.*", "a\\b.txt|a\\b.c|a\\b|"}};
  for (const auto& [pattern, told] : cases) {
    quillkit::DirectoryWalker walker;
    walker.reset(pattern, "top/");
    walker.options = quillkit::DirectoryWalker::kRecursive;
    EXPECT_TRUE(walker.find());
    std::string seen;
    for (const auto& skipped : walker.skipped) seen += skipped.directory.substr(4) + "|";
    EXPECT_EQ(told, seen) << pattern;
  }
  fakefind::listings().clear();
}

}  // namespace
