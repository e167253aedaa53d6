#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <limits>
#include <map>
#include <string>

#include "common/ConfigBounds.h"
#include "platform/GbkText.h"
#include "platform/MemoryRegistry.h"
#include "shell/RegistrySettings.h"

namespace {

using namespace quelvar;
using platform::MemoryRegistry;

const std::string kApp = "\\SOFTWARE\\QuelvarTorque";
const std::string kCard = kApp + "\\ADCard";
const std::string kGroup = kCard + "\\Group";

RegistryContext NoDriverContext() {
  RegistryContext ctx;
  ctx.ProgramDir = "/data/prog/";
  ctx.screenFont = {"Sans", 10, kFontBold};
  ctx.printerFont = {"Serif", 11, 0};
  return ctx;
}

struct Loaded {
  LiveConfig live;
  MainViewSettings view;
  WaveViewState wave;
};

Loaded LoadAll(MemoryRegistry& reg, const RegistryContext& ctx) {
  Loaded out;
  LoadCardAndViewSettings(reg, ctx, out.live, out.view, out.wave);
  LoadAlgorithmSettings(reg, ctx, out.live);
  return out;
}

std::string AlgorithmName(const AlgorithmConfig& a) { return platform::ReadGbkField(a.Name, sizeof a.Name); }

TEST(RegistrySettings, EmptyTreeGivesEveryDefault) {
  MemoryRegistry reg;
  const Loaded l = LoadAll(reg, NoDriverContext());
  const LiveConfig& c = l.live;
  EXPECT_EQ(c.NumChn, 4);
  EXPECT_EQ(c.NumSamp, 300);
  EXPECT_EQ(c.FrqSamp, 10000);
  EXPECT_FLOAT_EQ(c.ChannelRate, 10000.0f);
  EXPECT_EQ(c.Analog_Num, 4);
  EXPECT_EQ(c.Total_Line, 4);  // every channel a line of its own
  EXPECT_EQ(c.BegChn, 4);      // the card reports switch inputs
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c.AnalogChannelTable[i].ChnName, "Chn" + std::to_string(i));
    EXPECT_EQ(c.AnalogChannelTable[i].ChnGroupNo, i);
    EXPECT_EQ(c.LineTable[i].APhaseNum, 1);
  }
  EXPECT_EQ(c.SW_Num, 0);
  EXPECT_EQ(c.SwitchChannelTable[5].SWName, "SW5");
  EXPECT_EQ(c.MaxBlock, 200);
  EXPECT_EQ(c.FaultBlockNum, 10);
  EXPECT_EQ(c.FileNum, 400);
  EXPECT_EQ(c.Algorithm_Num, 0);
  EXPECT_EQ(AlgorithmName(c.AlgorithmTable[3]), "启动算法3");
  EXPECT_EQ(c.AlgorithmTable[3].RecordTime, 200);
  EXPECT_EQ(c.ColorNum, 16);
  EXPECT_EQ(c.ColorPalette[0][4], 0xFFFFFFu);
  EXPECT_EQ(c.ColorPalette[1][16], c.ColorPalette[1][4]);  // curve colours repeat
  EXPECT_EQ(c.ADBit, 12);
  EXPECT_FLOAT_EQ(c.VZero, 2048.0f);
  EXPECT_FLOAT_EQ(c.ADMax, 4095.0f);
  EXPECT_EQ(c.SavePath, "/data/prog/");
  EXPECT_EQ(c.WinTitle, "记录示波器");
  EXPECT_EQ(c.ServerIP, "127.0.0.1");
  EXPECT_EQ(c.StartNum, 1);
  EXPECT_EQ(c.AutoRestoreCfg, 1);
  EXPECT_EQ(c.ScreenFontName, "Sans");
  EXPECT_EQ(c.ScreenFontStyle, kFontBold);
  EXPECT_EQ(c.WMFFontName, "宋体");
  EXPECT_EQ(c.PrinterFontSize, 11);
  EXPECT_EQ(c.GridOrder[291], 291);
  EXPECT_EQ(l.wave.MarkSpeedUnit, "r/min");
  EXPECT_EQ(l.view.XZoom, 4);
  EXPECT_EQ(l.view.IDMonitor, 1);
}

struct IntCase {
  const char* key;  // below the application key
  const char* name;
  int32_t stored;
  int32_t LiveConfig::*field;
  int32_t expected;
};

TEST(RegistrySettings, StoredIntegersAreClampedAsTheyAreRead) {
  const IntCase cases[] = {
      {"\\ADCard", "FilterCoe", 0, &LiveConfig::FilterCoe, 1},
      {"\\ADCard", "FilterCoe", 5000, &LiveConfig::FilterCoe, 999},
      {"\\ADCard", "ResampNum", 1, &LiveConfig::ResampNum, 2},
      {"\\ADCard", "ResampNum", 5000, &LiveConfig::ResampNum, 1000},
      {"\\ADCard", "ResampMode", 0, &LiveConfig::ResampMode, 2},
      {"\\ADCard", "ResampMode", 1, &LiveConfig::ResampMode, 1},
      {"\\ADCard", "Num_IOCtl", -4, &LiveConfig::Num_IOCtl, 0},
      {"\\ADCard\\Group", "CompressType", 5, &LiveConfig::CompressType, 1},
      {"\\ADCard\\Group", "CompressType", -1, &LiveConfig::CompressType, 1},
      {"\\ADCard\\Group", "CompressRatio", 0, &LiveConfig::CompressRatio, 1},
      {"\\ADCard\\Group", "SW_Num", 500, &LiveConfig::SW_Num, 192},
      {"\\ADCard\\Group", "SW_Num", -3, &LiveConfig::SW_Num, 0},
      {"\\ADCard\\Group", "Analog_Num", 150, &LiveConfig::Analog_Num, 100},
      {"\\ADCard\\Group", "Analog_Num", -5, &LiveConfig::Analog_Num, 0},
      {"\\Quelvar", "FileNum", 5, &LiveConfig::FileNum, 20},
      {"\\Quelvar", "EndBlock", -3, &LiveConfig::EndBlock, 0},
      {"\\Quelvar", "QuelvarDispFrq", 10, &LiveConfig::QuelvarDispFrq, 50},
      {"\\Quelvar", "QuelvarDispFrq", 20000, &LiveConfig::QuelvarDispFrq, 15000},
      {"\\Algorithm", "ConfirmTriggerNum", 0, &LiveConfig::ConfirmTriggerNum, 1},
      {"\\Algorithm", "ConfirmTriggerNum", 11, &LiveConfig::ConfirmTriggerNum, 10},
      {"\\Algorithm", "Algorithm_Num", 61, &LiveConfig::Algorithm_Num, 60},
      {"\\Algorithm", "Algorithm_Num", -1, &LiveConfig::Algorithm_Num, 0},
      {"\\Color", "WMFScaleNum", 2, &LiveConfig::WMFScaleNum, 4},
      {"\\Color", "WMFScaleNum", 1000, &LiveConfig::WMFScaleNum, 1000},
      {"\\Color", "WMFScaleNum", 2000000, &LiveConfig::WMFScaleNum, 1000},
      {"\\Color", "WMFLineWidth", 0, &LiveConfig::WMFLineWidth, 1},
      {"\\Color", "WMFLineWidth", 100, &LiveConfig::WMFLineWidth, 100},
      {"\\Color", "WMFLineWidth", 1000000, &LiveConfig::WMFLineWidth, 100},
  };
  for (const IntCase& c : cases) {
    MemoryRegistry reg;
    ASSERT_TRUE(reg.WriteInt32(kApp + c.key, c.name, c.stored));
    const Loaded l = LoadAll(reg, NoDriverContext());
    EXPECT_EQ(l.live.*c.field, c.expected) << c.name << " stored as " << c.stored;
  }
}

TEST(RegistrySettings, RecorderLengthsFitTheRing) {
  MemoryRegistry reg;
  reg.WriteInt32(kApp + "\\Quelvar", "MaxBlock", 200);
  reg.WriteInt32(kApp + "\\Quelvar", "FaultBlockNum", 195);
  reg.WriteInt32(kApp + "\\Quelvar", "CompressFaultBlockNum", 10);
  const Loaded l = LoadAll(reg, NoDriverContext());
  EXPECT_EQ(l.live.FaultBlockNum, 190);
  EXPECT_EQ(l.live.CompressFaultBlockNum, 5);
}

TEST(RegistrySettings, ChannelValuesAreBoundedAndNamesCutToTheirField) {
  MemoryRegistry reg;
  reg.WriteInt32(kGroup, "Analog_Num", 2);
  reg.WriteInt32(kGroup, "SW_Num", 1);
  reg.WriteInt32(kGroup, "ChnYWeight0", 2);
  reg.WriteInt32(kGroup, "MultiFreq0", 0);
  reg.WriteInt32(kGroup, "SWYWeight0", 1);
  reg.WriteString(kGroup, "ChnName1", std::string(45, 'x'));
  reg.WriteString(kGroup, "ChnUnits1", "");  // empty takes the default too
  reg.WriteString(kGroup, "SWName0", "断路器" + std::string(40, 'a'));
  reg.WriteDouble(kGroup, "ACFrq", 0.0);
  reg.WriteDouble(kGroup, "EnvTemp", 35.5);
  const Loaded l = LoadAll(reg, NoDriverContext());
  const LiveConfig& c = l.live;
  EXPECT_EQ(c.AnalogChannelTable[0].ChnYWeight, 5);
  EXPECT_EQ(c.AnalogChannelTable[0].MultiFreq, 1);
  EXPECT_EQ(c.SwitchChannelTable[0].SWYWeight, 5);
  EXPECT_EQ(c.AnalogChannelTable[1].ChnName, std::string(39, 'x'));
  EXPECT_EQ(c.AnalogChannelTable[1].ChnUnits, "V");
  EXPECT_EQ(c.SwitchChannelTable[0].SWName, "断路器" + std::string(33, 'a'));  // 6 + 33 bytes
  EXPECT_FLOAT_EQ(c.ACFrq, 50.0f);
  EXPECT_FLOAT_EQ(c.ColdJunctionTemp, 35.5f);
  EXPECT_EQ(c.NumChn, 3);  // two analog words and one switch word
}

TEST(RegistrySettings, RateMultipliersAndTheAcFrequencyAreBroughtIntoTheirBounds) {
  struct MultiCase {
    int32_t stored;
    int32_t expected;
  };
  const MultiCase multipliers[] = {
      {INT32_MIN, 1}, {0, 1}, {1, 1}, {4, 4}, {kMaxMultiFreq, kMaxMultiFreq}, {kMaxMultiFreq + 1, kMaxMultiFreq},
      {INT32_MAX, kMaxMultiFreq},
  };
  for (const MultiCase& m : multipliers) {
    MemoryRegistry reg;
    reg.WriteInt32(kGroup, "Analog_Num", 2);
    reg.WriteInt32(kGroup, "MultiFreq1", m.stored);
    const Loaded l = LoadAll(reg, NoDriverContext());
    EXPECT_EQ(l.live.AnalogChannelTable[1].MultiFreq, m.expected) << "stored " << m.stored;
    EXPECT_EQ(l.live.AnalogChannelTable[0].MultiFreq, 1);
  }

  struct FrequencyCase {
    double stored;
    float expected;
  };
  const FrequencyCase frequencies[] = {
      {-50.0, 50.0f},
      {0.0, 50.0f},
      {1.0e-30, 50.0f},
      {double{kMinACFrq}, 50.0f},  // the load wants more than its floor
      {0.0011, 0.0011f},
      {60.0, 60.0f},
      {double{kMaxACFrq}, kMaxACFrq},
      {2.0e6, kMaxACFrq},
      {std::numeric_limits<double>::infinity(), kMaxACFrq},
      {1.0e300, kMaxACFrq},  // beyond a float's range
      {-1.0e300, 50.0f},
      {std::numeric_limits<double>::quiet_NaN(), 50.0f},
  };
  for (const FrequencyCase& f : frequencies) {
    MemoryRegistry reg;
    reg.WriteDouble(kGroup, "ACFrq", f.stored);
    const Loaded l = LoadAll(reg, NoDriverContext());
    EXPECT_FLOAT_EQ(l.live.ACFrq, f.expected) << "stored " << f.stored;
  }
}

TEST(RegistrySettings, ShortPaletteIsCompletedFromTheDefaults) {
  MemoryRegistry reg;
  const std::string color = kApp + "\\Color";
  reg.WriteInt32(color, "ColorNum", 2);
  reg.WriteInt32(color, "Color0", 0x111111);
  reg.WriteInt32(color, "Color_0", 0x222222);
  reg.WriteInt32(color, "Color1", 0x333333);
  const Loaded l = LoadAll(reg, NoDriverContext());
  const auto& p = l.live.ColorPalette;
  EXPECT_EQ(p[0][0], 0x111111u);
  EXPECT_EQ(p[1][0], 0x222222u);
  EXPECT_EQ(p[0][1], 0x333333u);
  EXPECT_EQ(p[1][1], 0x8000u);  // stored pair incomplete: the value's default
  EXPECT_EQ(p[0][2], DefaultColorPalette[0][2]);
  EXPECT_EQ(p[1][3], DefaultColorPalette[1][3]);
  for (int slot = 4; slot < kPaletteSlots; ++slot) {
    EXPECT_EQ(p[0][slot], DefaultColorPalette[0][4 + (slot - 4) % 12]) << slot;
  }
  EXPECT_EQ(l.live.ColorNum, 16);
}

TEST(RegistrySettings, AdResolutionIsReadOnlyForTheBuiltInCardName) {
  struct Case {
    int instance;
    std::string card;
    int driverUsable;
    int32_t expectedBits;
  } cases[] = {
      {0, "ADCard", 0, 16},
      {1, "ADCard1", 0, 16},  // instances keep their resolution too
      {2, "ADCard2", 0, 16},
      {0, "PCI9111", 0, 12},  // follows VZero
      {0, "ADCard", 1, 12},
  };
  for (const Case& c : cases) {
    MemoryRegistry reg;
    RegistryContext ctx = NoDriverContext();
    ctx.InstanceNumber = c.instance;
    ctx.AppKeyName = c.instance ? "QuelvarTorque" + std::to_string(c.instance) : "QuelvarTorque";
    ctx.DriverUsable = c.driverUsable;
    reg.WriteInt32("\\SOFTWARE\\" + ctx.AppKeyName + "\\" + c.card, "ADBit", 20);
    Loaded l;
    l.live.CardNameText = c.card;
    LoadCardAndViewSettings(reg, ctx, l.live, l.view, l.wave);
    EXPECT_EQ(l.live.ADBit, c.expectedBits) << c.card;
    if (c.expectedBits == 16) {
      EXPECT_FLOAT_EQ(l.live.VZero, 32768.0f);
      EXPECT_FLOAT_EQ(l.live.ADMax, 65535.0f);
    }
  }
}

TEST(RegistrySettings, AlgorithmsAreReadWithinTheirCapacities) {
  MemoryRegistry reg;
  const std::string key = kApp + "\\Algorithm";
  reg.WriteInt32(key, "Algorithm_Num", 3);
  reg.WriteInt32(key, "Type0", 30);
  reg.WriteInt32(key, "RecordTime0", 777);
  reg.WriteInt32(key, "Type1", -2);
  reg.WriteInt32(key, "UsedChn1", 12);
  reg.WriteInt32(key, "SetPointNum1", 20);
  reg.WriteInt32(key, "Type2", 15);
  reg.WriteString(key, "Name2", "低频率保护启动算法甲");  // 20 bytes of GBK
  reg.WriteInt32(key, "AssAnalogChnNum2", 2);
  reg.WriteString(key, "AssAnalogChn2", "3,7");
  reg.WriteInt32(key, "AssSWChnNum2", 9);
  const Loaded l = LoadAll(reg, NoDriverContext());
  const auto& t = l.live.AlgorithmTable;
  EXPECT_EQ(t[0].Type, 0);
  EXPECT_EQ(t[0].RecordTime, 777);  // the stored times stay
  EXPECT_EQ(t[1].Type, 0);
  EXPECT_EQ(t[1].UsedChn, 8);
  EXPECT_EQ(t[1].SetPointNum, 13);
  EXPECT_EQ(t[2].CompressRecordTime, 600000);  // the type's default
  EXPECT_EQ(AlgorithmName(t[2]), "低频率保护启动");  // 15 bytes, never half a character
  EXPECT_EQ(t[2].AssAnalogChn[0], 3);
  EXPECT_EQ(t[2].AssAnalogChn[1], 7);
  EXPECT_EQ(t[2].AssSWChnNum, 4);
  EXPECT_EQ(AlgorithmName(t[3]), "启动算法3");
}

TEST(RegistrySettings, ViewValuesAreNormalised) {
  MemoryRegistry reg;
  const std::string key = kApp + "\\Quelvar";
  reg.WriteInt32(key, "XZoom", 3);
  reg.WriteInt32(key, "YZoom", 3);
  reg.WriteInt32(key, "IDDC", 5);
  reg.WriteInt32(key, "MarkRatioN2", 1);
  reg.WriteInt32(key, "DispScale", 2);
  reg.WriteInt32(key, "AutoPlayInterval", 50);
  reg.WriteInt32(key, "AutoPlayInc", 20);
  reg.WriteInt32(key, "IDPhase", 1);
  reg.WriteInt32(key, "IDScope", 1);
  reg.WriteInt32(key, "AbsoluteTime", 1);
  reg.WriteInt32(key, "XAxialTime", 0);
  const Loaded l = LoadAll(reg, NoDriverContext());
  EXPECT_EQ(l.view.XZoom, 32);
  EXPECT_EQ(l.view.YZoom, 2000);
  EXPECT_EQ(l.view.IDDC, 0);
  EXPECT_EQ(l.wave.MarkRatioN2, 2);
  EXPECT_EQ(l.view.DispScale, 5);
  EXPECT_EQ(l.view.AutoPlayInterval, 100);
  EXPECT_EQ(l.view.AutoPlayInc, 10);
  EXPECT_EQ(l.view.IDPhase, 0);
  EXPECT_EQ(l.view.IDScope, 0);
  EXPECT_EQ(l.view.XAxialTime, 1);
}

TEST(RegistrySettings, GraduationCountIsKeptWithinWhatAnAxisCanDraw) {
  // A stored count far beyond the screen's pixels would make the time axis
  // loop for minutes at every repaint.
  const std::pair<int32_t, int32_t> cases[] = {{3, 3}, {1000, 1000}, {1001, 1000}, {INT32_MAX, 1000}, {-7, 5}};
  for (const auto& [stored, loaded] : cases) {
    MemoryRegistry reg;
    reg.WriteInt32(kApp + "\\Quelvar", "DispScale", stored);
    EXPECT_EQ(LoadAll(reg, NoDriverContext()).view.DispScale, loaded) << stored;
  }
}

// Every value in the tree, for comparing two trees.
std::map<std::string, platform::RegistryValue> Dump(MemoryRegistry& reg, const std::string& key) {
  std::map<std::string, platform::RegistryValue> out;
  for (const std::string& name : reg.ValueNames(key)) out[key + "|" + name] = *reg.ReadValue(key, name);
  for (const std::string& sub : reg.SubkeyNames(key)) out.merge(Dump(reg, key + "\\" + sub));
  return out;
}

TEST(RegistrySettings, SaveThenLoadRestoresEverySetting) {
  RegistryContext ctx = NoDriverContext();
  ctx.PidMode = 1;
  // Start from a configuration as a start-up leaves it, then change every area.
  MemoryRegistry empty;
  Loaded start = LoadAll(empty, ctx);
  LiveConfig& live = start.live;
  MainViewSettings& view = start.view;
  WaveViewState& wave = start.wave;
  live.Analog_Num = 3;
  live.Total_Line = 3;
  live.SW_Num = 17;
  live.NumChn = 5;  // three analog words and two switch words
  live.BegChn = 3;
  live.NumSamp = 512;
  live.FrqSamp = 20000;
  live.AnalogChannelTable[2].ChnName = "转矩";
  live.AnalogChannelTable[2].ChnCoeB = 2.5f;
  live.SwitchChannelTable[16].SWStartID = 3;
  live.ColorNum = 20;
  live.ColorPalette[1][19] = 0x123456;
  live.Num_IOCtl = 3;
  live.IOCtlData = {1, 2, 3, 0};
  live.Algorithm_Num = 1;
  live.AlgorithmTable[0].Type = 13;
  live.AlgorithmTable[0].UsedChn = 2;
  live.AlgorithmTable[0].Channel[1] = 2;
  live.AlgorithmTable[0].SetPointNum = 1;
  live.AlgorithmTable[0].SetPoint[0] = 12.25f;
  live.AlgorithmTable[0].AssSWChn[3] = 9;
  live.GridOrder[0] = 7;
  live.M = 3.5f;
  live.WinTitle = "一号机组";
  view.Mark2 = 1234;
  wave.MarkSpeedUnit = "rpm";
  wave.MarkType2 = 15;
  wave.MarkAnalSpeedScale = 2.5f;
  view.XZoom = 32;
  view.DisplayWidth = 4000;

  MemoryRegistry first;
  ASSERT_TRUE(SaveConfigToRegistry(first, ctx, live, view, wave));
  Loaded l;
  LoadCardAndViewSettings(first, ctx, l.live, l.view, l.wave);
  LoadAlgorithmSettings(first, ctx, l.live);
  EXPECT_EQ(l.live.NumSamp, 512);
  EXPECT_EQ(l.live.AnalogChannelTable[2].ChnName, "转矩");
  EXPECT_FLOAT_EQ(l.live.AnalogChannelTable[2].ChnCoeB, 2.5f);
  EXPECT_EQ(l.live.SwitchChannelTable[16].SWStartID, 3);
  EXPECT_EQ(l.live.ColorPalette[1][19], 0x123456u);
  EXPECT_EQ(l.live.IOCtlData[2], 3);
  EXPECT_FLOAT_EQ(l.live.AlgorithmTable[0].SetPoint[0], 12.25f);
  EXPECT_EQ(l.live.AlgorithmTable[0].AssSWChn[3], 9);
  EXPECT_EQ(l.live.GridOrder[0], 7);
  EXPECT_FLOAT_EQ(l.live.M, 3.5f);
  EXPECT_EQ(l.live.WinTitle, "一号机组");
  EXPECT_EQ(l.view.Mark2, 1234);
  EXPECT_EQ(l.wave.MarkSpeedUnit, "rpm");
  EXPECT_EQ(l.wave.MarkType2, 15);
  EXPECT_FLOAT_EQ(l.wave.MarkAnalSpeedScale, 2.5f);
  EXPECT_EQ(l.view.DisplayWidth, 4000);

  // Saving what was loaded writes the same tree again (but the start counter).
  MemoryRegistry second;
  ASSERT_TRUE(SaveConfigToRegistry(second, ctx, l.live, l.view, l.wave));
  auto a = Dump(first, kApp);
  auto b = Dump(second, kApp);
  a.erase(kApp + "\\Quelvar|StartNum");
  for (const auto& [name, value] : a) {
    EXPECT_TRUE(b.count(name) && b.at(name) == value) << "differs after a reload: " << name;
  }
  EXPECT_EQ(a.size(), b.size());
}

TEST(RegistrySettings, PidKeyIsNeitherReadNorWrittenWithoutPidMode) {
  MemoryRegistry reg;
  reg.WriteDouble(kApp + "\\PID", "M", 9.0);
  RegistryContext ctx = NoDriverContext();
  const Loaded l = LoadAll(reg, ctx);
  EXPECT_FLOAT_EQ(l.live.M, 0.0f);
  MemoryRegistry out;
  ASSERT_TRUE(SaveConfigToRegistry(out, ctx, l.live, l.view, l.wave));
  EXPECT_FALSE(out.KeyExists(kApp + "\\PID"));
  ctx.PidMode = 1;
  EXPECT_FLOAT_EQ(LoadAll(reg, ctx).live.M, 9.0f);
}

TEST(RegistrySettings, EveryStartRaisesTheStartCounter) {
  MemoryRegistry reg;
  LoadAll(reg, NoDriverContext());
  EXPECT_EQ(LoadAll(reg, NoDriverContext()).live.StartNum, 2);
  EXPECT_EQ(reg.ReadInt32(kApp + "\\Quelvar", "StartNum"), 2);
}

TEST(RegistrySettings, DeletingTheTreeRemovesEveryKeyBelowIt) {
  MemoryRegistry reg;
  LiveConfig live;
  ASSERT_TRUE(SaveConfigToRegistry(reg, NoDriverContext(), live, MainViewSettings{}, WaveViewState{}));
  reg.WriteInt32(kApp + "\\FormSize\\Deeper\\Still", "X", 1);
  reg.WriteInt32("\\SOFTWARE\\QuelvarTorque1\\Quelvar", "StartNum", 5);
  ASSERT_TRUE(DeleteRegistryTree(reg, kApp));
  EXPECT_FALSE(reg.KeyExists(kApp));
  EXPECT_FALSE(reg.KeyExists(kGroup));
  EXPECT_EQ(reg.ReadInt32("\\SOFTWARE\\QuelvarTorque1\\Quelvar", "StartNum"), 5);  // other instance untouched
  EXPECT_TRUE(DeleteRegistryTree(reg, kApp));  // nothing left to delete is fine
}

}  // namespace
