#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "common/ConfigBounds.h"
#include "setup/ChannelGroupSettings.h"
#include "setup/channel_tables_support.h"

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
      {"101", "0", 0, 112, 192, "模拟通道数超过了 100"},
      {"-1", "0", 0, 112, 192, "模拟通道线路配置错误!"},
      {"x", "0", 0, 112, 192, "模拟通道数: 'x' is not a valid integer value"},
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
  DriverState driver;
  ASSERT_FALSE(ApplyChannelGroupFields({"0", "2", "7", "fast", "warm"}, driver, live).refused());
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

// A row longer than the card takes used to be accepted: the next start then
// refused it, and a configuration file saved from it was rejected.
TEST(ChannelGroupSettings, RowWordsCountBoundedMultipliers) {
  LiveConfig live = OneChannelPerLine(3);
  live.AnalogChannelTable[0].MultiFreq = INT32_MAX;  // counted as kMaxMultiFreq
  live.AnalogChannelTable[1].MultiFreq = INT32_MAX;
  live.AnalogChannelTable[2].MultiFreq = 0;          // counted as 1
  const LiveConfig before = live;
  DriverState driver;
  const ChannelGroupRefusal r = ApplyChannelGroupFields(Fields("3", "16"), driver, live);
  EXPECT_EQ(r.text, "每行采样字数(各通道频率加快倍数之和加开关量字数)超过了 32767");
  EXPECT_EQ(r.caption, "不允许退出");
  testing_support::ExpectSameChannelSettings(live, before);

  // Exactly a full row passes: one switch word and multipliers summing to 32766.
  live.AnalogChannelTable[0].MultiFreq = kMaxRowWords - 3;
  live.AnalogChannelTable[1].MultiFreq = 1;
  ASSERT_FALSE(ApplyChannelGroupFields(Fields("3", "16"), driver, live).refused());
  EXPECT_EQ(live.NumChn, kMaxRowWords);
  live.AnalogChannelTable[1].MultiFreq = 2;
  EXPECT_TRUE(ApplyChannelGroupFields(Fields("3", "16"), driver, live).refused());
}

// The page count is brought into what the page tables hold, at both ends.
TEST(ChannelGroupSettings, PageCountStaysWithinThePageTables) {
  const struct {
    const char* text;
    std::optional<int32_t> pages;
  } cases[] = {{"0", 1},        {"-5", 1},   {"3", 3},     {"292", 292},
               {"293", 292},    {"2147483647", 292},      {"x", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(TotalPagesFromText(c.text), c.pages) << c.text;
  LiveConfig live = OneChannelPerLine(2);
  DriverState driver;
  ASSERT_FALSE(ApplyChannelGroupFields({"100000", "2", "0", "50", "20"}, driver, live).refused());
  EXPECT_EQ(live.TotalPages, 292);
}

// The frequency and temperature edits show rounded values: without a text
// (the edit was not changed) the live values stay bit-identical.
TEST(ChannelGroupSettings, UnchangedFrequencyAndTemperatureStayAsTheyWere) {
  LiveConfig live = OneChannelPerLine(2);
  live.ACFrq = 0.004f;
  live.EnvTemp = 20.125f;
  DriverState driver;
  ASSERT_FALSE(ApplyChannelGroupFields({"1", "2", "0", std::nullopt, std::nullopt}, driver, live).refused());
  EXPECT_EQ(live.ACFrq, 0.004f);
  EXPECT_EQ(live.EnvTemp, 20.125f);
  ASSERT_FALSE(ApplyChannelGroupFields({"1", "2", "0", "0.00", "20.13"}, driver, live).refused());
  EXPECT_EQ(live.ACFrq, kMinACFrq);
  EXPECT_FLOAT_EQ(live.EnvTemp, 20.13f);
}


// A refused OK used to leave the frequency, temperature, pages, groups and
// switch count written; the opener then saved them.
TEST(ChannelGroupSettings, RefusedOkWritesNothing) {
  struct Case {
    ChannelGroupFields fields;
    int32_t maxChannels;
    int usable;
    const char* text;
  } cases[] = {
      {{"x", "4", "0", "60", "30"}, 112, 0, "图形分页数: 'x' is not a valid integer value"},
      {{"3", "", "0", "60", "30"}, 112, 0, "模拟通道数: '' is not a valid integer value"},
      {{"3", "101", "0", "60", "30"}, 112, 0, "模拟通道数超过了 100"},
      {{"3", "5", "0", "60", "30"}, 112, 0, "组2通道太多!"},
      {{"3", "4", "1.5", "60", "30"}, 112, 0, "开关量个数: '1.5' is not a valid integer value"},
      {{"3", "4", "100", "60", "30"}, 112, 1, "采集卡不支持这么多开关量通道!"},
      {{"3", "4", "17", "60", "30"}, 5, 0, "AD板总通道数超过了 5"},
  };
  for (const Case& c : cases) {
    LiveConfig live = OneChannelPerLine(4);
    live.AnalogChannelTable[3].ChnGroupNo = 77;  // clamped only by an accepted OK
    live.AnalogChannelTable[4].ChnGroupNo = 2;   // a second channel on line 2
    live.SW_Num = 3;
    const LiveConfig before = live;
    DriverState driver;
    driver.DriverUsable = c.usable;
    driver.CardMaxChannels = c.maxChannels;
    driver.CardMaxSwitchChannels = 64;
    const ChannelGroupRefusal r = ApplyChannelGroupFields(c.fields, driver, live);
    EXPECT_EQ(r.text, c.text);
    SCOPED_TRACE(c.text);
    testing_support::ExpectSameChannelSettings(live, before);
    EXPECT_EQ(live.AnalogChannelTable[3].ChnGroupNo, 77);
  }
}

TEST(ChannelGroupSettings, SwitchWordsAndMultipliersMakeTheRow) {
  struct Case {
    const char* analog;
    const char* binary;
    int32_t fastChannelRate;  // multiplier of channel 0
    int32_t numVChn, numChn, swNum;
  } cases[] = {
      {"8", "17", 1, 10, 10, 17},
      {"8", "17", 4, 10, 13, 17},
      {"0", "17", 1, 2, 2, 17},    // no lines: the switch words alone
      {"0", "0", 1, 0, 0, 0},
      {"8", "200", 1, 20, 20, 192},  // limited before the card's check
      {"8", "-3", 1, 8, 8, 0},
  };
  for (const Case& c : cases) {
    LiveConfig live = OneChannelPerLine(8);
    live.AnalogChannelTable[0].MultiFreq = c.fastChannelRate;
    DriverState driver;
    driver.DriverUsable = 1;
    driver.CardMaxSwitchChannels = 192;
    const ChannelGroupRefusal r = ApplyChannelGroupFields(Fields(c.analog, c.binary), driver, live);
    ASSERT_FALSE(r.refused()) << r.text;
    EXPECT_EQ(live.NumVChn, c.numVChn) << c.analog << "/" << c.binary;
    EXPECT_EQ(live.NumChn, c.numChn) << c.analog << "/" << c.binary;
    EXPECT_EQ(live.SW_Num, c.swNum) << c.analog << "/" << c.binary;
  }
  LiveConfig live = OneChannelPerLine(8);
  DriverState card16;
  card16.CardMaxChannels = 16;
  EXPECT_EQ(ApplyChannelGroupFields(Fields("15", "17"), card16, live).text, "AD板总通道数超过了 16");
}

TEST(ChannelGroupSettings, SamplesPerCycleReadOutNeverDivides) {
  const struct {
    float rate;
    const char* text;
    int32_t expected;
  } cases[] = {
      {10000.0f, "50", 200},        {10000.0f, "50.9", 200},   // whole hertz
      {10000.0f, "abc", 200},       {10000.0f, "", 200},       // 50 Hz
      {10000.0f, "0.5", 20000},     {10000.0f, "0", SamplesPerCycleOf(10000.0f, kMinACFrq)},  // below 1 Hz: as OK stores it
      {10000.0f, "-7", SamplesPerCycleOf(10000.0f, kMinACFrq)},   {10.0f, "50", 1},          // at least 1
      {1.0e9f, "0", kMaxSamplesPerCycle},
  };
  for (const auto& c : cases) EXPECT_EQ(SampPerPeriodFromText(c.rate, c.text), c.expected) << c.text;
}

TEST(ChannelGroupSettings, EnvironmentTemperatureHintNamesTheProbeChannel) {
  LiveConfig live = OneChannelPerLine(8);
  live.AnalogChannelTable[3].ChnName = "室温";
  live.AnalogChannelTable[0].ChnName = "T0";
  const struct {
    const char* text;
    const char* hint;
  } cases[] = {{"-103", "<=-100时用室温探头:室温"}, {"-103.9", "<=-100时用室温探头:室温"},
               {"-100", "<=-100时用室温探头:T0"},   {"-99.9", "<=-100时用室温探头:?"},
               {"25", "<=-100时用室温探头:?"},      {"warm", "<=-100时用室温探头:?"},
               {"-108", "<=-100时用室温探头:?"},    {"-1e300", "<=-100时用室温探头:?"}};
  for (const auto& c : cases) EXPECT_EQ(EnvTempHint(c.text, live), c.hint) << c.text;
}

TEST(ChannelGroupSettings, MultiplierModeFollowsTheDriverOrTheTemporaryConfiguration) {
  const struct {
    int32_t temp;
    bool entry;
    int32_t maxMulti;
    int32_t mode;
  } cases[] = {{0, true, 1, 1}, {0, false, 4, 0}, {1, false, 2, 1}, {1, true, 1, 0}, {2, true, 4, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(MultiFreqModeOf(c.temp, c.entry, c.maxMulti), c.mode) << c.temp << c.entry << c.maxMulti;
  }
}

}  // namespace
