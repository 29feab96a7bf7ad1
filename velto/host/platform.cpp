// Linux implementations of the host's operating-system services.
#include "host/platform.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace morvax::host {

// The longest path, terminator included, that the platform's path buffers hold.
static constexpr std::size_t kPathBufferSize = PATH_MAX;

std::optional<std::string> ReadEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::string AppendPath(const std::string& base, const std::string& component) {
  if (base.empty()) return component;
  std::string result = base;
  std::size_t start = 0;
  while (start < component.size() && component[start] == '/') ++start;
  if (result.back() != '/') result.push_back('/');
  result.append(component, start, std::string::npos);
  if (result.size() >= kPathBufferSize) {
    throw std::length_error("path too long (" + std::to_string(result.size()) + " bytes, limit " +
                            std::to_string(kPathBufferSize - 1) + "): '" + result + "'");
  }
  return result;
}

std::string DirectoryPart(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return path;
  return path.substr(0, slash + 1);
}

std::string ExecutablePath() {
  char buffer[kPathBufferSize];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length < 0) throw std::runtime_error("cannot read the executable path from /proc/self/exe");
  if (static_cast<std::size_t>(length) >= sizeof buffer) {
    throw std::length_error("executable path too long for a path buffer");
  }
  return std::string(buffer, static_cast<std::size_t>(length));
}

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {
struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
}  // namespace

std::vector<std::string> ListSubdirectories(const std::string& directory) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, DirCloser> dir(opendir(directory.c_str()));
  if (!dir) return names;
  while (const dirent* entry = readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (DirectoryExists(AppendPath(directory, name))) names.push_back(std::move(name));
  }
  return names;
}

void RequireUtf8(const std::string& text) {
  auto bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0, n = text.size();
  while (i < n) {
    unsigned char c = bytes[i];
    std::size_t extra;
    char32_t code;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if ((c & 0xE0) == 0xC0) {
      extra = 1;
      code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      code = c & 0x07;
    } else
      throw std::range_error("bad conversion");
    for (std::size_t k = 1; k <= extra; ++k) {
      if (i + k >= n || (bytes[i + k] & 0xC0) != 0x80) throw std::range_error("bad conversion");
      code = (code << 6) | (bytes[i + k] & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      throw std::range_error("bad conversion");
    }
    i += extra + 1;
  }
}

}  // namespace morvax::host
