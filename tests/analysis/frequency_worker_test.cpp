// Long frequency analyses off the GUI thread: the sample copy, cancelling
// and superseding, the hand-back of the result.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/FrequencyAnalysis.h"
#include "analysis/FrequencyWorker.h"

namespace {

using namespace quelvar;

// Three base-rate channels of 6000 rows at 1000 Hz; the live source counts
// its reads.
struct Live {
  std::vector<std::vector<double>> data;
  SpectrumSource source;
  SpectrumRequest request;
  FftSettings settings;
  int reads = 0;

  Live() : data(3, std::vector<double>(6000)) {
    for (size_t c = 0; c < data.size(); ++c) {
      for (size_t i = 0; i < data[c].size(); ++i) data[c][i] = std::sin(0.01 * (c + 1) * i) + 0.001 * (i % 7);
    }
    source.Value = [this](int64_t p, int32_t c) {
      ++reads;
      return data[static_cast<size_t>(c)][static_cast<size_t>(p)];
    };
    source.Raw = [this](int64_t p, int32_t c) {
      return static_cast<uint16_t>(2048 + 1000 * data[static_cast<size_t>(c)][static_cast<size_t>(p)]);
    };
    source.RawToEngineering = [](int32_t c, double r) { return r - 2048.0 + c; };
    source.MultiFreqTable.assign(3, 1);
    source.ChnName = {"A", "B", "C"};
    source.ChnUnits = {"V", "V", "V"};
    source.ChnCoeB = {1.0, 1.0, 1.0};
    source.DispRows = 6000;
    source.ChannelRate = 1000.0;
    request.XPosition = 1000;
    request.DisplayWidth = 4000;
    request.AnalogChannels = {0, 1, 2};
  }
};

TEST(SpectrumChannelsTest, DisplayKeysNameChannelsThroughTheDisplayOrder) {
  // Drawn: analog key 2, switch key 9, analog keys 0 and 1 (a switch row
  // between analog rows); display position k shows channel order[k].
  WaveViewState view;
  view.DrawnAnalogCount = 3;
  view.DrawnSwitchCount = 1;
  view.DrawnChannels[0] = 2;
  view.DrawnChannels[1] = 9;
  view.DrawnChannels[2] = 0;
  view.DrawnChannels[3] = 1;
  const int32_t order[8] = {5, 3, 7, 0, 1, 2, 4, 6};
  const OscilToolSettings oscil;
  const SpectrumChannels mapped = SelectSpectrumChannels(0, oscil, view, 8, order);
  EXPECT_EQ(mapped.analog, (std::vector<int32_t>{7, 5, 3}));
  EXPECT_EQ(mapped.keys, (std::vector<int32_t>{2, 0, 1}));
  EXPECT_EQ(mapped.switches, (std::vector<int32_t>{9}));
  const SpectrumChannels page = SelectSpectrumChannels(0, oscil, view, 8);
  EXPECT_EQ(page.analog, (std::vector<int32_t>{2, 0, 1}));

  // The curves take the keys' colours.
  Live live;
  live.source.MultiFreqTable.assign(8, 1);
  live.source.ChnName.assign(8, "X");
  live.request.AnalogChannels = {2, 0};
  live.request.ColourKeys = {6, 4};
  SpectrumEngine engine;
  SpectrumResult result;
  engine.Analyse(live.settings, live.source, live.request, result);
  EXPECT_EQ(result.CurveChannel[0], 6);
  EXPECT_EQ(result.CurveChannel[1], 4);
}

TEST(SpectrumSnapshotTest, AnalysesOfTheCopyEqualThoseOfTheLiveData) {
  for (int kind : {0, 1, 3, 6, 7, 8, 9, 10}) {
    Live live;
    live.settings.FFTResultType = kind;
    SpectrumEngine engine;
    SpectrumResult direct;
    const std::string status = engine.Analyse(live.settings, live.source, live.request, direct);
    const SpectrumSnapshot snapshot = TakeSpectrumSnapshot(live.source, live.settings, live.request);
    // The copy changes no more when the live data do.
    for (auto& d : live.data) std::fill(d.begin(), d.end(), 0.0);
    SpectrumResult copied;
    EXPECT_EQ(engine.Analyse(live.settings, snapshot.Source, live.request, copied), status) << kind;
    EXPECT_EQ(copied.Values, direct.Values) << kind;
    EXPECT_EQ(copied.XOrigin, direct.XOrigin) << kind;
    EXPECT_EQ(copied.CurveNames, direct.CurveNames) << kind;
  }
}

TEST(SpectrumSnapshotTest, CopiesOnlyTheShownRangeOfTheChannelsRead) {
  Live live;
  live.request.AnalogChannels = {2};
  TakeSpectrumSnapshot(live.source, live.settings, live.request);
  EXPECT_EQ(live.reads, 4000);
}

TEST(SpectrumWorkEstimate, GrowsWithTheRangeAndIsZeroForARefusal) {
  Live live;
  const double wide = EstimateSpectrumWork(live.settings, live.source, live.request);
  live.request.DisplayWidth = 1000;
  const double narrow = EstimateSpectrumWork(live.settings, live.source, live.request);
  EXPECT_GT(wide, 3 * narrow);
  live.settings.FFTResultType = 7;
  EXPECT_GT(EstimateSpectrumWork(live.settings, live.source, live.request), narrow);
  live.request.RunState = 1;
  live.request.MaxBlock = 4;
  EXPECT_EQ(EstimateSpectrumWork(live.settings, live.source, live.request), 0.0);
  live.request.RunState = 0;
  live.settings.FFTResultType = 3;
  live.request.AnalogChannels = {0};
  EXPECT_EQ(EstimateSpectrumWork(live.settings, live.source, live.request), 0.0);
}

TEST(SpectrumEngineCancel, ASetFlagStopsTheAnalysis) {
  Live live;
  live.settings.FFTResultType = 7;
  std::atomic<bool> cancel{true};
  SpectrumEngine engine;
  engine.SetCancelFlag(&cancel);
  SpectrumResult result;
  engine.Analyse(live.settings, live.source, live.request, result);
  EXPECT_TRUE(engine.Cancelled());
  EXPECT_EQ(live.reads, 0);
  cancel = false;
  engine.Analyse(live.settings, live.source, live.request, result);
  EXPECT_FALSE(engine.Cancelled());
}

TEST(SpectrumEngineCancel, ProgressRisesToTheEnd) {
  Live live;
  live.settings.FFTResultType = 7;
  std::vector<double> seen;
  SpectrumEngine engine;
  engine.SetProgress([&seen](double f) { seen.push_back(f); });
  SpectrumResult result;
  engine.Analyse(live.settings, live.source, live.request, result);
  ASSERT_GE(seen.size(), 3U);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_LT(seen.front(), 0.1);
  EXPECT_GT(seen.back(), 0.6);
  EXPECT_LE(seen.back(), 1.0);
}

TEST(SpectrumWorkerTest, TheLastStartWinsAndItsResultIsTakenOnce) {
  Live live;
  SpectrumWorker worker;
  SpectrumResult seed;
  std::atomic<int> finished{0};
  live.settings.FFTResultType = 7;
  worker.Start(live.settings, TakeSpectrumSnapshot(live.source, live.settings, live.request), live.request, seed,
               {}, [&finished] { ++finished; });
  FftSettings power = live.settings;
  power.FFTResultType = 0;
  worker.Start(power, TakeSpectrumSnapshot(live.source, power, live.request), live.request, seed, {},
               [&finished] { ++finished; });
  worker.Join();
  SpectrumResult result;
  std::string status;
  ASSERT_TRUE(worker.Take(result, status));
  EXPECT_EQ(result.Kind, 0);
  EXPECT_EQ(status, "提示：频谱分析结果已显示!");
  EXPECT_FALSE(worker.Take(result, status));
  EXPECT_FALSE(worker.Busy());
  EXPECT_GE(finished.load(), 1);

  SpectrumEngine engine;
  SpectrumResult direct;
  engine.Analyse(power, live.source, live.request, direct);
  EXPECT_EQ(result.Values, direct.Values);
}

TEST(SpectrumWorkerTest, ARefusalKeepsTheSeedsCurves) {
  Live live;
  SpectrumWorker worker;
  SpectrumResult seed;
  seed.Values.assign(kSpectrumValues, 7.0);
  live.settings.FFTResultType = 3;
  live.request.AnalogChannels = {0};
  worker.Start(live.settings, TakeSpectrumSnapshot(live.source, live.settings, live.request), live.request, seed,
               {}, {});
  worker.Join();
  SpectrumResult result;
  std::string status;
  ASSERT_TRUE(worker.Take(result, status));
  EXPECT_EQ(status, "提示：模拟通道太少！");
  EXPECT_EQ(result.Valid, 0);
  EXPECT_EQ(result.Values[5], 7.0);
}

TEST(SpectrumWorkerTest, CancelDropsAFinishedResultNotYetTaken) {
  Live live;
  SpectrumWorker worker;
  live.settings.FFTResultType = 0;
  worker.Start(live.settings, TakeSpectrumSnapshot(live.source, live.settings, live.request), live.request, {}, {},
               {});
  worker.Join();
  ASSERT_TRUE(worker.Busy());  // finished, waiting to be taken
  worker.Cancel();
  SpectrumResult result;
  std::string status;
  EXPECT_FALSE(worker.Take(result, status));
  EXPECT_FALSE(worker.Busy());
}

TEST(SpectrumWorkerTest, CancelEndsTheJobWithoutAResult) {
  Live live;
  SpectrumWorker worker;
  live.settings.FFTResultType = 7;
  worker.Start(live.settings, TakeSpectrumSnapshot(live.source, live.settings, live.request), live.request, {}, {},
               {});
  worker.Cancel();
  SpectrumResult result;
  std::string status;
  // Either it ended before the cancel (a result) or it left none; never a
  // job still running.
  worker.Take(result, status);
  EXPECT_FALSE(worker.Busy());
}

}  // namespace
