#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "common/AlgorithmTypeTable.h"
#include "common/BinaryLayouts.h"
#include "platform/GbkText.h"

namespace quelvar {
namespace {

TEST(AlgorithmTypeTable, TypeNumbersRunFromOneToTheCount) {
  ASSERT_EQ(AlgorithmTypeTable.size(), 23u);
  for (int i = 0; i < kAlgorithmTypeCount; ++i) EXPECT_EQ(AlgorithmTypeTable[i].TypeNumber, i + 1) << "type " << i;
  EXPECT_EQ(AlgorithmTypeTable.back().TypeNumber, 23);
}

struct ShapeCase {
  int type;
  std::string_view name;
  int inputs;
  int setPoints;
};

TEST(AlgorithmTypeTable, NamesAndCounts) {
  const ShapeCase cases[] = {
      {0, "空算法", 0, 0},     {1, "峰值超过", 1, 1},     {7, "单元件横差", 1, 1},
      {13, "定子接地", 2, 3},  {17, "低励及失磁", 7, 3},  {22, "负序增量方向", 6, 3},
  };
  for (const ShapeCase& c : cases) {
    const AlgorithmTypeInfo& type = AlgorithmTypeTable[c.type];
    EXPECT_EQ(type.Name, c.name) << "type " << c.type;
    EXPECT_EQ(type.UsedChn, c.inputs) << "type " << c.type;
    EXPECT_EQ(type.SetPointNum, c.setPoints) << "type " << c.type;
  }
  // The blank after "机端Us" belongs to the role text.
  EXPECT_EQ(AlgorithmTypeTable[13].ChnRole[0], "机端Us ");
  EXPECT_EQ(AlgorithmTypeTable[13].ChnRole[1], "中点Un");
}

TEST(AlgorithmTypeTable, RecordTimes) {
  for (int i = 0; i < kAlgorithmTypeCount; ++i) {
    const AlgorithmTypeInfo& type = AlgorithmTypeTable[i];
    const bool shortRecord = i == 0 || i == 7 || i == 22;
    const bool compressed = i == 15 || i == 21;
    EXPECT_EQ(type.PreRecordTime, 120) << "type " << i;
    EXPECT_EQ(type.RecordTime, shortRecord ? 200 : 5200) << "type " << i;
    EXPECT_EQ(type.CompressRecordTime, compressed ? 600000 : 0) << "type " << i;
  }
}

TEST(AlgorithmTypeTable, CountsStayInTheirSlotsAndSlotsBeyondAreBlank) {
  for (int i = 0; i < kAlgorithmTypeCount; ++i) {
    SCOPED_TRACE("type " + std::to_string(i));
    const AlgorithmTypeInfo& type = AlgorithmTypeTable[i];
    ASSERT_GE(type.UsedChn, 0);
    ASSERT_LE(type.UsedChn, 7);
    ASSERT_GE(type.SetPointNum, 0);
    ASSERT_LE(type.SetPointNum, 3);
    for (int k = 0; k < type.UsedChn; ++k) EXPECT_FALSE(type.ChnRole[k].empty()) << "role " << k;
    for (size_t k = type.UsedChn; k < type.ChnRole.size(); ++k) EXPECT_TRUE(type.ChnRole[k].empty()) << "role " << k;
    for (int k = 0; k < type.SetPointNum; ++k) EXPECT_FALSE(type.SetPointName[k].empty()) << "set point " << k;
    for (size_t k = type.SetPointNum; k < type.SetPointName.size(); ++k) {
      EXPECT_TRUE(type.SetPointName[k].empty()) << "set point " << k;
      EXPECT_TRUE(type.SetPointUnit[k].empty()) << "set point " << k;
      EXPECT_EQ(type.SetPointRange[k][0], 0.0f) << "set point " << k;
      EXPECT_EQ(type.SetPointRange[k][1], 0.0f) << "set point " << k;
    }
  }
}

struct RangeTextCase {
  int type;
  int setPoint;
  std::string expected;
};

TEST(AlgorithmTypeTable, SetPointRangeText) {
  const RangeTextCase cases[] = {
      {7, 0, "0.2~1.0In"},     // range and unit
      {21, 1, "V"},            // unit without a range
      {13, 2, "0.9~2.0"},      // range without a unit
      {1, 0, ""},              // neither
      {12, 0, "100.0~160.0V"},
      {13, 3, ""},             // slot beyond the count
      {7, -1, ""},             // outside the slots
      {7, 4, ""},
  };
  for (const RangeTextCase& c : cases) {
    EXPECT_EQ(SetPointRangeText(AlgorithmTypeTable[c.type], c.setPoint), c.expected)
        << "type " << c.type << " set point " << c.setPoint;
  }
}

TEST(AlgorithmTypeTable, FindByName) {
  EXPECT_EQ(FindAlgorithmType("过电压"), 12);
  // Every name is found at its own index, so none repeats and the search reaches the last.
  for (int i = 0; i < kAlgorithmTypeCount; ++i) EXPECT_EQ(FindAlgorithmType(AlgorithmTypeTable[i].Name), i);
  for (const char* stranger : {"", "机端Us", "机端Us ", "过电压 ", "过电", "不存在的算法"}) {
    EXPECT_EQ(FindAlgorithmType(stranger), -1) << "'" << stranger << "'";
  }
}


// --- Sanitising records from outside ------------------------------------

AlgorithmConfig SoundRecord() {
  AlgorithmConfig a{};
  a.Type = 13;
  platform::WriteGbkField("定子接地", a.Name, sizeof a.Name);
  // Counts that differ from the type's are the record's own and stay.
  a.UsedChn = 5;
  a.SetPointNum = 1;
  a.AssAnalogChnNum = 4;
  a.AssSWChnNum = 0;
  a.SetPoint[0] = 0.125f;
  a.Spare = -7;
  return a;
}

TEST(SanitizeAlgorithm, LeavesASoundRecordByteForByte) {
  const AlgorithmConfig before = SoundRecord();
  AlgorithmConfig a = before;
  SanitizeAlgorithm(a);
  EXPECT_EQ(std::memcmp(&a, &before, sizeof a), 0);
}

TEST(SanitizeAlgorithm, BringsTypeAndCountsIntoTheirTables) {
  struct Case {
    const char* what;
    std::function<void(AlgorithmConfig&)> damage;
    std::function<bool(const AlgorithmConfig&)> sound;
  };
  const Case cases[] = {
      {"type beyond the table", [](AlgorithmConfig& a) { a.Type = 23; }, [](const AlgorithmConfig& a) { return a.Type == 0; }},
      {"negative type", [](AlgorithmConfig& a) { a.Type = -1; }, [](const AlgorithmConfig& a) { return a.Type == 0; }},
      {"last type", [](AlgorithmConfig& a) { a.Type = 22; }, [](const AlgorithmConfig& a) { return a.Type == 22; }},
      {"nine channels", [](AlgorithmConfig& a) { a.UsedChn = 9; }, [](const AlgorithmConfig& a) { return a.UsedChn == 8; }},
      {"negative channels", [](AlgorithmConfig& a) { a.UsedChn = -3; }, [](const AlgorithmConfig& a) { return a.UsedChn == 0; }},
      {"fourteen set points", [](AlgorithmConfig& a) { a.SetPointNum = 14; },
       [](const AlgorithmConfig& a) { return a.SetPointNum == 13; }},
      {"five analog associates", [](AlgorithmConfig& a) { a.AssAnalogChnNum = 5; },
       [](const AlgorithmConfig& a) { return a.AssAnalogChnNum == 4; }},
      {"negative switch associates", [](AlgorithmConfig& a) { a.AssSWChnNum = INT32_MIN; },
       [](const AlgorithmConfig& a) { return a.AssSWChnNum == 0; }},
  };
  for (const Case& c : cases) {
    AlgorithmConfig a = SoundRecord();
    c.damage(a);
    SanitizeAlgorithm(a);
    EXPECT_TRUE(c.sound(a)) << c.what;
    EXPECT_EQ(a.Spare, -7) << c.what;
  }
}

TEST(SanitizeAlgorithm, TerminatesAFullNameAtACharacterBoundary) {
  AlgorithmConfig a = SoundRecord();
  std::memcpy(a.Name, "ABCDEFGHIJKLMNOP", 16);
  SanitizeAlgorithm(a);
  EXPECT_EQ(platform::ReadGbkField(a.Name, sizeof a.Name), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(a.Name[15], 0);

  // Eight two-byte characters fill the field: the last one goes whole.
  const std::string gbk = platform::Utf8ToGbk("低频率保护启动算");
  ASSERT_EQ(gbk.size(), 16u);
  std::memcpy(a.Name, gbk.data(), 16);
  SanitizeAlgorithm(a);
  EXPECT_EQ(platform::ReadGbkField(a.Name, sizeof a.Name), "低频率保护启动");
}

}  // namespace
}  // namespace quelvar
