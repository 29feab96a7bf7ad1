// properties_test.cpp: the property set the wrapper hands to coreclr_initialize,
// above all the trusted assembly list it builds when the caller leaves it empty.
#include "properties.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "coreclrwrap.h"

namespace fs = std::filesystem;
using morvax::coreclrwrap::list_trusted_assemblies;
using morvax::coreclrwrap::PropertySet;

namespace {

// A fresh directory under the temporary directory, removed with its contents.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "coreclrwrap-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) { path_ = pattern; }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) { fs::remove_all(path_, ec); }
  }
  const fs::path& path() const { return path_; }
  void touch(const std::string& name) const { std::ofstream(path_ / name) << "x"; }

 private:
  fs::path path_;
};

}  // namespace

TEST(TrustedAssemblies, ListsOnlyDllFilesAndLinksToThem) {
  TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  dir.touch("B.dll");
  dir.touch("a.dll");
  dir.touch("libcoreclr.so");
  dir.touch("notes.dll.txt");
  dir.touch(".dll");       // a hidden file, not an assembly
  dir.touch("upper.DLL");  // the framework names assemblies in lower case only
  fs::create_directory(dir.path() / "folder.dll");
  fs::create_symlink(dir.path() / "a.dll", dir.path() / "linked.dll");
  fs::create_symlink(dir.path() / "gone.dll.target", dir.path() / "dangling.dll");

  std::string list, error;
  ASSERT_TRUE(list_trusted_assemblies(dir.path().string(), &list, &error)) << error;
  const std::string d = dir.path().string() + "/";
  // Sorted byte-wise, so the list is the same from run to run.
  EXPECT_EQ(list, d + "B.dll:" + d + "a.dll:" + d + "linked.dll");
}

TEST(TrustedAssemblies, EmptyDirectoryGivesEmptyList) {
  TempDir dir;
  std::string list = "stale", error;
  ASSERT_TRUE(list_trusted_assemblies(dir.path().string() + "/", &list, &error));
  EXPECT_EQ(list, "");
}

TEST(TrustedAssemblies, FailuresSayWhy) {
  std::string list, error;
  EXPECT_FALSE(list_trusted_assemblies("/nonexistent/morvax-runtime", &list, &error));
  EXPECT_NE(error.find("/nonexistent/morvax-runtime"), std::string::npos) << error;

  // ':' separates entries, so such a directory cannot be listed faithfully.
  TempDir dir;
  fs::path colon = dir.path() / "run:time";
  fs::create_directory(colon);
  std::ofstream(colon / "a.dll") << "x";
  error.clear();
  EXPECT_FALSE(list_trusted_assemblies(colon.string(), &list, &error));
  EXPECT_NE(error.find("':'"), std::string::npos) << error;
}

TEST(TrustedAssemblies, FileNamesWithColonAreLeftOut) {
  TempDir dir;
  dir.touch("a.dll");
  dir.touch("b:c.dll");
  std::string list, error;
  ASSERT_TRUE(list_trusted_assemblies(dir.path().string(), &list, &error));
  EXPECT_EQ(list, dir.path().string() + "/a.dll");
}

class PropertySetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    dir_.touch("System.Private.CoreLib.dll");
    runtime_dir_ = dir_.path().string();
    expected_tpa_ = runtime_dir_ + "/System.Private.CoreLib.dll";
  }
  TempDir dir_;
  std::string runtime_dir_;
  std::string expected_tpa_;
  std::string error_;
};

TEST_F(PropertySetTest, EmptyListIsFilledInPlace) {
  const char* keys[] = {"APP_PATHS", "TRUSTED_PLATFORM_ASSEMBLIES", "X"};
  const char* values[] = {"/a/", "", "y"};
  PropertySet p;
  ASSERT_EQ(p.assign(3, keys, values, runtime_dir_, &error_), 0) << error_;
  ASSERT_EQ(p.count(), 3);
  EXPECT_STREQ(p.keys()[1], "TRUSTED_PLATFORM_ASSEMBLIES");
  EXPECT_EQ(p.values()[1], expected_tpa_);
  EXPECT_STREQ(p.values()[0], "/a/");
  EXPECT_STREQ(p.values()[2], "y");
}

TEST_F(PropertySetTest, MissingListIsAppended) {
  const char* keys[] = {"APP_PATHS"};
  const char* values[] = {"/a/"};
  PropertySet p;
  ASSERT_EQ(p.assign(1, keys, values, runtime_dir_, &error_), 0) << error_;
  ASSERT_EQ(p.count(), 2);
  EXPECT_STREQ(p.keys()[1], "TRUSTED_PLATFORM_ASSEMBLIES");
  EXPECT_EQ(p.find("TRUSTED_PLATFORM_ASSEMBLIES"), expected_tpa_);

  PropertySet none;
  ASSERT_EQ(none.assign(0, nullptr, nullptr, runtime_dir_, &error_), 0) << error_;
  ASSERT_EQ(none.count(), 1);
  EXPECT_EQ(none.values()[0], expected_tpa_);
}

TEST_F(PropertySetTest, GivenListIsKeptAsIs) {
  const char* keys[] = {"TRUSTED_PLATFORM_ASSEMBLIES"};
  const char* values[] = {"/elsewhere/Only.dll"};
  PropertySet p;
  ASSERT_EQ(p.assign(1, keys, values, "/nonexistent", &error_), 0) << error_;
  ASSERT_EQ(p.count(), 1);
  EXPECT_STREQ(p.values()[0], "/elsewhere/Only.dll");
}

TEST_F(PropertySetTest, CopiesOutliveTheCallersStrings) {
  std::string key = "APP_PATHS", value = "/first/";
  const char* keys[] = {key.c_str()};
  const char* values[] = {value.c_str()};
  PropertySet p;
  ASSERT_EQ(p.assign(1, keys, values, runtime_dir_, &error_), 0);
  value.assign(64, 'z');  // reallocates the caller's buffer
  EXPECT_STREQ(p.find("APP_PATHS"), "/first/");
}

TEST_F(PropertySetTest, BadInputIsRefused) {
  const char* keys[] = {"A", nullptr};
  const char* values[] = {"1", "2"};
  const char* null_value[] = {"1", nullptr};
  const char* two_keys[] = {"A", "B"};
  PropertySet p;
  EXPECT_EQ(p.assign(-1, keys, values, runtime_dir_, &error_), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(p.assign(1, nullptr, values, runtime_dir_, &error_), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(p.assign(1, keys, nullptr, runtime_dir_, &error_), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(p.assign(2, keys, values, runtime_dir_, &error_), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_EQ(p.assign(2, two_keys, null_value, runtime_dir_, &error_), COREWRAP_E_INVALID_ARGUMENT);
  EXPECT_NE(error_.find("property 1"), std::string::npos) << error_;
  // An unlistable runtime directory is its own failure, not a silent empty list.
  EXPECT_EQ(p.assign(0, nullptr, nullptr, "/nonexistent/rt", &error_), COREWRAP_E_RUNTIME_DIR);
  EXPECT_EQ(p.count(), 0);
}
