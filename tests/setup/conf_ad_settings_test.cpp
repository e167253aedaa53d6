#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "setup/ConfADSettings.h"
#include "shell/record_file_support.h"

namespace {

using namespace quelvar;

// A driver whose per-channel rate is the nominal one shared by the channels;
// it remembers what it was asked.
int32_t askedChannels = -1;
int32_t askedFrequency = -1;
float SharedRate(int32_t analogNum, int32_t frqSamp) {
  askedChannels = analogNum;
  askedFrequency = frqSamp;
  return static_cast<float>(frqSamp) / static_cast<float>(analogNum);
}
float NanRate(int32_t, int32_t) { return std::numeric_limits<float>::quiet_NaN(); }
float NegativeRate(int32_t, int32_t) { return -5.0f; }

TEST(ConfADSettings, EditTextsAreReadAsWholeOrHexadecimalNumbers) {
  struct Case {
    const char* text;
    std::optional<int32_t> integer;
    std::optional<uint32_t> hex;
  } cases[] = {
      {"140", 140, 0x140},
      {"  -7 ", -7, std::nullopt},
      {"+12", 12, std::nullopt},
      {"2147483647", INT32_MAX, std::nullopt},
      {"-2147483648", INT32_MIN, std::nullopt},
      {"2147483648", std::nullopt, std::nullopt},  // beyond 32 bits as a decimal, and 9 hex digits
      {"d8000", std::nullopt, 0xD8000},
      {"FFFFFFFF", std::nullopt, 0xFFFFFFFFu},
      {"100000000", 100000000, std::nullopt},  // 9 hex digits do not fit
      {"0x10", std::nullopt, std::nullopt},    // no prefixes
      {"", std::nullopt, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"1 2", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDialogInteger(c.text), c.integer) << '"' << c.text << '"';
    EXPECT_EQ(ParseDialogHex(c.text), c.hex) << '"' << c.text << '"';
  }
  EXPECT_EQ(HexText(320), "140");
  EXPECT_EQ(HexText(0xD8000), "D8000");
  EXPECT_EQ(HexText(0), "0");
  EXPECT_EQ(HexText(0xFFFFFFFFu), "FFFFFFFF");
}

TEST(ConfADSettings, FieldExitsWriteBackTheirClampedValues) {
  EXPECT_EQ(ChannelCountFromText("6"), 6);
  EXPECT_EQ(ChannelCountFromText("0"), 1);
  EXPECT_EQ(ChannelCountFromText("x"), 1);
  // 341 x 3 = 1023 is one short of the card's minimum block.
  EXPECT_EQ(SamplesPerChannelFromTexts("300", "3", 1024), 342);
  EXPECT_EQ(SamplesPerChannelFromTexts("300", "4", 1024), 300);
  EXPECT_EQ(SamplesPerChannelFromTexts("600", "4", 1024), 600);
  EXPECT_EQ(SamplesPerChannelFromTexts("-5", "4", 1), 1);
  EXPECT_EQ(SamplesPerChannelFromTexts("x", "4", 1024), 512);  // taken as 1 sample of 2 channels
  EXPECT_EQ(SamplesPerChannelFromTexts("300", "0", 1024), 1024);  // no channels counts as one, never a division by 0
  struct Case {
    const char* text;
    int32_t filterCoe, resampNum;
  } cases[] = {{"x", 950, 2}, {"0", 1, 2}, {"-4", 1, 2}, {"1000", 999, 1000}, {"1001", 999, 1000},
               {"500", 500, 500}, {"1", 1, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(FilterCoeFromText(c.text), c.filterCoe) << c.text;
    EXPECT_EQ(ResampNumFromText(c.text), c.resampNum) << c.text;
  }
  EXPECT_EQ(MinimumSamplesHint(1024, 3), "最小值=341");
  EXPECT_EQ(MinimumSamplesHint(1024, 0), "");
}

TEST(ConfADSettings, FrequencyLineFollowsTheDriverTheLentConfigurationAndTheResampling) {
  struct Case {
    const char* frq;
    bool temporary, pid, resampling;
    int32_t factor;
    AdChannelFrqFn driver;
    float expected;
  } cases[] = {
      {"8000", false, false, false, 4, SharedRate, 2000.0f},
      {"8000", false, false, true, 4, SharedRate, 500.0f},    // divided by the dialog's factor
      {"8000", true, false, true, 4, SharedRate, 8000.0f},    // a lent configuration: the nominal rate
      {"8000", false, false, true, 4, nullptr, 8000.0f},      // no rate entry: the nominal rate
      {"8000", false, true, false, 4, SharedRate, 8000.0f},   // PID: asked for one channel
      {"x", false, false, false, 4, SharedRate, 25.0f},       // no number: 100 Hz
      {"8000", false, false, true, 0, SharedRate, 2000.0f},   // a factor below 1 does not divide
      {"8000", false, false, false, 4, NanRate, 1.0f},
      {"8000", false, false, false, 4, NegativeRate, 1.0f},
      {"-50", true, false, false, 4, SharedRate, 1.0f},
  };
  for (const Case& c : cases) {
    DialogRateInputs in;
    in.frqSampText = c.frq;
    in.temporaryConfig = c.temporary;
    in.analogNum = 4;
    in.pidEnable = c.pid;
    in.resampling = c.resampling;
    in.resampFactor = c.factor;
    in.channelFrq = c.driver;
    EXPECT_FLOAT_EQ(DialogChannelRate(in), c.expected) << c.frq << " temporary " << c.temporary;
  }
  EXPECT_EQ(ChannelRateLine(10000.0f), "每通道采样频率=10000 Hz");
  EXPECT_EQ(ChannelRateLine(10000.0f / 3.0f), "每通道采样频率=3333.333 Hz");
  EXPECT_EQ(OpenerChannelRateLine(2500.0f), "每通道采样频率=2500.000 Hz");
  EXPECT_EQ(OpenerChannelRateLine(10000.0f / 3.0f), "每通道采样频率=3333.333 Hz");
}

TEST(ConfADSettings, ResolutionMustMatchTheZeroCode) {
  EXPECT_TRUE(VZeroMatchesADBit(2048.0f, 12));
  EXPECT_TRUE(VZeroMatchesADBit(2048.9f, 12));  // the fraction is cut off
  EXPECT_FALSE(VZeroMatchesADBit(2048.0f, 16));
  EXPECT_TRUE(VZeroMatchesADBit(32768.0f, 16));
  EXPECT_FALSE(VZeroMatchesADBit(65536.0f, 17));  // 16 bits cannot hold 2^16
  EXPECT_FALSE(VZeroMatchesADBit(1.0f, 0));
  EXPECT_FALSE(VZeroMatchesADBit(std::numeric_limits<float>::quiet_NaN(), 12));
}

TEST(ConfADSettings, VirtualCardIsForcedWithoutDriverOrForWideSamples) {
  struct Case {
    int32_t usable, adBit;
    bool forced;
    const char* notice;
  } cases[] = {
      {1, 12, false, ""},
      {0, 12, true, "提示：无驱动程序"},
      {1, 17, true, "提示：要求AD位数<=16,但实际为17"},
      {0, 20, true, "提示：要求AD位数<=16,但实际为20"},  // the later notice stays
  };
  for (const Case& c : cases) {
    const SimulateSwitchRule rule = SimulateSwitchFor(c.usable, c.adBit);
    EXPECT_EQ(rule.forceTicked, c.forced) << c.adBit;
    EXPECT_EQ(rule.notice, c.notice) << c.adBit;
  }
}

TEST(ConfADSettings, ReplayDelayTakesIntegersOnlyAndNeverGoesNegative) {
  EXPECT_EQ(SimulateIntervalFromAnswer("40", 10), 40);
  EXPECT_EQ(SimulateIntervalFromAnswer("-5", 10), 0);
  EXPECT_EQ(SimulateIntervalFromAnswer("fast", 10), 10);
  EXPECT_EQ(SimulateIntervalFromAnswer("fast", -3), 0);
  EXPECT_EQ(SimulateIntervalCaption(40), "仿真数据块时延(40ms)");
}

TEST(ConfADSettings, OnlyAValidRecordFileBecomesTheReplaySource) {
  test::RecordDir dir;
  const std::string good = dir.File("F1.DAT");
  const RecordPackage package = test::MakePackage(0, 2, 10, 4, test::SomeStartTime());
  const WriteResult written = WriteRecordFileAs(good, package);
  ASSERT_TRUE(written.ok) << written.error;
  const std::string bad = dir.File("bad.DAT");
  test::WriteBytes(bad, "not a record");

  LiveConfig live;
  EXPECT_FALSE(ChooseReplayFile(bad, live));
  EXPECT_EQ(live.SimulateFile, bad);  // the name stays
  EXPECT_EQ(live.SimulateType, 0);
  EXPECT_TRUE(ChooseReplayFile(good, live));
  EXPECT_EQ(live.SimulateFile, good);
  EXPECT_EQ(live.SimulateType, 1);
  EXPECT_FALSE(ChooseReplayFile(dir.File("missing.DAT"), live));
  EXPECT_EQ(live.SimulateType, 1);  // a refusal keeps the source
}

// The texts of a dialog showing the start-up settings.
ConfADFields StartupFields() {
  ConfADFields f;
  f.ioBase = "140";
  f.physAddr = "D8000";
  f.irqNum = "5";
  f.begChn = "0";
  f.numChn = "4";
  f.numBuf = "10";
  f.numSamp = "300";
  f.frqSamp = "10000";
  f.ampGain = "1";
  f.adBit = "12";
  f.filterCoe = "950";
  f.resampNum = "2";
  return f;
}

DriverState UsableDriver() {
  DriverState d;
  d.DriverUsable = 1;
  d.CardMaxChannels = 16;
  d.CardMinBlockSamples = 1024;
  return d;
}

TEST(ConfADSettings, OkWritesEveryFieldIntoTheLiveSettings) {
  ConfADFields f = StartupFields();
  f.ioBase = "2a0";
  f.physAddr = "C8000";
  f.irqNum = "7";
  f.begChn = "3";
  f.numChn = "6";
  f.numBuf = "20";
  f.numSamp = "500";
  f.frqSamp = "20000";
  f.ampGain = "8";
  f.adBit = "14";
  f.filter = true;
  f.filterCoe = "900";
  f.resampling = true;
  f.resampNum = "5";
  f.keepLastPoint = false;
  f.randomSpikes = true;
  LiveConfig live;
  live.VZero = 2000.0f;  // a driver's own values give way to the resolution
  live.ADMax = 4000.0f;
  const ConfADOutcome out = ApplyConfADFields(f, UsableDriver(), 0.0f, live);
  EXPECT_FALSE(out.notANumber);
  EXPECT_FALSE(out.simulateTicked);
  EXPECT_FALSE(out.askBlockRate);
  EXPECT_EQ(live.SimulateAD, 0);
  EXPECT_EQ(live.SimulateRandom, 1);
  EXPECT_EQ(live.IOBase, 0x2A0);
  EXPECT_EQ(live.PhysAddr, 0xC8000u);
  EXPECT_EQ(live.IRQNum, 7);
  EXPECT_EQ(live.BegChn, 3);
  EXPECT_EQ(live.NumChn, 6);
  EXPECT_EQ(live.NumBuf, 20);
  EXPECT_EQ(live.NumSamp, 500);
  EXPECT_EQ(live.FrqSamp, 20000);
  EXPECT_EQ(live.AmpGain, 8);
  EXPECT_EQ(live.ADBit, 14);
  EXPECT_FLOAT_EQ(live.VZero, 8192.0f);
  EXPECT_FLOAT_EQ(live.ADMax, 16383.0f);
  EXPECT_EQ(live.OnlineFilter, 1);
  EXPECT_EQ(live.FilterCoe, 900);
  EXPECT_EQ(live.OnlineResamp, 1);
  EXPECT_EQ(live.ResampNum, 5);
  EXPECT_EQ(live.ResampMode, 0);
}

TEST(ConfADSettings, OkClampsOutOfRangeFields) {
  struct Case {
    const char* what;
    void (*edit)(ConfADFields&);
    bool (*check)(const LiveConfig&);
  } cases[] = {
      {"IRQ 16 is 5", [](ConfADFields& f) { f.irqNum = "16"; }, [](const LiveConfig& l) { return l.IRQNum == 5; }},
      {"IRQ -1 is 5", [](ConfADFields& f) { f.irqNum = "-1"; }, [](const LiveConfig& l) { return l.IRQNum == 5; }},
      {"first channel 40 is 0", [](ConfADFields& f) { f.begChn = "40"; },
       [](const LiveConfig& l) { return l.BegChn == 0; }},
      {"buffer count 1 is 5", [](ConfADFields& f) { f.numBuf = "1"; },
       [](const LiveConfig& l) { return l.NumBuf == 5; }},
      {"buffer count beyond 16 bits saturates", [](ConfADFields& f) { f.numBuf = "70000"; },
       [](const LiveConfig& l) { return l.NumBuf == 65535; }},
      {"channel count 0 is 1", [](ConfADFields& f) { f.numChn = "0"; },
       [](const LiveConfig& l) { return l.NumChn == 1 && l.NumSamp == 1024; }},
      {"channel count above the card's is the card's", [](ConfADFields& f) { f.numChn = "40"; },
       [](const LiveConfig& l) { return l.NumChn == 16; }},
      {"300 samples of 3 channels are 342", [](ConfADFields& f) { f.numChn = "3"; },
       [](const LiveConfig& l) { return l.NumSamp == 342; }},
      {"samples at least 1", [](ConfADFields& f) { f.numSamp = "-9"; f.numChn = "16"; },
       [](const LiveConfig& l) { return l.NumSamp == 64; }},
      {"gain without a number is 1", [](ConfADFields& f) { f.ampGain = "big"; },
       [](const LiveConfig& l) { return l.AmpGain == 1; }},
      {"resolution 20 is 16", [](ConfADFields& f) { f.adBit = "20"; },
       [](const LiveConfig& l) { return l.ADBit == 16 && l.VZero == 32768.0f && l.ADMax == 65535.0f; }},
      {"resolution 4 is 8", [](ConfADFields& f) { f.adBit = "4"; },
       [](const LiveConfig& l) { return l.ADBit == 8 && l.VZero == 128.0f && l.ADMax == 255.0f; }},
      {"resolution without a number stays", [](ConfADFields& f) { f.adBit = "?"; },
       [](const LiveConfig& l) { return l.ADBit == 10 && l.VZero == 512.0f && l.ADMax == 1023.0f; }},
      {"filter and factor without numbers take their defaults",
       [](ConfADFields& f) { f.filterCoe = ""; f.resampNum = "x"; },
       [](const LiveConfig& l) { return l.FilterCoe == 950 && l.ResampNum == 2; }},
      {"filter and factor clamped", [](ConfADFields& f) { f.filterCoe = "0"; f.resampNum = "5000"; },
       [](const LiveConfig& l) { return l.FilterCoe == 1 && l.ResampNum == 1000; }},
  };
  for (const Case& c : cases) {
    ConfADFields f = StartupFields();
    c.edit(f);
    LiveConfig live;
    live.ADBit = 10;
    const ConfADOutcome out = ApplyConfADFields(f, UsableDriver(), 0.0f, live);
    EXPECT_FALSE(out.notANumber) << c.what;
    EXPECT_TRUE(c.check(live)) << c.what;
  }
}

TEST(ConfADSettings, FieldWithoutADefaultStopsOkAfterTheFieldsBeforeIt) {
  ConfADFields f = StartupFields();
  f.ioBase = "1F0";
  f.physAddr = "C0000";
  f.irqNum = "9";
  f.begChn = "two";
  f.numChn = "8";
  LiveConfig live;
  const LiveConfig before = live;
  const ConfADOutcome out = ApplyConfADFields(f, UsableDriver(), 0.0f, live);
  ASSERT_TRUE(out.notANumber);
  EXPECT_EQ(*out.notANumber, "two");
  EXPECT_EQ(NotAnIntegerMessage(*out.notANumber), "'two' is not a valid integer value");
  EXPECT_EQ(live.IOBase, 0x1F0);
  EXPECT_EQ(live.PhysAddr, 0xC0000u);
  EXPECT_EQ(live.IRQNum, 9);
  EXPECT_EQ(live.BegChn, before.BegChn);
  EXPECT_EQ(live.NumChn, before.NumChn);
  EXPECT_EQ(live.FrqSamp, before.FrqSamp);

  // Every field of the steps without defaults stops OK the same way.
  for (std::string ConfADFields::*field : {&ConfADFields::ioBase, &ConfADFields::physAddr, &ConfADFields::irqNum,
                                          &ConfADFields::begChn, &ConfADFields::numChn, &ConfADFields::numBuf,
                                          &ConfADFields::numSamp, &ConfADFields::frqSamp}) {
    ConfADFields g = StartupFields();
    g.*field = "?";
    LiveConfig l;
    l.ResampNum = 7;
    EXPECT_TRUE(ApplyConfADFields(g, UsableDriver(), 0.0f, l).notANumber);
    EXPECT_EQ(l.ResampNum, 7);  // nothing after the stop is stored
  }
}

TEST(ConfADSettings, WithoutADriverOkKeepsTheVirtualCard) {
  ConfADFields f = StartupFields();
  f.simulate = false;
  f.irqNum = "none";  // the virtual card is set before anything can stop OK
  LiveConfig live;
  const ConfADOutcome out = ApplyConfADFields(f, DriverState{}, 0.0f, live);
  EXPECT_TRUE(out.simulateTicked);
  EXPECT_EQ(live.SimulateAD, 1);
  EXPECT_TRUE(out.notANumber);

  f.simulate = true;
  EXPECT_FALSE(ApplyConfADFields(f, UsableDriver(), 0.0f, live).simulateTicked);
  EXPECT_EQ(live.SimulateAD, 1);
}

TEST(ConfADSettings, FastBlocksOnTheRealCardAskForConfirmation) {
  struct Case {
    float keptRate;
    const char* numSamp;
    bool simulate;
    bool ask;
  } cases[] = {
      {10000.0f, "100", false, true},   // 100 blocks per second
      {10000.0f, "100", true, false},   // the virtual card paces itself
      {5000.0f, "100", false, false},   // 50 per second is still fine
      {10000.0f, "300", false, false},
  };
  for (const Case& c : cases) {
    ConfADFields f = StartupFields();
    f.numSamp = c.numSamp;
    f.numChn = "1";
    f.simulate = c.simulate;
    DriverState d = UsableDriver();
    d.CardMinBlockSamples = 1;
    LiveConfig live;
    EXPECT_EQ(ApplyConfADFields(f, d, c.keptRate, live).askBlockRate, c.ask) << c.keptRate << " " << c.numSamp;
  }
}

TEST(ConfADSettings, LentConfigurationScalesTheRememberedRate) {
  EXPECT_FLOAT_EQ(ScaledChannelRate(20000, 10000, 9000.0f), 18000.0f);
  EXPECT_FLOAT_EQ(ScaledChannelRate(5000, 0, 9000.0f), 5000.0f);  // nothing to scale from
  EXPECT_FLOAT_EQ(ScaledChannelRate(-20000, 10000, 9000.0f), 1.0f);
  EXPECT_FLOAT_EQ(ScaledChannelRate(0, 10000, 9000.0f), 0.0f);  // 0 stays 0
}

}  // namespace
