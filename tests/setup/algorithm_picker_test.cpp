#include <gtest/gtest.h>

#include "common/BinaryLayouts.h"
#include "platform/GbkText.h"
#include "setup/AlgorithmPicker.h"

namespace {

using namespace quelvar;

TEST(AlgorithmPicker, EntriesAndNotesNameTheAlgorithm) {
  LiveConfig c;
  AlgorithmConfig& a = c.AlgorithmTable[3];
  a.Type = 5;
  platform::WriteGbkField("过流", a.Name, sizeof a.Name);
  a.UsedChn = 2;
  a.AssAnalogChnNum = 3;
  a.AssSWChnNum = 1;
  EXPECT_EQ(AlgorithmPickerEntry(c, 3), "3: 过流,类型:交流信号过大");
  EXPECT_EQ(AlgorithmChannelNote(c, 3), "注：算法 3 使用 2 通道");
  EXPECT_EQ(AlgorithmAssociationNote(c, 3), "关联3模拟通道,1开关通道");
  // A type outside the table reads as the empty algorithm; a number beyond
  // the table names its last record rather than reading past it.
  c.AlgorithmTable[4].Type = 99;
  EXPECT_EQ(AlgorithmPickerEntry(c, 4).substr(AlgorithmPickerEntry(c, 4).find(",类型:")), ",类型:空算法");
  EXPECT_EQ(AlgorithmChannelNote(c, 500), "注：算法 500 使用 " + std::to_string(c.AlgorithmTable[59].UsedChn) + " 通道");
}

TEST(AlgorithmPicker, TheEditsNumberIsLimitedToTheConfiguredAlgorithms) {
  const struct {
    const char* text;
    int32_t count, number, limited;
  } cases[] = {{"9", 5, 9, 4}, {"2", 5, 2, 2}, {"x", 5, 0, 0}, {"-3", 5, -3, 0}, {"3", 0, 3, 0}, {"", 5, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(PickerEditNumber(c.text), c.number) << c.text;
    EXPECT_EQ(PickerLimitedNumber(c.text, c.count), c.limited) << c.text << "/" << c.count;
  }
}

}  // namespace
