#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "view/EngineeringUnits.h"
#include "view/WaveTraces.h"

namespace {

using namespace quelvar;
using namespace quelvar::platform;

// A display of `rows` rows of `words` words, a card with its zero at 2048
// and 1000 codes to full scale, so that a code's fraction of full scale is
// (w - 2048) / 1000.
class WaveTraces : public ::testing::Test {
 protected:
  WaveTraces() { Build(10, 1); }

  void Build(int32_t rows, int32_t words, int32_t maxMultiFreq = 1) {
    matrix.assign(static_cast<size_t>(rows) * words, 2048);
    display.DispData = matrix.data();
    display.DispRows = rows;
    display.DispBlocks = 1;
    display.DispPoints = rows * maxMultiFreq;
    display.DispRowWords = words;
    display.DispValid = 1;
    layout.Analog_Num = words;
    layout.NumChn = words;
    layout.MaxMultiFreq = maxMultiFreq;
    layout.MultiFreqTable.fill(1);
    data.Display = &display;
    data.Layout = &layout;
    data.NumSamp = rows;
    data.AnalogNum = words;
    data.VZero = 2048.0f;
    data.ADMax = 3048.0f;
  }
  uint16_t& At(int32_t row, int32_t word) { return matrix[static_cast<size_t>(row) * display.DispRowWords + word]; }

  std::vector<Point> Vertices() const {
    std::vector<Point> points;
    for (const CanvasOp& op : canvas.OpsOf(CanvasOp::Kind::Line)) {
      if (points.empty() || !(points.back() == op.from)) points.push_back(op.from);
      points.push_back(op.to);
    }
    return points;
  }

  std::vector<uint16_t> matrix;
  DisplayDescriptor display;
  SampleLayout layout;
  TraceData data;
  TraceRow row{4, 90, 150.5, 200};
  WaveViewState view;
  AnalogChannel channel;
  RecordingCanvas canvas{200, 400};
};

TEST_F(WaveTraces, SingleRateDcTraceFollowsTheXAndYRules) {
  view.IDDC = 1;
  view.XPosition = 0;
  view.DisplayWidth = 10;
  for (int32_t r = 0; r < 10; ++r) At(r, 0) = static_cast<uint16_t>(2048 + 100 * r);
  DrawAnalogTrace(canvas, data, row, view, channel, 0);
  std::vector<Point> expected;
  for (int j = 0; j < 10; ++j) expected.push_back({4 + 10 * j, static_cast<int>(150.5 - 0.1 * j * 100)});
  EXPECT_EQ(Vertices(), expected);
}

}  // namespace
