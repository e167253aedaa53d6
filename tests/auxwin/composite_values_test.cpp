// The composite panel's values over one block: every operation on a block
// whose answers are known, the alarm tests at their bounds, and blocks and
// definitions that give nothing to read.
#include <gtest/gtest.h>

#include <limits>

#include <vector>

#include "auxwin/CompositeValues.h"
#include "platform/RecordingCanvas.h"
#include "view/EngineeringUnits.h"

namespace {

using namespace quelvar;

// A block of 2 analog channels (the second at 3 sub-samples a row, extra
// words 3 and 4) and one switch word, 4 rows; raw-code channels so the
// values are the codes themselves.
struct BlockFixture {
  LiveConfig config;
  SampleLayout layout;
  TorqueTables torque;
  std::vector<uint16_t> block;

  BlockFixture() {
    config.Analog_Num = 2;
    config.SW_Num = 16;
    config.NumChn = 5;
    config.NumSamp = 4;
    for (int c = 0; c < 2; ++c) {
      config.AnalogChannelTable[static_cast<size_t>(c)].ChnIDDC = 3;
      config.AnalogChannelTable[static_cast<size_t>(c)].ChnCoeA = 0.0f;
      config.AnalogChannelTable[static_cast<size_t>(c)].ChnCoeB = 1.0f;
    }
    layout.MultiFreqTable.fill(1);
    layout.MultiFreqTable[1] = 3;
    layout.ExtraSlotFirst[1] = 3;
    layout.ExtraSlotLast[1] = 5;
    // seq, then rows {ch0, ch1 base, switches, ch1 extra 1, ch1 extra 2}.
    block = {7,
             10, 100, 0x0001, 101, 102,  //
             30, 200, 0x0003, 201, 60000,  //
             20, 5,   0x0002, 6,   7,    //
             40, 300, 0x0001, 301, 302};
  }
  CompositeBlockInput Source() const { return {config, layout, torque, block.data()}; }
};

TEST(CompositeValuesTest, EveryAnalogOperationOnAKnownBlock) {
  const BlockFixture f;
  struct Case {
    int32_t channel, kind;
    double want;
  } cases[] = {
      {0, kCompositeLatest, 40},
      {0, kCompositeAverage, 25},  // (10 + 30 + 20 + 40) / 4
      {0, kCompositeMaximum, 40},
      {0, kCompositeMinimum, 10},
      {0, 17, 40},  // an unknown kind shows the latest value
      // Multi-rate: every sub-sample counts, the latest is the last extra word.
      {1, kCompositeLatest, 302},
      {1, kCompositeAverage, (100 + 101 + 102 + 200 + 201 + 60000 + 5 + 6 + 7 + 300 + 301 + 302) / 12.0},
      {1, kCompositeMaximum, 60000},  // compared as unsigned codes
      {1, kCompositeMinimum, 5},
  };
  for (const Case& c : cases) {
    // The raw value reaches the conversion as a 32-bit float.
    EXPECT_NEAR(CompositeBlockValue(f.Source(), c.channel, c.kind), c.want, 1e-3) << c.channel << "/" << c.kind;
  }
}

TEST(CompositeValuesTest, EverySwitchOperationOnAKnownBlock) {
  const BlockFixture f;
  // Bit 0: set, set, clear, set. Bit 1: clear, set, set, clear (a tie).
  // Bit 2: never set.
  struct Case {
    int32_t input, kind, want;
  } cases[] = {
      {0, 1, 1}, {0, 2, 1}, {0, 3, 0}, {0, 0, 1},  //
      {1, 1, 1}, {1, 2, 1}, {1, 3, 0}, {1, 0, 0},  // a tie is a majority
      {2, 1, 0}, {2, 2, 0}, {2, 3, 0}, {2, 9, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompositeSwitchState(f.Source(), c.input, c.kind), c.want) << c.input << "/" << c.kind;
  }
  // Ten rows, five set: the majority is 1.
  BlockFixture ten;
  ten.config.NumSamp = 10;
  ten.block.assign(1 + 10 * 5, 0);
  for (int r = 0; r < 5; ++r) ten.block[static_cast<size_t>(1 + r * 5 + 2)] = 0x0010;
  EXPECT_EQ(CompositeSwitchState(ten.Source(), 4, 1), 1);
  EXPECT_EQ(CompositeSwitchState(ten.Source(), 4, 3), 0);
}

TEST(CompositeValuesTest, AlarmsHoldExactlyAtTheirBounds) {
  struct Case {
    int32_t alarm;
    double value;
    bool holds;
  } cases[] = {
      {kCompositeNoAlarm, 0.05, false},
      {kCompositeBelow, 0.05, true},   {kCompositeBelow, 0.0500001, false}, {kCompositeBelow, -1, true},
      {kCompositeAbove, 0.05, true},   {kCompositeAbove, 0.0499999, false}, {kCompositeAbove, 3, true},
      {kCompositeInside, 0.05, true},  {kCompositeInside, 0.4, true},       {kCompositeInside, 0.2, true},
      {kCompositeInside, 0.0499999, false}, {kCompositeInside, 0.4000001, false},
      {kCompositeOutside, 0.05, true}, {kCompositeOutside, 0.4, true},      {kCompositeOutside, 0.2, false},
      {kCompositeOutside, 0.5, true},  {7, 0.05, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompositeAlarmHolds(c.alarm, c.value, 0.05, 0.4), c.holds) << c.alarm << " at " << c.value;
  }
  EXPECT_TRUE(CompositeSwitchAlarmHolds(kCompositeBelow, 0));
  EXPECT_FALSE(CompositeSwitchAlarmHolds(kCompositeBelow, 1));
  EXPECT_TRUE(CompositeSwitchAlarmHolds(kCompositeAbove, 1));
  EXPECT_FALSE(CompositeSwitchAlarmHolds(kCompositeAbove, 0));
  EXPECT_FALSE(CompositeSwitchAlarmHolds(kCompositeInside, 0));
  EXPECT_FALSE(CompositeSwitchAlarmHolds(kCompositeOutside, 1));
}

TEST(CompositeValuesTest, CellsShowTextsAndAlarmsAndClampTheirChannels) {
  const BlockFixture f;
  CompositeDef def;
  def.Count = 4;
  def.Items.assign(4, BlankCompositeItem());
  def.Items[0] = {0, 2, kCompositeAverage, kCompositeInside, {}, 25.0, 30.0};  // 25 is a bound
  def.Items[1] = {1, 0, kCompositeMaximum, kCompositeBelow, {}, 100.0, 0.0};
  def.Items[2] = {2, 0, 0, kCompositeAbove, {}, 0.0, 0.0};  // switch input 0, last row set
  def.Items[3] = {500, 1, 0, kCompositeBelow, {}, 0.0, 0.0};  // beyond: the last switch input
  std::vector<CompositeCell> cells;
  ComputeCompositeCells(def, f.Source(), cells);
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].Text, "25.00");
  EXPECT_TRUE(cells[0].Alarm);
  EXPECT_EQ(cells[1].Text, "60000");
  EXPECT_FALSE(cells[1].Alarm);
  EXPECT_EQ(cells[2].Text, "1");
  EXPECT_TRUE(cells[2].Alarm);
  EXPECT_EQ(cells[3].Text, "0");  // switch input 15, never set
  EXPECT_TRUE(cells[3].Alarm);
}

TEST(CompositeValuesTest, TorquePowerMultipliesItsSourcesAndACycleEndsAtZero) {
  BlockFixture f;
  f.config.Analog_Num = 4;
  f.config.NumChn = 5;
  f.layout.MultiFreqTable.fill(1);
  // Channels 2 and 3 are torque power: 2 = ch0 x ch1, 3 = ch3 x ch0 (itself).
  f.config.AnalogChannelTable[2].ChnIDDC = kChannelTorquePower;
  f.config.AnalogChannelTable[2].ChnCoeA = 0.9f;  // truncated to 0
  f.config.AnalogChannelTable[2].ChnCoeB = 1.0f;
  f.config.AnalogChannelTable[3].ChnIDDC = kChannelTorquePower;
  f.config.AnalogChannelTable[3].ChnCoeA = 3.0f;
  f.config.AnalogChannelTable[3].ChnCoeB = 0.0f;
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 2, kCompositeLatest), 40.0 * 300.0);
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 2, kCompositeMinimum), 10.0 * 5.0);
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 3, kCompositeLatest), 0.0);
  // Two torque-power channels that name each other.
  f.config.AnalogChannelTable[2].ChnCoeA = 3.0f;
  f.config.AnalogChannelTable[3].ChnCoeA = 2.0f;
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 2, kCompositeAverage), 0.0);
  // Factor numbers that are no numbers (from a record or a peer) name
  // channel 0; infinities name the first or the last channel.
  f.config.AnalogChannelTable[2].ChnCoeA = std::numeric_limits<float>::quiet_NaN();
  f.config.AnalogChannelTable[2].ChnCoeB = std::numeric_limits<float>::infinity();
  const double ch0 = CompositeBlockValue(f.Source(), 0, kCompositeLatest);
  const double ch3 = CompositeBlockValue(f.Source(), 3, kCompositeLatest);
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 2, kCompositeLatest), ch0 * ch3);
  f.config.AnalogChannelTable[2].ChnCoeB = -std::numeric_limits<float>::infinity();
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 2, kCompositeLatest), ch0 * ch0);
}

TEST(CompositeValuesTest, NothingIsReadOutsideTheBlock) {
  BlockFixture f;
  // A layout whose extra words lie past the row, and a switch word past it.
  f.layout.ExtraSlotLast[1] = 40;
  f.config.SW_Num = 64;
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 1, kCompositeLatest), 302);
  EXPECT_EQ(CompositeSwitchState(f.Source(), 60, 2), 0);  // word 5 of a 5-word row
  // No rows, or no words a row: zeros instead of a read before the block.
  f.config.NumSamp = 0;
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 0, kCompositeAverage), 0.0);
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 0, kCompositeLatest), 0.0);
  EXPECT_EQ(CompositeSwitchState(f.Source(), 0, 0), 0);
  f.config.NumSamp = 4;
  f.config.NumChn = 0;
  EXPECT_DOUBLE_EQ(CompositeBlockValue(f.Source(), 0, kCompositeMaximum), 0.0);
}

TEST(CompositeValuesTest, ACardWithoutChannelsShowsLabelsButNoValues) {
  BlockFixture f;
  f.config.Analog_Num = 0;
  f.config.SW_Num = 0;
  CompositeDef def;
  DefaultCompositeDef(def, f.config);
  std::vector<CompositeCell> cells;
  ComputeCompositeCells(def, f.Source(), cells);
  ASSERT_EQ(cells.size(), 4u);
  for (const CompositeCell& cell : cells) {
    EXPECT_TRUE(cell.Text.empty());
    EXPECT_FALSE(cell.Alarm);
  }
  platform::RecordingCanvas canvas(400, 300);
  DrawCompositePanel(canvas, def, cells, 0, {240, 240, 240});
  EXPECT_EQ(CompositeChannel(3, f.config), -1);
}

TEST(CompositeValuesTest, ADefinitionWithoutItemsDrawsOnlyTheBackground) {
  const BlockFixture f;
  CompositeDef def;
  def.Count = 0;
  std::vector<CompositeCell> cells(3);
  ComputeCompositeCells(def, f.Source(), cells);
  EXPECT_TRUE(cells.empty());
  platform::RecordingCanvas canvas(200, 100);
  DrawCompositePanel(canvas, def, cells, 1, {240, 240, 240});
  EXPECT_TRUE(canvas.OpsOf(platform::CanvasOp::Kind::Text).empty());
  ASSERT_FALSE(canvas.OpsOf(platform::CanvasOp::Kind::FillRect).empty());
  EXPECT_EQ(canvas.OpsOf(platform::CanvasOp::Kind::FillRect)[0].brush.color, platform::kBlack);
}

TEST(CompositeValuesTest, ValuesAndLabelsStandInTheirCellsAndAlarmsAreRed) {
  CompositeDef def;
  def.Count = 3;
  def.Columns = 2;
  def.FontSize = 10;  // recording metrics: "0" is 10 wide, 20 high
  def.Chars = 7;
  def.Items.assign(3, BlankCompositeItem());
  for (int k = 0; k < 3; ++k) SetCompositeItemName(def.Items[static_cast<size_t>(k)], "L" + std::to_string(k));
  const std::vector<CompositeCell> cells = {{"1.5", false}, {"2.5", true}, {"0", false}};
  platform::RecordingCanvas canvas(400, 300);
  DrawCompositePanel(canvas, def, cells, 0, {240, 240, 240});
  // W = 10 x 7 + 2 = 72, H = 20 x 3 / 2 = 30.
  std::vector<std::string> texts;
  for (const platform::CanvasOp& op : canvas.OpsOf(platform::CanvasOp::Kind::Text)) texts.push_back(op.ToString());
  const std::vector<std::string> want = {
      R"(text (5,10) "1.5" font "Arial" 10 #0000FF transparent)",
      R"(text (77,10) "2.5" font "Arial" 10 #FF0000 transparent)",
      R"(text (5,40) "0" font "Arial" 10 #0000FF transparent)",
      R"(text (8,0) "L0" font "Arial" 5 #000000 transparent)",
      R"(text (80,0) "L1" font "Arial" 5 #000000 transparent)",
      R"(text (8,30) "L2" font "Arial" 5 #000000 transparent)",
  };
  EXPECT_EQ(texts, want);
  // The middle line of the bevel (slot 6) closes every row and column: R + 1
  // horizontal and C + 1 vertical lines, from y = H / 8 down R x H.
  int horizontal = 0, vertical = 0;
  for (const platform::CanvasOp& op : canvas.OpsOf(platform::CanvasOp::Kind::Line)) {
    if (op.pen.color != platform::Color{240, 240, 240}) continue;
    if (op.from.y == op.to.y) {
      ++horizontal;
      EXPECT_EQ(op.from.x, 2);
      EXPECT_EQ(op.to.x, 72 * 2 + 2);
    } else {
      ++vertical;
      EXPECT_EQ(op.from.y, 3);
      EXPECT_EQ(op.to.y, 3 + 2 * 30);
    }
  }
  EXPECT_EQ(horizontal, 3);
  EXPECT_EQ(vertical, 3);
}

TEST(CompositeValuesTest, SevenItemsInThreeColumnsMakeThreeRows) {
  CompositeDef def;
  def.Count = 7;
  def.Columns = 3;
  platform::RecordingCanvas canvas(400, 300);
  EXPECT_EQ(CompositeCellSizeOf(def, canvas).Rows, 3);
  def.Columns = 0x7FFFFFFF;  // no overflow, one row
  EXPECT_EQ(CompositeCellSizeOf(def, canvas).Rows, 1);
}

TEST(CompositeValuesTest, TheIntervalKeepsZeroAndRaisesShortOnes) {
  EXPECT_EQ(NormalizeCompositeInterval(0), 0);
  EXPECT_EQ(NormalizeCompositeInterval(30), 50);
  EXPECT_EQ(NormalizeCompositeInterval(-5), 50);
  EXPECT_EQ(NormalizeCompositeInterval(50), 50);
  EXPECT_EQ(NormalizeCompositeInterval(1000), 1000);
}

}  // namespace
