// The choice of runtime subdirectory and the order of assembly subdirectories.
#include "host/runtime_search.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "host/platform.h"
#include "test_tree.h"

namespace morvax::host {
namespace {

using Version = std::optional<std::pair<int, int>>;

TEST(ParseRuntimeDirName, AcceptsOnlyNetcoreMajorDotMinor) {
  EXPECT_EQ(ParseRuntimeDirName("netcore8.0"), Version({8, 0}));
  EXPECT_EQ(ParseRuntimeDirName("netcore10.12"), Version({10, 12}));
  for (const char* ignored : {"netcore8", "netcore8.0.1", "Netcore8.0", "netcore.0", "netcore8.", "netcore8.x",
                              "netcore-1.0", "xnetcore8.0", "netcore 8.0"}) {
    EXPECT_FALSE(ParseRuntimeDirName(ignored)) << ignored;
  }
  EXPECT_THROW(ParseRuntimeDirName("netcore99999999999.0"), std::out_of_range);
}

TEST(FindNewestRuntimeDir, WalksDownFromTheHighestVersionHoldingTheWrapper) {
  testing::TempTree tree;
  for (const char* dir : {"netcore3.1", "netcore8.0", "netcore10.0", "netcore9.0", "netcore8", "Netcore99.0"}) {
    tree.mkdir(dir);
  }
  tree.touch("netcore3.1/wrap.so");
  tree.touch("netcore8.0/wrap.so");
  tree.touch("netcore8/wrap.so");
  tree.touch("Netcore99.0/wrap.so");
  EXPECT_EQ(FindNewestRuntimeDir(tree.path(), "wrap.so"), tree.path("netcore8.0"));
  tree.touch("netcore10.0/wrap.so");
  EXPECT_EQ(FindNewestRuntimeDir(tree.path(), "wrap.so"), tree.path("netcore10.0"));
  // 10.0 sorts above 9.0 numerically, not as text.
  tree.touch("netcore9.0/wrap.so");
  EXPECT_EQ(FindNewestRuntimeDir(tree.path(), "wrap.so"), tree.path("netcore10.0"));
}

TEST(FindNewestRuntimeDir, FailsWithoutACandidate) {
  testing::TempTree tree;
  EXPECT_FALSE(FindNewestRuntimeDir(tree.path(), "wrap.so"));
  tree.mkdir("netcore8.0");
  tree.touch("netcore8.0.so");  // a file, not a directory
  EXPECT_FALSE(FindNewestRuntimeDir(tree.path(), "wrap.so"));
}

TEST(OrderAssemblySubdirectories, ReversesAndPutsPydrawingLast) {
  EXPECT_EQ(OrderAssemblySubdirectories({"a", "pydrawing", "b", "c"}),
            (std::vector<std::string>{"c", "b", "a", "pydrawing"}));
  EXPECT_EQ(OrderAssemblySubdirectories({"pydrawing"}), (std::vector<std::string>{"pydrawing"}));
  // The comparison is exact: other spellings are ordinary entries.
  EXPECT_EQ(OrderAssemblySubdirectories({"PyDrawing", "x"}), (std::vector<std::string>{"x", "PyDrawing"}));
}

TEST(AssemblySubdirectories, DebugKeepsOnlyEntriesWithADebugFolder) {
  testing::TempTree tree;
  tree.mkdir("interop/debug");
  tree.mkdir("velto");
  tree.mkdir("pydrawing/debug");
  tree.touch("notes.txt");
  auto release = AssemblySubdirectories(tree.path(), false);
  ASSERT_EQ(release.size(), 3u);
  EXPECT_EQ(release.back(), tree.path("pydrawing"));
  EXPECT_EQ(AssemblySubdirectories(tree.path(), true).back(), tree.path("pydrawing/debug"));
  EXPECT_EQ(AssemblySubdirectories(tree.path(), true).size(), 2u);
}

TEST(JoinSearchPath, UsesColonsAndKeepsDuplicates) {
  EXPECT_EQ(JoinSearchPath({}), "");
  EXPECT_EQ(JoinSearchPath({"/a/", "/b", "/a/"}), "/a/:/b:/a/");
}

}  // namespace
}  // namespace morvax::host
