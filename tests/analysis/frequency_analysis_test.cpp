#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/FrequencyAnalysis.h"

namespace {

using namespace quelvar;

const double kPi = 4.0 * std::atan(1.0);

// Display data of a few base-rate channels at 1000 Hz; channel c's samples
// are data[c], the raw words raw[c].
struct Bench {
  std::vector<std::vector<double>> data;
  std::vector<std::vector<uint16_t>> raw;
  SpectrumSource source;
  SpectrumRequest request;
  FftSettings settings;
  SpectrumResult result;
  SpectrumEngine engine;

  explicit Bench(int channels, int rows) : data(static_cast<size_t>(channels)), raw(static_cast<size_t>(channels)) {
    for (auto& d : data) d.assign(static_cast<size_t>(rows), 0.0);
    for (auto& r : raw) r.assign(static_cast<size_t>(rows), 0);
    source.Value = [this](int64_t p, int32_t c) { return data[static_cast<size_t>(c)][static_cast<size_t>(p)]; };
    source.Raw = [this](int64_t p, int32_t c) { return raw[static_cast<size_t>(c)][static_cast<size_t>(p)]; };
    source.RawToEngineering = [](int32_t, double r) { return r - 2048.0; };
    source.MultiFreqTable.assign(static_cast<size_t>(channels), 1);
    for (int c = 0; c < channels; ++c) {
      source.ChnName.push_back("C" + std::to_string(c));
      source.ChnUnits.push_back("V");
      source.ChnCoeB.push_back(1.0);
    }
    source.DispRows = rows;
    source.ChannelRate = 1000.0f;
    request.DisplayWidth = rows;
    settings.FFTLength = 1024;
  }
  std::string Run(int kind, std::vector<int32_t> channels) {
    settings.FFTResultType = kind;
    request.AnalogChannels = std::move(channels);
    return engine.Analyse(settings, source, request, result);
  }
  double At(int curve, int point) const {
    return result.Values[static_cast<size_t>(curve) * static_cast<size_t>(result.NumPoints) +
                         static_cast<size_t>(point)];
  }
  void Fill(int c, const std::function<double(int)>& f) {
    for (size_t i = 0; i < data[static_cast<size_t>(c)].size(); ++i) data[static_cast<size_t>(c)][i] = f(static_cast<int>(i));
  }
};

std::vector<double> Noise(int n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> d(0.0, 1.0);
  std::vector<double> v(static_cast<size_t>(n));
  for (auto& x : v) x = d(gen);
  return v;
}

TEST(SpectrumWindows, PowersAndShapes) {
  const int n = 1024;
  // Closed forms of sum w^2 for a = 2 pi / (N-1) over k = 0..N-1, where
  // sum cos(ak) = 1 and sum cos^2(ak) = (N+1)/2.
  struct Case {
    int kind;
    double power;
  };
  for (const Case c : {Case{0, n}, Case{1, 0.2916 * n - 2 * 0.54 * 0.46 + 0.46 * 0.46 * (n + 1) / 2},
                       Case{2, 0.25 * n - 0.5 + 0.25 * (n + 1) / 2}, Case{7, n}, Case{-1, n}}) {
    const std::vector<double> w = SpectrumWindow(c.kind, n);
    double p = 0;
    for (double x : w) p += x * x;
    EXPECT_NEAR(p, c.power, 1e-9 * n) << c.kind;
  }
  for (int kind = 1; kind <= 5; ++kind) {
    const std::vector<double> w = SpectrumWindow(kind, n);
    for (int k = 0; k < n; ++k) {
      ASSERT_NEAR(w[static_cast<size_t>(k)], w[static_cast<size_t>(n - 1 - k)], 2e-3) << kind << " " << k;
      ASSERT_LE(w[static_cast<size_t>(k)], 1.0 + 1e-12);
    }
    EXPECT_NEAR(w[0], kind == 1 ? 0.08 : 0.0, 1e-4) << kind;
  }
}

TEST(SpectrumPower, OneSineReadsTheSameLevelUnderEveryWindow) {
  const int n = 1024;
  const double a = 3.0;
  const int bin = 64;
  Bench b(1, 4 * n);
  b.Fill(0, [&](int i) { return a * std::cos(2 * kPi * bin * i / n); });
  for (int window = 0; window <= 6; ++window) {
    b.settings.FFTWindowType = window;
    EXPECT_EQ(b.Run(kPowerSpectrum, {0}), "提示：频谱分析结果已显示!");
    EXPECT_NEAR(b.At(0, bin), a * a / 4, 1e-3 * a * a) << window;
    EXPECT_DOUBLE_EQ(b.result.DeltaX, 1000.0 / n);
  }
  // The rectangular window's level is the plain one: |X|^2 / N^2.
  b.settings.FFTWindowType = 0;
  b.Run(kPowerSpectrum, {0});
  EXPECT_NEAR(b.At(0, bin + 3), 0.0, 1e-6);
  EXPECT_DOUBLE_EQ(b.result.WindowPower, n);
}

TEST(SpectrumPower, ShortLastSegmentsCountInTheAverage) {
  const int n = 1024;
  Bench b(1, n);
  b.Fill(0, [](int) { return 1.0; });
  b.Run(kPowerSpectrum, {0});
  EXPECT_NEAR(b.At(0, 0), 1.0, 1e-6);
  // Half overlap over exactly N samples: the second segment holds N/2 ones
  // then zeros, so (N^2 + N^2/4) / (2 N^2).
  b.settings.DataOverlap = true;
  b.Run(kPowerSpectrum, {0});
  EXPECT_NEAR(b.At(0, 0), 0.625, 1e-6);
  // N + 1 samples without overlap: two segments, the second one sample.
  Bench c(1, n + 1);
  c.Fill(0, [](int) { return 1.0; });
  c.Run(kPowerSpectrum, {0});
  EXPECT_NEAR(c.At(0, 0), (1.0 + 1.0 / (n * static_cast<double>(n))) / 2, 1e-6);
}

TEST(SpectrumPower, PhaseTakesTheQuadrantAndOnlyTheFirstSegment) {
  const int n = 1024;
  const int bin = 10;
  Bench b(4, 3 * n);
  b.Fill(0, [&](int i) { return std::cos(2 * kPi * bin * i / n); });
  b.Fill(1, [&](int i) { return std::sin(2 * kPi * bin * i / n); });
  b.Fill(2, [&](int i) { return -std::cos(2 * kPi * bin * i / n); });
  // Beyond the first N samples: a sine that must not show.
  b.Fill(3, [&](int i) { return i < n ? 0.0 : 5.0 * std::cos(2 * kPi * bin * i / n); });
  b.Run(kPowerSpectrumWithPhase, {0, 1, 2, 3});
  ASSERT_EQ(b.result.NumCurves, 8);
  EXPECT_EQ(b.result.GroupCount, 2);
  EXPECT_EQ(b.result.CurveNames[4], "C0相位");
  EXPECT_NEAR(b.At(4, bin), 0.0, 0.01);
  EXPECT_NEAR(b.At(5, bin), -90.0, 0.01);
  EXPECT_NEAR(std::fabs(b.At(6, bin)), 180.0, 0.01);
  EXPECT_NEAR(b.At(0, bin), 0.25, 1e-4);
  EXPECT_EQ(b.At(3, bin), 0.0);
}

TEST(SpectrumPairs, CoherenceOfAChannelWithItselfIsOne) {
  const int n = 1024;
  Bench b(2, 8 * n);
  const std::vector<double> noise = Noise(8 * n, 5U);
  b.Fill(0, [&](int i) { return noise[static_cast<size_t>(i)]; });
  b.settings.FFTWindowType = kWindowHann;
  b.Run(kCoherence, {0, 0, 0, 1});
  ASSERT_EQ(b.result.NumCurves, 2);
  for (int k = 0; k <= n / 2; ++k) {
    ASSERT_NEAR(b.At(0, k), 1.0, 1e-9) << k;
    // Channel 1 carries no power: 0, not a division by zero.
    ASSERT_EQ(b.At(1, k), 0.0) << k;
  }
  EXPECT_EQ(b.result.CurveNames[0], "C0-C0相干");
  EXPECT_EQ(b.result.CurveChannel[1], 0);
}

TEST(SpectrumPairs, TransferFunctionOfAKnownFilter) {
  const int n = 1024;
  const int rows = 64 * n;
  Bench b(3, rows);
  const std::vector<double> x = Noise(rows, 9U);
  b.Fill(0, [&](int i) { return x[static_cast<size_t>(i)]; });
  // y(t) = x(t) + 0.5 x(t-1): |H| = sqrt(1.25 + cos w).
  b.Fill(1, [&](int i) { return x[static_cast<size_t>(i)] + (i > 0 ? 0.5 * x[static_cast<size_t>(i - 1)] : 0.0); });
  b.settings.FFTWindowType = kWindowHann;
  b.settings.DataOverlap = true;
  b.Run(kTransferFunction, {0, 1, 2, 0});
  for (int k = 1; k < n / 2; k += 7) {
    const double w = 2 * kPi * k / n;
    ASSERT_NEAR(b.At(0, k), std::sqrt(1.25 + std::cos(w)), 0.03) << k;
    // No input power in channel 2: the bin holds 0.
    ASSERT_EQ(b.At(1, k), 0.0);
  }
}

TEST(SpectrumCorrelation, AutocorrelationOfACosine) {
  const int n = 1024;
  const int bin = 16;  // a period of 64 samples
  Bench b(1, 16 * n);
  b.Fill(0, [&](int i) { return std::cos(2 * kPi * bin * i / n); });
  b.Run(kDirectAutoCorrelation, {0});
  EXPECT_DOUBLE_EQ(b.result.DeltaX, 1e-3);
  for (int j : {0, 8, 16, 32, 64, 100, 500}) {
    EXPECT_NEAR(b.At(0, j), std::cos(2 * kPi * bin * j / n), 0.01) << j;
  }
  // Segments of whole periods: the circular autocorrelation with the
  // N/(N-k) factor.
  b.Run(kFftAutoCorrelation, {0});
  for (int j : {0, 8, 16, 32, 64, 100, 500}) {
    EXPECT_NEAR(b.At(0, j), std::cos(2 * kPi * bin * j / n) * n / (n - j), 1e-4) << j;
  }
}

TEST(SpectrumCorrelation, SilentOrShortChannelsGiveZeros) {
  Bench b(1, 5);
  b.Run(kDirectAutoCorrelation, {0});
  for (int j = 0; j < b.result.NumPoints; ++j) ASSERT_EQ(b.At(0, j), 0.0);
  Bench z(1, 2048);
  z.Run(kFftAutoCorrelation, {0});
  for (int j = 0; j < z.result.NumPoints; ++j) ASSERT_EQ(z.At(0, j), 0.0);
  z.Run(kDirectAutoCorrelation, {0});
  for (int j = 0; j < z.result.NumPoints; ++j) ASSERT_EQ(z.At(0, j), 0.0);
}

TEST(SpectrumCorrelation, CrossCorrelationPeaksAtTheDelayNormalisedByBothPowers) {
  const int n = 1024;
  const int delay = 20;
  Bench b(2, 8 * n);
  const std::vector<double> x = Noise(8 * n + delay, 13U);
  // B repeats A twice as large `delay` samples later.
  b.Fill(0, [&](int i) { return x[static_cast<size_t>(i)]; });
  b.Fill(1, [&](int i) { return i >= delay ? 2.0 * x[static_cast<size_t>(i - delay)] : 0.0; });
  b.Run(kDirectCrossCorrelation, {0, 1});
  EXPECT_NEAR(b.At(0, delay), 1.0, 0.02);
  EXPECT_NEAR(b.At(0, 0), 0.0, 0.05);
  b.Run(kFftCrossCorrelation, {0, 1});
  EXPECT_NEAR(b.At(0, 0), 0.0, 0.05);
  EXPECT_GT(b.At(0, delay), 0.9);
  EXPECT_LT(b.At(0, delay), 1.05);
}

TEST(SpectrumDensity, CountsRawWordsWithinTheRangeOnly) {
  Bench b(3, 100);
  b.source.ADBit = 12;
  for (int i = 0; i < 100; ++i) b.raw[0][static_cast<size_t>(i)] = static_cast<uint16_t>(i < 60 ? 7 : 5000);
  b.Run(kAmplitudeDensity, {0});
  EXPECT_EQ(b.result.NumPoints, 4096);
  EXPECT_EQ(b.result.NumCurves, 1);
  EXPECT_EQ(b.At(0, 7), 60.0);
  EXPECT_EQ(b.result.XLabel, "幅度(V)");
  EXPECT_DOUBLE_EQ(b.result.XOrigin, -2048.0);
  b.source.ADBit = 16;
  b.Run(kAmplitudeDensity, {0, 1, 2});
  EXPECT_EQ(b.result.NumCurves, 2);
  EXPECT_EQ(b.result.XLabel, "幅度-AD值(原始值)");
  EXPECT_EQ(b.At(0, 5000), 40.0);
}

TEST(SpectrumRefusals, TextsAndValidity) {
  Bench b(2, 2048);
  EXPECT_EQ(b.result.StatusText, "没有数据！");
  struct Case {
    std::function<void(Bench&)> setup;
    int kind;
    std::vector<int32_t> channels;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[](Bench& x) { x.request.RunState = 1; x.request.MaxBlock = 4; }, 0, {0}, "不要求实时频谱！"},
      {[](Bench&) {}, 0, {}, "没有模拟通道！"},
      {[](Bench& x) { x.source.MultiFreqTable[1] = 2; }, 0, {0, 1}, "各通道频率不同！"},
      {[](Bench&) {}, 3, {0}, "模拟通道太少！"},
      {[](Bench& x) { x.source.DispRows = 0; }, 0, {0}, "没有数据！"},
      {[](Bench& x) { x.request.XPosition = 4000; }, 0, {0}, "没有数据！"},
  };
  for (const Case& c : cases) {
    Bench x(2, 2048);
    c.setup(x);
    EXPECT_EQ(x.Run(c.kind, c.channels), "提示：" + c.text) << c.text;
    EXPECT_EQ(x.result.StatusText, c.text);
    EXPECT_EQ(x.result.Valid, 0) << c.text;
  }
  // Recording with realtime analysis asked for goes ahead.
  b.request.RunState = 1;
  b.request.MaxBlock = 4;
  b.settings.RealtimeSpectrum = true;
  EXPECT_EQ(b.Run(0, {0}), "提示：频谱分析结果已显示!");
  EXPECT_EQ(b.result.Valid, 1);
  // No list selection computes nothing and keeps the curves.
  b.Fill(0, [](int) { return 1.0; });
  b.Run(0, {0});
  const double kept = b.At(0, 0);
  b.data[0].assign(2048, 0.0);
  b.Run(-1, {0});
  EXPECT_EQ(b.At(0, 0), kept);
}

TEST(SpectrumBands, FloorOutsideTheBands) {
  Bench b(1, 4096);
  const std::vector<double> noise = Noise(4096, 3U);
  b.Fill(0, [&](int i) { return noise[static_cast<size_t>(i)]; });
  b.settings.BandN = 3;
  b.Run(kOctaveBands, {0});
  EXPECT_EQ(b.result.Title, "1/3倍频带");
  const int points = b.result.NumPoints;
  const double r = std::pow(2.0, 1.0 / 6);
  const int last = static_cast<int>((points - 1) / r);
  // df = 1000/1024 Hz: bands start at bin trunc(1/df) = 1.
  const int first = 1;
  double smallest = 1e300;
  for (int j = first; j <= last; ++j) smallest = std::min(smallest, b.At(0, j));
  EXPECT_GT(smallest, 0.0);
  EXPECT_DOUBLE_EQ(b.At(0, 0), 0.1 * smallest);
  EXPECT_DOUBLE_EQ(b.At(0, points - 1), 0.1 * smallest);
}

}  // namespace

namespace {

using namespace quelvar;

TEST(SpectrumBands, EachBandSumsItsBinsEvenBesideAStrongPeak) {
  const int n = 2048;
  Bench b(1, 4 * n);
  const std::vector<double> noise = Noise(4 * n, 5U);
  // A peak 1e6 above the noise: a band's sum taken as a difference of
  // running totals would lose the quiet bands after it.
  b.Fill(0, [&](int i) { return 1e6 * std::cos(2 * kPi * 100 * i / n) + 1e-3 * noise[static_cast<size_t>(i)]; });
  b.settings.FFTLength = n;
  b.Run(kPowerSpectrum, {0});
  std::vector<double> power(static_cast<size_t>(b.result.NumPoints));
  for (int k = 0; k < b.result.NumPoints; ++k) power[static_cast<size_t>(k)] = b.At(0, k);
  for (const int bandN : {1, 3, 10}) {
    b.settings.BandN = bandN;
    b.Run(kOctaveBands, {0});
    const int points = b.result.NumPoints;
    const double r = std::pow(2.0, 1.0 / (2.0 * bandN));
    const int last = static_cast<int>((points - 1) / r);
    // df = 1000/2048 Hz: bands start at bin trunc(1/df) = 2.
    for (int j = 2; j <= last; ++j) {
      double sum = 0.0;
      for (int k = static_cast<int>(j / r); k <= std::min(points - 1, static_cast<int>(j * r)); ++k) {
        sum += power[static_cast<size_t>(k)];
      }
      ASSERT_NEAR(b.At(0, j), b.result.DeltaX * sum, 1e-12 * b.result.DeltaX * sum) << bandN << " band " << j;
    }
  }
}

TEST(SpectrumPower, AResultMovedBetweenEnginesCarriesTheWindowItWasAnalysedWith) {
  // The panel analyses short requests on its own engine and long ones on
  // the worker's, into the same result.
  const int n = 1024;
  Bench b(1, 4 * n);
  b.Fill(0, [&](int i) { return std::cos(2 * kPi * 64 * i / n); });
  b.settings.FFTWindowType = kWindowHann;
  b.Run(kPowerSpectrum, {0});
  const SpectrumResult hann = b.result;
  SpectrumEngine other;
  FftSettings hamming = b.settings;
  hamming.FFTWindowType = kWindowHamming;
  other.Analyse(hamming, b.source, b.request, b.result);
  ASSERT_EQ(b.result.Window, SpectrumWindow(kWindowHamming, n));
  b.Run(kPowerSpectrum, {0});
  EXPECT_EQ(b.result.Window, hann.Window);
  EXPECT_EQ(b.result.WindowPower, hann.WindowPower);
  EXPECT_EQ(b.result.Values, hann.Values);
}

TEST(SpectrumChannelsTest, DrawnChannelsOrTheTwoTraces) {
  WaveViewState view;
  view.DrawnAnalogCount = 3;
  view.DrawnSwitchCount = 2;
  view.DrawnChannels[0] = 5;
  view.DrawnChannels[1] = 1;
  view.DrawnChannels[2] = 2;
  view.DrawnChannels[3] = 9;
  view.DrawnChannels[4] = 10;
  OscilToolSettings oscil;
  const SpectrumChannels drawn = SelectSpectrumChannels(0, oscil, view, 8);
  EXPECT_EQ(drawn.analog, (std::vector<int32_t>{5, 1, 2}));
  EXPECT_EQ(drawn.switches, (std::vector<int32_t>{9, 10}));
  EXPECT_FALSE(drawn.twoTrace);

  struct Case {
    int32_t ch1, use1, ch2, use2;
    std::vector<int32_t> expected;
  };
  for (const Case& c : {Case{3, 1, 4, 1, {3, 4}}, Case{3, 0, 4, 1, {4}}, Case{8, 1, 2, 1, {2}},
                        Case{3, 1, 9, 1, {3}}, Case{3, 0, 4, 0, {}}}) {
    oscil.ChnAd1 = c.ch1;
    oscil.UseChn1 = c.use1;
    oscil.ChnAD2 = c.ch2;
    oscil.UseChn2 = c.use2;
    const SpectrumChannels traces = SelectSpectrumChannels(2, oscil, view, 8);
    EXPECT_TRUE(traces.twoTrace);
    EXPECT_EQ(traces.analog, c.expected);
    EXPECT_TRUE(traces.switches.empty());
  }
}

TEST(SpectrumPower, WindowFollowsItsKindAndLengthFromAnalysisToAnalysis) {
  const int n = 1024;
  Bench b(1, 4 * n);
  b.Fill(0, [&](int i) { return std::cos(2 * kPi * 64 * i / n); });
  b.settings.FFTWindowType = kWindowHann;
  b.Run(kPowerSpectrum, {0});
  EXPECT_NEAR(b.result.WindowPower, 0.375 * n - 0.375, 1e-6);
  b.settings.FFTLength = 2048;
  b.Run(kPowerSpectrum, {0});
  EXPECT_EQ(b.result.Window.size(), 2048U);
  EXPECT_NEAR(b.At(0, 128), 0.25, 1e-3);
  b.settings.FFTWindowType = kWindowRectangular;
  b.Run(kPowerSpectrum, {0});
  EXPECT_DOUBLE_EQ(b.result.WindowPower, 2048.0);
  // A stored length beyond the buffers is brought to the nearest usable one.
  struct Case {
    int32_t stored, used;
  };
  for (const Case c : {Case{65536, 32768}, Case{3000, 2048}, Case{64, 128}, Case{0, 128}}) {
    b.settings.FFTLength = c.stored;
    b.Run(kPowerSpectrum, {0});
    EXPECT_EQ(b.result.FftLength, c.used) << c.stored;
    EXPECT_EQ(b.result.NumPoints, c.used / 2 + 1) << c.stored;
  }
}

}  // namespace

namespace {

using namespace quelvar;

TEST(SpectrumCurves, CountsNamesAndColours) {
  Bench b(10, 2048);
  for (int c = 0; c < 10; ++c) b.Fill(c, [c](int i) { return std::sin(0.01 * (c + 1) * i); });
  // Nine channels pair in order; the odd last one is not used.
  b.Run(kCrossSpectrum, {9, 8, 7, 6, 5, 4, 3, 2, 1});
  ASSERT_EQ(b.result.NumCurves, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(b.result.CurveChannel[static_cast<size_t>(k)], 9 - 2 * k);
    EXPECT_EQ(b.result.CurveNames[static_cast<size_t>(k)],
              "C" + std::to_string(9 - 2 * k) + "-C" + std::to_string(8 - 2 * k) + "互谱");
  }
  // Three channels with phase: three powers, then three phases.
  b.Run(kPowerSpectrumWithPhase, {4, 5, 6});
  ASSERT_EQ(b.result.NumCurves, 6);
  EXPECT_EQ(b.result.CurveNames[2], "C6谱");
  EXPECT_EQ(b.result.CurveNames[3], "C4相位");
  EXPECT_EQ(b.result.CurveChannel[5], 6);
  EXPECT_EQ(b.result.Y2Label, "相位角");
  // The two traces take the colours of channels 0 and 1.
  b.request.TwoTrace = true;
  b.Run(kPowerSpectrum, {7, 3});
  EXPECT_EQ(b.result.CurveChannel[0], 0);
  EXPECT_EQ(b.result.CurveChannel[1], 1);
  EXPECT_EQ(b.result.CurveNames[1], "C3谱");
  // Ten channels, twelve-bit density: eight curves of 4096 points.
  b.request.TwoTrace = false;
  b.Run(kAmplitudeDensity, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  EXPECT_EQ(b.result.NumCurves, 8);
  EXPECT_EQ(b.result.NumPoints, 4096);
}

TEST(SpectrumRange, FasterChannelsReadTheirOwnSamplesOfTheShownSpan) {
  // Display points at twice the base rate; channel 0 runs at the fast rate
  // (two samples a row), so the shown span of 600 points is its samples
  // 200 .. 799 of the 1000 it has in 500 rows.
  const int rows = 500;
  Bench b(1, 2 * rows);
  b.source.MaxMultiFreq = 2;
  b.source.MultiFreqTable[0] = 2;
  b.source.DispRows = rows;
  b.request.XPosition = 200;
  b.request.DisplayWidth = 600;
  b.raw[0].assign(2 * rows, 9);
  for (int i = 200; i < 800; ++i) b.raw[0][static_cast<size_t>(i)] = 1;
  b.Run(kAmplitudeDensity, {0});
  EXPECT_EQ(b.At(0, 1), 600.0);
  EXPECT_EQ(b.At(0, 9), 0.0);
  // A span reaching past the data is cut at the last row.
  b.request.DisplayWidth = 5000;
  b.Run(kAmplitudeDensity, {0});
  EXPECT_EQ(b.At(0, 1), 600.0);
  EXPECT_EQ(b.At(0, 9), 200.0);
  // fs is the channels' own rate.
  b.Run(kPowerSpectrum, {0});
  EXPECT_DOUBLE_EQ(b.result.DeltaX, 2000.0 / 1024);
}

}  // namespace
