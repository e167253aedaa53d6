#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/DayTime.h"
#include "platform/MemoryRegistry.h"
#include "platform/RegistryKey.h"
#include "setup/RecorderSettings.h"

namespace {

using namespace quelvar;

const std::string kQuelvarKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";

// 1000 Hz at 50 Hz: 20 samples per cycle.
LiveConfig RecorderLive() {
  LiveConfig c;
  c.ChannelRate = 1000.0f;
  c.ACFrq = 50.0f;
  c.NumChn = 4;
  c.NumSamp = 300;
  c.MaxBlock = 300;
  c.FaultBlockNum = 10;
  c.CompressFaultBlockNum = 0;
  c.FileNum = 400;
  c.SamplesPerCycle = 20;
  return c;
}

RecorderFields FieldsOf(const char* maxBlock, const char* fault, const char* compressed) {
  RecorderFields f;
  f.maxBlock = maxBlock;
  f.faultBlock = fault;
  f.compressFaultBlock = compressed;
  f.compressRatio = "20";
  f.fileNum = "400";
  f.endBlock = "0";
  f.dispFrq = "1000";
  f.safeSaveTime = "10";
  f.fileName = "F001.DAT";
  f.safeSaveFileName = "F001-BAK.DAT";
  return f;
}

TEST(RecorderSettings, OkClampsEachFieldWithTheValuesClampedBeforeIt) {
  struct Case {
    const char *maxBlock, *fault, *compressed, *fileNum, *endBlock, *dispFrq;
    int32_t MaxBlock, FaultBlockNum, CompressFaultBlockNum, FileNum, EndBlock, QuelvarDispFrq;
  } cases[] = {
      {"10", "2", "0", "400", "0", "1000", 15, 2, 0, 400, 0, 1000},      // a short ring is raised
      {"1", "0", "0", "400", "0", "1000", 1, 1, 0, 400, 0, 1000},        // 1 is snapshot mode
      {"15", "20", "0", "400", "0", "1000", 15, 5, 0, 400, 0, 1000},     // fault at most MaxBlock - 10
      {"1", "7", "0", "400", "0", "1000", 1, 1, 0, 400, 0, 1000},        // -9 then 1
      {"200", "10", "20", "400", "0", "1000", 200, 10, 20, 400, 0, 1000},
      {"30", "10", "20", "400", "0", "1000", 30, 10, 15, 400, 0, 1000},  // MaxBlock - 5 - fault
      {"200", "-3", "-2", "5", "-7", "10", 200, 1, 0, 20, 0, 50},
      {"200", "10", "0", "400", "100", "20000", 200, 10, 0, 400, 100, 15000},
      // Not numbers: the settings in force, or the field's own default.
      {"x", "", "?", "many", "none", "-", 300, 10, 0, 400, 0, 1000},
      // At the 32-bit limits nothing overflows.
      {"2147483647", "2147483647", "2147483647", "2147483647", "2147483647", "2147483647", INT32_MAX,
       INT32_MAX - 10, 5, INT32_MAX, INT32_MAX, 15000},
      {"-2147483648", "0", "0", "0", "0", "0", 15, 0, 0, 20, 0, 50},
  };
  const LiveConfig live = RecorderLive();
  for (const Case& c : cases) {
    RecorderFields f = FieldsOf(c.maxBlock, c.fault, c.compressed);
    f.fileNum = c.fileNum;
    f.endBlock = c.endBlock;
    f.dispFrq = c.dispFrq;
    const RecorderOk ok = ReadRecorderFields(f, live, ContinuousSaveSettings{});
    const std::string at = std::string(c.maxBlock) + "/" + c.fault + "/" + c.compressed;
    ASSERT_FALSE(ok.refused()) << at << ": " << ok.refusal;
    EXPECT_EQ(ok.settings.MaxBlock, c.MaxBlock) << at;
    EXPECT_EQ(ok.settings.FaultBlockNum, c.FaultBlockNum) << at;
    EXPECT_EQ(ok.settings.CompressFaultBlockNum, c.CompressFaultBlockNum) << at;
    EXPECT_EQ(ok.settings.FileNum, c.FileNum) << at;
    EXPECT_EQ(ok.settings.EndBlock, c.EndBlock) << at;
    EXPECT_EQ(ok.settings.QuelvarDispFrq, c.QuelvarDispFrq) << at;
  }
}

TEST(RecorderSettings, RatioOfOneOrBelowACycleForACRmsBecomesTheSamplesPerCycle) {
  struct Case {
    const char* ratio;
    int compressType;
    int32_t ratioOut, typeOut;
  } cases[] = {
      {"1", 2, 20, 2},    // 1 stands for one cycle, whatever the kind
      {"10", 0, 20, 0},   // AC RMS needs a whole cycle
      {"10", 3, 10, 3},
      {"40", 0, 40, 0},
      {"x", 4, 20, 4},
      {"0", 1, 20, 1},    // below 1 counts as 1
      {"-5", 1, 20, 1},
      {"10", -1, 20, 0},  // no selection is kind 0
  };
  LiveConfig live = RecorderLive();
  live.SamplesPerCycle = 7;  // OK derives it afresh from the rates
  for (const Case& c : cases) {
    RecorderFields f = FieldsOf("200", "10", "0");
    f.compressRatio = c.ratio;
    f.compressType = c.compressType;
    const RecorderOk ok = ReadRecorderFields(f, live, ContinuousSaveSettings{});
    EXPECT_EQ(ok.settings.SamplesPerCycle, 20);
    EXPECT_EQ(ok.settings.CompressRatio, c.ratioOut) << c.ratio << " kind " << c.compressType;
    EXPECT_EQ(ok.settings.CompressType, c.typeOut) << c.ratio << " kind " << c.compressType;
  }
}

TEST(RecorderSettings, OkTakesTheSwitchesAndTheContinuousSaveFields) {
  RecorderFields f = FieldsOf("200", "10", "0");
  f.autoStart = true;
  f.autoPrint = false;
  f.autoRestore = true;
  f.endBlock = "100";
  f.continuousSave = true;
  f.fileName = "/data/run.DAT";
  f.safeSave = true;
  f.safeSaveTime = "0";
  f.safeSaveFileName = "/data/run_BAK.DAT";
  const RecorderOk ok = ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{});
  ASSERT_FALSE(ok.refused());
  EXPECT_EQ(ok.settings.AutoStart, 1);
  EXPECT_EQ(ok.settings.AutoPrint, 0);
  EXPECT_EQ(ok.settings.AutoRestoreCfg, 1);
  EXPECT_TRUE(ok.continuousSaveTold);
  EXPECT_FALSE(ok.continuousSaveRefused);
  const ContinuousSaveSettings& s = ok.settings.saving;
  EXPECT_EQ(s.idContinuousSave, 1);
  EXPECT_EQ(s.ContinuousSaveFile, "/data/run.DAT");
  EXPECT_EQ(s.idSafeSave, 1);
  EXPECT_EQ(s.SafeSaveTime, 1);
  EXPECT_EQ(s.SafeSaveFileName, "/data/run_BAK.DAT");
}

TEST(RecorderSettings, ContinuousSavingNeedsARingAndAnEndBlock) {
  struct Case {
    const char *maxBlock, *endBlock;
    bool kept;
  } cases[] = {{"200", "100", true}, {"1", "100", false}, {"200", "0", false}, {"200", "x", false}};
  for (const Case& c : cases) {
    RecorderFields f = FieldsOf(c.maxBlock, "0", "0");
    f.endBlock = c.endBlock;
    f.continuousSave = true;
    f.safeSave = true;
    const RecorderOk ok = ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{});
    ASSERT_FALSE(ok.refused());
    EXPECT_TRUE(ok.continuousSaveTold) << c.maxBlock << "/" << c.endBlock;
    EXPECT_EQ(ok.continuousSaveRefused, !c.kept) << c.maxBlock << "/" << c.endBlock;
    EXPECT_EQ(ok.settings.saving.idContinuousSave, c.kept ? 1 : 0);
    EXPECT_EQ(ok.settings.saving.idSafeSave, c.kept ? 1 : 0);
  }
  // Not ticked: nothing to tell.
  RecorderFields f = FieldsOf("1", "0", "0");
  EXPECT_FALSE(ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{}).continuousSaveTold);
}

TEST(RecorderSettings, MendedNegativeTimesInEditableFieldsAreRefusedNamingTheField) {
  // The display refresh is shown (and editable) while the block count reads 1.
  RecorderFields f = FieldsOf("1", "0", "0");
  f.dispFrq = "-20";
  RecorderOk ok = ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{});
  ASSERT_TRUE(ok.refused());
  EXPECT_EQ(ok.refusal, "显示刷新时间(ms)不能为负数！");
  EXPECT_EQ(ok.refusalCaption, "不允许退出");
  // Hidden behind the end block, it is clamped as before.
  f.maxBlock = "200";
  ok = ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{});
  ASSERT_FALSE(ok.refused());
  EXPECT_EQ(ok.settings.QuelvarDispFrq, 50);

  // The backup interval is editable while continuous saving is ticked.
  f = FieldsOf("200", "10", "0");
  f.endBlock = "100";
  f.continuousSave = true;
  f.safeSaveTime = "-3";
  ok = ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{});
  ASSERT_TRUE(ok.refused());
  EXPECT_EQ(ok.refusal, "定时备份时间(分)不能为负数！");
  f.continuousSave = false;
  ok = ReadRecorderFields(f, RecorderLive(), ContinuousSaveSettings{});
  ASSERT_FALSE(ok.refused());
  EXPECT_EQ(ok.settings.saving.SafeSaveTime, 1);
}

TEST(RecorderSettings, SettingsGoBetweenTheLiveConfigurationAndTheDialogFieldForField) {
  LiveConfig live;
  int32_t LiveConfig::*const members[] = {
      &LiveConfig::SamplesPerCycle, &LiveConfig::CompressType,   &LiveConfig::CompressRatio,
      &LiveConfig::FileNum,         &LiveConfig::MaxBlock,       &LiveConfig::FaultBlockNum,
      &LiveConfig::CompressFaultBlockNum, &LiveConfig::EndBlock, &LiveConfig::QuelvarDispFrq,
      &LiveConfig::AutoStart,       &LiveConfig::AutoRestoreCfg, &LiveConfig::AutoPrint};
  for (int i = 0; i < 12; ++i) live.*members[i] = 11 + i;
  ContinuousSaveSettings saving;
  saving.ContinuousSaveFile = "a.DAT";
  const RecorderSettings s = RecorderSettingsOf(live, saving);
  const int32_t got[] = {s.SamplesPerCycle, s.CompressType, s.CompressRatio, s.FileNum, s.MaxBlock,
                         s.FaultBlockNum, s.CompressFaultBlockNum, s.EndBlock, s.QuelvarDispFrq,
                         s.AutoStart, s.AutoRestoreCfg, s.AutoPrint};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(got[i], 11 + i) << i;
  EXPECT_EQ(s.saving.ContinuousSaveFile, "a.DAT");

  LiveConfig other;
  ContinuousSaveSettings otherSaving;
  CommitRecorderSettings(s, other, otherSaving);
  EXPECT_EQ(RecorderSettingsOf(other, otherSaving), s);
  // Nothing else of the configuration is touched.
  EXPECT_EQ(other.NumSamp, LiveConfig{}.NumSamp);
  EXPECT_EQ(other.StartNum, LiveConfig{}.StartNum);
}

TEST(RecorderSettings, DurationTextPicksItsUnitByTheSize) {
  struct Case {
    double ms;
    const char* text;
  } cases[] = {
      {0.0, "0ms"},           {999.4, "999ms"},       {12.5, "13ms"},          {1000.0, "1.0s"},
      {30000.0, "30.0s"},     {59940.0, "59.9s"},     {60000.0, "1分0秒"},     {125000.0, "2分5秒"},
      {3599999.0, "59分59秒"}, {3600000.0, "1时0分"},   {5400000.0, "1时30分"}, {86399999.0, "23时59分"},
      {86400000.0, "1天0时"},  {183600000.0, "2天3时"}, {1.0e12, "11574天1时"},
  };
  for (const Case& c : cases) EXPECT_EQ(DurationText(c.ms), c.text) << c.ms;
  EXPECT_EQ(DurationText(std::numeric_limits<double>::infinity()), "INFms");
  EXPECT_EQ(DurationText(std::numeric_limits<double>::quiet_NaN()), "NANms");
}

TEST(RecorderSettings, ReadoutsShowMemoryAndDurationsOfTheFields) {
  const LiveConfig live = RecorderLive();  // 4 channels x 300 samples at 1000 Hz, 20 per cycle
  RecorderFields f = FieldsOf("100", "10", "2");
  f.compressRatio = "1";
  RecorderReadouts r = ComputeRecorderReadouts(f, live);
  EXPECT_EQ(r.compressRatio, 20);
  EXPECT_EQ(r.faultHint, "等价采样时间3.0s");
  EXPECT_EQ(r.compressHint, "等价压缩时间12.0s");  // 2 blocks x 300 x 20 / 1000 Hz
  // (2 x 20 + 10 + 1) blocks of 0.3 s.
  EXPECT_EQ(r.status, "实时波形内存=240KB, 等价采样时间=30.0s, 手动记录时间=15.3s");

  // The record never takes the whole ring: fault at most b - 1, then the
  // compressed blocks what is left but one.
  f = FieldsOf("20", "50", "50");
  r = ComputeRecorderReadouts(f, live);
  EXPECT_EQ(r.faultHint, "等价采样时间5.7s");                      // 19 blocks
  EXPECT_EQ(r.compressHint, "等价压缩时间0ms");
  EXPECT_EQ(r.status, "实时波形内存=48KB, 等价采样时间=6.0s, 手动记录时间=6.0s");

  f.continuousSave = true;
  f.endBlock = "100";
  r = ComputeRecorderReadouts(f, live);
  EXPECT_EQ(r.status, " 连续记录文件大小:280KB, 等价采样时间：30.0s");
  f.endBlock = "x";  // 10 blocks
  EXPECT_EQ(ComputeRecorderReadouts(f, live).status, " 连续记录文件大小:64KB, 等价采样时间：3.0s");
}

TEST(RecorderSettings, MendedReadoutsAreComputedIn64BitsAndNeverGoNegative) {
  const LiveConfig live = RecorderLive();
  RecorderFields f = FieldsOf("2000000000", "10", "0");
  // 4 x 300 x 2 x 2e9 bytes: beyond 32 bits.
  EXPECT_EQ(ComputeRecorderReadouts(f, live).status.rfind("实时波形内存=4800000000KB, ", 0), 0u);
  f.continuousSave = true;
  f.endBlock = "2000000000";
  EXPECT_EQ(ComputeRecorderReadouts(f, live).status.rfind(" 连续记录文件大小:4800000040KB", 0), 0u);

  for (const char* blocks : {"0", "-5"}) {
    f = FieldsOf(blocks, "3", "4");
    const RecorderReadouts r = ComputeRecorderReadouts(f, live);
    EXPECT_EQ(r.faultHint, "等价采样时间0ms") << blocks;
    EXPECT_EQ(r.compressHint, "等价压缩时间0ms") << blocks;
    EXPECT_EQ(r.status, "实时波形内存=0KB, 等价采样时间=0ms, 手动记录时间=300ms") << blocks;
  }
  f = FieldsOf("200", "10", "0");
  f.continuousSave = true;
  f.endBlock = "-4";
  EXPECT_EQ(ComputeRecorderReadouts(f, live).status, " 连续记录文件大小:40KB, 等价采样时间：0ms");
}

TEST(RecorderSettings, MendedReadoutsWithoutASamplingRateShowNoDurationsButTheSizes) {
  for (const float rate : {0.0f, -1000.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()}) {
    LiveConfig live = RecorderLive();
    live.ChannelRate = rate;
    RecorderFields f = FieldsOf("100", "10", "2");
    RecorderReadouts r = ComputeRecorderReadouts(f, live);
    EXPECT_EQ(r.faultHint, "等价采样时间--") << rate;
    EXPECT_EQ(r.compressHint, "等价压缩时间--") << rate;
    EXPECT_EQ(r.status, "实时波形内存=240KB, 等价采样时间=--, 手动记录时间=--") << rate;
    f.continuousSave = true;
    f.endBlock = "100";
    EXPECT_EQ(ComputeRecorderReadouts(f, live).status, " 连续记录文件大小:280KB, 等价采样时间：--") << rate;
  }
}

TEST(RecorderSettings, MendedReadoutsAtTheLargestFieldsStayFiniteAndPositive) {
  // 32767 channels x (2^31 - 1) samples x 2 bytes x (2^31 - 1) blocks: far
  // beyond 64 bits; shown to the precision of a double.
  LiveConfig live = RecorderLive();
  live.NumChn = 32767;
  live.NumSamp = std::numeric_limits<int32_t>::max();
  RecorderFields f = FieldsOf("2147483647", "2147483647", "2147483647");
  RecorderReadouts r = ComputeRecorderReadouts(f, live);
  EXPECT_EQ(r.status.rfind("实时波形内存=302222231250154029056KB, 等价采样时间=", 0), 0u) << r.status;
  EXPECT_EQ(r.status.find('-'), std::string::npos) << r.status;
  EXPECT_EQ(r.faultHint.find('-'), std::string::npos) << r.faultHint;
  f.continuousSave = true;
  f.endBlock = "2147483647";
  r = ComputeRecorderReadouts(f, live);
  EXPECT_EQ(r.status.rfind(" 连续记录文件大小:302222231250154029056KB, 等价采样时间：", 0), 0u) << r.status;
  // Sizes a double holds exactly are divided as integers.
  live.NumChn = 1;
  live.NumSamp = 1;
  f = FieldsOf("2147483647", "10", "0");
  EXPECT_EQ(ComputeRecorderReadouts(f, live).status.rfind("实时波形内存=4294967KB, ", 0), 0u);
}

TEST(RecorderSettings, MendedReadoutsTakeNoCompressionSelectionAsOkDoes) {
  const LiveConfig live = RecorderLive();  // 20 samples per cycle
  RecorderFields f = FieldsOf("100", "10", "2");
  f.compressRatio = "5";
  for (const int selection : {-1, 5, 0}) {
    f.compressType = selection;
    const int32_t okRatio = ReadRecorderFields(f, live, ContinuousSaveSettings{}).settings.CompressRatio;
    EXPECT_EQ(okRatio, 20) << selection;  // kind 0 needs a whole cycle
    EXPECT_EQ(ComputeRecorderReadouts(f, live).compressRatio, okRatio) << selection;
  }
  f.compressType = 1;
  EXPECT_EQ(ComputeRecorderReadouts(f, live).compressRatio, 5);
}

TEST(RecorderSettings, EndBlockHintsAndTheSnapshotField) {
  EXPECT_EQ(EndBlockHint("0", 4, 300), "处理数据无限制");
  EXPECT_EQ(EndBlockHint("x", 4, 300), "处理数据无限制");
  EXPECT_EQ(EndBlockHint("-3", 4, 300), "处理数据无限制");
  EXPECT_EQ(EndBlockHint("100", 4, 300), "约0.2MB数据");
  EXPECT_EQ(EndBlockHint("50000", 4, 300), "约120.0MB数据");
  EXPECT_EQ(OpenerEndBlockHint(0, 4, 300), "处理无限制");
  EXPECT_EQ(OpenerEndBlockHint(100, 4, 300), "约0.2MB数据");

  EXPECT_TRUE(SnapshotBlockField("1"));
  EXPECT_TRUE(SnapshotBlockField(" 1 "));
  for (const char* text : {"10", "0", "", "x", "-1"}) EXPECT_FALSE(SnapshotBlockField(text)) << text;
}

TEST(RecorderSettings, TickingContinuousSavingGivesARingAndAnEndBlock) {
  struct Case {
    const char *maxBlock, *endBlock;
    int32_t ring, end;
  } cases[] = {{"1", "0", 10, 10},     {"x", "x", 10, 10},    {"200", "0", 200, 200},
               {"200", "50", 200, 50}, {"-3", "-1", 10, 10}, {"0", "7", 10, 7}};
  for (const Case& c : cases) {
    const ContinuousSaveFieldValues v = ContinuousSaveFieldsFor(c.maxBlock, c.endBlock);
    EXPECT_EQ(v.maxBlock, c.ring) << c.maxBlock << "/" << c.endBlock;
    EXPECT_EQ(v.endBlock, c.end) << c.maxBlock << "/" << c.endBlock;
  }
  EXPECT_EQ(StartNumFromText("17"), 17);
  EXPECT_EQ(StartNumFromText("seven"), 0);
}

TEST(RecorderSettings, BackupNameTakesBAKBeforeTheFileNamesExtension) {
  struct Case {
    const char *name, *backup;
  } cases[] = {
      {"F001.DAT", "F001_BAK.DAT"},
      {"/data/run/F001.DAT", "/data/run/F001_BAK.DAT"},
      {"a.b.c", "a.b_BAK.c"},
      // Mended: a name without an extension takes it at its end.
      {"F001", "F001_BAK"},
      {"/d/F001", "/d/F001_BAK"},
      {"", "_BAK"},
      // Mended: a dot in a directory's name is not the file's extension.
      {"/data/run.d/F001", "/data/run.d/F001_BAK"},
      {"/data/run.d/F001.DAT", "/data/run.d/F001_BAK.DAT"},
      {"./F001", "./F001_BAK"},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupFileName(c.name), c.backup) << c.name;
}

TEST(RecorderSettings, CurrentTimeNameCarriesTheLocalTime) {
  const double t = platform::EncodeDayCount({2004, 6, 6, 12, 30, 5, 0});
  EXPECT_EQ(CurrentTimeFileName(t), "F20040606123005.DAT");
}

TEST(RecorderSettings, MendedMemoryLineGivesTheAvailableShareUnderAvailable) {
  EXPECT_EQ(MemoryLine(8123456, 3330617), "注: 物理内存 8,123,456 KB, 可用 41 %");
  EXPECT_EQ(MemoryLine(1000, 250), "注: 物理内存 1,000 KB, 可用 25 %");
  EXPECT_EQ(MemoryLine(999, 999), "注: 物理内存 999 KB, 可用 100 %");
  EXPECT_EQ(MemoryLine(0, 0), "注: 物理内存 0 KB, 可用 0 %");
  EXPECT_EQ(MemoryLine(100, 500), "注: 物理内存 100 KB, 可用 100 %");
}

TEST(RecorderSettings, ContinuousSaveValuesStartSwitchedOffWithTheirNames) {
  platform::MemoryRegistry store;
  ContinuousSaveSettings s = LoadContinuousSaveSettings(store, "QuelvarTorque");
  EXPECT_EQ(s.ContinuousSaveFile, "F001.DAT");
  EXPECT_EQ(s.SafeSaveFileName, "F001-BAK.DAT");
  EXPECT_EQ(s.SafeSaveTime, 10);
  EXPECT_EQ(s.idContinuousSave, 0);
  EXPECT_EQ(s.idSafeSave, 0);

  platform::RegistryKey key(store, kQuelvarKey);
  key.WriteString("ContinuousSaveFile", "/data/run.DAT");
  key.WriteString("SafeSaveFileName", "");
  key.WriteInteger("SafeSaveTime", -4);
  key.WriteInteger("idContinuousSave", 1);
  key.WriteInteger("idSafeSave", 1);
  s = LoadContinuousSaveSettings(store, "QuelvarTorque");
  EXPECT_EQ(s.ContinuousSaveFile, "/data/run.DAT");
  EXPECT_EQ(s.SafeSaveFileName, "F001-BAK.DAT");
  EXPECT_EQ(s.SafeSaveTime, 1);
  EXPECT_EQ(s.idContinuousSave, 0);
  EXPECT_EQ(s.idSafeSave, 0);

  ContinuousSaveSettings out;
  out.idContinuousSave = 1;
  out.ContinuousSaveFile = "b.DAT";
  out.idSafeSave = 1;
  out.SafeSaveFileName = "b_BAK.DAT";
  out.SafeSaveTime = 0;
  SaveContinuousSaveSettings(store, "QuelvarTorque", out);
  EXPECT_EQ(key.ReadString("ContinuousSaveFile"), "b.DAT");
  EXPECT_EQ(key.ReadString("SafeSaveFileName"), "b_BAK.DAT");
  EXPECT_EQ(key.ReadInteger("SafeSaveTime"), 1);
  EXPECT_EQ(key.ReadInteger("idContinuousSave"), 1);
  EXPECT_EQ(key.ReadInteger("idSafeSave"), 1);
  WriteStartNum(store, "QuelvarTorque", 42);
  EXPECT_EQ(key.ReadInteger("StartNum"), 42);
}

}  // namespace
