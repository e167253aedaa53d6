#include <gtest/gtest.h>

#include <climits>

#include "common/ConfigBounds.h"
#include "setup/ChannelGroupSettings.h"

namespace {

using namespace quelvar;

// A start-up layout: every channel a line of its own.
LiveConfig OneChannelPerLine(int channels) {
  LiveConfig live;
  live.Analog_Num = channels;
  live.Total_Line = channels;
  for (int i = 0; i < kMaxLines; ++i) live.LineTable[i].APhaseNum = 1;
  for (int i = 0; i < kMaxAnalogChannels; ++i) live.AnalogChannelTable[i].ChnGroupNo = i;
  return live;
}

ChannelGroupFields Fields(const char* analog, const char* binary) { return {"2", analog, binary, "60", "25.5"}; }

TEST(ChannelGroupSettings, AcceptedLayoutDerivesTheCountsTheDriverNeeds) {
  LiveConfig live = OneChannelPerLine(4);
  live.AnalogChannelTable[1].MultiFreq = 3;
  DriverState driver;
  const ChannelGroupRefusal r = ApplyChannelGroupFields(Fields("6", "20"), driver, live);
  ASSERT_FALSE(r.refused()) << r.text;
  EXPECT_EQ(live.Analog_Num, 6);
  EXPECT_EQ(live.Total_Line, 6);
  EXPECT_EQ(live.SW_Num, 20);
  EXPECT_EQ(live.NumVChn, 6 + 2);
  EXPECT_EQ(live.NumChn, 1 + 3 + 1 + 1 + 1 + 1 + 2);  // rate multipliers and switch words
  EXPECT_EQ(live.BegChn, 6);
  EXPECT_EQ(live.TotalPages, 2);
  EXPECT_FLOAT_EQ(live.ACFrq, 60.0f);
  EXPECT_FLOAT_EQ(live.EnvTemp, 25.5f);
}

TEST(ChannelGroupSettings, LayoutsTheCardCannotTakeAreRefused) {
  struct Case {
    const char* analog;
    const char* binary;
    int usable;
    int32_t maxChannels;
    int32_t maxSwitch;
    const char* text;
  } cases[] = {
      {"101", "0", 0, 112, 192, "模拟通道线路配置错误!"},
      {"-1", "0", 0, 112, 192, "模拟通道线路配置错误!"},
      {"x", "0", 0, 112, 192, "模拟通道线路配置错误!"},
      {"4", "100", 1, 112, 64, "采集卡不支持这么多开关量通道!"},
      {"4", "100", 0, 112, 64, ""},  // without a usable driver the switch limit is not asked
      {"8", "64", 0, 10, 192, "AD板总通道数超过了 10"},
  };
  for (const Case& c : cases) {
    LiveConfig live = OneChannelPerLine(100);
    DriverState driver;
    driver.DriverUsable = c.usable;
    driver.CardMaxChannels = c.maxChannels;
    driver.CardMaxSwitchChannels = c.maxSwitch;
    EXPECT_EQ(ApplyChannelGroupFields(Fields(c.analog, c.binary), driver, live).text, c.text) << c.analog;
  }
}

TEST(ChannelGroupSettings, LinesWithTooManyOrTooFewChannelsAreNamed) {
  LiveConfig live = OneChannelPerLine(4);
  live.LineTable[0].APhaseNum = 2;
  live.LineTable[1].APhaseNum = 0;
  live.AnalogChannelTable[1].ChnGroupNo = 0;  // line 0: channels 0 and 1
  DriverState driver;
  EXPECT_FALSE(ApplyChannelGroupFields(Fields("3", "0"), driver, live).refused());
  EXPECT_EQ(live.LineTable[0].GroupTag[1], 1);

  live.AnalogChannelTable[2].ChnGroupNo = 0;  // a third channel on line 0
  const ChannelGroupRefusal many = ApplyChannelGroupFields(Fields("3", "0"), driver, live);
  EXPECT_EQ(many.text, "组0通道太多!");
  EXPECT_EQ(many.caption, "通道分组错误");

  live.AnalogChannelTable[2].ChnGroupNo = 2;
  live.AnalogChannelTable[1].ChnGroupNo = 1;  // line 1 expects none
  EXPECT_EQ(ApplyChannelGroupFields(Fields("3", "0"), driver, live).text, "组0通道太少!");
}

TEST(ChannelGroupSettings, UnreadableNumbersTakeTheirDefaults) {
  LiveConfig live = OneChannelPerLine(2);
  live.SW_Num = 7;
  DriverState driver;
  ASSERT_FALSE(ApplyChannelGroupFields({"0", "2", "many", "fast", "warm"}, driver, live).refused());
  EXPECT_EQ(live.TotalPages, 1);
  EXPECT_EQ(live.SW_Num, 7);
  EXPECT_FLOAT_EQ(live.ACFrq, 50.0f);
  EXPECT_FLOAT_EQ(live.EnvTemp, 20.0f);
  ASSERT_FALSE(ApplyChannelGroupFields({"1", "2", "-5", "0", "20"}, driver, live).refused());
  EXPECT_EQ(live.SW_Num, 0);
  EXPECT_FLOAT_EQ(live.ACFrq, 0.001f);
}

// The dialog never writes a frequency a configuration file could not carry
// back, nor narrows a huge text into a float that cannot hold it.
TEST(ChannelGroupSettings, TheAcFrequencyStaysWithinItsBounds) {
  const struct {
    const char* text;
    float expected;
  } cases[] = {{"0", kMinACFrq},     {"-60", kMinACFrq}, {"0.001", kMinACFrq},         {"50", 50.0f},
               {"1e6", kMaxACFrq},   {"1e7", kMaxACFrq}, {"1e300", kMaxACFrq},         {"1e-300", kMinACFrq}};
  DriverState driver;
  for (const auto& c : cases) {
    LiveConfig live = OneChannelPerLine(2);
    ASSERT_FALSE(ApplyChannelGroupFields({"1", "2", "0", c.text, "20"}, driver, live).refused()) << c.text;
    EXPECT_FLOAT_EQ(live.ACFrq, c.expected) << c.text;
  }
}

// A multiplier applied without the checks counts as the row can hold it.
TEST(ChannelGroupSettings, RowWordsCountBoundedMultipliers) {
  LiveConfig live = OneChannelPerLine(3);
  live.AnalogChannelTable[0].MultiFreq = INT32_MAX;
  live.AnalogChannelTable[1].MultiFreq = INT32_MAX;
  live.AnalogChannelTable[2].MultiFreq = 0;
  DriverState driver;
  ASSERT_FALSE(ApplyChannelGroupFields(Fields("3", "16"), driver, live).refused());
  EXPECT_EQ(live.NumChn, 2 * kMaxMultiFreq + 1 + 1);
}

}  // namespace
