#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "view/TraceColumns.h"
#include "view/WaveTraces.h"

namespace {

using namespace quelvar;

// A ring of 24000 rows of 45 analog words (not a whole number of sweeps) and
// 3 switch words of random bits, its oldest row at 3000, so screens wrap.
class GatheredColumns : public ::testing::Test {
 protected:
  static constexpr int32_t kRows = 24000;
  static constexpr int32_t kAnalog = 45;
  static constexpr int32_t kWords = kAnalog + 3;

  GatheredColumns() {
    matrix.resize(static_cast<size_t>(kRows) * kWords);
    uint32_t seed = 7;
    for (uint16_t& word : matrix) {
      seed = seed * 1664525u + 1013904223u;
      word = static_cast<uint16_t>(seed >> 16);
    }
    display.DispData = matrix.data();
    display.DispRows = kRows;
    display.DispBlocks = 24;
    display.DispFirstBlock = 3;
    display.DispPoints = kRows;
    display.DispRowWords = kWords;
    display.DispValid = 1;
    layout.Analog_Num = kAnalog;
    layout.NumChn = kAnalog;
    layout.MaxMultiFreq = 1;
    layout.MultiFreqTable.fill(1);
    data.Display = &display;
    data.Layout = &layout;
    data.NumSamp = 1000;
    data.AnalogNum = kAnalog;
  }

  std::vector<uint16_t> matrix;
  DisplayDescriptor display;
  SampleLayout layout;
  TraceData data;
};

void ExpectSameColumns(const TraceColumns& split, const TraceColumns& single, int32_t words) {
  ASSERT_EQ(split.Columns(), single.Columns());
  EXPECT_EQ(split.Points(), single.Points());
  for (int32_t k = 0; k < single.Columns(); ++k) {
    ASSERT_EQ(split.PixelColumn(k), single.PixelColumn(k)) << "column " << k;
    for (int32_t w = 0; w < words; ++w) {
      const TraceColumns::Extremes a = split.At(k, w), b = single.At(k, w);
      ASSERT_TRUE(a.low == b.low && a.high == b.high && a.first == b.first && a.last == b.last)
          << "column " << k << " word " << w;
    }
  }
  for (int32_t w = 0; w < words; ++w) EXPECT_EQ(split.Sum(w), single.Sum(w)) << "word " << w;
}

// Each thread gathers its own columns; together they must give exactly what
// one thread gives, the columns either side of every split and the AC sums
// included.
TEST_F(GatheredColumns, ThreadsGatherExactlyWhatOneThreadGathers) {
  struct Screen {
    int32_t xPosition;
    int32_t displayWidth;
    int n;
  };
  const Screen screens[] = {
      {0, kRows, 1920},        // the whole ring, across its end
      {-5000, 30000, 1000},    // starting before the first point
      {2500, 25000, 777},      // running past the last point
      {100, 20000, 7},         // few columns of many rows each
  };
  for (const Screen& screen : screens) {
    for (const int32_t dc : {1, 0}) {
      WaveViewState view;
      view.XPosition = screen.xPosition;
      view.DisplayWidth = screen.displayWidth;
      view.IDDC = dc;
      TraceColumns single;
      single.Gather(data, view, screen.n, 1);
      ASSERT_TRUE(single.Holds(data, view, screen.n, 0, false));
      ASSERT_TRUE(single.Holds(data, view, screen.n, kAnalog, true));
      for (const int threads : {0, 2, 3, 4, 8, 64}) {
        SCOPED_TRACE(testing::Message() << "x " << screen.xPosition << " N " << screen.n << " dc " << dc
                                        << " threads " << threads);
        TraceColumns split;
        split.Gather(data, view, screen.n, threads);
        EXPECT_TRUE(split.Holds(data, view, screen.n, kAnalog - 1, false));
        ExpectSameColumns(split, single, kWords);
      }
    }
  }
}

// A small screen does not pay for starting threads; a large one uses a few,
// never many.
TEST(GatherThreads, GrowWithTheScreenUpToAFew) {
  EXPECT_EQ(TraceColumns::GatherThreads(0), 1);
  EXPECT_EQ(TraceColumns::GatherThreads(8 * 1000), 1);
  const int large = TraceColumns::GatherThreads(int64_t{64} * 1000000);
  EXPECT_GE(large, 1);
  EXPECT_LE(large, 4);
}

}  // namespace
