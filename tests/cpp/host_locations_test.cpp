// Where the host looks for the runtime and the assemblies, from overrides and environment.
#include <gtest/gtest.h>

#include "host/host_bridge.h"
#include "test_tree.h"

namespace morvax::host {
namespace {

class HostLocationsTest : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    unsetenv("NETCORE_WRAPPER_NETCORE_DIR_t");
    unsetenv("NETCORE_WRAPPER_ASSEMBLY_DIR_t");
    unsetenv("NETCORE_WRAPPER_FRAMEWORK_DIR_t");
  }
  testing::TempTree tree;
};

TEST_F(HostLocationsTest, WithoutVariablesEverythingIsTheExecutablesDirectory) {
  auto where = ResolveHostLocations("/usr/bin/python3.11", false, "t", nullptr, nullptr);
  EXPECT_EQ(where.runtimeDir, "/usr/bin/");
  EXPECT_EQ(where.productAssemblyDirs, "/usr/bin/");  // not listed twice
}

TEST_F(HostLocationsTest, AssemblySubdirectoriesThenTheRuntimeDirectory) {
  tree.mkdir("asm/pydrawing");
  tree.mkdir("asm/interop");
  setenv("NETCORE_WRAPPER_ASSEMBLY_DIR_t", tree.path("asm").c_str(), 1);
  auto where = ResolveHostLocations("/usr/bin/python3.11", false, "t", nullptr, nullptr);
  EXPECT_EQ(where.productAssemblyDirs, tree.path("asm/interop") + ":" + tree.path("asm/pydrawing") + ":/usr/bin/");
}

TEST_F(HostLocationsTest, RuntimeRootWithoutUsableSubdirectoryFallsBackQuietly) {
  tree.mkdir("rt/netcore9.0");
  setenv("NETCORE_WRAPPER_NETCORE_DIR_t", tree.path("rt").c_str(), 1);
  EXPECT_EQ(ResolveHostLocations("/opt/x/app", false, "t", nullptr, nullptr).runtimeDir, "/opt/x/");
  // The debug flag does not change the file looked for in runtime directories.
  tree.touch(std::string("rt/netcore9.0/") + WrapperFileName(false));
  EXPECT_EQ(ResolveHostLocations("/opt/x/app", true, "t", nullptr, nullptr).runtimeDir, tree.path("rt/netcore9.0"));
}

TEST_F(HostLocationsTest, FrameworkDirectoryIsTheRuntimeDirectoryUnlessSetApartWithIt) {
  tree.mkdir("rt/netcore10.0");
  tree.touch(std::string("rt/netcore10.0/") + WrapperFileName(false));
  setenv("NETCORE_WRAPPER_FRAMEWORK_DIR_t", "/fw/10.0.1", 1);
  // Without the runtime root variable the framework variable is not read.
  auto plain = ResolveHostLocations("/opt/x/app", false, "t", nullptr, nullptr);
  EXPECT_EQ(plain.frameworkDir, plain.runtimeDir);
  EXPECT_EQ(ResolveHostLocations("/opt/x/app", false, "t", "/rt/", nullptr).frameworkDir, "/rt/");
  setenv("NETCORE_WRAPPER_NETCORE_DIR_t", tree.path("rt").c_str(), 1);
  auto apart = ResolveHostLocations("/opt/x/app", false, "t", nullptr, nullptr);
  EXPECT_EQ(apart.runtimeDir, tree.path("rt/netcore10.0"));
  EXPECT_EQ(apart.frameworkDir, "/fw/10.0.1");
  unsetenv("NETCORE_WRAPPER_FRAMEWORK_DIR_t");
  EXPECT_EQ(ResolveHostLocations("/opt/x/app", false, "t", nullptr, nullptr).frameworkDir, tree.path("rt/netcore10.0"));
}

TEST_F(HostLocationsTest, OverridesWinOverVariables) {
  setenv("NETCORE_WRAPPER_ASSEMBLY_DIR_t", tree.path().c_str(), 1);
  auto where = ResolveHostLocations("/usr/bin/python3", false, "t", "/rt/", "/asm/");
  EXPECT_EQ(where.runtimeDir, "/rt/");
  EXPECT_EQ(where.productAssemblyDirs, "/asm/:/rt/");
}

TEST(FormatInitFailure, ListsDomainExecutableAndEveryProperty) {
  const char* keys[] = {"APP_PATHS", "AppDomainCompatSwitch"};
  const char* values[] = {"/a:/b", "UseLatestBehaviorWhenTFMNotSpecified"};
  EXPECT_EQ(FormatInitFailure(static_cast<int32_t>(0x80004005), "Dom", "/usr/bin/python3", keys, values, 2),
            "coreclr_initialize failed (0x80004005) [<APP_DOMAIN_NAME>='Dom',<HOST_EXE_PATH>='/usr/bin/python3'"
            ",<APP_PATHS>='/a:/b',<AppDomainCompatSwitch>='UseLatestBehaviorWhenTFMNotSpecified']");
  EXPECT_EQ(FormatInitFailure(1, "D", "e", keys, values, 0), "coreclr_initialize failed (0x1) [<APP_DOMAIN_NAME>='D',<HOST_EXE_PATH>='e']");
}

}  // namespace
}  // namespace morvax::host
