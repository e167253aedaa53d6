#include <gtest/gtest.h>

#include "platform/SystemMemory.h"

namespace {

using namespace quelvar::platform;

TEST(SystemMemory, MemInfoGivesTotalAndAvailable) {
  const auto m = ParseMemInfo("MemTotal:       16318480 kB\nMemFree:         1200000 kB\nMemAvailable:    9000000 kB\n");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->totalKB, 16318480u);
  EXPECT_EQ(m->availableKB, 9000000u);
  // Older kernels have no MemAvailable: the free memory stands in.
  const auto old = ParseMemInfo("MemTotal: 2000 kB\nMemFree: 500 kB\nBuffers: 10 kB\n");
  ASSERT_TRUE(old);
  EXPECT_EQ(old->availableKB, 500u);
  EXPECT_FALSE(ParseMemInfo("MemFree: 500 kB\n"));
  EXPECT_FALSE(ParseMemInfo("MemTotal: lots\n"));
  EXPECT_FALSE(ParseMemInfo(""));
  // A name that merely begins the same way is another value.
  EXPECT_FALSE(ParseMemInfo("MemTotalX: 5 kB\n"));
}

TEST(SystemMemory, TheMachinesMemoryIsKnown) {
  const PhysicalMemory m = ReadPhysicalMemory();
  EXPECT_GT(m.totalKB, 0u);
  EXPECT_LE(m.availableKB, m.totalKB);
}

}  // namespace
