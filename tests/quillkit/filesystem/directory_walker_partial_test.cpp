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

// Names that no Windows path reaches are passed over there and told, each with its
// reason; on POSIX they are found like any other.
TEST(UnreachableNames, ArePassedOverAndToldOnWindows) {
  fakefind::listings() = {
      {"top/*.*", Listing{{{"."}, {".."}, {"a.txt"}, {"a.txt."}, {"a.txt "}, {"nul.txt"}}}}};
  quillkit::DirectoryWalker walker;
  walker.reset("*.*", "top/");
  walker.options = quillkit::DirectoryWalker::kRecursive;
  EXPECT_TRUE(walker.find());
  fakefind::listings().clear();
  const std::vector<std::string> posix = {"top/a.txt", "top/a.txt.", "top/a.txt ",
                                          "top/nul.txt"};
  const std::vector<std::string> windows = {"top/a.txt"};
  EXPECT_EQ(testsys::isWindowsBuild() ? windows : posix,
            std::vector<std::string>(walker.results.begin(), walker.results.end()));
  std::vector<std::string> skipped;
  for (const auto& entry : walker.skipped)
    skipped.push_back(entry.directory + " / " + entry.errorText.substr(0, 27));
  const std::vector<std::string> told = {"top/a.txt. / ERROR Message:The name ends",
                                         "top/a.txt  / ERROR Message:The name ends",
                                         "top/nul.txt / ERROR Message:The name is t"};
  EXPECT_EQ(testsys::isWindowsBuild() ? told : std::vector<std::string>(), skipped);
}

}  // namespace
