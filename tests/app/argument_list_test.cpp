#include "app/argument_list.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
