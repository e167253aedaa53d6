#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "view/DisplayReading.h"

namespace {

using namespace quelvar;

// A matrix whose every word tells where it is (row x 256 + word), described
// as a ring of `blocks` blocks of `numSamp` rows starting at `firstBlock`.
struct Matrix {
  std::vector<uint16_t> words;
  DisplayDescriptor display;
  SampleLayout layout;
  int32_t numSamp = 0;
};

Matrix MatrixOf(std::initializer_list<int32_t> multipliers, int32_t switches, int32_t numSamp, int32_t blocks,
                int32_t firstBlock) {
  LiveConfig live;
  live.Analog_Num = static_cast<int32_t>(multipliers.size());
  live.SW_Num = switches;
  int32_t c = 0;
  for (int32_t m : multipliers) live.AnalogChannelTable[c++].MultiFreq = m;
  Matrix m;
  ComputeChannelLayout(live, m.layout, 0, true, {});
  m.numSamp = numSamp;
  m.display.DispRowWords = live.NumChn;
  m.display.DispBlocks = blocks;
  m.display.DispRows = blocks * numSamp;
  m.display.DispPoints = m.display.DispRows * m.layout.MaxMultiFreq;
  m.display.DispFirstBlock = firstBlock;
  for (int32_t row = 0; row < m.display.DispRows; ++row)
    for (int32_t word = 0; word < live.NumChn; ++word) m.words.push_back(static_cast<uint16_t>(row * 256 + word));
  m.display.DispData = m.words.data();
  return m;
}

TEST(DisplayRow, WrapsOnceIntoTheRingAndNeverLeavesIt) {
  struct Case {
    int64_t row;
    int32_t rows;
    int32_t expected;
  } cases[] = {
      {0, 10, 0},   {9, 10, 9},   {10, 10, 0}, {19, 10, 9}, {-1, 10, 9}, {-10, 10, 0},
      // More than one turn away only comes from a damaged descriptor: still a row.
      {25, 10, 5}, {-25, 10, 5}, {3, 0, -1}, {3, -4, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(WrapDisplayRow(c.row, c.rows), c.expected) << c.row << " of " << c.rows;
}

TEST(DisplayRow, PointZeroIsRowZeroOfTheFirstBlock) {
  // 3 blocks of 4 rows, oldest block 2.
  const Matrix m = MatrixOf({1, 1}, 0, 4, 3, 2);
  const std::pair<int64_t, int32_t> cases[] = {{0, 8}, {3, 11}, {4, 0}, {11, 7}, {-1, 7}};
  for (auto [point, row] : cases) EXPECT_EQ(RowOfPoint(m.display, m.numSamp, point), row) << point;
}

TEST(MultiRateReading, EachPointShowsTheSubSampleOfItsChannelsRate) {
  // Multipliers 1, 4, 2 and 20 switch inputs: words 0..2 base samples, 3..4
  // switch words, 5..7 channel 1's sub-samples 1..3, 8 channel 2's sub-sample 1.
  const Matrix m = MatrixOf({1, 4, 2}, 20, 5, 2, 1);
  ASSERT_EQ(m.layout.MaxMultiFreq, 4);
  struct Case {
    int32_t channel;
    int64_t point;
    int32_t row;  // in the ring: display row + 5 (first block 1), wrapped at 10
    int32_t word;
  } cases[] = {
      {1, 0, 5, 1},  {1, 1, 5, 5},  {1, 3, 5, 7}, {1, 4, 6, 1}, {1, 22, 0, 6},
      {2, 0, 5, 2},  {2, 1, 5, 2},  {2, 2, 5, 8}, {2, 3, 5, 8}, {2, 4, 6, 2},
      {0, 3, 5, 0},  {0, 4, 6, 0},  {0, 39, 4, 0},
      {3, 7, 6, 3},  // the first switch word is read at the base rate
  };
  for (const Case& c : cases) {
    const SampleWord at = LocatePoint(m.display, m.layout, m.numSamp, c.channel, c.point);
    EXPECT_EQ(at.row, c.row) << "channel " << c.channel << " point " << c.point;
    EXPECT_EQ(at.word, c.word) << "channel " << c.channel << " point " << c.point;
    uint16_t value = 0;
    ASSERT_TRUE(ReadDisplayWord(m.display, at, value));
    EXPECT_EQ(value, c.row * 256 + c.word);
  }
}

TEST(MultiRateReading, ThePointsOfTheDataVisitEverySubSampleOnce) {
  const Matrix m = MatrixOf({3, 1, 4, 2}, 5, 6, 3, 2);
  for (int32_t channel = 0; channel < 4; ++channel) {
    const int32_t rate = m.layout.MultiFreqTable[channel];
    std::set<std::pair<int32_t, int32_t>> seen;
    for (int64_t p = 0; p < m.display.DispPoints; ++p) {
      const SampleWord at = LocatePoint(m.display, m.layout, m.numSamp, channel, p);
      ASSERT_TRUE(at.Valid()) << p;
      seen.insert({at.row, at.word});
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(m.display.DispRows) * rate) << "channel " << channel;
  }
}

TEST(MultiRateReading, PointsBeforeTheDataCountBackThroughTheRingNotOutsideTheRow) {
  // A screen wider than the data starts at a negative point. Truncating
  // division would give sub-sample index -1 of the row, i.e. word
  // ExtraSlotFirst - 2; the reading goes back to the last sub-sample of the
  // ring's last row instead.
  const Matrix m = MatrixOf({1, 4}, 0, 2, 1, 0);
  const SampleWord at = LocatePoint(m.display, m.layout, m.numSamp, 1, -1);
  EXPECT_EQ(at.row, 1);
  EXPECT_EQ(at.word, m.layout.ExtraSlotFirst[1] + 2);
  EXPECT_EQ(LocatePoint(m.display, m.layout, m.numSamp, 0, -1).row, 1);
  EXPECT_EQ(LocatePoint(m.display, m.layout, m.numSamp, 0, -5).row, 0);
}

TEST(MultiRateReading, AChannelOrSlotOutsideTheRowsIsNowhere) {
  Matrix m = MatrixOf({1, 4}, 0, 2, 2, 0);
  uint16_t value = 7;
  EXPECT_FALSE(LocatePoint(m.display, m.layout, m.numSamp, -1, 0).Valid());
  EXPECT_FALSE(LocatePoint(m.display, m.layout, m.numSamp, m.display.DispRowWords, 0).Valid());
  EXPECT_FALSE(LocatePoint(m.display, m.layout, m.numSamp, kMaxVirtualChannels, 0).Valid());
  // Rows narrower than the layout (data of another configuration).
  m.display.DispRowWords = 3;
  EXPECT_TRUE(LocatePoint(m.display, m.layout, m.numSamp, 1, 4).Valid());
  EXPECT_FALSE(LocatePoint(m.display, m.layout, m.numSamp, 1, 3).Valid());
  EXPECT_FALSE(ReadDisplayWord(m.display, SampleWord{}, value));
  EXPECT_FALSE(ReadDisplayWord(m.display, SampleWord{m.display.DispRows, 0}, value));
  m.display.DispData = nullptr;
  EXPECT_FALSE(ReadDisplayWord(m.display, SampleWord{0, 0}, value));
  EXPECT_EQ(value, 7);
}

TEST(SwitchReading, InputIsABitOfTheSwitchWords) {
  struct Case {
    int32_t analog, input, word, bit;
  } cases[] = {{4, 0, 4, 0}, {4, 15, 4, 15}, {4, 16, 5, 0}, {4, 17, 5, 1}, {0, 191, 11, 15}};
  for (const Case& c : cases) {
    const SwitchBit at = SwitchBitOf(c.analog, c.input);
    EXPECT_EQ(at.word, c.word) << c.input;
    EXPECT_EQ(at.bit, c.bit) << c.input;
  }
  EXPECT_EQ(SwitchBitOf(4, -1).word, -1);
  EXPECT_TRUE(SwitchIsHigh(0x0002, 1));
  EXPECT_FALSE(SwitchIsHigh(0x0002, 0));
  EXPECT_TRUE(SwitchIsHigh(0x8000, 15));
  EXPECT_FALSE(SwitchIsHigh(0xFFFF, 16));
}

TEST(AnalogReading, VoltsAreCodesFromTheZeroLineScaledToFiveVolts) {
  EXPECT_DOUBLE_EQ(VoltsOfWord(4095, 2048.0f, 4095.0f), 5.0);
  EXPECT_DOUBLE_EQ(VoltsOfWord(2048, 2048.0f, 4095.0f), 0.0);
  EXPECT_DOUBLE_EQ(VoltsOfWord(0, 2048.0f, 4095.0f), -2048.0 / 2047.0 * 5.0);
  EXPECT_DOUBLE_EQ(VoltsOfWord(65535, 32768.0f, 65535.0f), 5.0);
  // A full scale equal to the zero line has no scale (no division by zero).
  EXPECT_DOUBLE_EQ(VoltsOfWord(3000, 2048.0f, 2048.0f), 0.0);
}

TEST(TimeOrigin, OnlyTheBlockOffsetIsScaledAndANegativeOriginWrapsOnce) {
  struct Case {
    int32_t triggerBlock, firstBlock, triggerPoint;
    int64_t expected;
  } cases[] = {
      {3, 1, 50, 50 + 2 * 200},
      {1, 1, 7, 7},
      {0, 2, 10, 10 - 400 + 1000},  // trigger in a block before the oldest
      {4, 4, -3, -3 + 1000},
  };
  for (const Case& c : cases) {
    DisplayDescriptor d;
    d.DispTriggerBlock = c.triggerBlock;
    d.DispFirstBlock = c.firstBlock;
    d.DispTriggerPoint = c.triggerPoint;
    d.DispPoints = 1000;  // 5 blocks of 100 rows at 2 points a row
    EXPECT_EQ(TimeOriginPoint(d, 100, 2), c.expected) << c.triggerBlock << "/" << c.firstBlock;
  }
}

TEST(TimeOrigin, LargeRingsComputeWithoutOverflow) {
  DisplayDescriptor d;
  d.DispTriggerBlock = 60000;
  d.DispFirstBlock = 0;
  d.DispPoints = 2000000000;
  EXPECT_EQ(TimeOriginPoint(d, 30000, 16), int64_t{60000} * 30000 * 16);
}

TEST(TimeOrigin, ASelfContradictingDescriptorGivesAPointInsteadOfOverflowing) {
  // Block -2e9 at 8e9 points a block is beyond any ring: the origin and the
  // compressed part's start are held at +-2^53 points, from which the axis
  // can still take differences and sample positions.
  constexpr int64_t kLimit = int64_t{1} << 53;
  DisplayDescriptor d;
  d.DispFirstBlock = -2000000000;
  d.DispTriggerBlock = 2000000000;
  d.DispTriggerPoint = 7;
  d.DispCompressStart = 2000000000;
  d.DispCompressed = 1;
  d.DispCompressRatio = std::numeric_limits<int32_t>::max();
  d.DispPoints = 1000;
  const int32_t numSamp = 2000000000, multi = 4;  // 8e9 points a block
  EXPECT_EQ(TimeOriginPoint(d, numSamp, multi), kLimit);
  EXPECT_EQ(CompressedStartPoint(d, numSamp, multi), kLimit);
  d.DispTriggerBlock = -2000000000;
  d.DispCompressStart = -2000000000;
  d.DispFirstBlock = 2000000000;
  EXPECT_EQ(TimeOriginPoint(d, numSamp, multi), -kLimit + 7 + 1000);
  const int64_t start = CompressedStartPoint(d, numSamp, multi);
  EXPECT_EQ(start, -kLimit);
  // Every screen point lies in that tail, at most 2^53 sample positions on
  // from its start (plus half a ratio).
  const int64_t halfRatio = std::numeric_limits<int32_t>::max() / 2;
  EXPECT_EQ(SamplePositionOfPoint(d, start, 0), halfRatio);
  EXPECT_EQ(SamplePositionOfPoint(d, std::numeric_limits<int64_t>::min(), 5), halfRatio);
}

TEST(CompressedPart, PointsInTheTailStandForTheMiddleOfTheirInterval) {
  DisplayDescriptor d;
  d.DispPoints = 2000;
  d.DispFirstBlock = 0;
  d.DispCompressStart = 10;  // 10 blocks of 100 rows: point 1000
  d.DispCompressRatio = 10;
  d.DispCompressed = 1;
  const int64_t c = CompressedStartPoint(d, 100, 1);
  ASSERT_EQ(c, 1000);
  EXPECT_EQ(SamplePositionOfPoint(d, c, 1005), 1055);
  EXPECT_EQ(SamplePositionOfPoint(d, c, 1000), 1005);
  EXPECT_EQ(SamplePositionOfPoint(d, c, 999), 999);
  d.DispCompressed = 0;
  EXPECT_EQ(SamplePositionOfPoint(d, c, 1005), 1005);
  d.DispCompressed = 1;
  d.DispCompressRatio = 0;  // damaged: one sample a row
  EXPECT_EQ(SamplePositionOfPoint(d, c, 1005), 1005);
}

TEST(CompressedPart, ARangeThatBeginsInsideTheTailIsCompressedFromItsFirstPoint) {
  DisplayDescriptor d;
  d.DispPoints = 1200;
  d.DispFirstBlock = 3;
  d.DispCompressStart = 3;
  d.DispCompressed = 1;
  d.DispCompressRatio = 10;
  const int64_t c = CompressedStartPoint(d, 100, 2);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(SamplePositionOfPoint(d, c, 7), 75) << "every point stands for its interval";
}

TEST(CompressedPart, StartAtTheFirstBlockMeansNoTailOnScreen) {
  DisplayDescriptor d;
  d.DispPoints = 1200;
  d.DispFirstBlock = 3;
  d.DispCompressStart = 3;
  EXPECT_EQ(CompressedStartPoint(d, 100, 2), 1200);
  d.DispCompressStart = 5;
  EXPECT_EQ(CompressedStartPoint(d, 100, 2), 400);
}

TEST(TimeOfPosition, MillisecondsFromTheOriginAtTheFastestRate) {
  EXPECT_DOUBLE_EQ(TimeMsOfPosition(1055, 55, 1000.0f), 1000.0);
  EXPECT_DOUBLE_EQ(TimeMsOfPosition(0, 500, 2000.0f), -250.0);
  EXPECT_DOUBLE_EQ(TimeMsOfPosition(100, 0, 0.0f), 0.0);
}

class ViewHistory : public ::testing::Test {
 protected:
  WaveViewState view;
  void Show(int32_t x, int32_t width) {
    view.XPosition = x;
    view.DisplayWidth = width;
    RecordViewHistory(view);
  }
};

TEST_F(ViewHistory, ARepaintWithoutAChangeAddsNoPair) {
  Show(100, 500);
  Show(100, 500);
  EXPECT_EQ(view.ViewHistoryIndex, 2);
  EXPECT_EQ(view.ViewHistory[0], 100);
  EXPECT_EQ(view.ViewHistory[1], 500);
  Show(100, 400);  // either value differing is a new view
  EXPECT_EQ(view.ViewHistoryIndex, 4);
}

TEST_F(ViewHistory, TheFortyFirstViewOverwritesTheOldest) {
  for (int32_t i = 0; i < 40; ++i) {
    EXPECT_EQ(view.ViewHistoryIndex, 2 * i);
    Show(i + 1, 10);
  }
  EXPECT_EQ(view.ViewHistoryIndex, 0);
  Show(41, 10);
  EXPECT_EQ(view.ViewHistoryIndex, 2);
  EXPECT_EQ(view.ViewHistory[0], 41);
  EXPECT_EQ(view.ViewHistory[2], 2);
  EXPECT_EQ(view.ViewHistory[78], 40);
  // With the index at 0 the newest pair is in slot 78.
  for (int32_t i = 0; i < 39; ++i) Show(100 + i, 10);
  ASSERT_EQ(view.ViewHistoryIndex, 0);
  Show(138, 10);
  EXPECT_EQ(view.ViewHistoryIndex, 0);
}

TEST_F(ViewHistory, TheStartFillMakesEveryPairTheStartWindow) {
  Show(5, 10);
  Show(6, 10);
  view.XPosition = 0;
  view.DisplayWidth = 250;
  FillViewHistory(view);
  EXPECT_EQ(view.ViewHistoryIndex, 0);
  for (int32_t slot = 0; slot < kViewHistorySlots; slot += 2) {
    EXPECT_EQ(view.ViewHistory[slot], 0) << slot;
    EXPECT_EQ(view.ViewHistory[slot + 1], 250) << slot;
  }
  Show(0, 250);  // the start window's first repaint is already the newest pair
  EXPECT_EQ(view.ViewHistoryIndex, 0);
  Show(40, 250);
  EXPECT_EQ(view.ViewHistoryIndex, 2);
  EXPECT_EQ(view.ViewHistory[0], 40);
  EXPECT_EQ(view.ViewHistory[78], 0);
}

TEST_F(ViewHistory, ADamagedIndexIsBroughtBackIntoTheRing) {
  const std::pair<int32_t, int32_t> cases[] = {{3, 2}, {99, 78}, {-6, 0}, {80, 78}};
  for (auto [damaged, slot] : cases) {
    view = WaveViewState{};
    view.ViewHistoryIndex = damaged;
    Show(7, 70);
    EXPECT_EQ(view.ViewHistory[slot], 7) << damaged;
    EXPECT_EQ(view.ViewHistory[slot + 1], 70) << damaged;
    EXPECT_EQ(view.ViewHistoryIndex, slot == 78 ? 0 : slot + 2) << damaged;
  }
}

}  // namespace
