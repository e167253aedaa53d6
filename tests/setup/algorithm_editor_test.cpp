#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/GbkText.h"
#include "setup/AlgorithmEditor.h"

namespace quelvar {
namespace {

using platform::CellGrid;

bool SameBytes(const AlgorithmConfig& a, const AlgorithmConfig& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Four analog channels of known types and scales, two switch inputs.
LiveConfig FourChannels() {
  LiveConfig live;
  live.Analog_Num = 4;
  live.SW_Num = 2;
  const int32_t types[] = {0, 1, 4, 9};
  for (int i = 0; i < 4; ++i) {
    AnalogChannel& c = live.AnalogChannelTable[i];
    c.ChnName = "Ch" + std::to_string(i);
    c.ChnUnits = i == 0 ? "A" : "V";
    c.ChnIDDC = types[i];
    c.ChnCoeB = 1.5f + static_cast<float>(i);
  }
  live.SwitchChannelTable[0].SWName = "Breaker";
  live.SwitchChannelTable[1].SWName = "Guard";
  return live;
}

AlgorithmConfig Record(int32_t type, const char* name = "A") {
  AlgorithmConfig a{};
  SetDefaultAlgorithm(a, 0);
  platform::WriteGbkField(name, a.Name, sizeof a.Name);
  ChooseAlgorithmType(a, "", type);
  return a;
}

// --- Working count and list ----------------------------------------------

TEST(AlgorithmEditorCount, IsTheEditsIntegerClampedElseTheLiveCount) {
  struct Case {
    const char* text;
    int32_t live;
    int32_t expected;
  };
  const Case cases[] = {{"75", 3, 60}, {"abc", 7, 7}, {"", 7, 7},   {"-3", 7, 0},
                        {" 12 ", 7, 12}, {"60", 0, 60}, {"x", 99, 60}, {"2.5", 5, 5}};
  for (const Case& c : cases) EXPECT_EQ(WorkingCountFromText(c.text, c.live), c.expected) << c.text;
}

TEST(AlgorithmEditorList, ShowsNumberNameAndTypeOfEachAlgorithm) {
  AlgorithmWorkCopy work;
  work.WorkAlgorithmTable[0] = Record(5, "交流甲");
  work.WorkAlgorithmTable[1] = Record(13, "接地");
  work.WorkAlgorithmNum = 2;
  CellGrid list;
  BuildAlgorithmList(work, list);
  ASSERT_EQ(list.ColCount(), 3);
  ASSERT_EQ(list.RowCount(), 3);
  EXPECT_EQ(list.FixedCols(), 1);
  const char* expected[3][3] = {{"算法序号", "算法名称", "算法类型"}, {"0", "交流甲", "交流信号过大"}, {"1", "接地", "定子接地"}};
  for (int col = 0; col < 3; ++col) {
    for (int row = 0; row < 3; ++row) EXPECT_EQ(list.Cell(col, row), expected[col][row]) << col << "," << row;
  }

  // A count of 0 leaves one empty column.
  work.WorkAlgorithmNum = 0;
  BuildAlgorithmList(work, list);
  ASSERT_EQ(list.ColCount(), 2);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(list.Cell(1, row), "") << row;
  EXPECT_EQ(list.Cell(0, 2), "算法类型");
}

TEST(AlgorithmEditorList, AMovedColumnStillNamesItsAlgorithm) {
  AlgorithmWorkCopy work;
  work.WorkAlgorithmNum = 4;
  CellGrid list;
  BuildAlgorithmList(work, list);
  list.MoveCol(4, 1);  // algorithm 3 dragged to the front
  EXPECT_EQ(AlgorithmOfListColumn(list, 1), 3);
  EXPECT_EQ(AlgorithmOfListColumn(list, 2), 0);
  // The empty column of a count of 0 is algorithm 0.
  work.WorkAlgorithmNum = 0;
  BuildAlgorithmList(work, list);
  EXPECT_EQ(AlgorithmOfListColumn(list, 1), 0);

  work.CurrentAlgorithmIndex = 1;
  KeepCurrentInList(list, work);
  EXPECT_EQ(work.CurrentAlgorithmIndex, 0);
}

TEST(AlgorithmEditorList, MendedTheColumnOfAnAlgorithmFollowsAMovedColumn) {
  AlgorithmWorkCopy work;
  work.WorkAlgorithmNum = 4;
  CellGrid list;
  BuildAlgorithmList(work, list);
  EXPECT_EQ(ListColumnOfAlgorithm(list, 2), 3);
  list.MoveCol(4, 1);  // algorithm 3 to the front, 0..2 one place on
  const int expected[] = {2, 3, 4, 1};
  for (int32_t k = 0; k < 4; ++k) EXPECT_EQ(ListColumnOfAlgorithm(list, k), expected[k]) << k;
  EXPECT_EQ(ListColumnOfAlgorithm(list, 4), -1);
  work.WorkAlgorithmNum = 0;
  BuildAlgorithmList(work, list);
  EXPECT_EQ(ListColumnOfAlgorithm(list, 0), -1);  // the empty column shows none
}

// --- Type choice -----------------------------------------------------------

TEST(AlgorithmEditorType, ChoosingCopiesTheTypesCountsAndTimesAndClearsTheAssociates) {
  AlgorithmConfig a = Record(13);
  a.Channel[0] = 3;
  a.SetPoint[0] = 7.5f;
  a.PreRecordTime = 999;
  a.AssAnalogChnNum = 2;
  a.AssAnalogChn[0] = 1;
  a.AssSWChnNum = 1;
  a.AssSWChn[0] = 1;
  ASSERT_TRUE(ChooseAlgorithmType(a, "交流信号过小", 0));
  EXPECT_EQ(a.Type, 6);
  EXPECT_EQ(a.UsedChn, 1);
  EXPECT_EQ(a.SetPointNum, 1);
  EXPECT_EQ(a.PreRecordTime, 120);
  EXPECT_EQ(a.RecordTime, 5200);
  EXPECT_EQ(a.CompressRecordTime, 0);
  EXPECT_EQ(a.AssAnalogChnNum, 0);
  EXPECT_EQ(a.AssSWChnNum, 0);
  EXPECT_EQ(a.AssAnalogChn[0], 0);
  EXPECT_EQ(a.AssSWChn[0], 0);
  EXPECT_EQ(a.Channel[0], 3);
  EXPECT_FLOAT_EQ(a.SetPoint[0], 7.5f);
}

TEST(AlgorithmEditorType, TheNameDecidesElseTheIndexElseNothingChanges) {
  AlgorithmConfig a = Record(0);
  ASSERT_TRUE(ChooseAlgorithmType(a, "峰值超过", 5));
  EXPECT_EQ(a.Type, 1);
  ASSERT_TRUE(ChooseAlgorithmType(a, "unknown", 2));
  EXPECT_EQ(a.Type, 2);
  const AlgorithmConfig before = a;
  // Nothing selected: no type at all, never index -1 into the table.
  EXPECT_FALSE(ChooseAlgorithmType(a, "", -1));
  EXPECT_FALSE(ChooseAlgorithmType(a, "", 23));
  EXPECT_TRUE(SameBytes(a, before));
}

// --- Detail grid -------------------------------------------------------------

TEST(AlgorithmEditorDetail, LaysOutTheTypesRowsWithTheirTexts) {
  const LiveConfig live = FourChannels();
  AlgorithmConfig a = Record(13);  // stator earth fault: 2 inputs, 3 set points
  a.Channel[0] = 1;
  a.Channel[1] = 7;
  a.SetPoint[0] = 12.345f;
  a.AssAnalogChnNum = 1;
  a.AssAnalogChn[0] = 3;
  a.AssSWChnNum = 2;
  a.AssSWChn[0] = 0;
  a.AssSWChn[1] = 1;
  CellGrid detail;
  BuildAlgorithmDetail(a, live, detail);
  ASSERT_EQ(detail.ColCount(), 3);
  ASSERT_EQ(detail.RowCount(), 2 + 3 + 17);
  const std::vector<std::vector<std::string>> expected = {
      {"参数名称", "参数值", "补充说明"},
      {"", "输入通道号:", "通道属性、名称"},
      {"机端Us ", "1", "[直] Ch1"},
      {"中点Un", "7", "通道号太大或太小"},
      {"", "输入整定值:", "整定值范围:"},
      {"机端零序基波", "12.35", "5.0~50.0V"},
      {"机端三次谐波", "0.00", "0.0~0.5V"},
      {"三次谐波电压比", "0.00", "0.9~2.0"},
      {"", "输入记录时间:", "缺省值:"},
      {"故障前时间:", "120", "120ms"},
      {"故障后时间:", "5200", "5200ms"},
      {"压缩记录时间:", "0", "0ms"},
      {"", "关联模拟通道:", "通道名"},
      {"模拟通道0", "3", ""},
      {"模拟通道1", "", ""},
      {"模拟通道2", "", ""},
      {"模拟通道3", "", ""},
      {"", "关联开关量通道:", "通道名"},
      {"开关通道0", "0", ""},
      {"开关通道1", "1", ""},
      {"开关通道2", "", ""},
      {"开关通道3", "", ""},
  };
  for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
    for (int col = 0; col < 3; ++col) EXPECT_EQ(detail.Cell(col, row), expected[row][col]) << col << "," << row;
  }
  EXPECT_FALSE(detail.Modified(1, 2));
}

TEST(AlgorithmEditorDetail, ChannelRemarksCarryTheTypeTag) {
  LiveConfig live = FourChannels();
  const std::pair<int32_t, const char*> tags[] = {{0, "[交] "},    {1, "[直] "},   {2, "[计] "},
                                                  {3, "[原始] "},  {4, "[K-TC] "}, {5, "[K-TC_C] "},
                                                  {6, "[J-TC] "},  {7, "[J-TC_C] "}, {8, "[Pt] "},
                                                  {9, ""},         {13, ""}};
  for (const auto& [code, tag] : tags) {
    live.AnalogChannelTable[2].ChnIDDC = code;
    EXPECT_EQ(InputChannelRemark(2, live), std::string(tag) + "Ch2") << code;
  }
  EXPECT_EQ(InputChannelRemark(-1, live), "通道号太大或太小");
  EXPECT_EQ(InputChannelRemark(4, live), "通道号太大或太小");
  EXPECT_EQ(AlgorithmNumberLabel(3), "3号启动算法:");
}

TEST(AlgorithmEditorRemark, TypingAChannelNumberNamesTheChannel) {
  const LiveConfig live = FourChannels();
  const AlgorithmConfig a = Record(1);  // rows: 2 input, 4 set point, 6..8 times, 10..13 analog, 15..18 switches
  struct Case {
    int row;
    const char* text;
    std::optional<std::string> remark;
  };
  const Case cases[] = {
      {2, "7", "非法通道值"},
      {2, "x", "非法通道值"},
      {2, "-1", "非法通道值"},
      {2, "1", "[直] Ch1: *2.50V"},
      {2, "2", "[KTC] Ch2: *3.50V"},
      {2, "3", "Ch3: *4.50V"},
      {10, "0", "[交] Ch0: *1.50A"},
      {13, "4", "非法通道值"},
      {15, "1", "Guard"},
      {18, "2", "非法通道值"},
      {15, "", "非法通道值"},
      {4, "1", std::nullopt},
      {6, "1", std::nullopt},
      {9, "1", std::nullopt},
      {14, "1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(LiveDetailRemark(a, live, c.row, c.text), c.remark) << c.row << " " << c.text;
}

// --- Parse-back --------------------------------------------------------------

struct DetailFixture : ::testing::Test {
  LiveConfig live = FourChannels();
  CellGrid detail;
  void Show(const AlgorithmConfig& a) { BuildAlgorithmDetail(a, live, detail); }
  void Type(int row, const char* text) { detail.EditCell(1, row, text); }
};

using AlgorithmEditorParse = DetailFixture;

TEST_F(AlgorithmEditorParse, ViewingChangesNoValue) {
  AlgorithmConfig a = Record(13);
  a.SetPoint[0] = 0.125f;
  a.SetPoint[1] = 1.0f / 3.0f;
  a.SetPoint[2] = 123456.789f;
  a.Channel[1] = 77;  // outside the channels: kept while not typed
  a.AssAnalogChnNum = 2;
  a.AssAnalogChn[0] = 50;
  a.AssAnalogChn[1] = 1;
  const AlgorithmConfig before = a;
  Show(a);
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_TRUE(SameBytes(a, before));

  // Typing a time reads only that time.
  Type(detail.RowCount() - 13, "300");  // PreRecordTime of K = 5
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.PreRecordTime, 300);
  a.PreRecordTime = before.PreRecordTime;
  EXPECT_TRUE(SameBytes(a, before));
}

TEST_F(AlgorithmEditorParse, ATypedSetPointIsTakenAsTyped) {
  AlgorithmConfig a = Record(1);
  Show(a);
  Type(4, "0.125");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.SetPoint[0], 0.125f);
  Type(4, " -2.5e1 ");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.SetPoint[0], -25.0f);
}

TEST_F(AlgorithmEditorParse, AnInputChannelOutsideTheChannelsBecomesZero) {
  AlgorithmConfig a = Record(1);
  a.Channel[0] = 2;
  Show(a);
  for (const char* text : {"7", "-1", "x", ""}) {
    a.Channel[0] = 2;
    Type(2, text);
    ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
    EXPECT_EQ(a.Channel[0], 0) << text;
  }
  Type(2, "3");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.Channel[0], 3);
}

TEST_F(AlgorithmEditorParse, AssociatedChannelsAreValidDistinctAndNotInputs) {
  struct Case {
    std::vector<const char*> analog;
    std::vector<int32_t> expected;
  };
  const Case cases[] = {
      {{"2", "2", "x", ""}, {}},
      {{"3", "1", "3", ""}, {3, 1}},
      {{"", "0", "4", "-1"}, {0}},
      {{"1", "3", "0", "1"}, {1, 3, 0}},
  };
  for (const Case& c : cases) {
    AlgorithmConfig a = Record(1);
    a.Channel[0] = 2;
    Show(a);
    for (int j = 0; j < 4; ++j) Type(10 + j, c.analog[j]);
    ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
    ASSERT_EQ(a.AssAnalogChnNum, static_cast<int32_t>(c.expected.size())) << c.analog[0];
    for (size_t j = 0; j < c.expected.size(); ++j) EXPECT_EQ(a.AssAnalogChn[j], c.expected[j]);
  }

  // Switch inputs: within the inputs and distinct; an input channel's number is no obstacle.
  AlgorithmConfig a = Record(1);
  a.Channel[0] = 1;
  Show(a);
  for (int j = 0; j < 4; ++j) Type(15 + j, std::vector<const char*>{"1", "1", "2", "0"}[j]);
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  ASSERT_EQ(a.AssSWChnNum, 2);
  EXPECT_EQ(a.AssSWChn[0], 1);
  EXPECT_EQ(a.AssSWChn[1], 0);
}

TEST_F(AlgorithmEditorParse, ARefusedValueStoresNothingAndNamesItsField) {
  struct Case {
    int row;
    const char* text;
    std::string message;
  };
  // Type 15 (low frequency): input row 2, set points 4 and 5, times 7..9.
  const Case cases[] = {
      {4, "abc", "频率阈值: 'abc' is not a valid floating point value"},
      {5, "1e999", "闭锁电压: '1e999' is not a valid floating point value"},
      {5, "nan", "闭锁电压: 'nan' is not a valid floating point value"},
      {7, "1.5", "故障前时间: '1.5' is not a valid integer value"},
      {8, "-5", "故障后时间: '-5' 不能为负数!"},
      {9, "", "压缩记录时间: '' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    AlgorithmConfig a = Record(15);
    a.Channel[0] = 1;
    Show(a);
    // Changes before and after the refused cell are not stored either.
    Type(2, "3");
    Type(4, "49.5");
    Type(c.row, c.text);
    Type(11, "2");
    const AlgorithmConfig before = a;
    const DetailParseResult result = ParseAlgorithmDetail(detail, live, a);
    ASSERT_FALSE(result.ok()) << c.text;
    EXPECT_EQ(*result.refusal, c.message);
    EXPECT_TRUE(SameBytes(a, before)) << c.text;
  }
}

// A record whose counts differ from its type (from a file, a configuration
// record or the settings tree) is read back from the rows the grid shows.
TEST_F(AlgorithmEditorParse, CountsThatDifferFromTheTypeDoNotMoveTheRows) {
  AlgorithmConfig a = Record(1);  // the type: 1 input, 1 set point
  a.UsedChn = 3;
  a.SetPointNum = 5;
  a.Channel[0] = 1;
  a.Channel[1] = 2;
  a.Channel[2] = 3;
  a.SetPoint[1] = 9.75f;
  Show(a);
  const AlgorithmDetailRows rows = DetailRowsOf(a);
  EXPECT_EQ(rows.C, 1);
  EXPECT_EQ(rows.S, 1);
  ASSERT_EQ(detail.RowCount(), 19);
  EXPECT_EQ(detail.Cell(0, rows.SetPointRow(0)), "峰值");
  // The remark follows the same rows: the set-point row is no channel row.
  EXPECT_EQ(LiveDetailRemark(a, live, rows.SetPointRow(0), "3"), std::nullopt);
  EXPECT_EQ(LiveDetailRemark(a, live, rows.AssAnalogRow(0), "3"), "Ch3: *4.50V");

  Type(rows.SetPointRow(0), "4.25");
  Type(rows.PreRecordRow(), "150");
  Type(rows.AssAnalogRow(0), "3");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.SetPoint[0], 4.25f);
  EXPECT_EQ(a.SetPoint[1], 9.75f);
  EXPECT_EQ(a.PreRecordTime, 150);
  EXPECT_EQ(a.RecordTime, 5200);
  EXPECT_EQ(a.Channel[1], 2);
  EXPECT_EQ(a.Channel[2], 3);
  EXPECT_EQ(a.UsedChn, 3);
  EXPECT_EQ(a.SetPointNum, 5);
  ASSERT_EQ(a.AssAnalogChnNum, 1);
  EXPECT_EQ(a.AssAnalogChn[0], 3);
}

TEST_F(AlgorithmEditorParse, MendedAChangedRowBeyondTheRecordsOwnCountsRaisesThem) {
  AlgorithmConfig a = Record(15);  // the type: 1 input, 2 set points
  a.UsedChn = 0;
  a.SetPointNum = 1;
  Show(a);
  const AlgorithmDetailRows rows = DetailRowsOf(a);
  Type(rows.SetPointRow(1), "48");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.UsedChn, 0);  // its channel row was not touched
  EXPECT_EQ(a.SetPointNum, 2);
  Show(a);
  Type(rows.InputRow(0), "3");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.UsedChn, 1);
  EXPECT_EQ(a.Channel[0], 3);
  // Larger counts are never lowered.
  a.UsedChn = 5;
  Show(a);
  Type(rows.InputRow(0), "2");
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.UsedChn, 5);
}

TEST_F(AlgorithmEditorParse, MendedAChannelThatBecomesAnInputLeavesTheAssociatedList) {
  AlgorithmConfig a = Record(1);
  a.Channel[0] = 0;
  a.AssAnalogChnNum = 2;
  a.AssAnalogChn[0] = 3;
  a.AssAnalogChn[1] = 1;
  Show(a);
  Type(DetailRowsOf(a).InputRow(0), "3");  // only the input row is typed
  ASSERT_TRUE(ParseAlgorithmDetail(detail, live, a).ok());
  EXPECT_EQ(a.Channel[0], 3);
  ASSERT_EQ(a.AssAnalogChnNum, 1);
  EXPECT_EQ(a.AssAnalogChn[0], 1);
}

// --- OK ----------------------------------------------------------------------

TEST(AlgorithmEditorOk, WritesTheWorkingCopyAndTheTriggerSettings) {
  struct Case {
    const char* upNum;
    const char* timeRange;
    const char* confirm;
    int32_t expectedUp, expectedRange, expectedConfirm;
  };
  const Case cases[] = {
      {"5", "30", "4", 5, 30, 4},   {"abc", "", "abc", 0, 0, 1}, {"-3", "0", "0", 0, 0, 1},
      {"1", "-1", "11", 1, 0, 10}, {" 2 ", "7", "10", 2, 7, 10},
  };
  for (const Case& c : cases) {
    LiveConfig live;
    live.AlgorithmTable[3].RecordTime = 4321;
    AlgorithmWorkCopy work;
    LoadWorkCopy(live, work);
    work.WorkAlgorithmNum = 2;
    work.WorkAlgorithmTable[0] = Record(4, "DC");
    work.WorkAlgorithmTable[3].RecordTime = 1;  // beyond the count: not written
    const AlgorithmOkOutcome out =
        ApplyAlgorithmEditor(work, {true, false, true, c.upNum, c.timeRange, c.confirm}, live);
    EXPECT_EQ(live.Algorithm_Num, 2);
    EXPECT_TRUE(SameBytes(live.AlgorithmTable[0], work.WorkAlgorithmTable[0]));
    EXPECT_EQ(live.AlgorithmTable[3].RecordTime, 4321);
    EXPECT_EQ(live.IDStartBin, 1);
    EXPECT_EQ(live.IDStartAnalog, 0);
    EXPECT_EQ(live.IDPreventSameAlgorithm, 1);
    EXPECT_EQ(live.TriggerUpNum, c.expectedUp) << c.upNum;
    EXPECT_EQ(live.TriggerTimeRange, c.expectedRange) << c.timeRange;
    EXPECT_EQ(live.ConfirmTriggerNum, c.expectedConfirm) << c.confirm;
    EXPECT_EQ(out.triggerUpNum, c.expectedUp);
    EXPECT_EQ(out.triggerTimeRange, c.expectedRange);
  }
}

// --- Summary -------------------------------------------------------------------

TEST(AlgorithmEditorSummary, ListsEachAlgorithmWithItsChannelsSetPointsTimesAndAssociates) {
  const LiveConfig live = FourChannels();
  AlgorithmWorkCopy work;
  work.WorkAlgorithmNum = 2;
  AlgorithmConfig& ac = work.WorkAlgorithmTable[0];
  ac = Record(5);  // AC too large
  ac.Channel[0] = 1;
  ac.SetPoint[0] = 0.125f;
  ac.AssAnalogChnNum = 2;
  ac.AssAnalogChn[0] = 2;
  ac.AssAnalogChn[1] = 3;
  ac.AssSWChnNum = 1;
  ac.AssSWChn[0] = 1;
  AlgorithmConfig& low = work.WorkAlgorithmTable[1];
  low = Record(15);  // low frequency, its channel outside the table
  low.Channel[0] = 9;
  low.SetPoint[0] = 49.5f;
  low.SetPoint[1] = 20.0f;
  work.WorkAlgorithmTable[2] = Record(1);  // beyond the count: not listed

  const std::string expected =
      "录波启动算法一览表:\r\n"
      "\r\n第0号算法: [类型]交流信号过大\r\n"
      "  启动依据通道:\r\n"
      "   AC: [第1通道]Ch1 [直流], 采集结果= AD读数 * 2.50 V\r\n"
      "\r\n  启动整定值:"
      "\r\n   交流有效值阈值=0.13 \r\n"
      "\r\n  记录时间:"
      "\r\n   故障前 120ms, 故障后 5200ms, 故障后压缩记录 0ms\r\n"
      "\r\n  关联模拟通道数：2\r\n      模拟通道：2,3"
      "\r\n  关联开关量通道数：1\r\n      开关量通道：1"
      "\r\n第1号算法: [类型]低频率\r\n"
      "  启动依据通道:\r\n"
      "   Uab: [第9通道]通道号太大或太小\r\n"
      "\r\n  启动整定值:"
      "\r\n   频率阈值=49.50 Hz\r\n"
      "\r\n   闭锁电压=20.00 V\r\n"
      "\r\n  记录时间:"
      "\r\n   故障前 120ms, 故障后 5200ms, 故障后压缩记录 600000ms\r\n"
      "\r\n  关联模拟通道数：0\r\n      模拟通道："
      "\r\n  关联开关量通道数：0\r\n      开关量通道：";
  EXPECT_EQ(AlgorithmSummaryText(work, live), expected);

  work.WorkAlgorithmNum = 0;
  EXPECT_EQ(AlgorithmSummaryText(work, live), "录波启动算法一览表:\r\n");
}

// --- Look-up list and file records ---------------------------------------------

TEST(AlgorithmEditorLookup, EntriesCarryTheChannelTypeWord) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "交]"},     {1, "直]"},       {2, "计数]"},   {3, "原始量]"}, {4, "K热偶]"}, {5, "补偿K热偶]"},
      {6, "J热偶]"}, {7, "补偿J热偶]"}, {8, "Pt电阻]"}, {9, "周期]"},   {13, "扭矩功率]"}, {20, "]"}};
  AnalogChannel c;
  c.ChnName = "Ua";
  for (const auto& [code, word] : cases) {
    c.ChnIDDC = code;
    EXPECT_EQ(AnalogLookupEntry(7, c), std::string("7: Ua [") + word) << code;
  }
}

TEST(AlgorithmEditorFile, RecordsReplaceTheWorkingCopyUpToSixty) {
  AlgorithmWorkCopy work;
  work.WorkAlgorithmTable[5] = Record(3, "kept");
  std::vector<AlgorithmConfig> records(2, Record(2, "file"));
  TakeFileRecords(records, work);
  EXPECT_EQ(work.WorkAlgorithmNum, 2);
  EXPECT_EQ(work.WorkAlgorithmTable[1].Type, 2);
  EXPECT_EQ(work.WorkAlgorithmTable[5].Type, 3);
  records.assign(61, Record(4));
  TakeFileRecords(records, work);
  EXPECT_EQ(work.WorkAlgorithmNum, 60);
  EXPECT_EQ(work.WorkAlgorithmTable[59].Type, 4);
}

}  // namespace
}  // namespace quelvar
