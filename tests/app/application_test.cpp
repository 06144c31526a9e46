#include "app/application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace app {

namespace {

TEST(ArgumentList, AppendsEveryArgumentWithoutClearing) {
  char program[] = "prog", empty[] = "", path[] = "a b";
  char* argv[] = {program, empty, path};
  ArgumentList list;
  EXPECT_TRUE(list.append(3, argv));
  EXPECT_TRUE(list.append(1, argv));
  EXPECT_EQ((std::vector<std::string>{"prog", "", "a b", "prog"}),
            std::vector<std::string>(list.begin(), list.end()));
}

TEST(ArgumentList, NoArgumentsChangeNothing) {
  ArgumentList list;
  EXPECT_TRUE(list.append(0, nullptr));
  EXPECT_TRUE(list.empty());
}

class CommandLineSplitter : public Application {
 public:
  bool usage() override { return true; }
  bool run() override { return true; }
  bool split(const char* line) { return appendCommandLine(line); }
  const ArgumentList& list() const { return arguments; }
};

// The process's own command line: each argument as given, quoted where it holds a blank
// or is empty.
TEST(ApplicationCommandLine, IsTheArgumentsJoinedAndQuotedWhereNeeded) {
  TempDir folder;
  ChildResult child =
      runChild(PELQUIST_TEST_HELPER_EXE, {"command-line", "a b", "", "c"}, folder.path());
  EXPECT_EQ(std::string(PELQUIST_TEST_HELPER_EXE) + " command-line \"a b\" \"\" c",
            child.output);
}

TEST(ApplicationCommandLine, SplitsAtBlanksOutsideQuotes) {
  CommandLineSplitter splitter;
  EXPECT_TRUE(splitter.split("prog  -nosw\t\"a b\"\r\nc\"d e\"f"));
  std::vector<std::string> got(splitter.list().begin(), splitter.list().end());
  EXPECT_EQ((std::vector<std::string>{"prog", "-nosw", "a b", "cd ef"}), got);
  CommandLineSplitter open;
  EXPECT_FALSE(open.split("prog \"unterminated"));
}

}  // namespace

}  // namespace app
