#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <limits>
#include <string>
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

  // The trace of analog channel `number` (the fixture's channel record) on a
  // fresh canvas.
  void DrawChannel(int32_t number = 0) {
    canvas.Clear();
    DrawAnalogTrace(canvas, data, row, view, channel, number);
  }
  void DrawSwitch(int32_t input) {
    canvas.Clear();
    DrawSwitchTrace(canvas, data, row, view, input);
  }
  std::vector<CanvasOp> Lines() const { return canvas.OpsOf(CanvasOp::Kind::Line); }

  // The polyline's corners: where each line starts, and the end of the last.
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


// y of a code in the fixture's row (centre 150.5, height 200) for a fraction
// f of full scale, centre volts R, gain g and zoom z, truncated toward zero.
int RowY(double f, double r, double g, double z, int half = 100) {
  return static_cast<int>(150.5 - g * (f - 0.2 * r) * half * z);
}

struct DcCase {
  const char* what;
  int32_t type;
  int32_t yOffset;
  int32_t yZoom;
  float preAmp;
  int32_t axialZero;
  int height;
  uint16_t word;
  int y;
};

TEST_F(WaveTraces, DcTraceYFollowsOffsetZoomPreAmpAndAxialZero) {
  const DcCase cases[] = {
      {"full scale on the row's top quarter", kChannelDC, 0, 1, 1.0f, 2048, 200, 3048, 50},
      {"negative full scale", kChannelDC, 0, 1, 1.0f, 2048, 200, 1048, 250},
      {"half scale", kChannelDC, 0, 1, 1.0f, 2048, 200, 2548, 100},
      {"zoom 2 leaves the row, truncated toward zero", kChannelDC, 0, 2, 1.0f, 2048, 200, 3048, -49},
      {"offset 5 with zoom 2: 5 V on the centre line", kChannelDC, 5, 2, 1.0f, 2048, 200, 3048, 150},
      {"offset 5 with zoom 2: 0 V two half-rows down", kChannelDC, 5, 2, 1.0f, 2048, 200, 2048, 350},
      {"axial zero 200 codes low lifts the trace", kChannelDC, 0, 1, 1.0f, 1848, 200, 2048, 130},
      {"pre-amp 2 doubles the swing", kChannelDC, 0, 1, 2.0f, 2048, 200, 2548, 50},
      {"odd height: half the height in whole pixels", kChannelDC, 0, 1, 1.0f, 2048, 201, 3048, 50},
      {"AC input type draws as DC", kChannelAC, 0, 1, 1.0f, 2048, 200, 2548, 100},
      // Counter: R = (4496 / 2 - 2048) / 1000 x 5 + 4 / 2 = 3.
      {"counter: centre from axial zero and offset over the gain", kChannelCounter, 4, 2, 2.0f, 4496, 200, 2648,
       RowY(0.6, 3.0, 2.0, 2.0)},
      {"counter: full scale", kChannelCounter, 4, 2, 2.0f, 4496, 200, 3048, -9},
      {"raw code: as a counter", kChannelRawCode, 4, 2, 2.0f, 4496, 200, 3048, -9},
  };
  for (const DcCase& c : cases) {
    SCOPED_TRACE(c.what);
    view.IDDC = 1;
    view.YOffset = c.yOffset;
    view.YZoom = c.yZoom;
    channel.ChnIDDC = c.type;
    channel.ChnPreAmp = c.preAmp;
    channel.ChnAxialZero = c.axialZero;
    row.Height = c.height;
    view.XPosition = 0;
    view.DisplayWidth = 10;
    for (int32_t r = 0; r < 10; ++r) At(r, 0) = c.word;
    DrawChannel();
    const std::vector<Point> points = Vertices();
    ASSERT_EQ(points.size(), 10u);
    for (const Point& p : points) EXPECT_EQ(p.y, c.y);
  }
}

TEST_F(WaveTraces, SingleRateXIsLeftPlusNTimesJOverWidthLessOne) {
  view.IDDC = 1;
  view.XPosition = 0;
  view.DisplayWidth = 10;
  for (int32_t r = 0; r < 10; ++r) At(r, 0) = static_cast<uint16_t>(2048 + 100 * r);
  DrawChannel();
  std::vector<Point> expected;
  for (int j = 0; j < 10; ++j) expected.push_back({4 + 10 * j, RowY(0.1 * j, 0.0, 1.0, 1.0)});
  EXPECT_EQ(Vertices(), expected);

  row.N = 100;  // 100 / 9 pixels a point: integer division of N x j
  DrawChannel();
  const std::vector<Point> points = Vertices();
  ASSERT_EQ(points.size(), 10u);
  for (int j = 0; j < 10; ++j) EXPECT_EQ(points[static_cast<size_t>(j)].x, 4 + 100 * j / 9) << j;
}

TEST_F(WaveTraces, PointsAreReadFromTheRingStartingAtTheOldestBlock) {
  Build(10, 2);
  display.DispBlocks = 2;
  display.DispFirstBlock = 1;
  data.NumSamp = 5;  // display point 0 is matrix row 5, point 5 is row 0
  for (int32_t r = 0; r < 10; ++r) {
    At(r, 0) = static_cast<uint16_t>(2048 + 100 * r);
    At(r, 1) = 4000;  // the neighbouring channel must not show
  }
  view.IDDC = 1;
  view.XPosition = 3;
  view.DisplayWidth = 4;  // points 3 .. 6: rows 8, 9, 0, 1
  row.N = 30;
  DrawChannel(0);
  const std::vector<Point> expected{{4, RowY(0.8, 0, 1, 1)}, {14, RowY(0.9, 0, 1, 1)}, {24, RowY(0.0, 0, 1, 1)},
                                    {34, RowY(0.1, 0, 1, 1)}};
  EXPECT_EQ(Vertices(), expected);
}

TEST_F(WaveTraces, AcTraceOfAConstantSignalLiesOnTheCentreLine) {
  view.IDDC = 0;
  view.YOffset = 7;  // the offset belongs to the DC display only
  view.YZoom = 20;
  channel.ChnAxialZero = 1000;
  for (const uint16_t level : {uint16_t{2048}, uint16_t{3000}, uint16_t{100}}) {
    for (const int32_t maxMultiFreq : {1, 2}) {
      SCOPED_TRACE(testing::Message() << level << " at rate factor " << maxMultiFreq);
      Build(10, 2, maxMultiFreq);
      layout.MultiFreqTable[0] = maxMultiFreq;
      layout.ExtraSlotFirst[0] = 1;
      std::fill(matrix.begin(), matrix.end(), level);
      view.XPosition = 2;
      view.DisplayWidth = 15;
      DrawChannel();
      ASSERT_FALSE(Lines().empty());
      for (const CanvasOp& op : Lines()) {
        EXPECT_EQ(op.from.y, 150);
        EXPECT_EQ(op.to.y, 150);
      }
    }
  }
}

TEST_F(WaveTraces, AcTraceCentresOnTheMeanOfTheShownPointsOnly) {
  view.IDDC = 0;
  for (int32_t r = 0; r < 10; ++r) At(r, 0) = 3048;  // off screen: must not move the mean
  At(4, 0) = 2148;
  At(5, 0) = 2348;  // mean of points 4 and 5: 2248, 0.2 of full scale
  view.XPosition = 4;
  view.DisplayWidth = 2;
  DrawChannel();
  const std::vector<Point> expected{{4, RowY(0.1, 1.0, 1, 1)}, {94, RowY(0.3, 1.0, 1, 1)}};
  EXPECT_EQ(Vertices(), expected);
}

TEST(WaveTracesPreAmp, ZeroNegativeOrNotFiniteGainCountsAsOne) {
  struct Case {
    float gain;
    double effective;
  };
  const Case cases[] = {{1.0f, 1.0},
                        {2.5f, 2.5},
                        {0.5f, 0.5},
                        {0.0f, 1.0},
                        {-0.0f, 1.0},
                        {-2.0f, 1.0},
                        {std::numeric_limits<float>::quiet_NaN(), 1.0},
                        {std::numeric_limits<float>::infinity(), 1.0},
                        {-std::numeric_limits<float>::infinity(), 1.0}};
  for (const Case& c : cases) EXPECT_EQ(EffectivePreAmp(c.gain), c.effective) << c.gain;
}

// Fault mended: a pre-amp gain of 0 divided the counter centre by zero and
// flattened every trace; a negative one turned traces upside down.
TEST_F(WaveTraces, PreAmpZeroNegativeOrNotFiniteIsDrawnAsGainOne) {
  view.IDDC = 1;
  view.YOffset = 3;
  view.YZoom = 2;
  view.XPosition = 0;
  view.DisplayWidth = 10;
  channel.ChnAxialZero = 2300;
  for (int32_t r = 0; r < 10; ++r) At(r, 0) = static_cast<uint16_t>(1800 + 90 * r);
  for (const int32_t type : {kChannelDC, kChannelCounter, kChannelRawCode}) {
    channel.ChnIDDC = type;
    channel.ChnPreAmp = 1.0f;
    DrawChannel();
    const std::vector<std::string> reference = canvas.Log();
    ASSERT_FALSE(reference.empty());
    for (const float gain : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity()}) {
      channel.ChnPreAmp = gain;
      DrawChannel();
      EXPECT_EQ(canvas.Log(), reference) << "type " << type << " gain " << gain;
    }
  }
}

TEST(WaveTracesColumns, ReductionStartsAboveTwoSamplesPerColumn) {
  struct Case {
    int64_t samples;
    int width;
    bool columns;
  };
  const Case cases[] = {{801, 400, true}, {800, 400, false}, {1000, 400, true}, {700, 400, false},
                        {1, 0, true},     {0, 0, false},     {3, 1, true},      {2, 1, false}};
  for (const Case& c : cases) {
    RecordingCanvas canvas(10, 10);
    TracePolyline line(canvas, c.samples, c.width);
    EXPECT_EQ(line.ReducesColumns(), c.columns) << c.samples << " samples on " << c.width;
  }
}

// Pixels a recorded line paints: every pixel from its start up to, not
// including, its end. Only vertical lines and the start of others matter here.
bool Paints(const CanvasOp& op, int x, int y) {
  if (op.from.x == op.to.x && op.from.x == x) {
    return y >= std::min(op.from.y, op.to.y) && y <= std::max(op.from.y, op.to.y) && !(op.to == Point{x, y});
  }
  return op.from == Point{x, y};
}

TEST_F(WaveTraces, ColumnsOnlyWithMoreThanTwoPointsPerPixel) {
  Build(1000, 1);
  for (int32_t r = 0; r < 1000; ++r) At(r, 0) = static_cast<uint16_t>(2048 + (r * 37) % 401 - 200);
  view.IDDC = 1;
  view.XPosition = 0;
  row.N = 400;
  view.DisplayWidth = 700;
  DrawChannel();
  EXPECT_EQ(Lines().size(), 699u);  // every point joined to the one before
  view.DisplayWidth = 1000;
  DrawChannel();
  EXPECT_LE(Lines().size(), 3u * 401u);
  int vertical = 0;
  for (const CanvasOp& op : Lines()) vertical += op.from.x == op.to.x ? 1 : 0;
  EXPECT_GT(vertical, 300);
}

TEST_F(WaveTraces, ColumnStrokesCoverEverySamplesExtremesAndJoinTheColumns) {
  const int32_t points = 5003;
  Build(points, 3);
  display.DispBlocks = 7;
  display.DispFirstBlock = 3;
  data.NumSamp = 1000;  // the screen crosses the ring's end
  uint32_t seed = 12345;
  for (int32_t r = 0; r < points; ++r) {
    seed = seed * 1103515245u + 12345u;
    At(r, 1) = static_cast<uint16_t>(1048 + (seed >> 8) % 2001);
  }
  view.IDDC = 1;
  view.YZoom = 2;
  view.XPosition = 17;
  view.DisplayWidth = 4900;
  row.N = 613;
  DrawChannel(1);
  const std::vector<CanvasOp> lines = Lines();

  // Every sample of the screen, by column.
  struct Column {
    int low = INT32_MAX;
    int high = INT32_MIN;
    int first = 0;
    int last = 0;
    int count = 0;
  };
  std::vector<Column> columns(static_cast<size_t>(row.N) + 1);
  for (int64_t j = 0; j < view.DisplayWidth; ++j) {
    const int64_t matrixRow = (view.XPosition + j + 3000) % points;
    const double f = (At(static_cast<int32_t>(matrixRow), 1) - 2048.0) / 1000.0;
    const int y = RowY(f, 0.0, 1.0, 2.0);
    Column& c = columns[static_cast<size_t>(static_cast<int64_t>(row.N) * j / (view.DisplayWidth - 1))];
    if (c.count++ == 0) c.first = y;
    c.low = std::min(c.low, y);
    c.high = std::max(c.high, y);
    c.last = y;
  }
  for (int x = 0; x <= row.N; ++x) {
    const Column& c = columns[static_cast<size_t>(x)];
    ASSERT_GT(c.count, x == row.N ? 0 : 2) << x;
    bool low = false, high = false, leaves = x == row.N, enters = x == 0;
    for (const CanvasOp& op : lines) {
      low = low || Paints(op, row.Left + x, c.low);
      high = high || Paints(op, row.Left + x, c.high);
      if (x < row.N && op.from == Point{row.Left + x, c.last} && op.to.x == row.Left + x + 1) leaves = true;
      if (x > 0 && op.to == Point{row.Left + x, c.first} && op.from.x == row.Left + x - 1) enters = true;
    }
    if (c.count > 1) {  // a lone last sample is the polyline's end point, which no line paints
      EXPECT_TRUE(low) << "column " << x;
      EXPECT_TRUE(high) << "column " << x;
    }
    EXPECT_TRUE(leaves) << "column " << x << " does not leave from its last sample";
    EXPECT_TRUE(enters) << "column " << x << " is not entered at its first sample";
  }
  EXPECT_LE(lines.size(), 3u * columns.size());
}

// The reduced paths gather a column's samples without placing each one, the
// trace alone or the whole screen at once (TraceColumns); both must draw
// exactly what the polyline draws from every sample.
TEST_F(WaveTraces, ReducedColumnsDrawWhatEverySampleWouldDraw) {
  const int32_t points = 3000;
  Build(points, 43);  // 41 analog words, not a whole number of sweeps, and 2 switch words
  data.AnalogNum = 41;
  display.DispBlocks = 3;
  display.DispFirstBlock = 2;
  data.NumSamp = 1000;
  uint32_t seed = 99;
  for (int32_t r = 0; r < points; ++r) {
    for (int32_t w = 0; w < 43; ++w) {
      seed = seed * 1664525u + 1013904223u;
      At(r, w) = static_cast<uint16_t>(w < 41 ? seed >> 20 : seed >> 16);
    }
  }
  view.YZoom = 5;
  view.YOffset = -1;
  for (const int32_t dc : {1, 0}) {
    for (const int n : {7, 100, 333, 999}) {  // 7: columns of more rows than a sweep takes at a time
      struct Trace {
        bool isSwitch;
        int32_t number;  // analog channel or switch input
      };
      for (const Trace trace : {Trace{false, 0}, Trace{false, 40}, Trace{true, 3}, Trace{true, 31}}) {
        const bool isSwitch = trace.isSwitch;
        const int32_t word = isSwitch ? 41 + trace.number / 16 : trace.number;
        const int32_t bit = isSwitch ? trace.number % 16 : 0;
        SCOPED_TRACE(testing::Message() << "dc " << dc << " N " << n << (isSwitch ? " switch " : " channel ")
                                        << trace.number);
        view.IDDC = dc;
        row.N = n;
        view.XPosition = 11;
        view.DisplayWidth = 2989;

        RecordingCanvas reference(200, 400);
        {
          double sum = 0.0;
          for (int64_t j = 0; j < view.DisplayWidth; ++j) {
            sum += At(static_cast<int32_t>((view.XPosition + j + 2000) % points), word);
          }
          const double centre = dc == 1 ? -1 * 2.0 / 5.0 : (sum / view.DisplayWidth - 2048.0) / 1000.0 * 5.0;
          TracePolyline line(reference, view.DisplayWidth, row.N);
          for (int64_t j = 0; j < view.DisplayWidth; ++j) {
            const uint16_t value = At(static_cast<int32_t>((view.XPosition + j + 2000) % points), word);
            const int x = static_cast<int>(row.Left + static_cast<int64_t>(row.N) * j / (view.DisplayWidth - 1));
            int y = 0;
            if (!isSwitch) {
              y = static_cast<int>(150.5 - ((value - 2048.0) / 1000.0 - 0.2 * centre) * 100 * 5);
            } else {
              y = static_cast<int>(((value >> bit) & 1) != 0 ? 150.5 - 0.4 * 200 : 150.5 + 0.4 * 200);
            }
            line.Add(x, y);
          }
        }
        const auto draw = [&](const TraceColumns* columns) {
          canvas.Clear();
          if (isSwitch) DrawSwitchTrace(canvas, data, row, view, trace.number, columns);
          else DrawAnalogTrace(canvas, data, row, view, channel, trace.number, columns);
          return canvas.Log();
        };
        EXPECT_EQ(draw(nullptr), reference.Log()) << "trace alone";
        TraceColumns columns;
        columns.Gather(data, view, row.N);
        EXPECT_TRUE(columns.Holds(data, view, row.N, word, isSwitch));
        EXPECT_EQ(draw(&columns), reference.Log()) << "gathered screen";
      }
    }
  }
}

// Columns gathered for one screen are never used for another: the trace
// then reads its own rows.
TEST_F(WaveTraces, GatheredColumnsServeOnlyTheScreenTheyWereGatheredFor) {
  Build(2000, 3);
  data.AnalogNum = 2;
  for (int32_t r = 0; r < 2000; ++r) {
    At(r, 0) = static_cast<uint16_t>(2048 + (r * 7919) % 1000 - 500);
    At(r, 2) = static_cast<uint16_t>(r * 31);
  }
  view.IDDC = 1;
  view.XPosition = 0;
  view.DisplayWidth = 1500;
  row.N = 300;
  TraceColumns columns;
  columns.Gather(data, view, row.N);
  ASSERT_TRUE(columns.Holds(data, view, row.N, 0, false));
  EXPECT_FALSE(columns.Holds(data, view, row.N, 2, false)) << "a switch word as an analog channel";
  EXPECT_FALSE(columns.Holds(data, view, row.N, 0, true)) << "an analog word as a switch word";
  EXPECT_FALSE(columns.Holds(data, view, row.N, 3, false)) << "a word outside the row";

  struct Change {
    const char* what;
    void (*apply)(WaveViewState&, TraceRow&, DisplayDescriptor&, TraceData&);
  };
  const Change changes[] = {
      {"another first point", [](WaveViewState& v, TraceRow&, DisplayDescriptor&, TraceData&) { v.XPosition = 1; }},
      {"another width", [](WaveViewState& v, TraceRow&, DisplayDescriptor&, TraceData&) { v.DisplayWidth = 1499; }},
      {"another plot width", [](WaveViewState&, TraceRow& r, DisplayDescriptor&, TraceData&) { r.N = 299; }},
      {"AC display without sums", [](WaveViewState& v, TraceRow&, DisplayDescriptor&, TraceData&) { v.IDDC = 0; }},
      {"the ring moved on", [](WaveViewState&, TraceRow&, DisplayDescriptor& d, TraceData&) { d.DispFirstBlock = 1; }},
      {"fewer points", [](WaveViewState&, TraceRow&, DisplayDescriptor& d, TraceData&) { d.DispPoints = 1400; }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    WaveViewState otherView = view;
    TraceRow otherRow = row;
    DisplayDescriptor otherDisplay = display;
    TraceData otherData = data;
    otherData.Display = &otherDisplay;
    change.apply(otherView, otherRow, otherDisplay, otherData);
    EXPECT_FALSE(columns.Holds(otherData, otherView, otherRow.N, 0, false));
    RecordingCanvas alone(200, 400), gathered(200, 400);
    DrawAnalogTrace(alone, otherData, otherRow, otherView, channel, 0);
    DrawAnalogTrace(gathered, otherData, otherRow, otherView, channel, 0, &columns);
    EXPECT_EQ(gathered.Log(), alone.Log());
  }

  view.DisplayWidth = 600;  // every point joined: nothing to gather
  columns.Gather(data, view, row.N);
  EXPECT_FALSE(columns.Holds(data, view, row.N, 0, false));
}

TEST_F(WaveTraces, XOfManyPointsDoesNotOverflow) {
  const int32_t points = 3000000;  // N x j passes 2^31
  Build(points, 1);
  view.IDDC = 1;
  view.XPosition = 0;
  view.DisplayWidth = points;
  row.N = 1920;
  DrawChannel();
  std::vector<bool> seen(static_cast<size_t>(row.N) + 1, false);
  for (const CanvasOp& op : Lines()) {
    for (const Point p : {op.from, op.to}) {
      ASSERT_GE(p.x, row.Left);
      ASSERT_LE(p.x, row.Left + row.N);
      seen[static_cast<size_t>(p.x - row.Left)] = true;
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), row.N + 1);
}

// A channel at twice the base rate under a fastest rate of 4: sub-sample s
// shows display point 2s. XPosition 5 starts between two sub-samples, so
// sub-sample 2 (point 4) lies one point left of the plot.
TEST_F(WaveTraces, MultiRateFirstSubSampleLeftOfThePlotIsClippedToTheLeftEdge) {
  Build(10, 2, 4);
  layout.MultiFreqTable[0] = 2;
  layout.ExtraSlotFirst[0] = 1;  // sub-sample 2k + 1 in word 1
  for (int32_t r = 0; r < 10; ++r) {
    At(r, 0) = static_cast<uint16_t>(2048 + 100 * r);
    At(r, 1) = static_cast<uint16_t>(2048 - 100 * r);
  }
  At(1, 0) = 2548;  // sub-sample 2: y 100.5 - 50
  At(1, 1) = 1548;  // sub-sample 3: y 100.5 + 50
  view.IDDC = 1;
  view.XPosition = 5;
  view.DisplayWidth = 9;
  row = {4, 80, 100.5, 200};  // 10 pixels a point
  DrawChannel();
  // s0 = 5 x 2 / 4 = 2 at x -6; s1 = ceil(13 x 2 / 4) = 7 at point 14, x 94.
  std::vector<Point> expected{{4, 100}, {14, 150}};
  for (int64_t s = 4; s <= 7; ++s) {
    const uint16_t word = s % 2 == 0 ? At(static_cast<int32_t>(s / 2), 0) : At(static_cast<int32_t>(s / 2), 1);
    expected.push_back({static_cast<int>(4 + 10 * (2 * s - 5)), static_cast<int>(100.5 - (word - 2048.0) / 10.0)});
  }
  EXPECT_EQ(Vertices(), expected);
}

TEST_F(WaveTraces, SwitchInput17IsBit1OfTheSecondSwitchWord) {
  Build(8, 4);
  data.AnalogNum = 2;
  layout.Analog_Num = 2;
  for (int32_t r = 0; r < 8; ++r) {
    const bool high = r % 3 == 0;
    At(r, 3) = static_cast<uint16_t>(high ? 0x0002 : 0xFFFD);  // every other bit the opposite
    At(r, 2) = static_cast<uint16_t>(high ? 0x0000 : 0xFFFF);  // input 1 is bit 1 of word 2
  }
  row = {4, 70, 100.5, 50};
  view.XPosition = 0;
  view.DisplayWidth = 8;
  DrawSwitch(17);
  std::vector<Point> expected;
  for (int j = 0; j < 8; ++j) expected.push_back({4 + 10 * j, j % 3 == 0 ? 80 : 120});
  EXPECT_EQ(Vertices(), expected);
}

TEST_F(WaveTraces, SwitchUnderFasterChannelsHasOneValuePerRow) {
  Build(6, 2, 2);
  data.AnalogNum = 1;
  layout.Analog_Num = 1;
  for (int32_t r = 0; r < 6; ++r) At(r, 1) = static_cast<uint16_t>(r % 2);
  row = {4, 70, 100.5, 50};
  view.XPosition = 0;
  view.DisplayWidth = 8;  // points 0 .. 7: rows 0 .. ceil(7 / 2) = 4
  DrawSwitch(0);
  std::vector<Point> expected;
  for (int s = 0; s <= 4; ++s) expected.push_back({4 + 70 * 2 * s / 7, s % 2 == 1 ? 80 : 120});
  EXPECT_EQ(Vertices(), expected);
}

// Fault mended: with fewer points than the screen is wide the first point
// is negative; the trace read before the first point and drew wrapped data.
TEST_F(WaveTraces, FewerPointsThanTheWidthDrawOnlyThePointsThatExist) {
  for (const int32_t maxMultiFreq : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "rate factor " << maxMultiFreq);
    Build(6 / maxMultiFreq, 2, maxMultiFreq);
    layout.MultiFreqTable[0] = maxMultiFreq;
    layout.ExtraSlotFirst[0] = 1;
    for (int32_t p = 0; p < 6; ++p) {
      const uint16_t word = static_cast<uint16_t>(2048 + 100 * p);
      if (p % maxMultiFreq == 0) At(p / maxMultiFreq, 0) = word;
      else At(p / maxMultiFreq, 1) = word;
    }
    view.IDDC = 1;
    view.DisplayWidth = 10;
    view.XPosition = 6 - 10;
    DrawChannel();
    std::vector<Point> expected;
    for (int p = 0; p < 6; ++p) expected.push_back({4 + 10 * (p + 4), RowY(0.1 * p, 0, 1, 1)});
    EXPECT_EQ(Vertices(), expected);

    DrawSwitch(0);  // the switch word of this display is word 2: outside the row
    EXPECT_TRUE(canvas.Ops().empty());
  }
}

TEST_F(WaveTraces, DegenerateInputsDrawNothingOrStaySafe) {
  view.IDDC = 1;
  view.XPosition = 0;
  view.DisplayWidth = 10;

  DrawChannel(1);  // the row has one word
  EXPECT_TRUE(canvas.Ops().empty()) << "channel outside the row";
  DrawChannel(-1);
  EXPECT_TRUE(canvas.Ops().empty()) << "negative channel";
  DrawChannel(100000);
  EXPECT_TRUE(canvas.Ops().empty()) << "channel beyond the tables";

  display.DispData = nullptr;
  DrawChannel();
  EXPECT_TRUE(canvas.Ops().empty()) << "no matrix";
  Build(0, 1);
  DrawChannel();
  EXPECT_TRUE(canvas.Ops().empty()) << "no rows";

  Build(10, 1);
  view.DisplayWidth = 1;  // x must not divide by zero
  view.XPosition = 3;
  DrawChannel();
  for (const CanvasOp& op : Lines()) EXPECT_EQ(op.from.x, 4);

  view.DisplayWidth = 10;
  view.XPosition = 0;
  view.YZoom = 0;  // a damaged zoom counts as 1
  data.VZero = std::numeric_limits<float>::quiet_NaN();
  DrawChannel();
  for (const CanvasOp& op : Lines()) EXPECT_EQ(op.from.y, 150);
  data.VZero = 2048.0f;
  data.ADMax = 2048.0f;  // no scale: every code on the centre line
  At(3, 0) = 4000;
  DrawChannel();
  for (const CanvasOp& op : Lines()) EXPECT_EQ(op.from.y, 150);
  data.ADMax = std::numeric_limits<float>::infinity();
  DrawChannel();
  for (const CanvasOp& op : Lines()) EXPECT_EQ(op.from.y, 150);

  data.ADMax = 3048.0f;
  view.YZoom = 2000;
  channel.ChnPreAmp = 1e30f;  // far off the canvas, still whole pixels
  DrawChannel();
  ASSERT_FALSE(Lines().empty());
  for (const CanvasOp& op : Lines()) EXPECT_LT(std::abs(op.to.y), 1 << 25);
}

}  // namespace
