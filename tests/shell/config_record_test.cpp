#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>

#include "common/LiveConfig.h"
#include "platform/GbkText.h"
#include "shell/ConfigRecord.h"

namespace quelvar {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// A configuration unlike the start values in every area the record carries,
// and in the settings beside it. SimulateAD keeps its start value: it is not
// applied, so a fresh receiver could not match it.
LiveConfig RichConfig() {
  LiveConfig c;
  c.CardNameText = "采集卡二";
  c.IOBase = 0x300;
  c.IRQNum = 7;
  c.NumBuf = 12;
  c.AmpGain = 2;
  c.BegChn = 1;
  c.NumChn = 16;
  c.PhysAddr = 0xE0000;
  c.NumSamp = 500;
  c.FrqSamp = 20000;
  c.StartParam = 4000;
  c.MaxMultiFreq = 4;
  c.NumVChn = 8;
  c.ChannelRate = 20000.5f;
  c.VZero = 32768.0f;
  c.ADMax = 65535.0f;
  c.ADBit = 16;

  c.ColorNum = 72;
  for (int row = 0; row < 2; ++row) {
    for (int slot = 0; slot < kPaletteSlots; ++slot) c.ColorPalette[row][slot] = 0x010000u * (row + 1) + slot * 3 + 1;
  }
  c.ScreenFontName = "宋体";
  c.WMFFontName = "黑体";
  c.PrinterFontName = "Courier New";
  c.ScreenFontSize = 10;
  c.WMFFontSize = 11;
  c.PrinterFontSize = 12;
  c.ScreenFontStyle = kFontBold;
  c.WMFFontStyle = kFontItalic | kFontUnderline;
  c.PrinterFontStyle = kFontStrikeOut;

  c.Bus_Num = 2;
  c.Line_Num = 3;
  c.Total_Line = 5;
  c.Analog_Num = 12;
  c.SW_Num = 20;
  c.SpareFactor = 2.25f;
  for (int i = 0; i <= kMaxLines; ++i) c.LineFirstChannel[i] = i * 3;
  for (int i = 0; i < kMaxAnalogChannels; ++i) c.AnalogDisplayOrder[i] = kMaxAnalogChannels - 1 - i;
  c.ACFrq = 60.0f;
  c.EnvTemp = 25.5f;
  c.ColdJunctionTemp = 18.0f;
  c.TotalPages = 3;
  c.CompressRatio = 4;
  c.CompressType = 2;
  for (int i = 0; i < kMaxLines; ++i) {
    AnalConfig& line = c.LineTable[i];
    line.AName = "线路" + std::to_string(i);
    line.Units = "kV";
    line.GroupNo = i % 7;
    line.APhaseNum = 3;
    line.AStartID = i * 4;
    line.GroupTag = {static_cast<uint8_t>(i), 1, 2, 3};
    line.Work[0] = static_cast<float>(i);
  }
  for (int i = 0; i < kMaxSwitchInputs; ++i) {
    SwitchChannel& s = c.SwitchChannelTable[i];
    s.SWName = "开关" + std::to_string(i);
    s.Reserved1 = i + 1;
    s.SWStartID = i + 2;
    s.Reserved2 = i + 3;
    s.SWPageNo = i % 5;
    s.SWPreRecordTime = 100 + i;
    s.SWRecordTime = 600 + i;
    s.SWCompressRecordTime = 50 + i;
    s.SWBCompressType = 1;
    s.SWYWeight = 40 + i % 9;
  }
  for (int i = 0; i < kMaxAnalogChannels; ++i) {
    AnalogChannel& ch = c.AnalogChannelTable[i];
    ch.ChnName = "通道" + std::to_string(i) + "电流";
    ch.ChnUnits = "A";
    ch.ChnGroupNo = i / 4;
    ch.ChnCoeA = 0.5f + i;
    ch.ChnCoeB = 2.0f - i;
    ch.ChnIDDC = i % 2;
    ch.ChnPageNo = i % 3 + 1;
    ch.ChnPreAmp = 10.0f;
    ch.ChnACompressType = 3;
    ch.ChnDigiPoint = 2;
    ch.ChnYWeight = 80 + i;
    ch.ChnAxialZero = 30000 + i;
    ch.MultiFreq = 1 + i % 4;
  }

  c.MaxBlock = 300;
  c.FaultBlockNum = 20;
  c.CompressFaultBlockNum = 5;
  c.FileNum = 123;
  c.QuelvarDispFrq = 500;

  c.IDStartBin = 1;
  c.IDStartAnalog = 0;
  c.IDPreventSameAlgorithm = 0;
  c.TriggerTimeRange = 100;
  c.TriggerUpNum = 3;
  c.Algorithm_Num = 5;
  for (int i = 0; i < kMaxAlgorithms; ++i) {
    AlgorithmConfig& a = c.AlgorithmTable[i];
    a.Type = i % 10;
    platform::WriteGbkField("算法" + std::to_string(i), a.Name, sizeof a.Name);
    a.UsedChn = 2;
    a.Channel[0] = i;
    a.Channel[1] = i + 1;
    a.SetPointNum = 3;
    for (int k = 0; k < kAlgorithmSetPoints; ++k) a.SetPoint[k] = 0.25f * (i + k);
    a.PreRecordTime = 150;
    a.RecordTime = 900 + i;
    a.CompressRecordTime = 30;
    a.AssAnalogChnNum = 1;
    a.AssAnalogChn[0] = 7;
    a.AssSWChnNum = 2;
    a.AssSWChn[1] = 9;
    a.Spare = -i;
  }

  c.PIDMode = 1;
  c.IOBaseDA = 0x220;
  c.DABit = 12;
  c.IOBaseIO = 0x230;
  c.DANumChn = 2;
  c.ADiChn = 3;
  c.DAiChn = 1;
  c.DAEnable = 1;
  c.SV = 2.5f;
  c.M = 0.5f;
  c.Kp = 3.0f;
  c.Ti = 4.0f;
  c.Td = 0.25f;

  c.IDIncludeDate = 0;
  c.IDIncludePageNo = 0;
  c.PrintScaleNum = 5;
  c.PageSpaceLeftCM = 2.0f;
  c.PageSpaceRightCM = 1.5f;
  c.PageSpaceUpCM = 2.5f;
  c.PageSpaceBottomCM = 3.0f;
  c.LineSpaceCM = 0.5f;
  c.PerPointCM = 0.01f;
  c.PerSampTime = 100.0f;
  c.WavePage = 2;
  c.IDWaveColor = 1;
  c.IDGraphInst = 1;
  c.IDFixedScale = 1;
  c.IDAutoCover = 1;

  c.NumScheduleSave = 4;
  c.idMaskScheduleSave = 0x5;
  for (int i = 0; i < kScheduleEntries; ++i) {
    ScheduleEntry& e = c.ScheduleTable[i];
    e.Type = static_cast<uint8_t>(i % 3);
    e.TimedMode = static_cast<uint8_t>(i % 3);
    e.SafeBackup = 1;
    e.Reserved1 = static_cast<uint8_t>(i);
    e.Hour = static_cast<int16_t>(i);
    e.Minute = static_cast<int16_t>(10 + i);
    e.Second = static_cast<int16_t>(20 + i);
    e.BackupMin = 5;
    e.DurationSec = 3600.5 + i;
  }

  c.SimulateRandom = 1;
  c.SimulateFile = "/data/sim.dat";
  c.FilterCoe = 900;
  c.IOCtlData = {1, 2, 3};
  c.SavePath = "/data/rec";
  c.IDBGWhite = 1;
  c.WinTitle = "录波";
  c.ServerIP = "10.0.0.2";
  c.ConfirmTriggerNum = 6;
  for (int i = 0; i < kMaxDisplayPositions; ++i) c.GridOrder[i] = static_cast<uint16_t>(kMaxDisplayPositions - i);
  return c;
}

ConfigRecord Built(const LiveConfig& live, const ConfigBuildExtras& extras = {}) {
  ConfigRecord r;
  BuildConfigRecord(live, extras, r);
  return r;
}

// Offset of the first differing byte, -1 when the records are identical.
long FirstDifference(const ConfigRecord& a, const ConfigRecord& b) {
  const auto* pa = reinterpret_cast<const unsigned char*>(&a);
  const auto* pb = reinterpret_cast<const unsigned char*>(&b);
  for (size_t i = 0; i < sizeof a; ++i) {
    if (pa[i] != pb[i]) return static_cast<long>(i);
  }
  return -1;
}

// Everything in the live configuration the record does not carry.
auto Uncarried(const LiveConfig& c) {
  return std::tie(c.SimulateAD, c.SimulateRandom, c.SimulateInterval, c.SimulateType, c.SimulateFile, c.OnlineFilter,
                  c.FilterCoe, c.OnlineResamp, c.ResampNum, c.ResampMode, c.AutoSendIOCtl, c.IOCtl_OutSize,
                  c.Num_IOCtl, c.IOCtlData, c.ColorPalette, c.SavePath, c.GraphMetafile, c.SizeScreen, c.IsColor,
                  c.WMFScaleNum, c.IDBGWhite, c.IDIncludeInst, c.WMFLineWidth, c.ColdJunctionTemp, c.GridOrder,
                  c.WinTitle, c.StartNum, c.EndBlock, c.AutoPrint, c.ServerIP, c.AutoStart, c.AutoRestoreCfg,
                  c.NetworkStatus, c.ConfirmTriggerNum, c.DANumChn);
}

void ExpectSameConfig(const LiveConfig& expected, const LiveConfig& actual) {
  EXPECT_EQ(FirstDifference(Built(expected), Built(actual)), -1);
  EXPECT_TRUE(Uncarried(expected) == Uncarried(actual));
  EXPECT_EQ(expected.CardNameText, actual.CardNameText);
  for (int i = 0; i < kMaxLines; ++i) {
    EXPECT_EQ(expected.LineTable[i].Work, actual.LineTable[i].Work) << "line " << i;
    EXPECT_EQ(expected.LineTable[i].AName, actual.LineTable[i].AName) << "line " << i;
  }
  for (int i = 0; i < kMaxAnalogChannels; ++i) {
    EXPECT_EQ(expected.AnalogChannelTable[i].ChnName, actual.AnalogChannelTable[i].ChnName) << "channel " << i;
  }
  for (int i = 0; i < kMaxSwitchInputs; ++i) {
    EXPECT_EQ(expected.SwitchChannelTable[i].SWName, actual.SwitchChannelTable[i].SWName) << "switch " << i;
  }
}

// --- Layout ---------------------------------------------------------------

TEST(ConfigRecordLayout, SizeAndLeadingBytes) {
  EXPECT_EQ(kConfigRecordSize, 40728u);
  EXPECT_EQ(sizeof(ConfigRecord), 40728u);
  const ConfigRecord r = Built(LiveConfig{}, {.PresentationMode = 1, .XZoom = 2, .DisplayWidth = 800});
  const unsigned char expected[12] = {0x18, 0x9F, 0x00, 0x00, 0x02, 0x00, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(&r, expected, sizeof expected), 0);
}

TEST(ConfigRecordLayout, EntriesWhoseOrderDiffersFromTheLiveOnesLandInTheirFields) {
  LiveConfig live;
  SwitchChannel& s = live.SwitchChannelTable[3];
  s.Reserved1 = 11;
  s.SWStartID = 12;
  s.Reserved2 = 13;
  s.SWPageNo = 14;
  AnalogChannel& ch = live.AnalogChannelTable[5];
  ch.ChnPageNo = 21;
  ch.ChnIDDC = 22;
  const ConfigRecord r = Built(live, {.PresentationMode = 0, .XZoom = 31, .DisplayWidth = 32});
  const ConfigSwitchEntry& rs = r.Switches[3];
  EXPECT_EQ(std::tie(rs.Reserved1, rs.SWStartID, rs.Reserved2, rs.SWPageNo), std::make_tuple(11, 12, 13, 14));
  EXPECT_EQ(r.Channels[5].ChnPageNo, 21);
  EXPECT_EQ(r.Channels[5].ChnIDDC, 22);
  EXPECT_EQ(r.XZoom, 31);
  EXPECT_EQ(r.DisplayWidth, 32);
}

// --- Round trips ----------------------------------------------------------

TEST(ConfigRecordRoundTrip, BuildApplyBuildGivesIdenticalBytes) {
  const ConfigBuildExtras view{.PresentationMode = 1, .XZoom = 4, .DisplayWidth = 1024};
  const ConfigRecord first = Built(RichConfig(), view);
  LiveConfig receiver;
  ASSERT_EQ(ApplyConfigRecord(first, receiver), 1);
  EXPECT_EQ(FirstDifference(first, Built(receiver, view)), -1);
}

TEST(ConfigRecordRoundTrip, OwnRecordChangesNothingButTheColdJunctionTemperature) {
  for (const LiveConfig& original : {LiveConfig{}, RichConfig()}) {
    LiveConfig live = original;
    ASSERT_EQ(ApplyConfigRecord(Built(original), live), 1);
    EXPECT_EQ(live.ColdJunctionTemp, original.EnvTemp);
    LiveConfig expected = original;
    expected.ColdJunctionTemp = original.EnvTemp;
    ExpectSameConfig(expected, live);
  }
}

// --- Validation -----------------------------------------------------------

struct RecordCase {
  const char* name;
  void (*change)(ConfigRecord&);
};

std::string CaseName(const testing::TestParamInfo<RecordCase>& info) { return info.param.name; }
void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// RichConfig uses algorithms 0..4 and channels 0..11.
const RecordCase kRejected[] = {
    {"RecordSizeOneShort", [](ConfigRecord& r) { r.RecordSize = 40727; }},
    {"PresentationModeTwo", [](ConfigRecord& r) { r.PresentationMode = 2; }},
    {"PresentationModeNegative", [](ConfigRecord& r) { r.PresentationMode = -1; }},
    {"ADBitSeventeen", [](ConfigRecord& r) { r.ADBit = 17; }},
    {"ADBitSeven", [](ConfigRecord& r) { r.ADBit = 7; }},
    {"ColorNumThree", [](ConfigRecord& r) { r.ColorNum = 3; }},
    {"ColorNumBeyondPalette", [](ConfigRecord& r) { r.ColorNum = 73; }},
    {"NumChnNegative", [](ConfigRecord& r) { r.NumChn = -1; }},
    {"AnalogNumBeyondChannelTable", [](ConfigRecord& r) { r.Analog_Num = 101; }},
    {"AnalogNumNegative", [](ConfigRecord& r) { r.Analog_Num = -1; }},
    {"SwitchNumBeyondSwitchTable", [](ConfigRecord& r) { r.SW_Num = 193; }},
    {"SwitchNumNegative", [](ConfigRecord& r) { r.SW_Num = -1; }},
    {"VZeroEqualsADMax", [](ConfigRecord& r) { r.VZero = r.ADMax; }},
    {"VZeroAboveADMax", [](ConfigRecord& r) { r.VZero = r.ADMax + 1; }},
    // Mended rules.
    {"TotalLineBeyondLineTable", [](ConfigRecord& r) { r.Total_Line = 101; }},
    {"TotalLineNegative", [](ConfigRecord& r) { r.Total_Line = -1; }},
    {"AlgorithmNumBeyondAlgorithmTable", [](ConfigRecord& r) { r.Algorithm_Num = 61; }},
    {"AlgorithmNumNegative", [](ConfigRecord& r) { r.Algorithm_Num = -1; }},
    {"UsedAlgorithmChannelsBeyondItsChannelList", [](ConfigRecord& r) { r.Algorithms[4].UsedChn = 9; }},
    {"UsedAlgorithmChannelsNegative", [](ConfigRecord& r) { r.Algorithms[0].UsedChn = -1; }},
    {"UsedAlgorithmSetPointsBeyondItsSetPointList", [](ConfigRecord& r) { r.Algorithms[2].SetPointNum = 14; }},
    {"UsedAlgorithmAnalogAssociatesBeyondItsList", [](ConfigRecord& r) { r.Algorithms[1].AssAnalogChnNum = 5; }},
    {"UsedAlgorithmSwitchAssociatesBeyondItsList", [](ConfigRecord& r) { r.Algorithms[3].AssSWChnNum = 5; }},
    {"ScheduleNumBeyondScheduleTable", [](ConfigRecord& r) { r.NumScheduleSave = 11; }},
    {"ScheduleNumNegative", [](ConfigRecord& r) { r.NumScheduleSave = -1; }},
    {"NoSamplesPerBlock", [](ConfigRecord& r) { r.NumSamp = 0; }},
    {"NoBlocksPerRecordFile", [](ConfigRecord& r) { r.MaxBlock = 0; }},
    {"NoMultiFrequencyDivisor", [](ConfigRecord& r) { r.MaxMultiFreq = 0; }},
    {"UsedChannelMultiFrequencyZero", [](ConfigRecord& r) { r.Channels[11].MultiFreq = 0; }},
    {"UsedChannelMultiFrequencyNegative", [](ConfigRecord& r) { r.Channels[0].MultiFreq = -2; }},
    {"ChannelRateNaN", [](ConfigRecord& r) { r.ChannelRate = kNaN; }},
    {"ChannelRateInfinite", [](ConfigRecord& r) { r.ChannelRate = kInfinity; }},
    {"ChannelRateZero", [](ConfigRecord& r) { r.ChannelRate = 0.0f; }},
    {"ChannelRateNegative", [](ConfigRecord& r) { r.ChannelRate = -10.0f; }},
    {"VZeroNaN", [](ConfigRecord& r) { r.VZero = kNaN; }},
    {"VZeroZero", [](ConfigRecord& r) { r.VZero = 0.0f; }},
    {"VZeroNegative", [](ConfigRecord& r) { r.VZero = -5.0f; }},
    {"ADMaxInfinite", [](ConfigRecord& r) { r.ADMax = kInfinity; }},
    {"ADMaxNaN", [](ConfigRecord& r) { r.ADMax = kNaN; }},
};

const RecordCase kAccepted[] = {
    {"Unchanged", [](ConfigRecord&) {}},
    {"PresentationModeZero", [](ConfigRecord& r) { r.PresentationMode = 0; }},
    {"PresentationModeOne", [](ConfigRecord& r) { r.PresentationMode = 1; }},
    {"ADBitEight", [](ConfigRecord& r) { r.ADBit = 8; }},
    {"ColorNumFour", [](ConfigRecord& r) { r.ColorNum = 4; }},
    {"NumChnZero", [](ConfigRecord& r) { r.NumChn = 0; }},
    {"AnalogNumZero", [](ConfigRecord& r) { r.Analog_Num = 0; }},
    {"AnalogNumWholeTable", [](ConfigRecord& r) { r.Analog_Num = 100; }},
    {"SwitchNumWholeTable", [](ConfigRecord& r) { r.SW_Num = 192; }},
    {"TotalLineWholeTable", [](ConfigRecord& r) { r.Total_Line = 100; }},
    {"AlgorithmNumWholeTable", [](ConfigRecord& r) { r.Algorithm_Num = 60; }},
    {"AlgorithmNumZeroWithBadEntries", [](ConfigRecord& r) { r.Algorithm_Num = 0, r.Algorithms[0].UsedChn = 9; }},
    {"UnusedAlgorithmChannelsNine", [](ConfigRecord& r) { r.Algorithms[5].UsedChn = 9; }},
    {"UnusedChannelMultiFrequencyZero", [](ConfigRecord& r) { r.Channels[12].MultiFreq = 0; }},
    {"AlgorithmListsFull", [](ConfigRecord& r) {
       r.Algorithms[0].UsedChn = 8, r.Algorithms[0].SetPointNum = 13;
       r.Algorithms[0].AssAnalogChnNum = 4, r.Algorithms[0].AssSWChnNum = 4;
     }},
    {"ScheduleNumZero", [](ConfigRecord& r) { r.NumScheduleSave = 0; }},
    {"ScheduleNumWholeTable", [](ConfigRecord& r) { r.NumScheduleSave = 10; }},
};

class ConfigRecordRejects : public testing::TestWithParam<RecordCase> {};

TEST_P(ConfigRecordRejects, AndLeavesTheReceiverUnchanged) {
  ConfigRecord record = Built(RichConfig());
  GetParam().change(record);
  EXPECT_EQ(ValidateConfigRecord(record), 0);
  LiveConfig receiver;
  const LiveConfig before = receiver;
  EXPECT_EQ(ApplyConfigRecord(record, receiver), 0);
  ExpectSameConfig(before, receiver);
}

INSTANTIATE_TEST_SUITE_P(Rules, ConfigRecordRejects, testing::ValuesIn(kRejected), CaseName);

class ConfigRecordAccepts : public testing::TestWithParam<RecordCase> {};

TEST_P(ConfigRecordAccepts, AndApplies) {
  ConfigRecord record = Built(RichConfig());
  GetParam().change(record);
  EXPECT_EQ(ValidateConfigRecord(record), 1);
  LiveConfig receiver;
  EXPECT_EQ(ApplyConfigRecord(record, receiver), 1);
  EXPECT_EQ(receiver.Analog_Num, record.Analog_Num);
}

INSTANTIATE_TEST_SUITE_P(Bounds, ConfigRecordAccepts, testing::ValuesIn(kAccepted), CaseName);

// The types of all 60 records and the counts of those beyond the used ones
// are not refused but made safe, on the checked and the unchecked path.
TEST(ConfigRecordAlgorithms, AreSanitisedWhenApplied) {
  ConfigRecord record = Built(RichConfig());
  record.Algorithms[1].Type = 40;
  record.Algorithms[7].Type = -3;
  record.Algorithms[7].UsedChn = 9;
  std::memset(record.Algorithms[8].Name, 'A', sizeof record.Algorithms[8].Name);
  for (const bool checked : {true, false}) {
    SCOPED_TRACE(checked);
    LiveConfig receiver;
    if (checked) {
      ASSERT_EQ(ApplyConfigRecord(record, receiver), 1);
    } else {
      ApplyConfigRecordUnchecked(record, receiver);
    }
    EXPECT_EQ(receiver.AlgorithmTable[1].Type, 0);
    EXPECT_EQ(receiver.AlgorithmTable[1].RecordTime, record.Algorithms[1].RecordTime);
    EXPECT_EQ(receiver.AlgorithmTable[7].Type, 0);
    EXPECT_EQ(receiver.AlgorithmTable[7].UsedChn, 8);
    EXPECT_EQ(receiver.AlgorithmTable[8].Name[15], 0);
    EXPECT_EQ(std::memcmp(&receiver.AlgorithmTable[2], &record.Algorithms[2], sizeof(AlgorithmConfig)), 0);
  }
}

TEST(ConfigRecordAlgorithms, OwnRecordPutBackUncheckedHasItsCountsClamped) {
  ConfigRecord record = Built(RichConfig());
  record.Algorithms[0].UsedChn = 12;  // refused by the check, as foreign records always were
  record.Algorithms[0].AssSWChnNum = -1;
  EXPECT_EQ(ValidateConfigRecord(record), 0);
  LiveConfig receiver;
  ApplyConfigRecordUnchecked(record, receiver);
  EXPECT_EQ(receiver.AlgorithmTable[0].UsedChn, 8);
  EXPECT_EQ(receiver.AlgorithmTable[0].AssSWChnNum, 0);
}

// --- Palette --------------------------------------------------------------

uint32_t Word(const LiveConfig& c, int k) { return c.ColorPalette[k / kPaletteSlots][k % kPaletteSlots]; }

TEST(ConfigRecordPalette, CarriesColorNumTimesEightBytesOfBothRows) {
  struct Case {
    int32_t colorNum;
    int carriedWords;
  };
  const Case cases[] = {{16, 32}, {72, 144}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colorNum);
    LiveConfig sender = RichConfig();
    sender.ColorNum = c.colorNum;
    const ConfigRecord record = Built(sender);
    for (int k = 0; k < kConfigPaletteWords; ++k) {
      EXPECT_EQ(record.ColorPalette[k], k < c.carriedWords ? Word(sender, k) : 0u) << "word " << k;
    }

    LiveConfig receiver;
    for (auto& row : receiver.ColorPalette) row.fill(0x00ABCDEF);
    ASSERT_EQ(ApplyConfigRecord(record, receiver), 1);
    EXPECT_EQ(receiver.ColorNum, c.colorNum);
    for (int k = 0; k < kConfigPaletteWords; ++k) {
      EXPECT_EQ(Word(receiver, k), k < c.carriedWords ? Word(sender, k) : 0x00ABCDEFu) << "word " << k;
    }
  }
}

// --- Texts ----------------------------------------------------------------

struct TextCase {
  const char* what;
  std::string sent;
  std::string received;
  void (*set)(LiveConfig&, const std::string&);
  const std::string& (*get)(const LiveConfig&);
};

TEST(ConfigRecordTexts, CutToTheFieldWithoutSplittingACharacter) {
  const std::string han = "电";  // two bytes in GBK
  const std::string letters40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
  const TextCase cases[] = {
      {"line name of 40 letters", letters40, letters40.substr(0, 31),
       [](LiveConfig& c, const std::string& t) { c.LineTable[7].AName = t; },
       [](const LiveConfig& c) -> const std::string& { return c.LineTable[7].AName; }},
      {"channel unit of 20 letters", "abcdefghijklmnopqrst", "abcdefghijklmno",
       [](LiveConfig& c, const std::string& t) { c.AnalogChannelTable[3].ChnUnits = t; },
       [](const LiveConfig& c) -> const std::string& { return c.AnalogChannelTable[3].ChnUnits; }},
      {"switch name of 16 Chinese characters", Repeat(han, 16), Repeat(han, 15),
       [](LiveConfig& c, const std::string& t) { c.SwitchChannelTable[191].SWName = t; },
       [](const LiveConfig& c) -> const std::string& { return c.SwitchChannelTable[191].SWName; }},
      {"channel name filling 31 bytes exactly", "A" + Repeat(han, 16), "A" + Repeat(han, 15),
       [](LiveConfig& c, const std::string& t) { c.AnalogChannelTable[99].ChnName = t; },
       [](const LiveConfig& c) -> const std::string& { return c.AnalogChannelTable[99].ChnName; }},
      {"line unit with a character across byte 15", "kV" + Repeat(han, 7), "kV" + Repeat(han, 6),
       [](LiveConfig& c, const std::string& t) { c.LineTable[0].Units = t; },
       [](const LiveConfig& c) -> const std::string& { return c.LineTable[0].Units; }},
      {"card name of 8 Chinese characters", Repeat(han, 8), Repeat(han, 7),
       [](LiveConfig& c, const std::string& t) { c.CardNameText = t; },
       [](const LiveConfig& c) -> const std::string& { return c.CardNameText; }},
      {"font name of 8 Chinese characters", Repeat(han, 8), Repeat(han, 7),
       [](LiveConfig& c, const std::string& t) { c.PrinterFontName = t; },
       [](const LiveConfig& c) -> const std::string& { return c.PrinterFontName; }},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    LiveConfig sender;
    c.set(sender, c.sent);
    LiveConfig receiver;
    ASSERT_EQ(ApplyConfigRecord(Built(sender), receiver), 1);
    EXPECT_EQ(c.get(receiver), c.received);
  }
}

// --- What stays the receiver's own -----------------------------------------

TEST(ConfigRecordView, ViewValuesAndSimulationAreNotApplied) {
  LiveConfig sender = RichConfig();
  sender.SimulateAD = 1;
  const ConfigRecord sent = Built(sender, {.PresentationMode = 1, .XZoom = 8, .DisplayWidth = 1600});

  LiveConfig receiver;
  const ConfigBuildExtras ownView{.PresentationMode = 0, .XZoom = 2, .DisplayWidth = 640};
  ASSERT_EQ(ApplyConfigRecord(sent, receiver), 1);
  EXPECT_EQ(receiver.SimulateAD, 0);

  // Apart from those four fields the receiver now writes the sender's record.
  ConfigRecord expected = sent;
  expected.SimulateAD = 0;
  expected.PresentationMode = ownView.PresentationMode;
  expected.XZoom = ownView.XZoom;
  expected.DisplayWidth = ownView.DisplayWidth;
  EXPECT_EQ(FirstDifference(expected, Built(receiver, ownView)), -1);
}

// --- Mended faults ---------------------------------------------------------

TEST(ConfigRecordMended, FileNumBelowTwentyArrivesAsTwentySoPruningKeepsRecordFiles) {
  const int32_t cases[][2] = {{5, 20}, {0, 20}, {-3, 20}, {19, 20}, {20, 20}, {21, 21}, {400, 400}};
  for (const auto& [sent, arrived] : cases) {
    LiveConfig sender;
    sender.FileNum = sent;
    LiveConfig receiver;
    ASSERT_EQ(ApplyConfigRecord(Built(sender), receiver), 1);
    EXPECT_EQ(receiver.FileNum, arrived) << "sent " << sent;
  }
}

TEST(ConfigRecordMended, ColorNumFourArrivesAsFiveSoTheCurveColourRuleNeverDividesByZero) {
  const int32_t cases[][2] = {{4, 5}, {5, 5}, {16, 16}};
  for (const auto& [sent, arrived] : cases) {
    LiveConfig sender = RichConfig();
    sender.ColorNum = sent;
    LiveConfig receiver;
    const LiveConfig before = receiver;
    ASSERT_EQ(ApplyConfigRecord(Built(sender), receiver), 1);
    EXPECT_EQ(receiver.ColorNum, arrived) << "sent " << sent;
    // The palette copy follows the sent count, not the raised one.
    for (int k = 0; k < kConfigPaletteWords; ++k) {
      EXPECT_EQ(Word(receiver, k), k < sent * 2 ? Word(sender, k) : Word(before, k)) << "sent " << sent << " word " << k;
    }
  }
}

TEST(ConfigRecordMended, CardNameThatWouldLeaveItsDirectoryKeepsTheReceiversName) {
  struct Case {
    const char* sent;
    const char* arrived;
  };
  const Case cases[] = {
      {"../x", "ADCard"},
      {"a/b", "ADCard"},
      {"a\\b", "ADCard"},
      {"..", "ADCard"},
      {"x..y", "ADCard"},
      {"Card-2", "Card-2"},
      {"v1.2", "v1.2"},
      {"乗采集", "乗采集"},  // 乗 ends in the byte of '\' in GBK
  };
  for (const Case& c : cases) {
    LiveConfig sender;
    sender.CardNameText = c.sent;
    LiveConfig receiver;
    ASSERT_EQ(ApplyConfigRecord(Built(sender), receiver), 1);
    EXPECT_EQ(receiver.CardNameText, c.arrived) << "sent " << c.sent;
  }
}

}  // namespace
}  // namespace quelvar
