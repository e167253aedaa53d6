// Composite definition files: their exact bytes, the length check that
// guards every read, and the corrections applied to what a file holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "auxwin/CompositeFile.h"

namespace {

using namespace quelvar;

class CompositeFileTest : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-cpd-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Put(const std::string& bytes) {
    const std::string path = (dir / "def.cpd").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

std::string Header(int32_t count, int32_t columns, int32_t font, int32_t chars) {
  std::string h = "CPDF";
  for (int32_t v : {count, columns, font, chars}) h.append(reinterpret_cast<const char*>(&v), 4);
  return h;
}

CompositeDef TwoItems() {
  CompositeDef def;
  def.Count = 2;
  def.Columns = 3;
  def.FontSize = 24;
  def.Chars = 9;
  def.Items.assign(2, BlankCompositeItem());
  def.Items[0] = {5, 3, kCompositeAverage, kCompositeInside, {}, -1.5, 2.25};
  SetCompositeItemName(def.Items[0], "电压kV");
  def.Items[1] = {120, 0, 1, kCompositeBelow, {}, 0.0, 1.0};
  SetCompositeItemName(def.Items[1], "断路器");
  return def;
}

TEST_F(CompositeFileTest, ADefinitionIsWrittenAsHeaderAndItemsAndReadBackTheSame) {
  const CompositeDef def = TwoItems();
  const std::string path = (dir / "out.cpd").string();
  std::string error;
  ASSERT_TRUE(WriteCompositeDef(def, path, error)) << error;
  const std::string bytes = Bytes(path);
  ASSERT_EQ(bytes.size(), 20u + 2 * 48);
  EXPECT_EQ(bytes.substr(0, 20), Header(2, 3, 24, 9));
  // Item 0 at offset 20: channel, decimals, kind, alarm, GBK label, values.
  int32_t fields[4];
  std::memcpy(fields, bytes.data() + 20, sizeof fields);
  EXPECT_EQ(fields[0], 5);
  EXPECT_EQ(fields[1], 3);
  EXPECT_EQ(fields[2], 1);
  EXPECT_EQ(fields[3], 3);
  EXPECT_EQ(std::string(bytes.data() + 36), "\xB5\xE7\xD1\xB9kV");  // 电压kV in GBK
  double v2 = 0;
  std::memcpy(&v2, bytes.data() + 20 + 40, 8);
  EXPECT_EQ(v2, 2.25);

  CompositeDef back;
  ASSERT_TRUE(ReadCompositeDef(back, path));
  EXPECT_EQ(back.Count, 2);
  EXPECT_EQ(back.Columns, 3);
  EXPECT_EQ(back.FontSize, 24);
  EXPECT_EQ(back.Chars, 9);
  ASSERT_EQ(back.Items.size(), 2u);
  EXPECT_EQ(std::memcmp(back.Items.data(), def.Items.data(), 2 * sizeof(CompositeItem)), 0);
  EXPECT_EQ(CompositeItemName(back.Items[1]), "断路器");
}

TEST_F(CompositeFileTest, TheFileMustHoldItsItemsAndMayHoldMore) {
  const std::string whole = CompositeDefBytes(TwoItems());
  struct Case {
    std::string bytes;
    bool taken;
  } cases[] = {
      {whole, true},
      {whole + "x", true},                          // one byte long: the rest is not read
      {whole.substr(0, whole.size() - 1), false},   // one byte short
      {whole.substr(0, 20), false},                 // the header alone
      {whole.substr(0, 19), false},
      {"", false},
      {"CPDX" + whole.substr(4), false},
      {Header(0, 1, 30, 7), false},
      {Header(-1, 1, 30, 7) + whole.substr(20), false},
      // A count whose items no file could hold: refused, nothing allocated.
      {Header(0x7FFFFFFF, 1, 30, 7) + whole.substr(20), false},
  };
  for (const Case& c : cases) {
    CompositeDef def;
    def.Count = 77;
    const bool taken = ReadCompositeDef(def, Put(c.bytes));
    EXPECT_EQ(taken, c.taken) << c.bytes.size();
    if (!c.taken) {
      EXPECT_EQ(def.Count, 77) << "a refused file changes nothing";
    }
  }
  CompositeDef def;
  EXPECT_FALSE(ReadCompositeDef(def, (dir / "missing.cpd").string()));
  EXPECT_FALSE(ReadCompositeDef(def, dir.string()));
}

TEST_F(CompositeFileTest, ItemsBeyondWhatTheEditorHoldsAreLeftOut) {
  // A file of 1500 items: the first 1000 are taken.
  const std::string one = CompositeDefBytes(TwoItems()).substr(20, sizeof(CompositeItem));
  std::string items;
  for (int i = 0; i < 1500; ++i) items += one;
  CompositeDef def;
  ASSERT_TRUE(ReadCompositeDef(def, Put(Header(1500, 4, 30, 7) + items)));
  EXPECT_EQ(def.Count, kCompositeMaxEditorItems);
  EXPECT_EQ(def.Items.size(), static_cast<size_t>(kCompositeMaxEditorItems));
}

TEST_F(CompositeFileTest, HeaderNumbersOutOfRangeAreCorrected) {
  const std::string items = CompositeDefBytes(TwoItems()).substr(20);
  struct Case {
    int32_t columns, font, chars;
    int32_t wantColumns, wantFont, wantChars;
  } cases[] = {
      {0, 3, -2, 1, 6, 7},
      {-5, 6, 1, 1, 6, 1},
      {4, 100000, 100000, 4, kCompositeMaxFontSize, kCompositeMaxChars},
  };
  for (const Case& c : cases) {
    CompositeDef def;
    ASSERT_TRUE(ReadCompositeDef(def, Put(Header(2, c.columns, c.font, c.chars) + items)));
    EXPECT_EQ(def.Columns, c.wantColumns);
    EXPECT_EQ(def.FontSize, c.wantFont);
    EXPECT_EQ(def.Chars, c.wantChars);
  }
}

TEST_F(CompositeFileTest, UnknownCodesAndAnUnterminatedLabelAreMadeSafeOnRead) {
  CompositeDef def = TwoItems();
  def.Items[0].Kind = 99;
  def.Items[0].Alarm = -3;
  def.Items[0].Decimals = 1000000;
  std::memset(def.Items[1].Name, 'A', sizeof def.Items[1].Name);
  def.Items[1].Decimals = -1;
  CompositeDef back;
  ASSERT_TRUE(ReadCompositeDef(back, Put(CompositeDefBytes(def))));
  EXPECT_EQ(back.Items[0].Kind, kCompositeLatest);
  EXPECT_EQ(back.Items[0].Alarm, kCompositeNoAlarm);
  EXPECT_EQ(back.Items[0].Decimals, 0);
  EXPECT_EQ(back.Items[1].Decimals, 0);
  EXPECT_EQ(CompositeItemName(back.Items[1]), std::string(15, 'A'));
  // Channel numbers are kept: they are clamped against the channels in force when shown.
  EXPECT_EQ(back.Items[1].Channel, 120);
}

TEST(CompositeDefTest, TheDefaultNamesItsChannelsCutAtFifteenBytes) {
  LiveConfig config;
  config.AnalogChannelTable[0].ChnName = "Ua";
  config.AnalogChannelTable[0].ChnUnits = "kV";
  config.AnalogChannelTable[1].ChnName = "一二三四五六七";  // 14 GBK bytes
  config.AnalogChannelTable[1].ChnUnits = "八";
  config.AnalogChannelTable[2].ChnName = "abcdefghijklmn";  // 14 bytes
  config.AnalogChannelTable[2].ChnUnits = "XY";
  CompositeDef def;
  DefaultCompositeDef(def, config);
  EXPECT_EQ(def.Count, 4);
  EXPECT_EQ(def.Columns, 2);
  EXPECT_EQ(def.FontSize, 30);
  EXPECT_EQ(def.Chars, 7);
  ASSERT_EQ(def.Items.size(), 4u);
  const int32_t alarms[] = {1, 2, 3, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(def.Items[static_cast<size_t>(i)].Channel, i);
    EXPECT_EQ(def.Items[static_cast<size_t>(i)].Decimals, 2);
    EXPECT_EQ(def.Items[static_cast<size_t>(i)].Kind, 0);
    EXPECT_EQ(def.Items[static_cast<size_t>(i)].Alarm, alarms[i]);
    EXPECT_EQ(def.Items[static_cast<size_t>(i)].Value1, 0.05);
    EXPECT_EQ(def.Items[static_cast<size_t>(i)].Value2, 0.4);
  }
  EXPECT_EQ(CompositeItemName(def.Items[0]), "UakV");
  // A two-byte character that would not fit whole is left out.
  EXPECT_EQ(CompositeItemName(def.Items[1]), "一二三四五六七");
  EXPECT_EQ(CompositeItemName(def.Items[2]), "abcdefghijklmnX");
}

TEST(CompositeDefTest, TextsAndCodesConvertAndCycle) {
  const char* kinds[] = {"最新值", "块内平均值", "块内最大值", "块内最小值"};
  const char* alarms[] = {"不报警", "小于值1", "大于值1", "在值1与值2之间", "在值1与值2之外"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(CompositeKindText(i), kinds[i]);
    EXPECT_EQ(CompositeKindCode(kinds[i]), i);
    EXPECT_EQ(NextCompositeKindText(kinds[i]), kinds[(i + 1) % 4]);
  }
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(CompositeAlarmText(i), alarms[i]);
    EXPECT_EQ(CompositeAlarmCode(alarms[i]), i);
    EXPECT_EQ(NextCompositeAlarmText(alarms[i]), alarms[(i + 1) % 5]);
  }
  EXPECT_EQ(CompositeKindText(4), "最新值");
  EXPECT_EQ(CompositeKindText(-1), "最新值");
  EXPECT_EQ(CompositeKindCode("?"), 0);
  EXPECT_EQ(NextCompositeKindText("?"), "最新值");
  EXPECT_EQ(CompositeAlarmText(5), "不报警");
  EXPECT_EQ(CompositeAlarmCode(""), 0);
  EXPECT_EQ(NextCompositeAlarmText("x"), "不报警");
}

}  // namespace
