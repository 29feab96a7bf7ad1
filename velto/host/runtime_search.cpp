// Runtime and assembly directory search rules.
#include "host/runtime_search.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

#include "host/platform.h"

namespace morvax::host {

static bool AllDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

static int ToInt32(const std::string& digits) {
  errno = 0;
  long long value = std::strtoll(digits.c_str(), nullptr, 10);
  if (errno == ERANGE || value > INT_MAX) throw std::out_of_range("stoi argument out of range");
  return static_cast<int>(value);
}

std::optional<std::pair<int, int>> ParseRuntimeDirName(const std::string& name) {
  static const std::string kPrefix = "netcore";
  if (name.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
  std::string rest = name.substr(kPrefix.size());
  auto dot = rest.find('.');
  if (dot == std::string::npos || rest.find('.', dot + 1) != std::string::npos) return std::nullopt;
  std::string major = rest.substr(0, dot), minor = rest.substr(dot + 1);
  if (!AllDigits(major) || !AllDigits(minor)) return std::nullopt;
  return std::make_pair(ToInt32(major), ToInt32(minor));
}

std::optional<std::string> FindNewestRuntimeDir(const std::string& root, const std::string& wrapperFileName) {
  struct Candidate {
    std::pair<int, int> version;
    std::string name;
  };
  std::vector<Candidate> kept;
  for (auto& name : ListSubdirectories(root)) {
    if (auto version = ParseRuntimeDirName(name)) kept.push_back({*version, name});
  }
  std::stable_sort(kept.begin(), kept.end(),
                   [](const Candidate& a, const Candidate& b) { return a.version < b.version; });
  for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
    std::string candidate = AppendPath(root, it->name);
    if (FileExists(AppendPath(candidate, wrapperFileName))) return candidate;
  }
  return std::nullopt;
}

std::vector<std::string> OrderAssemblySubdirectories(const std::vector<std::string>& names) {
  std::vector<std::string> ordered(names.rbegin(), names.rend());
  std::stable_partition(ordered.begin(), ordered.end(), [](const std::string& n) { return n != "pydrawing"; });
  return ordered;
}

std::vector<std::string> AssemblySubdirectories(const std::string& directory, bool debug) {
  std::vector<std::string> result;
  for (auto& name : OrderAssemblySubdirectories(ListSubdirectories(directory))) {
    std::string path = AppendPath(directory, name);
    if (debug) {
      path = AppendPath(path, "debug");
      if (!DirectoryExists(path)) continue;
    }
    result.push_back(std::move(path));
  }
  return result;
}

std::string JoinSearchPath(const std::vector<std::string>& directories) {
  std::string joined;
  for (std::size_t i = 0; i < directories.size(); ++i) {
    if (i) joined.push_back(':');
    joined += directories[i];
  }
  return joined;
}

}  // namespace morvax::host
