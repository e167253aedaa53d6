// The text grid's frame and its fill from a known display in each mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MarkDataForTest.h"
#include "view/DisplayLayout.h"
#include "view/TextGrid.h"

namespace {

using namespace quelvar;
using platform::CellGrid;

constexpr int32_t kColumns = 8;

// Two lines of one channel each, shown in reverse channel order: channel 1
// (rate x4, raw codes, 0 decimals) at display index 0 and channel 0 (rate
// x1, volts) at index 1; 18 switch inputs. 8 rows, so 32 points. Channel 0's
// code in row r is 2048 + 256 r (0.625 r V); channel 1's sub-sample s has
// the code s. The time origin is window point 2 at 1000 points a second.
struct KnownDisplay {
  test::MarkData data{{1, 4}, 8, 18, [](int32_t, int32_t) { return uint16_t{0}; }};
  CellGrid grid;

  KnownDisplay() {
    LiveConfig& c = data.config;
    c.Total_Line = 2;
    c.LineTable[0].APhaseNum = 1;
    c.LineTable[1].APhaseNum = 1;
    c.AnalogChannelTable[0].ChnGroupNo = 1;
    c.AnalogChannelTable[1].ChnGroupNo = 0;
    c.AnalogChannelTable[1].ChnIDDC = kChannelRawCode;
    c.AnalogChannelTable[1].ChnDigiPoint = 0;
    c.AnalogChannelTable[1].ChnUnits = "n";
    RebuildLineTables(c);
    data.layout.MaxChannelRate = 1000.0f;
    data.display.DispTriggerPoint = 2;
    for (int32_t row = 0; row < 8; ++row) {
      Set(row, 0, static_cast<uint16_t>(2048 + 256 * row));
      for (int32_t k = 0; k < 4; ++k) {
        Set(row, k == 0 ? 1 : data.layout.ExtraSlotFirst[1] + k - 1, static_cast<uint16_t>(4 * row + k));
      }
    }
    BuildTextGridFrame(c, kColumns, true, grid);
  }
  void Set(int32_t row, int32_t word, uint16_t value) {
    data.words[static_cast<size_t>(row * data.config.NumChn + word)] = value;
  }
  void Fill(GridMode mode, int32_t firstPoint = 0) {
    ChannelValueSource source{data.config, data.torque, data.display, data.layout};
    FillTextGrid(source, TextGridView{kColumns, firstPoint, mode}, grid);
  }
  // Data columns 1 .. 8 of a grid row.
  std::vector<std::string> Row(int row) const {
    std::vector<std::string> texts;
    for (int col = 2; col < 2 + kColumns; ++col) texts.push_back(grid.Cell(col, row));
    return texts;
  }
};

using Texts = std::vector<std::string>;

TEST(TextGridFrame, HeadingsNamesUnitsAndPositionsFollowTheRowOrder) {
  KnownDisplay k;
  const CellGrid& g = k.grid;
  EXPECT_EQ(g.ColCount(), kColumns + 3);
  EXPECT_EQ(g.RowCount(), 2 + 2 + 18);
  EXPECT_EQ(g.FixedCols(), 2);
  EXPECT_EQ(g.FixedRows(), 2);
  EXPECT_EQ(g.Cell(0, 0), "  \\时间");
  EXPECT_EQ(g.Cell(1, 0), "(ms)");
  EXPECT_EQ(g.Cell(0, 1), "通道");
  EXPECT_EQ(g.Cell(1, 1), "单位\\点");
  // Display index 0 (channel 1) first, then channel 0, then the switches.
  EXPECT_EQ(g.Cell(0, 2), "C1");
  EXPECT_EQ(g.Cell(1, 2), "n");
  EXPECT_EQ(g.Cell(0, 3), "C0");
  EXPECT_EQ(g.Cell(0, 4), "SW0");
  EXPECT_EQ(g.Cell(1, 4), "开关量");
  EXPECT_EQ(g.Cell(kColumns + 2, 0), "显示顺序");
  EXPECT_EQ(g.Cell(kColumns + 2, 1), "(行)");
  EXPECT_EQ(g.Cell(kColumns + 2, 2), "0");
  EXPECT_EQ(g.Cell(kColumns + 2, 21), "19");
  // Only the position column takes typing.
  EXPECT_TRUE(g.ReadOnly(2, 2));
  EXPECT_TRUE(g.ReadOnly(kColumns + 1, 21));
  EXPECT_FALSE(g.ReadOnly(kColumns + 2, 2));
}

TEST(TextGridFrame, WithoutEngineeringUnitsTheUnitIsHexAndTheOrderIsMadeAPermutation) {
  KnownDisplay k;
  k.data.config.GridOrder[0] = 7;  // a stored order of another configuration
  k.data.config.GridOrder[1] = 7;
  k.grid.SetCell(5, 5, "stale");
  BuildTextGridFrame(k.data.config, kColumns, false, k.grid);
  EXPECT_EQ(k.grid.Cell(5, 5), "");
  EXPECT_EQ(k.grid.Cell(1, 9), "Hex");
  std::vector<bool> seen(20, false);
  for (int i = 0; i < 20; ++i) seen.at(static_cast<size_t>(k.data.config.GridOrder[i])) = true;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 20);
}

TEST(TextGridFrame, DataColumnsFollowTheGridWidthButAreAtLeastFour) {
  EXPECT_EQ(TextGridColumnsFor(640, 64), 8);
  EXPECT_EQ(TextGridColumnsFor(200, 64), 4);
  EXPECT_EQ(TextGridColumnsFor(640, 0), 638);  // no width: one pixel a column
}

TEST(TextGridFill, EngineeringValuesPointNumbersAndTimes) {
  KnownDisplay k;
  k.Fill(GridMode::Engineering);
  EXPECT_EQ(k.Row(1), (Texts{"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(k.Row(0), (Texts{"-2", "-1", "0", "1", "2", "3", "4", "5"}));
  // The x4 channel has a sample in every column.
  EXPECT_EQ(k.Row(2), (Texts{"0", "1", "2", "3", "4", "5", "6", "7"}));
  // The x1 channel's sample shows only in the first column that reaches it.
  EXPECT_EQ(k.Row(3), (Texts{"0.0000", "", "", "", "0.6250", "", "", ""}));
}

TEST(TextGridFill, RowsFollowTheOrderAndSwitchesReadTheirBit) {
  KnownDisplay k;
  LiveConfig& c = k.data.config;
  c.GridOrder[0] = 1;  // channel 1 to the second row, channel 0 to the first
  c.GridOrder[1] = 0;
  // Switch 17 is bit 1 of the second switch word; high in row 0 only.
  k.Set(0, c.Analog_Num + 1, 0x0002);
  k.Fill(GridMode::Engineering);
  EXPECT_EQ(k.grid.Cell(0, 2), "C0");
  EXPECT_EQ(k.Row(2), (Texts{"0.0000", "", "", "", "0.6250", "", "", ""}));
  EXPECT_EQ(k.grid.Cell(0, 3), "C1");
  EXPECT_EQ(k.Row(3)[5], "5");
  EXPECT_EQ(k.grid.Cell(0, 4 + 17), "SW17");
  EXPECT_EQ(k.Row(4 + 17), (Texts{"1", "1", "1", "1", "0", "0", "0", "0"}));
  EXPECT_EQ(k.Row(4 + 16), (Texts{"0", "0", "0", "0", "0", "0", "0", "0"}));
  // The position column numbers the rows, whatever they show.
  EXPECT_EQ(k.grid.Cell(kColumns + 2, 2), "0");
}

TEST(TextGridFill, DirectValuesAndHexCodes) {
  struct Case {
    GridMode mode;
    int32_t adBit;
    std::string unit0, unit1, volts, code;
  };
  const Case cases[] = {
      {GridMode::DirectValue, 12, "直接AD", "直接AD", "0.6250", "5"},
      {GridMode::DirectValue, 16, "直接AD", "直接AD", "0.62500", "5"},
      {GridMode::Hex, 12, "Hex", "Hex", "0900", "0005"},
      {GridMode::Engineering, 12, "V", "n", "0.6250", "5"},
  };
  for (const Case& c : cases) {
    KnownDisplay k;
    k.data.config.ADBit = c.adBit;
    k.Fill(c.mode);
    SCOPED_TRACE(c.adBit);
    EXPECT_EQ(k.grid.Cell(1, 3), c.unit0);
    EXPECT_EQ(k.grid.Cell(1, 2), c.unit1);
    EXPECT_EQ(k.Row(3)[4], c.volts);  // code 2304 of channel 0
    EXPECT_EQ(k.Row(2)[5], c.code);   // the raw-code channel shows its code
  }
  KnownDisplay k;
  k.Set(0, 0, 2048);
  k.Fill(GridMode::Hex);
  EXPECT_EQ(k.Row(3)[0], "0800");
}

TEST(TextGridFill, TheFirstPointScrollsAndWrapsRoundTheData) {
  KnownDisplay k;
  k.Fill(GridMode::Engineering, 29);
  EXPECT_EQ(k.Row(1), (Texts{"30", "31", "32", "1", "2", "3", "4", "5"}));
  EXPECT_EQ(k.Row(2), (Texts{"29", "30", "31", "0", "1", "2", "3", "4"}));
  // Row 7 of channel 0 (point 29), then row 0 again at point 1.
  EXPECT_EQ(k.Row(3), (Texts{"4.3750", "", "", "0.0000", "", "", "", "0.6250"}));
}

TEST(TextGridFill, ACompressedTailShowsTheMiddleOfEachRowsInterval) {
  test::MarkData data({1}, 10, 0, [](int32_t row, int32_t) { return static_cast<uint16_t>(2048 + row); });
  data.config.NumSamp = 5;  // two blocks of five rows
  data.display.DispBlocks = 2;
  data.display.DispCompressed = 1;
  data.display.DispCompressStart = 1;
  data.display.DispCompressRatio = 10;
  data.layout.MaxChannelRate = 1000.0f;
  RebuildLineTables(data.config);
  CellGrid grid;
  BuildTextGridFrame(data.config, kColumns, true, grid);
  ChannelValueSource source{data.config, data.torque, data.display, data.layout};
  FillTextGrid(source, TextGridView{kColumns, 2, GridMode::Engineering}, grid);
  // Points 2 .. 4 as they are, points 5 on at 10 samples each: 5 + 5, 15 + 5, ...
  const Texts times = {"2.0000", "3.0000", "4.0000", "10.0000", "20.0000", "30.0000", "40.0000", "50.0000"};
  for (int col = 0; col < kColumns; ++col) EXPECT_EQ(grid.Cell(col + 2, 0), times[static_cast<size_t>(col)]);
}

TEST(TextGridFill, NothingWithoutDataAndNoMoreColumnsThanPoints) {
  KnownDisplay k;
  k.data.display.DispValid = 0;
  k.Fill(GridMode::Engineering);
  EXPECT_EQ(k.grid.Cell(2, 1), "");

  test::MarkData small({1}, 3, 0, [](int32_t, int32_t) { return uint16_t{2048}; });
  RebuildLineTables(small.config);
  CellGrid grid;
  BuildTextGridFrame(small.config, kColumns, true, grid);
  ChannelValueSource source{small.config, small.torque, small.display, small.layout};
  FillTextGrid(source, TextGridView{kColumns, 0, GridMode::Engineering}, grid);
  EXPECT_EQ(grid.Cell(4, 1), "3");
  EXPECT_EQ(grid.Cell(5, 1), "");
}

TEST(TextGridFill, AStoredOrderThatIsNoPermutationNeverWritesOverTheHeadings) {
  KnownDisplay k;
  k.data.config.GridOrder[0] = -1;
  k.data.config.GridOrder[1] = -2;
  k.Fill(GridMode::Engineering);
  EXPECT_EQ(k.Row(1), (Texts{"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(k.grid.Cell(0, 1), "通道");
  EXPECT_EQ(k.grid.Cell(0, 0), "  \\时间");
}

TEST(TextGridStart, TheFirstPointStaysWithinTheData) {
  EXPECT_EQ(GridFirstPointFor(10, 100, 8), 10);
  EXPECT_EQ(GridFirstPointFor(99, 100, 8), 92);
  EXPECT_EQ(GridFirstPointFor(5, 4, 8), 0);
  EXPECT_EQ(GridFirstPointFor(-3, 100, 8), 0);
}

}  // namespace
