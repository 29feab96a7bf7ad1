// Path joining, directory parts, environment reading and UTF-8 checks.
#include "host/platform.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <algorithm>
#include <stdexcept>

#include "test_tree.h"

namespace morvax::host {
namespace {

TEST(AppendPath, InsertsExactlyOneSeparator) {
  EXPECT_EQ(AppendPath("", "netcore8.0"), "netcore8.0");
  EXPECT_EQ(AppendPath("/opt/rt", "netcore8.0"), "/opt/rt/netcore8.0");
  EXPECT_EQ(AppendPath("/opt/rt/", "netcore8.0"), "/opt/rt/netcore8.0");
  EXPECT_EQ(AppendPath("/opt/rt/", "/lib.so"), "/opt/rt/lib.so");
}

TEST(AppendPath, RefusesPathsBeyondThePlatformLimitInsteadOfCuttingThem) {
  std::string base(PATH_MAX - 10, 'a');
  EXPECT_NO_THROW(AppendPath(base, "12345678"));  // PATH_MAX - 1 characters: fits
  EXPECT_THROW(AppendPath(base, "123456789"), std::length_error);
}

TEST(DirectoryPart, KeepsTheTrailingSeparator) {
  EXPECT_EQ(DirectoryPart("/usr/bin/python3.11"), "/usr/bin/");
  EXPECT_EQ(DirectoryPart("/python3"), "/");
  EXPECT_EQ(DirectoryPart("python3"), "python3");
}

TEST(ReadEnvironment, EmptyCountsAsNotSet) {
  setenv("MORVAX_TEST_VARIABLE", "", 1);
  EXPECT_FALSE(ReadEnvironment("MORVAX_TEST_VARIABLE"));
  setenv("MORVAX_TEST_VARIABLE", "x", 1);
  EXPECT_EQ(ReadEnvironment("MORVAX_TEST_VARIABLE").value_or(""), "x");
  unsetenv("MORVAX_TEST_VARIABLE");
  EXPECT_FALSE(ReadEnvironment("MORVAX_TEST_VARIABLE"));
}

TEST(ExecutablePath, IsTheRunningProgram) {
  std::string path = ExecutablePath();
  EXPECT_EQ(path.front(), '/');
  EXPECT_TRUE(FileExists(path));
  EXPECT_NE(path.find("host_unit_tests"), std::string::npos);
}

TEST(ListSubdirectories, ListsDirectoriesOnly) {
  testing::TempTree tree;
  tree.mkdir("a");
  tree.mkdir("b/inner");
  tree.touch("file");
  auto names = ListSubdirectories(tree.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(ListSubdirectories(tree.path("missing")).empty());
}

TEST(RequireUtf8, AcceptsWellFormedTextOnly) {
  EXPECT_NO_THROW(RequireUtf8("/opt/d\xc3\xa9j\xc3\xa0/\xf0\x9f\x93\x84"));
  for (const char* bad : {"\xff", "\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "a\xe2\x82"}) {
    EXPECT_THROW(RequireUtf8(bad), std::range_error) << bad;
  }
}

}  // namespace
}  // namespace morvax::host
