// Version numbers and their ordering and hash, independent of the Python object around them.
#pragma once

#include <cstdint>

namespace morvax {

struct VersionNumbers {
  int32_t major, minor, patch, sub;
};

// -1, 0 or 1: the four numbers compared in order as signed values.
constexpr int CompareVersions(const VersionNumbers& left, const VersionNumbers& right) {
  const int32_t a[] = {left.major, left.minor, left.patch, left.sub};
  const int32_t b[] = {right.major, right.minor, right.patch, right.sub};
  for (int i = 0; i < 4; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

// 32-bit FNV-1a over the four numbers, each from its lowest byte to its highest.
constexpr int32_t HashVersion(const VersionNumbers& numbers) {
  uint32_t hash = 0x811C9DC5u;
  const int32_t values[] = {numbers.major, numbers.minor, numbers.patch, numbers.sub};
  for (int32_t number : values) {
    uint32_t bits = static_cast<uint32_t>(number);
    for (int byte = 0; byte < 4; ++byte) {
      hash ^= (bits >> (8 * byte)) & 0xFFu;
      hash *= 16777619u;
    }
  }
  return static_cast<int32_t>(hash);
}

}  // namespace morvax
