#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "auxwin/SecondDispSettings.h"
#include "common/UniversalPages.h"
#include "common/WaveViewState.h"
#include "platform/MemoryRegistry.h"
#include "view/DisplayLayout.h"

namespace quelvar {
namespace {

const char* const kAppKey = "QuelvarTorque";
const char* const kKey = "\\SOFTWARE\\QuelvarTorque\\SeconDisp";

TEST(SecondDispSettings, NoKeyGivesTheStartValues) {
  platform::MemoryRegistry registry;
  SecondDispSettings s = ReadSecondDispSettings(registry, kAppKey);
  ClampSecondDispSettings(s, 8, 4);
  EXPECT_EQ(s.IDTrace, 1);
  EXPECT_EQ(s.IDTraceTrans, 1);
  EXPECT_EQ(s.IDPhase, 0);
  EXPECT_EQ(s.IdAutoView, 1);
  EXPECT_EQ(s.SecondDispTopMost, 0);
  EXPECT_EQ(StoredSecondDispScope(s.IDScope), ChannelScope::Channel);
  EXPECT_EQ(s.WhiteBG, 0);
  EXPECT_EQ(s.DispScale, 5);
  EXPECT_EQ(s.XAxialTime, 1);
  EXPECT_EQ(s.XZoom, 4);
  EXPECT_EQ(s.YZoom, 1);
  EXPECT_EQ(s.IDDC, 0);
  EXPECT_EQ(s.IDViewXScale, 1);
  EXPECT_EQ(s.IDViewGridLine, 0);
  EXPECT_EQ(s.IDViewGridPoint, 0);
  EXPECT_EQ(s.VPAnalog, 1);
  EXPECT_EQ(s.VPBin, 0);
  EXPECT_EQ(s.VP[0], 0);
}

struct ClampCase {
  const char* name;
  int32_t stored;
  int32_t SecondDispSettings::*field;
  int32_t expected;
};

TEST(SecondDispSettings, StoredValuesAreClamped) {
  const ClampCase cases[] = {
      {"DispScale", 2, &SecondDispSettings::DispScale, 5},
      {"DispScale", 3, &SecondDispSettings::DispScale, 3},
      {"DispScale", -7, &SecondDispSettings::DispScale, 5},
      {"XZoom", 3, &SecondDispSettings::XZoom, 32},
      {"XZoom", 16, &SecondDispSettings::XZoom, 16},
      {"XZoom", 0, &SecondDispSettings::XZoom, 32},
      {"YZoom", 3, &SecondDispSettings::YZoom, 2000},
      {"YZoom", 500, &SecondDispSettings::YZoom, 500},
      {"YZoom", -1, &SecondDispSettings::YZoom, 2000},
      {"VPAnalog", 0, &SecondDispSettings::VPAnalog, 1},
      {"VPAnalog", 99, &SecondDispSettings::VPAnalog, 8},
      {"VPBin", 9, &SecondDispSettings::VPBin, 4},
      {"VPBin", -2, &SecondDispSettings::VPBin, 0},
      // A width below two points would leave the screen without a span.
      {"DisplayWidth", 0, &SecondDispSettings::DisplayWidth, 2},
      {"DisplayWidth", -50, &SecondDispSettings::DisplayWidth, 2},
      {"DisplayWidth", 777, &SecondDispSettings::DisplayWidth, 777},
  };
  for (const ClampCase& c : cases) {
    platform::MemoryRegistry registry;
    registry.WriteInt32(kKey, c.name, c.stored);
    SecondDispSettings s = ReadSecondDispSettings(registry, kAppKey);
    ClampSecondDispSettings(s, 8, 4);
    EXPECT_EQ(s.*c.field, c.expected) << c.name << " stored as " << c.stored;
  }
}

TEST(SecondDispSettings, StoredScopes) {
  const std::pair<int32_t, ChannelScope> cases[] = {
      {0, ChannelScope::Channel}, {1, ChannelScope::Channel}, {2, ChannelScope::Four},  {5, ChannelScope::All},
      {6, ChannelScope::Overall}, {7, ChannelScope::Page},    {-3, ChannelScope::Page}, {42, ChannelScope::Page}};
  for (const auto& [stored, scope] : cases) EXPECT_EQ(StoredSecondDispScope(stored), scope) << stored;
}

TEST(SecondDispSettings, PageEntriesAreClampedToTheirTables) {
  platform::MemoryRegistry registry;
  SecondDispSettings stored;
  stored.VPAnalog = 2;
  stored.VPBin = 2;
  stored.VP[0] = -5;
  stored.VP[1] = 500;
  stored.VP[2] = 17;
  stored.VP[3] = -1;
  WriteSecondDispSettings(registry, kAppKey, stored);
  SecondDispSettings s = ReadSecondDispSettings(registry, kAppKey);
  ClampSecondDispSettings(s, 8, 4);
  EXPECT_EQ(s.VP[0], 0);
  EXPECT_EQ(s.VP[1], 7);
  EXPECT_EQ(s.VP[2], 3);
  EXPECT_EQ(s.VP[3], 0);
}

TEST(SecondDispSettings, APageStoredForOtherCountsIsNotTaken) {
  // Stored with 10 analog entries and 2 switch inputs; the card now has 4
  // analog channels: the clamped counts no longer fit the stored block, so
  // its entries (which would put analog numbers at switch positions) are
  // not taken.
  platform::MemoryRegistry registry;
  SecondDispSettings stored;
  stored.VPAnalog = 10;
  stored.VPBin = 2;
  for (int i = 0; i < 12; ++i) stored.VP[static_cast<size_t>(i)] = 9 - i % 10;
  WriteSecondDispSettings(registry, kAppKey, stored);
  SecondDispSettings s = ReadSecondDispSettings(registry, kAppKey);
  ClampSecondDispSettings(s, 4, 4);
  EXPECT_EQ(s.VPAnalog, 4);
  EXPECT_EQ(s.VPBin, 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s.VP[static_cast<size_t>(i)], SecondDispSettings{}.VP[static_cast<size_t>(i)]) << i;
  // With counts that still fit, the stored page is taken.
  s = ReadSecondDispSettings(registry, kAppKey);
  ClampSecondDispSettings(s, 16, 4);
  EXPECT_EQ(s.VP[0], 9);
  EXPECT_EQ(s.VP[9], 0);
  EXPECT_EQ(s.VP[11], 3);  // a switch position: clamped to the inputs
}

TEST(SecondDispSettings, AValueWrittenComesBack) {
  platform::MemoryRegistry registry;
  SecondDispSettings stored;
  stored.IDScope = 7;
  stored.XZoom = 32;
  stored.DisplayWidth = 333;
  stored.YZoom = 50;
  stored.VPAnalog = 3;
  stored.VP[0] = 2;
  stored.VP[1] = 0;
  stored.VP[2] = 1;
  WriteSecondDispSettings(registry, kAppKey, stored);
  const SecondDispSettings s = ReadSecondDispSettings(registry, kAppKey);
  EXPECT_EQ(s.IDScope, 7);
  EXPECT_EQ(s.XZoom, 32);
  EXPECT_EQ(s.DisplayWidth, 333);
  EXPECT_EQ(s.YZoom, 50);
  EXPECT_EQ(s.VPAnalog, 3);
  EXPECT_EQ(s.VP[0], 2);
  EXPECT_EQ(s.VP[2], 1);
}

TEST(SecondDispSettings, AVpBlockOfTheWrongSizeIsLeftAside) {
  platform::MemoryRegistry registry;
  registry.WriteInt32(kKey, "VPAnalog", 3);
  const std::vector<uint8_t> shortBlock(8, 1);  // two entries for three
  registry.WriteBinary(kKey, "VP", shortBlock);
  const SecondDispSettings s = ReadSecondDispSettings(registry, kAppKey);
  EXPECT_EQ(s.VP[0], 0);
  EXPECT_EQ(s.VP[1], 0);
}

// The window's page tables on a card without analog channels: nothing
// names an analog channel that does not exist.
TEST(SecondDispPageTables, NoAnalogChannels) {
  for (const int32_t switches : {0, 3}) {
    LiveConfig c;
    c.Analog_Num = 0;
    c.SW_Num = switches;
    c.TotalPages = 2;
    SecondDispSettings s;
    s.VPAnalog = 4;
    s.VPBin = 2;
    s.VP[0] = 3;
    ClampSecondDispSettings(s, c.Analog_Num, c.SW_Num);
    UniversalPages page;
    page.VPAnalog = s.VPAnalog;
    page.VPBin = s.VPBin;
    page.VP = s.VP;
    PageTables tables;
    RebuildPageTables(c, page, tables);
    ASSERT_EQ(tables.PageChannels.size(), 4u) << switches;
    ASSERT_EQ(tables.Entries.size(), static_cast<size_t>(3 * switches)) << switches;
    // The universal page holds only switch inputs, numbered after the
    // (absent) analog channels; the trigger page stays empty.
    EXPECT_EQ(tables.PageSwitches[2], tables.PageChannels[2]) << switches;
    EXPECT_EQ(tables.PageChannels[3], 0) << switches;
    for (int32_t p = 0; p < 4; ++p) {
      const int32_t first = tables.PageFirst[static_cast<size_t>(p)];
      const int32_t count = tables.PageChannels[static_cast<size_t>(p)];
      ASSERT_LE(first + count, static_cast<int32_t>(tables.Entries.size())) << "page " << p;
      for (int32_t i = first; i < first + count; ++i) {
        EXPECT_GE(tables.Entries[static_cast<size_t>(i)], 0);
        EXPECT_LT(tables.Entries[static_cast<size_t>(i)], switches);
      }
    }
  }
}

}  // namespace
}  // namespace quelvar
