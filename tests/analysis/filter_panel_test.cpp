// The offline filter's settings and edit rules, the range of a pass, the
// writable view of the shown data and the response picture.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/FilterPass.h"
#include "analysis/FilterResponsePlot.h"
#include "analysis/FilterSettings.h"
#include "platform/MemoryRegistry.h"
#include "platform/RecordingCanvas.h"
#include "platform/RegistryKey.h"

namespace {

using namespace quelvar;

constexpr const char* kApp = "QuelvarTorque";
constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\FilterSetting";

TEST(FilterSettings, DefaultsWhenNothingIsStoredAndARoundTripKeepsEveryValue) {
  platform::MemoryRegistry registry;
  const FilterSetting d = ReadFilterSetting(registry, kApp);
  EXPECT_EQ(d.FilterType, 0);
  EXPECT_EQ(d.FilterChnType, 0);
  EXPECT_EQ(d.FilterTimeType, 0);
  EXPECT_EQ(d.LowPassType, 0);
  EXPECT_EQ(d.LowPassOrder, 10);
  EXPECT_EQ(d.LowPassWindowType, 4);
  EXPECT_FLOAT_EQ(d.LowPassFrq, 10.0f);
  EXPECT_DOUBLE_EQ(d.IIRCoeA, 0.95);

  const FilterSetting s{1, 2, 2, 1, 1024, 2, 123.25f, 0.125};
  WriteFilterSetting(registry, kApp, s);
  const platform::RegistryKey key(registry, kKey);
  EXPECT_EQ(key.ReadInteger("LowPassOrder"), 1024);
  EXPECT_EQ(key.ReadDouble("LowPassFrq"), 123.25);  // real values as reals
  const FilterSetting back = ReadFilterSetting(registry, kApp);
  EXPECT_EQ(back.FilterType, 1);
  EXPECT_EQ(back.FilterChnType, 2);
  EXPECT_EQ(back.FilterTimeType, 2);
  EXPECT_EQ(back.LowPassType, 1);
  EXPECT_EQ(back.LowPassOrder, 1024);
  EXPECT_EQ(back.LowPassWindowType, 2);
  EXPECT_FLOAT_EQ(back.LowPassFrq, 123.25f);
  EXPECT_DOUBLE_EQ(back.IIRCoeA, 0.125);
}

TEST(FilterSettings, StoredValuesAreBroughtIntoRangeOnReading) {
  struct Case {
    const char* name;
    double stored;  // integers are stored as integers
    bool real;
    std::function<double(const FilterSetting&)> field;
    double expected;
  };
  const std::vector<Case> cases = {
      {"FilterType", 4, false, [](const FilterSetting& s) { return s.FilterType; }, 4},  // kept, filters nothing
      {"FilterType", 5, false, [](const FilterSetting& s) { return s.FilterType; }, 0},
      {"FilterType", -1, false, [](const FilterSetting& s) { return s.FilterType; }, 0},
      {"FilterChnType", 3, false, [](const FilterSetting& s) { return s.FilterChnType; }, 0},
      {"FilterTimeType", 7, false, [](const FilterSetting& s) { return s.FilterTimeType; }, 0},
      {"LowPassType", 2, false, [](const FilterSetting& s) { return s.LowPassType; }, 0},
      {"LowPassOrder", -5, false, [](const FilterSetting& s) { return s.LowPassOrder; }, 1},
      {"LowPassOrder", 0, false, [](const FilterSetting& s) { return s.LowPassOrder; }, 0},
      {"LowPassOrder", 1025, false, [](const FilterSetting& s) { return s.LowPassOrder; }, 1024},
      {"LowPassWindowType", 5, false, [](const FilterSetting& s) { return s.LowPassWindowType; }, 0},
      {"LowPassFrq", -3.0, true, [](const FilterSetting& s) { return s.LowPassFrq; }, 0.1f},
      {"LowPassFrq", NAN, true, [](const FilterSetting& s) { return s.LowPassFrq; }, 0.1f},
      {"LowPassFrq", 1e300, true, [](const FilterSetting& s) { return s.LowPassFrq; }, 0.1f},
      {"IIRCoeA", -0.5, true, [](const FilterSetting& s) { return s.IIRCoeA; }, 0.0},
      {"IIRCoeA", 1.5, true, [](const FilterSetting& s) { return s.IIRCoeA; }, 1.0},
      {"IIRCoeA", NAN, true, [](const FilterSetting& s) { return s.IIRCoeA; }, 0.95},
  };
  for (const Case& c : cases) {
    platform::MemoryRegistry registry;
    platform::RegistryKey key(registry, kKey);
    if (c.real) key.WriteDouble(c.name, c.stored);
    else key.WriteInteger(c.name, static_cast<int32_t>(c.stored));
    EXPECT_DOUBLE_EQ(c.field(ReadFilterSetting(registry, kApp)), c.expected) << c.name << " " << c.stored;
  }
}

TEST(FilterSettings, EditsKeepTheLastValueForNonNumbersAndClampTheRest) {
  EXPECT_EQ(OrderFromEdit("1024", 10), 1024);
  EXPECT_EQ(OrderFromEdit("1025", 10), 1024);
  EXPECT_EQ(OrderFromEdit("-5", 10), 1);
  EXPECT_EQ(OrderFromEdit("0", 10), 0);
  EXPECT_EQ(OrderFromEdit("x", 17), 17);
  EXPECT_FLOAT_EQ(CutoffFromEdit("-1", 5.0f), 0.1f);
  EXPECT_FLOAT_EQ(CutoffFromEdit("abc", 5.0f), 5.0f);
  EXPECT_FLOAT_EQ(CutoffFromEdit("250.5", 5.0f), 250.5f);
  bool clamped = true;
  EXPECT_DOUBLE_EQ(CoefficientFromEdit("0.5", 0.9, clamped), 0.5);
  EXPECT_FALSE(clamped);
  EXPECT_DOUBLE_EQ(CoefficientFromEdit("2", 0.9, clamped), 1.0);
  EXPECT_TRUE(clamped);
  EXPECT_DOUBLE_EQ(CoefficientFromEdit("-0.1", 0.9, clamped), 0.0);
  EXPECT_TRUE(clamped);
  EXPECT_DOUBLE_EQ(CoefficientFromEdit("a", 0.9, clamped), 0.9);
  EXPECT_FALSE(clamped);
  EXPECT_EQ(ChannelFromEdit("x", 4), 0);
  EXPECT_EQ(ChannelFromEdit("9", 4), 3);
  EXPECT_EQ(ChannelFromEdit("-2", 4), 0);
  EXPECT_EQ(ChannelFromEdit("3", 0), 0);  // no analog channel: never negative
  // The design's cut-off: at most half the rate; a negative one 0.1.
  EXPECT_DOUBLE_EQ(DesignCutoff(7000.0, 10000.0), 5000.0);
  EXPECT_FLOAT_EQ(static_cast<float>(DesignCutoff(-1.0, 10000.0)), 0.1f);
  EXPECT_EQ(CutoffText(5000.0), "5000.00");
  EXPECT_EQ(CoefficientText(0.123456789), "0.1234568");
  EXPECT_EQ(SampleRateText(10000.0), "采样频率=10000.00Hz");
}

// A state with data of `rows` rows of 4 analog channels shown from the
// history record.
AppState ShownState(int32_t rows) {
  AppState state;
  state.config.Analog_Num = 4;
  state.config.NumChn = 4;
  state.config.NumSamp = rows;
  state.history.Samples.assign(static_cast<size_t>(rows) * 4 + 1, 100);
  state.display.DispData = state.history.Samples.data();
  state.display.DispRows = rows;
  state.display.DispRowWords = 4;
  state.display.DispValid = 1;
  return state;
}

TEST(FilterPass, RefusalsOfTheCommand) {
  struct Case {
    int32_t runState;
    int16_t valid;
    int32_t multi;
    std::optional<std::string> refusal;
  };
  const Case cases[] = {
      {kRunIdle, 1, 1, std::nullopt},
      {kRunRecording, 1, 1, std::string(kFilterNoData)},
      {kRunOscilloscope, 1, 1, std::string(kFilterNoData)},
      {kRunIdle, 0, 1, std::string(kFilterNoData)},
      {kRunIdle, 1, 2, std::string(kFilterMultiRate)},
  };
  for (const Case& c : cases) {
    AppState state = ShownState(10);
    state.RunState = c.runState;
    state.display.DispValid = c.valid;
    state.config.MaxMultiFreq = c.multi;
    EXPECT_EQ(FilterCommandRefusal(state), c.refusal) << c.runState << " " << c.valid << " " << c.multi;
  }
}

TEST(FilterPass, ChannelsAndRowsByTheScopes) {
  AppState state = ShownState(100);
  LiveConfig& c = state.config;
  c.AnalogDisplayOrder = {};
  c.AnalogDisplayOrder[0] = 2;
  c.AnalogDisplayOrder[1] = 0;
  c.AnalogDisplayOrder[2] = 3;
  c.AnalogDisplayOrder[3] = 1;
  WaveViewState& v = state.wave;
  v.DrawnAnalogCount = 3;
  v.DrawnChannels[0] = 1;
  v.DrawnChannels[1] = 0;
  v.DrawnChannels[2] = 4;  // a switch input's key
  v.XPosition = 20;
  v.DisplayWidth = 30;
  v.Mark1X = 12;
  v.Mark2X = 3;

  FilterSetting s;
  s.FilterChnType = kFilterDrawnChannels;
  s.FilterTimeType = kFilterMarkRows;
  FilterRange r = CollectFilterChannelsAndRows(state, s, 0);
  EXPECT_EQ(r.channels, (std::vector<int32_t>{0, 2}));  // positions 1, 0 stand for channels 0, 2
  EXPECT_EQ(r.firstRow, 22);  // mark 2 is the left one
  EXPECT_EQ(r.lastRow, 31);

  v.Options.Scope = ChannelScope::Page;  // on a page the key is the channel
  s.FilterTimeType = kFilterScreenRows;
  r = CollectFilterChannelsAndRows(state, s, 0);
  EXPECT_EQ(r.channels, (std::vector<int32_t>{1, 0}));
  EXPECT_EQ(r.firstRow, 20);
  EXPECT_EQ(r.lastRow, 49);

  // The two-trace display: its analog traces in use.
  state.display.DataSourceMode = 2;
  state.oscilTool.ChnAd1 = 3;
  state.oscilTool.ChnAD2 = 9;  // a switch input
  r = CollectFilterChannelsAndRows(state, s, 0);
  EXPECT_EQ(r.channels, (std::vector<int32_t>{3}));

  s.FilterChnType = kFilterOneChannel;
  s.FilterTimeType = kFilterAllRows;
  r = CollectFilterChannelsAndRows(state, s, 7);
  EXPECT_EQ(r.channels, (std::vector<int32_t>{3}));
  EXPECT_EQ(r.firstRow, 0);
  EXPECT_EQ(r.lastRow, 99);
  s.FilterChnType = kFilterAllChannels;
  EXPECT_EQ(CollectFilterChannelsAndRows(state, s, 0).channels, (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST(FilterPass, WritesOnlyTheHistoryCopyOrTheRingAndOnlyWithinThem) {
  AppState state = ShownState(10);
  ASSERT_TRUE(ShownFilterData(state).has_value());
  EXPECT_EQ(ShownFilterData(state)->data, state.history.Samples.data());

  state.acq.RingBuffer.assign(40, 0);
  state.display.DispData = state.acq.RingBuffer.data();
  ASSERT_TRUE(ShownFilterData(state).has_value());
  state.display.DispRows = 11;  // more rows than the ring holds
  EXPECT_FALSE(ShownFilterData(state).has_value());

  const std::vector<uint16_t> elsewhere(40, 0);
  state.display.DispData = elsewhere.data();
  state.display.DispRows = 10;
  EXPECT_FALSE(ShownFilterData(state).has_value());
}

TEST(FilterPass, TypesBeyondTheLowPassAndUndesignableFirsFilterNothing) {
  AppState state = ShownState(20);
  for (size_t i = 0; i < state.history.Samples.size(); ++i) state.history.Samples[i] = static_cast<uint16_t>(i * 37 % 4000);
  const std::vector<uint16_t> before = state.history.Samples;
  const FilterData data = *ShownFilterData(state);
  const FilterRange all{{0, 1, 2, 3}, 0, 19};
  for (int32_t type = 2; type <= 4; ++type) {
    FilterSetting s;
    s.FilterType = type;
    EXPECT_FALSE(RunFilterPass(data, all, s, false, 1000.0, 4, 4095));
  }
  FilterSetting fir;
  fir.FilterType = kFilterLowPass;
  fir.LowPassOrder = 2;  // fewer than three taps
  EXPECT_FALSE(RunFilterPass(data, all, fir, false, 1000.0, 4, 4095));
  fir.LowPassOrder = 11;
  fir.LowPassFrq = 0.0f;  // no pass band
  EXPECT_FALSE(RunFilterPass(data, all, fir, false, 1000.0, 4, 4095));
  EXPECT_TRUE(std::vector<uint16_t>(state.history.Samples) == before);
}

TEST(FilterPass, OnlyAnUndesignableFirIsRefusedBeforeThePass) {
  struct Case {
    int32_t type, lowPass, order;
    float cutoff;
    double rate;
    bool refused;
  };
  const Case cases[] = {
      {kFilterLowPass, kLowPassFir, 31, 20.0f, 1000.0, false},
      {kFilterLowPass, kLowPassFir, 0, 20.0f, 1000.0, true},
      {kFilterLowPass, kLowPassFir, 2, 20.0f, 1000.0, true},
      {kFilterLowPass, kLowPassFir, 3, 20.0f, 1000.0, false},
      {kFilterLowPass, kLowPassFir, 31, 0.0f, 1000.0, true},
      {kFilterLowPass, kLowPassFir, 31, 20.0f, 0.0, true},
      {kFilterLowPass, kLowPassFir, 31, 20.0f, -5.0, true},
      {kFilterLowPass, kLowPassIir, 0, 0.0f, 0.0, false},  // the IIR needs no design
      {kFilterMedian, kLowPassFir, 0, 0.0f, 0.0, false},
  };
  for (const Case& c : cases) {
    FilterSetting s;
    s.FilterType = c.type;
    s.LowPassType = c.lowPass;
    s.LowPassOrder = c.order;
    s.LowPassFrq = c.cutoff;
    const std::optional<std::string> refusal = FilterDesignRefusal(s, c.rate);
    EXPECT_EQ(refusal.has_value(), c.refused) << c.order << " " << c.cutoff << " " << c.rate;
    EXPECT_EQ(refusal.value_or(""), c.refused ? "错误：滤波器参数无效!" : "");
  }
}

TEST(FilterResponsePicture, AxisTicksAndACurveAtAHundredPixelsPerUnitGain) {
  platform::RecordingCanvas canvas(430, 230);
  const std::vector<double> response{1.0, 0.5, 0.0};
  DrawFilterResponse(canvas, response, std::acos(-1.0) / 4);
  std::vector<std::string> texts;
  for (const auto& op : canvas.OpsOf(platform::CanvasOp::Kind::Text)) {
    texts.push_back(op.text + "@" + std::to_string(op.from.x) + "," + std::to_string(op.from.y));
  }
  // Base line at 200, the plot 400 wide: wc at 100, 0.5pi at 200, pi at 400.
  EXPECT_EQ(texts, (std::vector<std::string>{"wc@95,202", "0.5pi@190,202", "pi@395,202"}));
  std::vector<std::pair<platform::Point, platform::Point>> lines;
  for (const auto& op : canvas.OpsOf(platform::CanvasOp::Kind::Line)) lines.emplace_back(op.from, op.to);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), std::make_pair(platform::Point{0, 200}, platform::Point{430, 200}));
  // The curve: gain 1 at 0, 0.5 at pi/2, 0 at pi.
  const auto n = lines.size();
  EXPECT_EQ(lines[n - 2], std::make_pair(platform::Point{0, 100}, platform::Point{200, 150}));
  EXPECT_EQ(lines[n - 1], std::make_pair(platform::Point{200, 150}, platform::Point{400, 200}));

  platform::RecordingCanvas axisOnly(430, 230);
  DrawFilterResponse(axisOnly, {}, 0.5);
  EXPECT_EQ(axisOnly.OpsOf(platform::CanvasOp::Kind::Line).size(), 4u);  // base line and three ticks
}

}  // namespace
