#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "common/ChannelVocabularies.h"
#include "common/NumberFormat.h"
#include "platform/ScriptedUiHost.h"
#include "setup/CalibrationSession.h"
#include "view/EngineeringUnits.h"
#include "view/SensorCharacteristics.h"

namespace {

using namespace quelvar;
using platform::CellGrid;
using Kind = platform::ScriptedUiHost::Kind;

constexpr double kPi = 3.14159265358979323846;

// A card in snapshot mode: each block's word (row, channel) comes from `sample`.
struct FakeCard {
  int32_t initialResult = 1;
  int32_t startResult = 1;
  int32_t snapshotResult = 1;
  int initials = 0, starts = 0, stops = 0, multiFreqs = 0;
  uint32_t startSamples = 0, startNumChn = 0, askedRows = 0;
  std::function<uint16_t(uint32_t row, uint32_t channel)> sample = [](uint32_t, uint32_t) { return 2048; };
};
FakeCard* card = nullptr;

int32_t FakeInitial(uint32_t, uint32_t, uint32_t, uint32_t) {
  ++card->initials;
  return card->initialResult;
}
int32_t FakeSetMultiFreq(int32_t, const int32_t*) {
  ++card->multiFreqs;
  return 1;
}
int32_t FakeStartSnapshot(uint32_t, uint32_t samples, uint32_t, uint32_t numChn, uint32_t, uint32_t, uint32_t,
                          uint32_t) {
  ++card->starts;
  card->startSamples = samples;
  card->startNumChn = numChn;
  return card->startResult;
}
int32_t FakeStopIntr() {
  ++card->stops;
  return 1;
}
// Fills the whole block the start asked for, as a card would.
int32_t FakeGetSnapshot(uint16_t* block, uint32_t rows, int32_t* count) {
  card->askedRows = rows;
  if (card->snapshotResult != 1) return card->snapshotResult;
  block[0] = 1;
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t c = 0; c < card->startNumChn; ++c) block[1 + r * card->startNumChn + c] = card->sample(r, c);
  }
  *count = static_cast<int32_t>(rows);
  return 1;
}

class Calibration : public ::testing::Test {
 protected:
  FakeCard fake;
  AppState state;
  platform::ScriptedUiHost ui;
  CalibrationState cal;
  CellGrid grid = NewCalibrateGrid();

  void SetUp() override {
    card = &fake;
    AdDriver& d = state.driver.Entries;
    d.Initial = FakeInitial;
    d.SetMultiFreq = FakeSetMultiFreq;
    d.StartSnapshot = FakeStartSnapshot;
    d.StopIntr = FakeStopIntr;
    d.GetSnapshot = FakeGetSnapshot;
    LiveConfig& c = state.config;
    c.Analog_Num = 4;
    c.SW_Num = 0;
    c.NumChn = 4;
    c.NumSamp = 20;
    c.ChannelRate = 1000.0f;
    c.FrqSamp = 1000;
    c.ACFrq = 50.0f;
    c.VZero = 2048.0f;
    c.ADMax = 4095.0f;
    c.EnvTemp = 20.0f;
    c.ColdJunctionTemp = 20.0f;
    for (int i = 0; i < kMaxAnalogChannels; ++i) {
      c.AnalogChannelTable[i].ChnName = "CH" + std::to_string(i);
      c.AnalogChannelTable[i].ChnUnits = "V";
      c.AnalogChannelTable[i].ChnIDDC = kChannelDC;
      c.AnalogChannelTable[i].MultiFreq = 1;
    }
  }
  void TearDown() override { card = nullptr; }

  void Open(bool idle = true) { FillCalibrateGrid(grid, cal, state.config, idle); }
  void Press(int32_t signal) { PressCalibrateButton(cal, signal, grid, state, ui); }
  bool Tick() { return CalibrateTick(cal, grid, state); }
  void Calculate() { CalculateCalibration(cal, grid, state.config, state.torque, ui); }
  const std::string& Cell(int col, int dataRow) const { return grid.Cell(col, dataRow + kCalibrateHeadingRows); }
  void Set(int col, int dataRow, const std::string& text) { grid.EditCell(col, dataRow + kCalibrateHeadingRows, text); }
  static double Volts(double code) { return (code - 2048.0) / 2047.0 * 5.0; }
};

TEST_F(Calibration, OpeningFillsEveryChannelInRowOrder) {
  LiveConfig& c = state.config;
  c.AnalogChannelTable[1].ChnIDDC = kChannelAC;
  c.AnalogChannelTable[2].ChnIDDC = kChannelKType;
  c.AnalogChannelTable[3].ChnIDDC = kChannelPlatinum;
  c.AnalogChannelTable[3].ChnCoeA = 1.23456789f;
  c.AnalogChannelTable[3].ChnCoeB = -2e-7f;
  // Duplicates and out-of-range entries become a permutation.
  cal.CalibrateGridOrder[0] = 3;
  cal.CalibrateGridOrder[1] = 3;
  cal.CalibrateGridOrder[2] = 99;
  cal.CalibrateGridOrder[3] = 0;
  grid.SetRowCount(6);
  grid.SetCell(kCalColLowerMeasured, 2, "1.5");
  grid.SetCell(kCalColLowerTarget, 2, "10");
  Open();
  ASSERT_EQ(grid.RowCount(), 6);
  EXPECT_EQ(grid.Cell(0, 0), "通道");
  EXPECT_EQ(grid.Cell(9, 0), "校准结果");
  EXPECT_EQ(grid.Cell(5, 1), "AD(V)");
  EXPECT_EQ(grid.ColWidth(0), 30);
  std::vector<int> shown;
  for (int i = 0; i < 4; ++i) shown.push_back(std::stoi(Cell(kCalColNumber, i)));
  EXPECT_EQ(shown, (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(Cell(kCalColName, 0), "CH3");
  EXPECT_EQ(Cell(kCalColUnits, 0), "V");
  EXPECT_EQ(Cell(kCalColType, 0), ChannelTypeText(kChannelPlatinum));
  // K type opens as the compensated K type, AC as DC.
  EXPECT_EQ(Cell(kCalColType, 1), ChannelTypeText(kChannelKTypeCompensated));
  EXPECT_EQ(Cell(kCalColType, 2), ChannelTypeText(kChannelDC));
  EXPECT_EQ(Cell(kCalColPoints, 0), "20");  // 1000 Hz / 50 Hz
  EXPECT_EQ(Cell(kCalColCoeA, 0), FormatGeneral(1.23456789f, 6));
  EXPECT_EQ(Cell(kCalColCoeB, 0), FormatGeneral(-2e-7f, 6));
  // Measured values stay; targets are emptied when idle.
  EXPECT_EQ(Cell(kCalColLowerMeasured, 0), "1.5");
  EXPECT_EQ(Cell(kCalColLowerTarget, 0), "");
}

TEST_F(Calibration, OpeningWhileRunningKeepsTargetsAndSlowCardsAverageTenPoints) {
  state.config.ChannelRate = 100.0f;  // 2 points per cycle: at least 10
  Open();
  Set(kCalColLowerTarget, 1, "5");
  Set(kCalColUpperTarget, 1, "9");
  Open(false);
  EXPECT_EQ(Cell(kCalColPoints, 1), "10");
  EXPECT_EQ(Cell(kCalColLowerTarget, 1), "5");
  EXPECT_EQ(Cell(kCalColUpperTarget, 1), "9");
}

TEST_F(Calibration, SamplingNeedsTheRealCardAndNoRun) {
  LiveConfig& c = state.config;
  EXPECT_TRUE(CalibrateSamplingAllowed(c, kRunIdle));
  EXPECT_FALSE(CalibrateSamplingAllowed(c, kRunRecording));
  EXPECT_FALSE(CalibrateSamplingAllowed(c, kRunOscilloscope));
  c.SimulateAD = 1;
  EXPECT_FALSE(CalibrateSamplingAllowed(c, kRunIdle));
}

// The button state machine: press, press the other, press again, exit.
TEST_F(Calibration, ButtonsStartStopAndSwitchTheSampledSignal) {
  Open();
  Press(kCalibrateLower);
  EXPECT_EQ(cal.CalibrateState, kCalibrateLower);
  EXPECT_EQ(CalibrateButtonCaption(kCalibrateLower, cal.CalibrateState), "停下限信号");
  EXPECT_EQ(CalibrateButtonCaption(kCalibrateUpper, cal.CalibrateState), "采上限信号");
  EXPECT_EQ(fake.starts, 1);
  EXPECT_EQ(fake.multiFreqs, 1);

  Press(kCalibrateUpper);  // stops the lower sampling, starts the upper
  EXPECT_EQ(cal.CalibrateState, kCalibrateUpper);
  EXPECT_EQ(fake.stops, 1);
  EXPECT_EQ(fake.starts, 2);
  EXPECT_EQ(CalibrateButtonCaption(kCalibrateUpper, cal.CalibrateState), "停上限信号");

  Press(kCalibrateUpper);  // stops
  EXPECT_EQ(cal.CalibrateState, kCalibrateIdle);
  EXPECT_EQ(fake.stops, 2);
  EXPECT_EQ(fake.starts, 2);
  EXPECT_FALSE(Tick());  // no sampling, no block asked for
  EXPECT_EQ(fake.askedRows, 0u);

  Press(kCalibrateLower);
  StopCalibrateSampling(cal, state.driver.Entries);
  EXPECT_EQ(cal.CalibrateState, kCalibrateIdle);
  EXPECT_EQ(fake.stops, 3);
  StopCalibrateSampling(cal, state.driver.Entries);  // idle: the card is left alone
  EXPECT_EQ(fake.stops, 3);
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(Calibration, CardFailuresAreReportedAndSamplingStaysOff) {
  struct Case {
    int32_t initial, start;
    bool initialEntry;
    const char* text;
    const char* caption;
  };
  const Case cases[] = {
      {0, 1, true, "采集板参数设置错误或AD板不存在!", "初始化AD板错误"},
      {1, 1, false, "采集板参数设置错误或AD板不存在!", "初始化AD板错误"},
      {1, 0, true, "采集板的采集参数设置错误!", "启动AD板错误"},
  };
  Open();
  for (const Case& k : cases) {
    fake.initialResult = k.initial;
    fake.startResult = k.start;
    state.driver.Entries.Initial = k.initialEntry ? FakeInitial : nullptr;
    ui.prompts.clear();
    Press(kCalibrateLower);
    EXPECT_EQ(cal.CalibrateState, kCalibrateIdle) << k.text;
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, k.text);
    EXPECT_EQ(ui.prompts[0].caption, k.caption);
    EXPECT_EQ(ui.prompts[0].buttons, platform::MsgButtons::OkCancel);
  }
  // Switching to a signal whose start fails leaves nothing running.
  fake.initialResult = fake.startResult = 1;
  state.driver.Entries.Initial = FakeInitial;
  Press(kCalibrateLower);
  fake.startResult = 0;
  Press(kCalibrateUpper);
  EXPECT_EQ(cal.CalibrateState, kCalibrateIdle);
}

TEST_F(Calibration, AHugePointCountIsRefusedAsMemory) {
  Open();
  Set(kCalColPoints, 0, "2000000000");
  Press(kCalibrateLower);
  EXPECT_EQ(cal.CalibrateState, kCalibrateIdle);
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "分配内存失败!");
  EXPECT_EQ(ui.prompts[0].caption, "AD板不能采集数据!");
}

TEST_F(Calibration, BlockRowsAreTheLargestCountButAtLeastTheBlockSize) {
  Open();
  Set(kCalColPoints, 2, "64");
  Set(kCalColPoints, 3, "abc");
  Press(kCalibrateLower);
  EXPECT_EQ(cal.CalibrateSnapshotRows, 64);
  EXPECT_EQ(fake.startSamples, 4u * 64);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(fake.askedRows, 64u);
  Press(kCalibrateLower);
  Set(kCalColPoints, 2, "5");
  Press(kCalibrateLower);
  EXPECT_EQ(cal.CalibrateSnapshotRows, 20);  // NumSamp
}

// The configuration's word count was stale (4) while 8 channels are set up:
// the buffer must hold the rows the card delivers after the layout is made.
TEST_F(Calibration, BufferIsSizedForTheRecomputedLayout) {
  state.config.Analog_Num = 8;
  state.config.NumChn = 4;
  fake.sample = [](uint32_t, uint32_t c) { return static_cast<uint16_t>(2048 + 100 * c); };
  Open();
  Press(kCalibrateLower);
  ASSERT_EQ(fake.startNumChn, 8u);
  EXPECT_GE(cal.CalibrateSnapshot.size(), 1u + 8u * cal.CalibrateSnapshotRows);
  ASSERT_TRUE(Tick());
  for (int i = 0; i < 8; ++i) {
    const int c = std::stoi(Cell(kCalColNumber, i));
    EXPECT_EQ(Cell(kCalColLowerMeasured, i), FormatFixed(Volts(2048 + 100 * c), 7, 4)) << c;
  }
}

TEST_F(Calibration, TickWritesReadingsOfTheLastPointsIntoTheSampledColumn) {
  // Channel 2 rises row by row; the reading averages the row's last points.
  fake.sample = [](uint32_t r, uint32_t c) { return static_cast<uint16_t>(c == 2 ? 2048 + r : 3000); };
  Open();
  Set(kCalColPoints, 2, "4");
  Set(kCalColPoints, 1, "-3");  // counts as 10
  Set(kCalColType, 3, ChannelTypeText(kChannelRawCode));
  Press(kCalibrateLower);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(cal.CalibrateSnapshotValid, 1);
  EXPECT_EQ(Cell(kCalColLowerMeasured, 2), FormatFixed(Volts(2048 + 17.5), 7, 4));  // rows 16..19
  EXPECT_EQ(Cell(kCalColLowerMeasured, 0), FormatFixed(Volts(3000), 7, 4));
  EXPECT_EQ(Cell(kCalColLowerMeasured, 3), FormatFixed(3000.0, 7, 4));
  EXPECT_EQ(Cell(kCalColUpperMeasured, 0), "");

  Press(kCalibrateUpper);
  fake.sample = [](uint32_t, uint32_t) { return 2500; };
  ASSERT_TRUE(Tick());
  EXPECT_EQ(Cell(kCalColUpperMeasured, 0), FormatFixed(Volts(2500), 7, 4));
  EXPECT_EQ(Cell(kCalColLowerMeasured, 0), FormatFixed(Volts(3000), 7, 4));
}

TEST_F(Calibration, TickWithoutBlockLeavesTheGrid) {
  Open();
  Press(kCalibrateLower);
  fake.snapshotResult = 0;
  const CellGrid before = grid;
  EXPECT_FALSE(Tick());
  EXPECT_EQ(grid, before);
  EXPECT_EQ(cal.CalibrateSnapshotValid, 0);
}

// A count typed above the rows the block was sized for while sampling runs:
// only the block's rows are averaged, nothing is read beyond it.
TEST_F(Calibration, PointCountRaisedWhileSamplingIsLimitedToTheBlock) {
  fake.sample = [](uint32_t r, uint32_t) { return static_cast<uint16_t>(2048 + r); };
  Open();
  Press(kCalibrateLower);
  Set(kCalColPoints, 0, "100000");
  ASSERT_TRUE(Tick());
  EXPECT_EQ(Cell(kCalColLowerMeasured, 0), FormatFixed(Volts(2048 + 9.5), 7, 4));  // rows 0..19
}

// A cosine of one period per window on an offset: the lower sampling gives
// its RMS and mean, the upper leaves the AC row empty, the fit scales the RMS
// onto the target and takes the offset out.
TEST_F(Calibration, ACChannelIsCalibratedFromTheLowerSignal) {
  const double amplitude = 400.0, offset = 150.0;
  auto code = [&](uint32_t r) { return std::lround(2048 + offset + amplitude * std::cos(2 * kPi * r / 20.0 + 1.1)); };
  fake.sample = [&](uint32_t r, uint32_t c) { return static_cast<uint16_t>(c == 1 ? code(r) : 2048); };
  double sum = 0.0;
  for (uint32_t r = 0; r < 20; ++r) sum += static_cast<double>(code(r));
  const double meanVolts = Volts(sum / 20.0);
  Open();
  Set(kCalColType, 1, "");  // no type text counts as AC
  Press(kCalibrateLower);
  ASSERT_TRUE(Tick());
  const double rms = amplitude / 2047.0 * 5.0 / std::sqrt(2.0);
  EXPECT_NEAR(std::stod(Cell(kCalColLowerMeasured, 1)), rms, 1e-3);
  Press(kCalibrateUpper);
  ASSERT_TRUE(Tick());
  EXPECT_EQ(Cell(kCalColUpperMeasured, 1), "");
  Press(kCalibrateUpper);

  Set(kCalColLowerTarget, 1, "100");  // 100 A RMS
  Calculate();
  const double b = std::stod(Cell(kCalColCoeB, 1));
  EXPECT_NEAR(b, 100.0 / std::stod(Cell(kCalColLowerMeasured, 1)), 1e-4);
  EXPECT_NEAR(std::stod(Cell(kCalColCoeA, 1)), -meanVolts * b, 1e-3);
}

// The offset measured for an AC channel follows the channel when rows move
// after the lower sampling.
TEST_F(Calibration, DCMeanFollowsItsChannelWhenRowsMove) {
  fake.sample = [](uint32_t r, uint32_t c) {
    const double offset = c == 0 ? 300.0 : 0.0;
    return static_cast<uint16_t>(std::lround(2048 + offset + 200 * std::cos(2 * kPi * r / 20.0)));
  };
  Open();
  for (int i = 0; i < 4; ++i) Set(kCalColType, i, ChannelTypeText(kChannelAC));
  Press(kCalibrateLower);
  ASSERT_TRUE(Tick());
  Press(kCalibrateLower);
  // Channel 0's row dragged to the end.
  grid.MoveRow(2, 5);
  MoveCalibrateRow(cal, 2, 5, 4);
  ASSERT_EQ(Cell(kCalColNumber, 3), "0");
  EXPECT_EQ(cal.CalibrateGridOrder[3], 0);
  for (int i = 0; i < 4; ++i) Set(kCalColLowerTarget, i, "1");
  Calculate();
  const double b0 = std::stod(Cell(kCalColCoeB, 3));
  EXPECT_NEAR(std::stod(Cell(kCalColCoeA, 3)), -(300.0 / 2047.0 * 5.0) * b0, 1e-3);
  EXPECT_NEAR(std::stod(Cell(kCalColCoeA, 0)), 0.0, 1e-6);  // channel 1 has no offset
  // Reopening keeps the offsets of the last lower sampling.
  Open();
  Set(kCalColType, 3, ChannelTypeText(kChannelAC));
  Set(kCalColLowerTarget, 3, "1");
  Calculate();
  EXPECT_NEAR(std::stod(Cell(kCalColCoeA, 3)), -(300.0 / 2047.0 * 5.0) * std::stod(Cell(kCalColCoeB, 3)), 1e-3);
}

TEST_F(Calibration, RowMovesKeepTheOrderAPermutation) {
  Open();
  MoveCalibrateRow(cal, 5, 2, 4);  // from the last data row to the first
  EXPECT_EQ(std::vector<int16_t>(cal.CalibrateGridOrder.begin(), cal.CalibrateGridOrder.begin() + 4),
            (std::vector<int16_t>{3, 0, 1, 2}));
  MoveCalibrateRow(cal, 2, 90, 4);  // the target is clamped to the last row
  EXPECT_EQ(std::vector<int16_t>(cal.CalibrateGridOrder.begin(), cal.CalibrateGridOrder.begin() + 4),
            (std::vector<int16_t>{0, 1, 2, 3}));
  MoveCalibrateRow(cal, 1, 3, 4);  // a heading row: nothing
  MoveCalibrateRow(cal, 40, 2, 4);  // beyond the channels: nothing
  EXPECT_EQ(std::vector<int16_t>(cal.CalibrateGridOrder.begin(), cal.CalibrateGridOrder.begin() + 4),
            (std::vector<int16_t>{0, 1, 2, 3}));
}

TEST_F(Calibration, TwoPointFitPerRowWithDefaultsWrittenBack) {
  Open();
  // Row 0: a DC line from 1 V -> 10, 3 V -> 30.
  Set(kCalColLowerMeasured, 0, "1");
  Set(kCalColLowerTarget, 0, "10");
  Set(kCalColUpperMeasured, 0, "3");
  Set(kCalColUpperTarget, 0, "30");
  // Row 1: texts that are no numbers take 0 and 5.
  Set(kCalColLowerMeasured, 1, "x");
  Set(kCalColLowerTarget, 1, "y");
  Set(kCalColUpperMeasured, 1, "z");
  Set(kCalColUpperTarget, 1, "w");
  // Row 2: an empty upper target leaves the coefficients.
  Set(kCalColLowerTarget, 2, "4");
  // Row 3: equal readings give the identity.
  Set(kCalColLowerMeasured, 3, "2");
  Set(kCalColLowerTarget, 3, "1");
  Set(kCalColUpperMeasured, 3, "2");
  Set(kCalColUpperTarget, 3, "7");
  const std::string keptA = Cell(kCalColCoeA, 2);
  Calculate();
  EXPECT_EQ(Cell(kCalColCoeA, 0), "0.000000");
  EXPECT_EQ(Cell(kCalColCoeB, 0), "10.000000");
  EXPECT_EQ(Cell(kCalColLowerMeasured, 1), "0.0");
  EXPECT_EQ(Cell(kCalColLowerTarget, 1), "0.0");
  EXPECT_EQ(Cell(kCalColUpperMeasured, 1), "5.0");
  EXPECT_EQ(Cell(kCalColUpperTarget, 1), "5.0");
  EXPECT_EQ(Cell(kCalColCoeA, 1), "0.000000");
  EXPECT_EQ(Cell(kCalColCoeB, 1), "1.000000");
  EXPECT_EQ(Cell(kCalColCoeA, 2), keptA);
  EXPECT_EQ(Cell(kCalColLowerMeasured, 2), "0.0");  // read before the empty target ended the row
  EXPECT_EQ(Cell(kCalColCoeA, 3), "0.000000");
  EXPECT_EQ(Cell(kCalColCoeB, 3), "1.000000");
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(Calibration, TorquePowerRowsAreSkippedByFitAndReset) {
  LiveConfig& c = state.config;
  c.AnalogChannelTable[1].ChnIDDC = kChannelTorquePower;
  c.AnalogChannelTable[1].ChnCoeA = 2.0f;
  c.AnalogChannelTable[1].ChnCoeB = 3.0f;
  Open();
  Set(kCalColType, 1, ChannelTypeText(kChannelTorquePower));
  Set(kCalColLowerTarget, 1, "4");
  Set(kCalColUpperTarget, 1, "8");
  Calculate();
  EXPECT_EQ(Cell(kCalColCoeA, 1), "2");
  EXPECT_EQ(Cell(kCalColCoeB, 1), "3");
  ResetCalibrateCoefficients(grid, cal, c);
  EXPECT_EQ(Cell(kCalColCoeA, 1), "2");
  EXPECT_EQ(Cell(kCalColCoeA, 0), "0.0");
  EXPECT_EQ(Cell(kCalColCoeB, 0), "1.0");
}

TEST_F(Calibration, ResultThatIsNoNumberIsReportedAndLeftOut) {
  Open();
  Set(kCalColLowerMeasured, 0, "1e-300");
  Set(kCalColLowerTarget, 0, "1e300");
  Set(kCalColUpperMeasured, 0, "0");
  Set(kCalColUpperTarget, 0, "-1e300");
  Set(kCalColLowerMeasured, 2, "1");
  Set(kCalColLowerTarget, 2, "1");
  Set(kCalColUpperMeasured, 2, "2");
  Set(kCalColUpperTarget, 2, "3");
  const std::string keptA = Cell(kCalColCoeA, 0);
  Calculate();
  ASSERT_EQ(ui.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "问题发生第0通道");
  EXPECT_EQ(ui.prompts[0].caption, "计算刻度系数失败");
  EXPECT_EQ(Cell(kCalColCoeA, 0), keptA);
  EXPECT_EQ(Cell(kCalColCoeB, 2), "2.000000");  // the next row still follows
}

// EnvTemp -103 names channel 3 as the cold junction: its reading in the last
// snapshot becomes the cold-junction temperature before the K rows are fitted.
TEST_F(Calibration, ColdJunctionComesFromTheNamedChannelOfTheLastSnapshot) {
  LiveConfig& c = state.config;
  c.EnvTemp = -103.0f;
  c.AnalogChannelTable[3].ChnIDDC = kChannelDC;
  c.AnalogChannelTable[3].ChnCoeA = 0.0f;
  c.AnalogChannelTable[3].ChnCoeB = 10.0f;  // 10 degrees per volt
  fake.sample = [](uint32_t, uint32_t ch) { return static_cast<uint16_t>(ch == 3 ? 3072 : 2048); };
  Open();
  auto fitK = [&] {
    Set(kCalColType, 0, ChannelTypeText(kChannelKType));
    Set(kCalColLowerMeasured, 0, "0");
    Set(kCalColLowerTarget, 0, "100");
    Set(kCalColUpperMeasured, 0, "1");
    Set(kCalColUpperTarget, 0, "200");
    Calculate();
    return std::stod(Cell(kCalColCoeA, 0));
  };
  // Without a snapshot since the dialog was shown, the temperature in use stays.
  EXPECT_NEAR(fitK(), KTypeTempToVolts(100.0) - KTypeTempToVolts(20.0), 1e-6);
  EXPECT_EQ(c.ColdJunctionTemp, 20.0f);
  Press(kCalibrateLower);
  ASSERT_TRUE(Tick());
  Press(kCalibrateLower);
  const double expected = Volts(3072) * 10.0;
  const double a = fitK();
  EXPECT_NEAR(c.ColdJunctionTemp, expected, 1e-4);
  EXPECT_NEAR(a, KTypeTempToVolts(100.0) - KTypeTempToVolts(expected), 1e-6);
  // A temperature above -100 names no channel.
  c.EnvTemp = -99.0f;
  c.ColdJunctionTemp = 20.0f;
  fitK();
  EXPECT_EQ(c.ColdJunctionTemp, 20.0f);
}

TEST_F(Calibration, StoringWritesChangedCoefficientsAndEmptiesTargets) {
  LiveConfig& c = state.config;
  c.AnalogChannelTable[2].ChnCoeA = 0.1234567891f;
  c.AnalogChannelTable[2].ChnCoeB = 3.14159274f;
  Open();
  Set(kCalColCoeA, 0, "1.5");
  Set(kCalColCoeB, 0, "-2.25");
  Set(kCalColCoeA, 1, "abc");  // not a number: the identity
  Set(kCalColLowerTarget, 3, "7");
  Set(kCalColUpperTarget, 3, "9");
  StoreCalibrateCoefficients(grid, cal, c);
  EXPECT_EQ(c.AnalogChannelTable[0].ChnCoeA, 1.5f);
  EXPECT_EQ(c.AnalogChannelTable[0].ChnCoeB, -2.25f);
  EXPECT_EQ(c.AnalogChannelTable[1].ChnCoeA, 0.0f);
  EXPECT_EQ(c.AnalogChannelTable[1].ChnCoeB, 1.0f);
  EXPECT_EQ(Cell(kCalColLowerTarget, 3), "");
  EXPECT_EQ(Cell(kCalColUpperTarget, 3), "");
}

// A channel shown but not calibrated keeps its coefficients to the last bit:
// reading back its 6-digit texts would round them.
TEST_F(Calibration, StoringNeverPerturbsChannelsNotCalibrated) {
  LiveConfig& c = state.config;
  c.AnalogChannelTable[2].ChnCoeA = 0.1234567891f;
  c.AnalogChannelTable[2].ChnCoeB = 3.14159274f;
  c.AnalogChannelTable[3].ChnIDDC = kChannelTorquePower;
  c.AnalogChannelTable[3].ChnCoeA = 1.0f;
  c.AnalogChannelTable[3].ChnCoeB = 2.0f;
  const float a0 = c.AnalogChannelTable[0].ChnCoeA = 1.00000012f;
  Open();
  // Only channel 0 was changed, and only its B.
  Set(kCalColCoeB, 0, "4");
  StoreCalibrateCoefficients(grid, cal, c);
  EXPECT_EQ(c.AnalogChannelTable[0].ChnCoeA, a0);
  EXPECT_EQ(c.AnalogChannelTable[0].ChnCoeB, 4.0f);
  EXPECT_EQ(c.AnalogChannelTable[2].ChnCoeA, 0.1234567891f);
  EXPECT_EQ(c.AnalogChannelTable[2].ChnCoeB, 3.14159274f);
  EXPECT_EQ(c.AnalogChannelTable[3].ChnCoeA, 1.0f);
  EXPECT_EQ(c.AnalogChannelTable[3].ChnCoeB, 2.0f);
  // Storing twice changes nothing more.
  const LiveConfig before = c;
  StoreCalibrateCoefficients(grid, cal, c);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c.AnalogChannelTable[i].ChnCoeA, before.AnalogChannelTable[i].ChnCoeA);
    EXPECT_EQ(c.AnalogChannelTable[i].ChnCoeB, before.AnalogChannelTable[i].ChnCoeB);
  }
}

TEST_F(Calibration, DoubleClickCyclesOnlyTypeCellsOfDataRows) {
  Open();
  const std::string dc = ChannelTypeText(kChannelDC);
  EXPECT_TRUE(CycleCalibrateTypeCell(grid, kCalColType, 2));
  EXPECT_EQ(Cell(kCalColType, 0), NextChannelTypeText(dc));
  const CellGrid before = grid;
  EXPECT_FALSE(CycleCalibrateTypeCell(grid, kCalColType, 1));  // heading
  EXPECT_FALSE(CycleCalibrateTypeCell(grid, kCalColName, 3));
  EXPECT_FALSE(CycleCalibrateTypeCell(grid, kCalColLowerMeasured, 3));
  EXPECT_EQ(grid, before);
  // A J type has no next text: the empty text then counts as AC.
  Set(kCalColType, 1, ChannelTypeText(kChannelJType));
  CycleCalibrateTypeCell(grid, kCalColType, 3);
  EXPECT_EQ(Cell(kCalColType, 1), "");
  EXPECT_EQ(ChannelTypeCode(Cell(kCalColType, 1)), kChannelAC);
}

}  // namespace
