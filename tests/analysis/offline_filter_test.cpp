#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "analysis/OfflineFilter.h"

namespace {

using namespace quelvar;

constexpr int32_t kAdMax = 4095;
constexpr double kPi = std::numbers::pi;

// Shown data of `rows` rows of three words (two analog channels and one
// more word), in two blocks whose ring starts at the second block, so
// display row 0 is buffer row rows / 2.
struct Shown {
  static constexpr int32_t kWords = 3;
  static constexpr int32_t kAnalog = 2;
  std::vector<uint16_t> words;
  FilterData data;

  explicit Shown(int32_t rows) : words(static_cast<size_t>(rows) * kWords, 0) {
    data = {words.data(), rows, kWords, 1, rows / 2};
  }
  void Fill(int32_t channel, const std::vector<uint16_t>& values) {
    for (int32_t r = 0; r < data.rows; ++r) FilterSample(data, r, channel) = values[static_cast<size_t>(r)];
  }
  std::vector<uint16_t> Channel(int32_t channel) const {
    std::vector<uint16_t> out;
    for (int32_t r = 0; r < data.rows; ++r) out.push_back(FilterSample(data, r, channel));
    return out;
  }
  FilterRange All(std::vector<int32_t> channels) const { return {std::move(channels), 0, data.rows - 1}; }
};

TEST(OfflineFilterRows, DisplayRowsFollowTheRingAndRangesAreClamped) {
  Shown s(8);
  FilterSample(s.data, 0, 1) = 7;
  EXPECT_EQ(s.words[4 * Shown::kWords + 1], 7);  // display row 0 = buffer row 4
  FilterSample(s.data, 4, 0) = 9;
  EXPECT_EQ(s.words[0], 9);  // wraps to buffer row 0

  // Marks in either order, rows beyond the data, channels beyond the analog
  // ones or negative are all brought into range.
  const FilterRange r = ClampFilterRange({{-1, 0, 1, 2, 5}, 20, -3}, s.data, Shown::kAnalog);
  EXPECT_EQ(r.channels, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(r.firstRow, 0);
  EXPECT_EQ(r.lastRow, 7);
}

TEST(OfflineFilterCopy, CopiesTheRangeAndFiltersTheCopyOrRefuses) {
  Shown s(6);
  s.Fill(0, {1, 2, 3, 4, 5, 6});
  FilterRange one{{0}, 1, 3};
  ASSERT_TRUE(CopyChannelForFilter(s.data, one, 1, Shown::kAnalog));
  EXPECT_EQ(one.channels, (std::vector<int32_t>{1}));
  EXPECT_EQ(s.Channel(1), (std::vector<uint16_t>{0, 2, 3, 4, 0, 0}));

  struct Case {
    std::vector<int32_t> channels;
    int32_t target;
  };
  for (const Case& c : {Case{{0, 1}, 1}, Case{{0}, 0}, Case{{0}, 2}, Case{{0}, -1}, Case{{}, 1}}) {
    FilterRange range{c.channels, 0, 5};
    EXPECT_FALSE(CopyChannelForFilter(s.data, range, c.target, Shown::kAnalog)) << c.target;
    EXPECT_EQ(range.channels, c.channels);
  }
}

TEST(OfflineFilterMedian, TakesTheTrueMiddleOfTheUnfilteredThree) {
  Shown s(8);
  s.Fill(0, {5, 1, 9, 2, 2, 8, 0, 65535});
  ApplyMedianFilter(s.data, s.All({0}), Shown::kAnalog);
  // Row 6 (0 after 2, 8) is smaller than both before it and still takes the
  // middle one; row 7 compares unsigned codes.
  EXPECT_EQ(s.Channel(0), (std::vector<uint16_t>{5, 1, 5, 2, 2, 2, 2, 8}));
}

TEST(OfflineFilterMedian, AThreeRowRangeChangesOnlyItsLastRowAndAConstantStays) {
  Shown s(6);
  s.Fill(0, {10, 20, 30, 1, 50, 60});
  s.Fill(1, std::vector<uint16_t>(6, 321));
  ApplyMedianFilter(s.data, {{0, 1}, 3, 1}, Shown::kAnalog);  // marks right to left
  EXPECT_EQ(s.Channel(0), (std::vector<uint16_t>{10, 20, 30, 20, 50, 60}));
  EXPECT_EQ(s.Channel(1), std::vector<uint16_t>(6, 321));
}

TEST(OfflineFilterIir, FollowsTheRecursionInBothArithmetics) {
  const std::vector<uint16_t> x{100, 200, 0, 4095, 4095, 7};
  struct Case {
    double a;
    int64_t fixedA;  // a in millionths, never 0 or a whole million
  };
  for (const Case& c : {Case{0.75, 750000}, Case{0.0, 1}, Case{1.0, 999999}}) {
    Shown fl(6), fx(6);
    fl.Fill(0, x);
    fx.Fill(0, x);
    ASSERT_TRUE(ApplyIirLowPass(fl.data, fl.All({0}), Shown::kAnalog, false, c.a));
    ASSERT_TRUE(ApplyIirLowPass(fx.data, fx.All({0}), Shown::kAnalog, true, c.a));
    double y = x[0];
    int64_t S = int64_t{x[0]} * 1000000;
    for (size_t k = 0; k < x.size(); ++k) {
      y = y * c.a + x[k] * (1 - c.a);
      S = (S * c.fixedA + 500000) / 1000000 + int64_t{x[k]} * (1000000 - c.fixedA);
      EXPECT_EQ(fl.Channel(0)[k], static_cast<uint16_t>(std::lround(y))) << c.a << " " << k;
      EXPECT_EQ(fx.Channel(0)[k], static_cast<uint16_t>((S + 500000) / 1000000)) << c.a << " " << k;
    }
  }
}

TEST(OfflineFilterIir, ConstantStaysForEveryCoefficientAndNoNumberIsRefused) {
  for (bool fixed : {false, true}) {
    for (double a : {0.0, 0.3, 0.95, 1.0, -2.0, 7.0}) {
      Shown s(5);
      s.Fill(0, std::vector<uint16_t>(5, 4095));
      ASSERT_TRUE(ApplyIirLowPass(s.data, s.All({0}), Shown::kAnalog, fixed, a));
      EXPECT_EQ(s.Channel(0), std::vector<uint16_t>(5, 4095)) << fixed << " " << a;
    }
  }
  Shown s(3);
  s.Fill(0, {1, 2, 3});
  EXPECT_FALSE(ApplyIirLowPass(s.data, s.All({0}), Shown::kAnalog, false, std::nan("")));
  EXPECT_FALSE(ApplyIirLowPass(s.data, s.All({0}), Shown::kAnalog, true, std::nan("")));
  EXPECT_EQ(s.Channel(0), (std::vector<uint16_t>{1, 2, 3}));
}

// The window value of tap k (0-based, centre m) by its textbook formula.
double WindowAt(FirWindowType w, int32_t k, int32_t m, int32_t taps) {
  switch (w) {
    case FirWindowType::Rectangle: return 1.0;
    case FirWindowType::Triangle: return 1.0 - 2.0 * std::abs(k - m) / taps;
    case FirWindowType::Hanning: return 0.5 - 0.5 * std::cos(kPi * k / m);
    case FirWindowType::Hamming: return 0.54 - 0.46 * std::cos(kPi * k / m);
    case FirWindowType::Blackman: return 0.42 - 0.5 * std::cos(kPi * k / m) + 0.08 * std::cos(2 * kPi * k / m);
  }
  return 0.0;
}

TEST(OfflineFilterFirDesign, TapsFollowTheWindowedSincAndHaveUnitDcGain) {
  struct Case {
    int32_t order;
    double cutoff;
    FirWindowType window;
    int32_t taps;
  };
  const double rate = 1000.0;
  for (const Case& c : {Case{11, 100.0, FirWindowType::Rectangle, 11}, Case{10, 50.0, FirWindowType::Triangle, 9},
                        Case{31, 125.0, FirWindowType::Hanning, 31}, Case{3, 200.0, FirWindowType::Hamming, 3},
                        Case{64, 10.0, FirWindowType::Blackman, 63},
                        Case{1025, 10.0, FirWindowType::Blackman, 1023}}) {
    const auto d = DesignFirLowPass(c.order, c.cutoff, rate, c.window);
    ASSERT_TRUE(d) << c.order;
    ASSERT_EQ(d->taps, c.taps);
    ASSERT_EQ(d->coefficients.size(), static_cast<size_t>(c.taps));
    const int32_t m = c.taps / 2;
    const double wc = 2 * kPi * c.cutoff / rate;
    double sum = 0;
    for (int32_t k = 0; k < c.taps; ++k) {
      const double ideal = k == m ? wc / kPi : std::sin(wc * (k - m)) / (kPi * (k - m));
      EXPECT_NEAR(d->ideal[static_cast<size_t>(k)], ideal, 1e-12) << c.order << " " << k;
      EXPECT_NEAR(d->window[static_cast<size_t>(k)], WindowAt(c.window, k, m, c.taps), 1e-12) << k;
      sum += ideal * WindowAt(c.window, k, m, c.taps);
    }
    double gain = 0;
    for (int32_t k = 0; k < c.taps; ++k) {
      const double ck = d->coefficients[static_cast<size_t>(k)];
      EXPECT_NEAR(ck, d->ideal[static_cast<size_t>(k)] * d->window[static_cast<size_t>(k)] / sum, 1e-12);
      EXPECT_NEAR(ck, d->coefficients[static_cast<size_t>(c.taps - 1 - k)], 1e-15) << "symmetric";
      gain += ck;
    }
    EXPECT_NEAR(gain, 1.0, 1e-12);
  }
}

TEST(OfflineFilterFirDesign, RefusesUnusableOrdersAndCutoffsAndClampsToHalfTheRate) {
  for (int32_t order : {-5, 0, 1, 2}) EXPECT_FALSE(DesignFirLowPass(order, 10, 1000, FirWindowType::Hamming));
  for (double fc : {0.0, -1.0, std::nan("")}) EXPECT_FALSE(DesignFirLowPass(11, fc, 1000, FirWindowType::Hamming));
  for (double rate : {0.0, -1000.0, std::nan("")}) EXPECT_FALSE(DesignFirLowPass(11, 10, rate, FirWindowType::Hamming));

  const auto d = DesignFirLowPass(11, 900.0, 1000.0, FirWindowType::Rectangle);
  ASSERT_TRUE(d);
  EXPECT_DOUBLE_EQ(d->cutoff, 500.0);
  EXPECT_DOUBLE_EQ(d->omegaC, kPi);
}

TEST(OfflineFilterFirApply, MatchesTheConvolutionInsideAndKeepsAConstantAtTheEdges) {
  const auto d = DesignFirLowPass(7, 100.0, 1000.0, FirWindowType::Hamming);
  ASSERT_TRUE(d);
  Shown s(20);
  std::vector<uint16_t> x(20);
  for (int32_t r = 0; r < 20; ++r) x[static_cast<size_t>(r)] = static_cast<uint16_t>(r * r % 97 * 40);
  s.Fill(0, x);
  s.Fill(1, std::vector<uint16_t>(20, 4000));
  ApplyFirLowPass(s.data, {{0, 1}, 2, 17}, Shown::kAnalog, d->coefficients, kAdMax);
  const auto y = s.Channel(0);
  for (int32_t r = 0; r < 20; ++r) {
    if (r < 2 || r > 17) {
      EXPECT_EQ(y[static_cast<size_t>(r)], x[static_cast<size_t>(r)]) << "outside the range " << r;
      continue;
    }
    double acc = 0;
    for (int32_t k = 0; k < 7; ++k)
      acc += d->coefficients[static_cast<size_t>(k)] * x[static_cast<size_t>(std::clamp(r + 3 - k, 0, 19))];
    EXPECT_EQ(y[static_cast<size_t>(r)], static_cast<uint16_t>(std::clamp(std::round(acc), 0.0, 4095.0))) << r;
  }
  // Over the whole data a steady level reads the edge sample beyond both
  // ends and keeps its code on every row and in every window.
  for (FirWindowType w : {FirWindowType::Rectangle, FirWindowType::Triangle, FirWindowType::Hanning,
                          FirWindowType::Hamming, FirWindowType::Blackman}) {
    const auto big = DesignFirLowPass(41, 30.0, 1000.0, w);
    ASSERT_TRUE(big);
    Shown c(20);
    c.Fill(0, std::vector<uint16_t>(20, 4095));
    ApplyFirLowPass(c.data, c.All({0}), Shown::kAnalog, big->coefficients, kAdMax);
    EXPECT_EQ(c.Channel(0), std::vector<uint16_t>(20, 4095)) << static_cast<int>(w);
  }
}

TEST(OfflineFilterFirApply, ResultsStayWithinTheCodeRange) {
  const auto d = DesignFirLowPass(15, 200.0, 1000.0, FirWindowType::Rectangle);  // overshoots on a step
  ASSERT_TRUE(d);
  Shown s(30);
  std::vector<uint16_t> step(30, 0);
  std::fill(step.begin() + 15, step.end(), 4095);
  s.Fill(0, step);
  ApplyFirLowPass(s.data, s.All({0}), Shown::kAnalog, d->coefficients, kAdMax);
  const auto y = s.Channel(0);
  EXPECT_EQ(*std::max_element(y.begin(), y.end()), 4095);
  EXPECT_EQ(y.front(), 0);
}

TEST(OfflineFilterResponse, GivesTheAmplitudeFromZeroToPi) {
  const auto d = DesignFirLowPass(31, 100.0, 1000.0, FirWindowType::Blackman);
  ASSERT_TRUE(d);
  const auto h = FirAmplitudeResponse(d->coefficients);
  ASSERT_EQ(h.size(), 17u);  // 32 / 2 intervals
  EXPECT_NEAR(h.front(), 1.0, 1e-12);
  EXPECT_LT(h.back(), 1e-3);
  // Point j against the transform at pi j / 16 of the taps themselves.
  for (size_t j = 0; j < h.size(); ++j) {
    double re = 0, im = 0;
    for (size_t k = 0; k < d->coefficients.size(); ++k) {
      re += d->coefficients[k] * std::cos(kPi * j / 16 * k);
      im -= d->coefficients[k] * std::sin(kPi * j / 16 * k);
    }
    EXPECT_NEAR(h[j], std::hypot(re, im), 1e-12) << j;
  }
}

}  // namespace
