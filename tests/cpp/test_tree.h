// A temporary directory tree for tests, removed with its contents at scope end.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace morvax::testing {

class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvax-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
  }
  ~TempTree() { std::filesystem::remove_all(root_); }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  std::string path(const std::string& relative = "") const { return relative.empty() ? root_ : root_ + "/" + relative; }
  std::string mkdir(const std::string& relative) const {
    std::filesystem::create_directories(path(relative));
    return path(relative);
  }
  std::string touch(const std::string& relative) const {
    std::ofstream(path(relative)) << "";
    return path(relative);
  }

 private:
  std::string root_;
};

}  // namespace morvax::testing
