#include "analysis/OfflineFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace quelvar {

namespace {

constexpr int64_t kFixedScale = 1000000;  // fixed-point IIR: a in millionths
constexpr int64_t kFixedHalf = kFixedScale / 2;

// A code from a real result: to the nearest whole code, so a sum that should
// equal a code exactly does not lose one to rounding error.
uint16_t CodeOf(double value, int32_t adMax) {
  if (std::isnan(value)) return 0;
  const double top = std::clamp(static_cast<double>(adMax), 0.0, 65535.0);
  return static_cast<uint16_t>(std::clamp(std::round(value), 0.0, top));
}

int32_t ChannelLimit(const FilterData& data, int32_t analogCount) { return std::min(analogCount, data.rowWords); }

bool Usable(const FilterData& data) { return data.data != nullptr && data.rows > 0 && data.rowWords > 0; }

// The unfiltered codes of one channel over display rows first..last.
std::vector<uint16_t> ChannelRows(const FilterData& data, int32_t channel, int32_t first, int32_t last) {
  std::vector<uint16_t> x;
  x.reserve(static_cast<size_t>(last - first + 1));
  for (int32_t r = first; r <= last; ++r) x.push_back(FilterSample(data, r, channel));
  return x;
}

}  // namespace

FilterRange ClampFilterRange(const FilterRange& range, const FilterData& data, int32_t analogCount) {
  FilterRange out;
  if (!Usable(data)) return out;
  const int32_t limit = ChannelLimit(data, analogCount);
  for (int32_t c : range.channels)
    if (c >= 0 && c < limit) out.channels.push_back(c);
  const int32_t lo = std::min(range.firstRow, range.lastRow);
  const int32_t hi = std::max(range.firstRow, range.lastRow);
  out.firstRow = std::max(lo, 0);
  out.lastRow = std::min(hi, data.rows - 1);
  return out;
}

uint16_t& FilterSample(const FilterData& data, int32_t row, int32_t channel) {
  const int64_t start = int64_t{std::max(data.firstBlock, 0)} * std::max(data.numSamp, 0);
  const int64_t bufferRow = (start + row) % data.rows;
  return data.data[bufferRow * data.rowWords + channel];
}

bool CopyChannelForFilter(const FilterData& data, FilterRange& range, int32_t target, int32_t analogCount) {
  if (!Usable(data) || range.channels.size() != 1) return false;
  const int32_t source = range.channels.front();
  const int32_t limit = ChannelLimit(data, analogCount);
  if (source < 0 || source >= limit || target < 0 || target >= limit || target == source) return false;
  const FilterRange rows = ClampFilterRange(range, data, analogCount);
  for (int32_t r = rows.firstRow; r <= rows.lastRow; ++r)
    FilterSample(data, r, target) = FilterSample(data, r, source);
  range.channels = {target};
  return true;
}

void ApplyMedianFilter(const FilterData& data, const FilterRange& range, int32_t analogCount) {
  const FilterRange rr = ClampFilterRange(range, data, analogCount);
  if (rr.lastRow - rr.firstRow < 2) return;
  for (int32_t c : rr.channels) {
    uint16_t x2 = FilterSample(data, rr.firstRow, c);
    uint16_t x1 = FilterSample(data, rr.firstRow + 1, c);
    for (int32_t r = rr.firstRow + 2; r <= rr.lastRow; ++r) {
      uint16_t& cell = FilterSample(data, r, c);
      const uint16_t x0 = cell;
      // The middle one of three, whichever of them it is.
      cell = std::max(std::min(x0, x1), std::min(std::max(x0, x1), x2));
      x2 = x1;
      x1 = x0;
    }
  }
}

bool ApplyIirLowPass(const FilterData& data, const FilterRange& range, int32_t analogCount, bool fixedPoint,
                     double a) {
  if (std::isnan(a)) return false;
  a = std::clamp(a, 0.0, 1.0);
  const FilterRange rr = ClampFilterRange(range, data, analogCount);
  if (rr.lastRow < rr.firstRow) return true;
  for (int32_t c : rr.channels) {
    if (fixedPoint) {
      // a in millionths, never 0 or 1 exactly; S holds y in millionths.
      const int64_t A = std::clamp<int64_t>(static_cast<int64_t>(a * kFixedScale), 1, kFixedScale - 1);
      int64_t S = int64_t{FilterSample(data, rr.firstRow, c)} * kFixedScale;
      for (int32_t r = rr.firstRow; r <= rr.lastRow; ++r) {
        uint16_t& cell = FilterSample(data, r, c);
        S = (S * A + kFixedHalf) / kFixedScale + int64_t{cell} * (kFixedScale - A);
        cell = static_cast<uint16_t>(std::clamp<int64_t>((S + kFixedHalf) / kFixedScale, 0, 65535));
      }
    } else {
      double s = FilterSample(data, rr.firstRow, c);
      for (int32_t r = rr.firstRow; r <= rr.lastRow; ++r) {
        uint16_t& cell = FilterSample(data, r, c);
        s = cell * (1.0 - a) + s * a;
        cell = CodeOf(s, 65535);
      }
    }
  }
  return true;
}

std::optional<FirDesign> DesignFirLowPass(int32_t order, double cutoffHz, double rate, FirWindowType window) {
  if (!(std::isfinite(rate) && rate > 0.0)) return std::nullopt;
  if (!(cutoffHz > 0.0)) return std::nullopt;  // also no number
  int32_t taps = std::min(order, kFirMaxTaps);
  if (taps % 2 == 0) --taps;
  if (taps < kFirMinTaps) return std::nullopt;

  FirDesign d;
  d.taps = taps;
  d.cutoff = std::min(cutoffHz, rate / 2.0);
  d.omegaC = 2.0 * std::numbers::pi * d.cutoff / rate;
  const int32_t m = taps / 2;
  const double pi = std::numbers::pi;
  d.ideal.resize(static_cast<size_t>(taps));
  d.window.resize(static_cast<size_t>(taps));
  d.coefficients.resize(static_cast<size_t>(taps));
  double sum = 0.0;
  for (int32_t k = 0; k < taps; ++k) {
    const int32_t n = k - m;
    const double ideal = n == 0 ? d.omegaC / pi : std::sin(d.omegaC * n) / pi / n;
    double w = 1.0;
    switch (window) {
      case FirWindowType::Rectangle: w = 1.0; break;
      case FirWindowType::Triangle: w = 1.0 - 2.0 * std::abs(n) / taps; break;
      case FirWindowType::Hanning: w = 0.5 * (1.0 - std::cos(k * pi / m)); break;
      case FirWindowType::Hamming: w = 0.54 - 0.46 * std::cos(k * pi / m); break;
      case FirWindowType::Blackman:
        w = 0.42 - 0.5 * std::cos(k * pi / m) + 0.08 * std::cos(2.0 * pi * k / m);
        break;
    }
    d.ideal[static_cast<size_t>(k)] = ideal;
    d.window[static_cast<size_t>(k)] = w;
    d.coefficients[static_cast<size_t>(k)] = ideal * w;
    sum += ideal * w;
  }
  // A DC gain of 1, so a steady level keeps its code. A cut-off at half the
  // rate gives a sum of exactly the centre tap; the sum is never 0 for the
  // cut-offs accepted here, but a tiny one is left unscaled.
  if (std::abs(sum) > 1e-12)
    for (double& c : d.coefficients) c /= sum;
  return d;
}

void ApplyFirLowPass(const FilterData& data, const FilterRange& range, int32_t analogCount,
                     const std::vector<double>& coefficients, int32_t adMax) {
  const FilterRange rr = ClampFilterRange(range, data, analogCount);
  const auto taps = static_cast<int32_t>(coefficients.size());
  if (rr.lastRow < rr.firstRow || taps == 0) return;
  const int32_t m = taps / 2;
  // The inputs the range needs, read before any row is written; rows beyond
  // the data repeat the edge sample.
  const int32_t first = std::max(rr.firstRow - (taps - 1 - m), 0);
  const int32_t last = std::min(rr.lastRow + m, data.rows - 1);
  for (int32_t c : rr.channels) {
    const std::vector<uint16_t> x = ChannelRows(data, c, first, last);
    auto input = [&](int64_t row) { return x[static_cast<size_t>(std::clamp<int64_t>(row, first, last) - first)]; };
    for (int32_t r = rr.firstRow; r <= rr.lastRow; ++r) {
      double acc = 0.0;
      for (int32_t k = 0; k < taps; ++k) acc += coefficients[static_cast<size_t>(k)] * input(int64_t{r} + m - k);
      FilterSample(data, r, c) = CodeOf(acc, adMax);
    }
  }
}

std::vector<double> FirAmplitudeResponse(const std::vector<double>& coefficients) {
  size_t length = 1;
  while (length < coefficients.size()) length *= 2;
  const size_t intervals = std::max<size_t>(length / 2, 1);
  std::vector<double> out(intervals + 1);
  for (size_t j = 0; j <= intervals; ++j) {
    const double omega = std::numbers::pi * static_cast<double>(j) / static_cast<double>(intervals);
    std::complex<double> h;
    for (size_t k = 0; k < coefficients.size(); ++k)
      h += coefficients[k] * std::polar(1.0, -omega * static_cast<double>(k));
    out[j] = std::abs(h);
  }
  return out;
}

}  // namespace quelvar
