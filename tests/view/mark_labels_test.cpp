#include <gtest/gtest.h>

#include <string>

#include "MarkDataForTest.h"
#include "platform/DayTime.h"
#include "platform/RecordingCanvas.h"
#include "view/DisplayLayout.h"
#include "view/MarkLabels.h"
#include "view/WaveformRenderer.h"

namespace {

using namespace quelvar;
using quelvar::test::MarkData;

// Three DC channels at 1.25, 2.5 and 3.75 V; switch input 0 high, input 1
// low. Time 0 lies at point 100 of 200, 1000 points a second.
struct LabelData : MarkData {
  LabelData()
      : MarkData({1, 1, 1}, 200, 2, [](int32_t, int32_t word) -> uint16_t {
          return word < 3 ? static_cast<uint16_t>(2048 + 512 * (word + 1)) : 0x0001;
        }) {
    config.SwitchChannelTable[0].SWName = "S0";
    config.SwitchChannelTable[1].SWName = "S1";
    display.DispTriggerPoint = 100;
    view.XPosition = 0;
    view.Options.AbsoluteTime = false;
    for (int32_t p = 0; p < 3; ++p) config.AnalogDisplayOrder[p] = p;
  }
  std::string Label(int64_t a, int32_t mark = 1) {
    MarkSource s = Source();
    return MarkLabelText(s, a, mark);
  }
  std::string Osc(int64_t a, int32_t mark = 1) {
    MarkSource s = Source();
    return OscMarkText(s, a, mark);
  }
  void Draw(std::initializer_list<int32_t> analogKeys, std::initializer_list<int32_t> switchKeys) {
    int32_t k = 0;
    for (int32_t key : analogKeys) view.DrawnChannels[k++] = key;
    for (int32_t key : switchKeys) view.DrawnChannels[k++] = key;
    view.DrawnAnalogCount = static_cast<int32_t>(analogKeys.size());
    view.DrawnSwitchCount = static_cast<int32_t>(switchKeys.size());
  }
};

TEST(MarkKindTitle, EveryKindWithItsParameters) {
  LabelData d;
  WaveViewState& m = d.view;
  m.MarkHarmonics1 = 3;
  m.MarkHarmonics2 = 5;
  m.MarkAlgorithm1 = 7;
  m.MarkAlgorithm2 = 8;
  m.MarkRatioN2 = 11;
  m.MarkRatioRN2 = 12;
  m.MarkPeriodN2 = 13;
  m.MarkInc1 = 2;
  m.MarkInc2 = 4;
  struct Case {
    int32_t kind;
    int32_t mark;
    const char* title;
  } cases[] = {
      {0, 1, "瞬时值:"},          {1, 1, "平均值:"},          {2, 1, "有效值:"},
      {3, 1, "相位角度:"},        {4, 1, "一周波频率:"},      {5, 1, "二周波频率:"},
      {6, 1, "四周波频率:"},      {7, 1, "十六进制AD值:"},    {8, 1, "未知类型:"},
      {11, 2, "未知类型:"},       {12, 1, "3次谐波量:"},      {12, 2, "5次谐波量:"},
      {13, 1, "算法触发情况:"},   {14, 1, "7 号算法计算值:"}, {14, 2, "8 号算法计算值:"},
      // Kinds 15 to 17 take mark 2's parameters for either mark and end in a
      // full-width colon.
      {15, 1, "前11点变化率："},  {15, 2, "前11点变化率："},  {16, 1, "前12点相对变化率："},
      {17, 1, "前13点周期："},    {18, 1, "2周波增量:"},      {18, 2, "4周波增量:"},
      {19, 1, "模拟量转速:"},     {20, 1, "标线间累加值:"},   {21, 2, "标线间平均值:"},
      {22, 1, "未知类型:"},       {-1, 1, "未知类型:"},
  };
  for (const Case& c : cases) {
    (c.mark == 1 ? m.MarkType1 : m.MarkType2) = c.kind;
    const MarkTitle t = MarkKindTitle(d.Source(), 101, c.mark);
    EXPECT_EQ(t.Title, c.title) << "kind " << c.kind << " mark " << c.mark;
    EXPECT_EQ(t.Kind, c.kind);
    EXPECT_EQ(t.Point.BufferPoint, 100);
  }
}

TEST(MarkKindTitle, CompressedPartShowsOnlyInstantAndMean) {
  LabelData d;
  // Compressed from point 100 (block 5 of 20 rows) at 10 samples a point.
  d.config.NumSamp = 20;
  d.display.DispBlocks = 10;
  d.display.DispCompressed = 1;
  d.display.DispCompressStart = 5;
  d.display.DispCompressRatio = 10;
  struct Case {
    int32_t chosen;
    int64_t a;
    int32_t inForce;
    const char* title;
  } cases[] = {
      {3, 106, 0, "瞬时值:"}, {2, 106, 0, "瞬时值:"}, {1, 106, 1, "平均值:"},
      {0, 106, 0, "瞬时值:"}, {3, 100, 3, "相位角度:"},
  };
  for (const Case& c : cases) {
    d.view.MarkType1 = c.chosen;
    const MarkTitle t = MarkKindTitle(d.Source(), c.a, 1);
    EXPECT_EQ(t.Kind, c.inForce) << "kind " << c.chosen << " at " << c.a;
    EXPECT_EQ(t.Title, c.title);
  }
  // Point 105 stands for samples 150..159 of the compressed part.
  EXPECT_EQ(MarkKindTitle(d.Source(), 106, 1).Point.TimeIndex, 155);
}

TEST(MarkLabelText, RelativeTimeOfTheMark) {
  LabelData d;
  struct Case {
    int32_t triggerPoint;
    int64_t a;
    const char* text;
  } cases[] = {
      {100, 101, "瞬时值:0ms"},
      {1500, 1, "瞬时值:-1s500ms"},
      {100, 113, "瞬时值:12ms"},
  };
  for (const Case& c : cases) {
    d.display.DispTriggerPoint = c.triggerPoint;
    EXPECT_EQ(d.Label(c.a), c.text);
  }
}

TEST(MarkLabelText, LiveTimeAlignedAxisAddsTheTimeFromItsFirstTick) {
  LabelData d;
  d.display.DataSourceMode = 1;
  d.display.SelectFault = 0;
  d.view.Options.XAxialTime = true;
  d.view.FirstTickTime = 0.05;
  EXPECT_EQ(d.Label(101), "瞬时值:0ms\n\r(相对时间:-50ms)");
  d.view.Options.XAxialTime = false;
  EXPECT_EQ(d.Label(101), "瞬时值:0ms");
}

TEST(MarkLabelText, AbsoluteTimeCountsFromTheBlockTime) {
  LabelData d;
  d.view.Options.AbsoluteTime = true;
  d.blockTime = platform::EncodeDayCount({2004, 6, 6, 12, 0, 0, 0});
  d.display.DispTriggerPoint = 0;
  EXPECT_EQ(d.Label(90001), "瞬时值:04-6-6 12:01:30");
}

TEST(MarkLabelText, ListsTheDrawnChannelsInTheirOrder) {
  LabelData d;
  // Display positions 2 and 0 show channels 0 and 1; then switch input 1.
  d.config.AnalogDisplayOrder[0] = 1;
  d.config.AnalogDisplayOrder[1] = 2;
  d.config.AnalogDisplayOrder[2] = 0;
  d.Draw({2, 0}, {3 + 1});
  EXPECT_EQ(d.Label(101), "瞬时值:0ms\n\rC0: 1.2500V\n\rC1: 2.5000V\n\rS1: 低电平");
  // A page lists channels by their numbers.
  d.view.Options.Scope = ChannelScope::Page;
  EXPECT_EQ(d.Label(101), "瞬时值:0ms\n\rC2: 3.7500V\n\rC0: 1.2500V\n\rS1: 低电平");
  // Each line carries the kind in force.
  d.view.MarkType2 = kMarkHexCode;
  EXPECT_EQ(d.Label(101, 2), "十六进制AD值:0ms\n\rC2: 0x0E00\n\rC0: 0x0A00\n\rS1: 0");
}

TEST(MarkLabelText, AlgorithmKindsListNoChannels) {
  LabelData d;
  d.Draw({0, 1}, {3});
  d.config.Algorithm_Num = 0;
  d.view.MarkType1 = kMarkAlgorithmList;
  EXPECT_EQ(d.Label(101), "算法触发情况:0ms\n\r触发算法列表：");
  d.view.MarkType1 = kMarkAlgorithmValue;
  d.view.MarkAlgorithm1 = 0;
  EXPECT_EQ(d.Label(101), "0 号算法计算值:0ms\n\r未选中有效算法!\n\r\n\r结论: 此算法未触发！");
}

TEST(AlgorithmLabelText, OtherKindsLeaveTheTextAlone) {
  LabelData d;
  std::string text = "x";
  EXPECT_FALSE(AlgorithmLabelText(d.Source(), text, kMarkInstant, 1, 100));
  EXPECT_EQ(text, "x");
  EXPECT_TRUE(AlgorithmLabelText(d.Source(), text, kMarkAlgorithmList, 1, 100));
  EXPECT_EQ(text, "x\n\r触发算法列表：");
}

// The label lists what the renderer drew: in the all-channels scope by lines
// with 2 lines of 4 channels and 3 switch inputs, rows 0 and 1 hold the two
// lines' channels and rows 2 to 4 the switch inputs.
TEST(MarkLabelText, FollowsTheRenderersRowsOfTheAllChannelsScopeByLines) {
  MarkData d({1, 1, 1, 1, 1, 1, 1, 1}, 200, 3, [](int32_t, int32_t word) -> uint16_t {
    return word < 8 ? static_cast<uint16_t>(2048 + 256 * word) : 0x0005;
  });
  d.config.Total_Line = 2;
  for (int32_t l = 0; l < 2; ++l) d.config.LineTable[l].APhaseNum = 4;
  for (int32_t c = 0; c < 8; ++c) d.config.AnalogChannelTable[c].ChnGroupNo = c / 4;
  for (int32_t s = 0; s < 3; ++s) d.config.SwitchChannelTable[s].SWName = "S" + std::to_string(s);
  RebuildLineTables(d.config);
  d.view.Options.Scope = ChannelScope::Overall;
  d.view.Options.PhaseMultiple = true;
  d.view.XPosition = 0;
  d.view.DisplayWidth = 200;

  WaveformPaintInput input;
  input.Config = &d.config;
  input.Torque = &d.torque;
  input.Layout = &d.layout;
  input.Display = &d.display;
  input.TextHeight = 12;
  input.LabelWidth = 40;
  platform::RecordingCanvas canvas{400, 300};
  PaintWaveform(canvas, input, d.view);
  ASSERT_EQ(d.view.DrawnRows, 5);

  MarkSource s = d.Source();
  EXPECT_EQ(MarkLabelText(s, 101, 1),
            "瞬时值:100ms"
            "\n\rC0: 0.0000V\n\rC1: 0.6250V\n\rC2: 1.2500V\n\rC3: 1.8750V"
            "\n\rC4: 2.5000V\n\rC5: 3.1250V\n\rC6: 3.7500V\n\rC7: 4.3750V"
            "\n\rS0: 高电平\n\rS1: 低电平\n\rS2: 高电平");
}

TEST(OscMarkText, AnalogTraceLineHasALeadingSpaceAndSwitchTraceNone) {
  LabelData d;
  d.display.DataSourceMode = 2;
  d.oscil.MeasTime = 1;
  d.oscil.UseChn1 = 1;
  d.oscil.ChnAd1 = 0;
  d.oscil.ACDC1 = 1;
  d.oscil.UseChn2 = 1;
  d.oscil.ChnAD2 = 3;  // switch input 0
  EXPECT_EQ(d.Osc(11), "瞬时值:10ms\n\r C0(踪1): 1.2500V\n\rS0(踪2): 高电平");
  // Milliseconds from the first shown point, or from the data's start.
  d.view.XPosition = 5;
  EXPECT_EQ(d.Osc(11), "瞬时值:5ms\n\r C0(踪1): 1.2500V\n\rS0(踪2): 高电平");
  d.view.Options.AbsoluteTime = true;
  EXPECT_EQ(d.Osc(11), "瞬时值:10ms\n\r C0(踪1): 1.2500V\n\rS0(踪2): 高电平");
  d.oscil.UseChn1 = 0;
  EXPECT_EQ(d.Osc(11), "瞬时值:10ms\n\rS0(踪2): 高电平");
}

TEST(OscMarkText, GroundedTraceShowsTheZeroCodeOrGnd) {
  LabelData d;
  d.display.DataSourceMode = 2;
  d.oscil.UseChn1 = 1;
  d.oscil.ChnAd1 = 0;
  d.oscil.ACDC1 = 2;
  d.oscil.UseChn2 = 1;
  d.oscil.ChnAD2 = 1;
  d.oscil.ACDC2 = 2;
  EXPECT_EQ(d.Osc(11), "瞬时值:10ms\n\r C0(踪1): 0.0000V\n\r C1(踪2): 0.0000V");
  d.view.MarkType1 = kMarkPhase;
  EXPECT_EQ(d.Osc(11), "相位角度:10ms\n\r C0(踪1): GND\n\r C1(踪2):  GND");
  // The code itself is still shown in hexadecimal.
  d.view.MarkType1 = kMarkHexCode;
  EXPECT_EQ(d.Osc(11), "十六进制AD值:10ms\n\r C0(踪1): 0x0A00\n\r C1(踪2): 0x0C00");
}

TEST(OscMarkText, TimeLinesOffGiveNoText) {
  LabelData d;
  d.display.DataSourceMode = 2;
  d.oscil.MeasTime = 0;
  EXPECT_EQ(d.Osc(11), "");
}

TEST(OscMarkText, AlgorithmKindsListNoTraces) {
  LabelData d;
  d.display.DataSourceMode = 2;
  d.view.MarkType2 = kMarkAlgorithmList;
  EXPECT_EQ(d.Osc(11, 2), "算法触发情况:10ms\n\r触发算法列表：");
}

}  // namespace
