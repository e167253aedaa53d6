#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/MemoryRegistry.h"
#include "shell/UniversalPageStore.h"
#include "shell/WindowGeometry.h"

namespace {

using namespace quelvar;

const char* const kFormSize = "\\SOFTWARE\\QuelvarTorque\\FormSize";

TEST(WindowGeometry, ValuesThatCannotBeReadKeepTheDesignedOnes) {
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "FormAbout_Left", -40);
  reg.WriteString(kFormSize, "FormAbout_Width", "wide");  // of another type
  WindowGeometry g{10, 20, 300, 200};
  ReadWindowGeometry(reg, "QuelvarTorque", "FormAbout", g);
  EXPECT_EQ(g.Top, 10);
  EXPECT_EQ(g.Left, -40);
  EXPECT_EQ(g.Width, 300);
  WriteWindowGeometry(reg, "QuelvarTorque", "FormAbout", {1, 2, 3, 4});
  EXPECT_EQ(reg.ReadInt32(kFormSize, "FormAbout_Height"), 4);
}

TEST(WindowGeometry, OneMonitorPullsTheWindowOntoTheScreen) {
  struct Case {
    WindowGeometry in;
    int monitors;
    WindowGeometry out;
  } cases[] = {
      {{0, -40, 300, 200}, 1, {0, 0, 300, 200}},
      {{0, -40, 300, 200}, 2, {0, -40, 300, 200}},           // several monitors: as stored
      {{0, 100, 2000, 200}, 1, {0, 0, 1024, 200}},           // wider than the screen
      {{700, 900, 300, 200}, 1, {568, 724, 300, 200}},       // moved back inside
      {{-5, 0, 300, 900}, 1, {0, 0, 300, 768}},              // taller than the screen
      {{0, 0, 1024, 768}, 1, {0, 0, 1024, 768}},
  };
  for (const Case& c : cases) {
    WindowGeometry g = c.in;
    FitWindowOnScreen(g, 1024, 768, c.monitors);
    EXPECT_EQ(g.Top, c.out.Top);
    EXPECT_EQ(g.Left, c.out.Left);
    EXPECT_EQ(g.Width, c.out.Width);
    EXPECT_EQ(g.Height, c.out.Height);
  }
}

void WriteList(platform::MemoryRegistry& reg, const char* name, std::vector<int32_t> values) {
  std::vector<uint8_t> bytes(values.size() * 4);
  std::memcpy(bytes.data(), values.data(), bytes.size());
  reg.WriteBinary(kFormSize, name, bytes);
}

UniversalPages Read(platform::MemoryRegistry& reg, int32_t analogNum, int32_t switchNum) {
  UniversalPages p;
  ReadUniversalPages(reg, "QuelvarTorque", analogNum, switchNum, p);
  return p;
}

TEST(UniversalPageStore, CountsAreClampedToTheConfiguredChannels) {
  struct Case {
    int32_t stored;
    int32_t analogNum;
    int32_t expected;
  } cases[] = {{0, 8, 1}, {50, 8, 8}, {5, 0, 0}, {8, 8, 8}};
  for (const Case& c : cases) {
    platform::MemoryRegistry reg;
    reg.WriteInt32(kFormSize, "VPAnalog", c.stored);
    EXPECT_EQ(Read(reg, c.analogNum, 0).VPAnalog, c.expected) << c.stored;
  }
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "VPageNum", 7);
  EXPECT_EQ(Read(reg, 4, 0).VPageNum, 4);
  reg.WriteInt32(kFormSize, "VPageNum", -3);
  EXPECT_EQ(Read(reg, 4, 0).VPageNum, 0);
}

TEST(UniversalPageStore, FullPagesComeBackAndWrongEntriesAreClamped) {
  platform::MemoryRegistry reg;
  reg.WriteInt32(kFormSize, "VPAnalog", 4);
  reg.WriteInt32(kFormSize, "VPBin", 2);
  WriteList(reg, "VP", {3, 9, -1, 0, 1, 5});  // every analog channel and every switch input
  reg.WriteInt32(kFormSize, "VPAnalog2", 2);
  reg.WriteInt32(kFormSize, "VPBin2", 0);
  WriteList(reg, "VP2", {1, 2});
  reg.WriteInt32(kFormSize, "VPAnalog3", 9);  // out of range: page 3 stays a copy
  const UniversalPages p = Read(reg, 4, 2);
  EXPECT_EQ(p.VPAnalog, 4);
  EXPECT_EQ(p.VPBin, 2);
  const std::vector<int32_t> current(p.VP.begin(), p.VP.begin() + 6);
  EXPECT_EQ(current, (std::vector<int32_t>{3, 3, 0, 0, 1, 1}));
  EXPECT_EQ(p.VPAnalogPages[2], 2);
  EXPECT_EQ(p.VPBinPages[2], 0);
  EXPECT_EQ(p.VPPages[2][0], 1);
  EXPECT_EQ(p.VPPages[2][1], 2);
  EXPECT_EQ(p.VPAnalogPages[3], 4);
  EXPECT_EQ(p.VPPages[3], p.VP);
}

TEST(UniversalPageStore, WrittenPagesReadBackUnchanged) {
  platform::MemoryRegistry reg;
  UniversalPages p;
  p.VPAnalog = 2;
  p.VPBin = 1;
  p.VP[0] = 1;
  p.VP[1] = 0;
  p.VP[2] = 2;
  p.VPAnalogPages[4] = 1;
  p.VPBinPages[4] = 0;
  p.VPPages[4][0] = 1;
  p.VPageNum = 4;
  WriteUniversalPages(reg, "QuelvarTorque", p);
  const UniversalPages back = Read(reg, 2, 3);
  EXPECT_EQ(back.VP, p.VP);
  EXPECT_EQ(back.VPPages[4][0], 1);
  EXPECT_EQ(back.VPAnalogPages[4], 1);
  EXPECT_EQ(back.VPageNum, 4);
}

}  // namespace
