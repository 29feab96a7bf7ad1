// Ordering and hashing of version numbers.
#include "common/version_numbers.h"

#include <gtest/gtest.h>

namespace morvax {
namespace {

TEST(VersionNumbers, ComparesNumbersInOrderAsSigned) {
  EXPECT_EQ(CompareVersions({25, 8, 0, 0}, {25, 7, 99, 99}), 1);
  EXPECT_EQ(CompareVersions({24, 5, 3, 0}, {24, 5, 3, 1}), -1);  // only the fourth differs
  EXPECT_EQ(CompareVersions({24, 5, 3, 0}, {24, 5, 3, 0}), 0);
  EXPECT_EQ(CompareVersions({-1, 0, 0, 0}, {0, 0, 0, 0}), -1);
  EXPECT_EQ(CompareVersions({0, 0, 0, INT32_MIN}, {0, 0, 0, INT32_MAX}), -1);
}

// Reference FNV-1a over a byte string.
uint32_t Fnv1a(const uint8_t* bytes, size_t count) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

TEST(VersionNumbers, HashIsFnv1aOverLittleEndianNumbers) {
  for (VersionNumbers v :
       {VersionNumbers{25, 8, 0, 0}, VersionNumbers{22, 6, 0, 0}, VersionNumbers{-7, 0x12345678, 65536, 255}}) {
    const int32_t numbers[] = {v.major, v.minor, v.patch, v.sub};
    uint8_t bytes[16];
    for (int i = 0; i < 4; ++i)
      for (int b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<uint32_t>(numbers[i]) >> (8 * b) & 0xFF;
    EXPECT_EQ(HashVersion(v), static_cast<int32_t>(Fnv1a(bytes, 16)));
  }
  EXPECT_NE(HashVersion({25, 8, 0, 0}), HashVersion({25, 8, 0, 1}));
}

}  // namespace
}  // namespace morvax
