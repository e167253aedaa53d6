#include "view/MarkValues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <vector>

#include "common/AppState.h"
#include "common/NumberFormat.h"
#include "view/ChannelValues.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

constexpr int kPrecision = 7;
constexpr char kUnknown[] = "未知";
// Below this magnitude a relative rate's base counts as zero.
constexpr double kRelativeBaseEpsilon = 1e-7;
// Searches need more points than this before the mark to look back.
constexpr int64_t kBackwardSearchMinPoints = 20;

std::string Fixed(double value, int32_t decimals) { return FormatFixed(value, kPrecision, std::clamp(decimals, 0, 18)); }
std::string Scientific(double value) { return FormatScientific(value, 3, 1); }

int64_t Wrap(int64_t q, int64_t n) {
  q %= n;
  return q < 0 ? q + n : q;
}

int32_t AnalogCount(const LiveConfig& c) { return std::clamp(c.Analog_Num, 0, kMaxAnalogChannels); }

bool IsMarkOne(int32_t mark) { return mark == 1; }

// A buffer point brought into the display points, so that no product of it
// can overflow.
int64_t BufferPointIn(const DisplayDescriptor& display, int64_t point) {
  return display.DispPoints > 0 ? Wrap(point, display.DispPoints) : 0;
}

// One analog channel's samples seen from a mark. Points are the channel's own
// sample periods from the first row of DispData; every index is wrapped into
// the N points the data hold.
class ChannelAtMark {
 public:
  ChannelAtMark(MarkSource& source, int64_t bufferPoint, int32_t channel)
      : s_(source),
        c_(channel),
        ch_(source.config.AnalogChannelTable[static_cast<size_t>(channel)]),
        rows_(source.display),
        rowsSource_{source.config, source.torque, rows_, source.layout} {
    rows_.DispFirstBlock = 0;
    multi_ = std::max(source.layout.MaxMultiFreq, 1);
    m_ = std::max(source.layout.MultiFreqTable[static_cast<size_t>(channel)], 1);
    n_ = int64_t{std::max(source.display.DispRows, 0)} * m_;
    const int64_t b = BufferPointIn(source.display, bufferPoint);
    if (n_ > 0) p_ = Wrap(b * m_ / multi_, n_);
    row_ = b / multi_;
    cycle_ = int64_t{std::max(source.config.SamplesPerCycle, 1)} * m_;
    span_ = static_cast<double>(source.config.ADMax) - source.config.VZero;
  }

  bool HasData() const { return n_ > 0 && s_.display.DispData != nullptr; }

  int32_t Sample(int64_t q) const { return RawSampleAtPoint(rowsSource_, Wrap(q, n_), c_); }
  // The base word of the channel in row `row`.
  int32_t RowCode(int64_t row) const { return Sample(row * m_); }

  // Volts of a code times ChnCoeB, with no scale when ADMax equals VZero.
  double Scaled(double codeDifference) const {
    return span_ == 0.0 ? 0.0 : codeDifference / span_ * 5.0 * ch_.ChnCoeB;
  }
  double Lin(double code) const { return Scaled(code - s_.config.VZero) + ch_.ChnCoeA; }
  double Engineering(double code) const {
    return RawToEngineering(s_.config, s_.torque, ch_, static_cast<float>(code));
  }
  std::string Units() const { return ch_.ChnUnits; }
  std::string EngineeringText(double value) const { return Fixed(value, ch_.ChnDigiPoint) + Units(); }

  // The M points of one cycle at the mark, in time order: back from it when
  // the data hold a cycle up to it, else forward from it; none when neither
  // fits. Time begins at the oldest point (on the live ring the oldest
  // block's first point), so a window never joins the newest data to the
  // oldest across the ring's seam; it may run over the buffer's end, which
  // the ring continues.
  struct Window {
    int64_t first = 0;
    int64_t step = 1;
  };
  std::optional<Window> CycleWindow() const {
    if (PointsBefore() >= cycle_) return Window{p_, -1};
    if (PointsAfter() >= cycle_) return Window{p_, 1};
    return std::nullopt;
  }
  // Point j of the window and its angle index (a backward point P - j enters
  // as M - j).
  int64_t WindowPoint(const Window& w, int64_t j) const { return w.first + w.step * j; }
  int64_t AngleIndex(const Window& w, int64_t j) const { return w.step > 0 ? j : cycle_ - j; }

  // The searchable span: the whole data in the oscilloscope and a shown
  // history record, else the live ring from its oldest block.
  int64_t Oldest() const {
    if (FromStart()) return 0;
    return Wrap(int64_t{s_.config.NumSamp} * s_.RingWriteBlock % n_ * m_, n_);
  }
  int64_t Newest() const { return FromStart() ? n_ - 1 : Wrap(Oldest() - 1, n_); }
  // Points from the oldest to the mark, and from the mark to the newest.
  int64_t PointsBefore() const {
    const int64_t n = p_ - Oldest() + 1;
    return n < 0 ? n + n_ : n;
  }
  int64_t PointsAfter() const {
    const int64_t n = Newest() - p_ + 1;
    return n < 0 ? n + n_ : n;
  }
  // A difference of two wrapped positions, taken forward round the ring.
  double Span(double later, double earlier) const {
    const double d = later - earlier;
    return d < 0 ? d + static_cast<double>(n_) : d;
  }
  double PointRate() const { return static_cast<double>(s_.config.ChannelRate) * m_; }

  MarkSource& s_;
  int32_t c_;
  const AnalogChannel& ch_;
  DisplayDescriptor rows_;
  ChannelValueSource rowsSource_;
  int32_t multi_ = 1;
  int64_t m_ = 1;
  int64_t n_ = 0;
  int64_t p_ = 0;
  int64_t row_ = 0;
  int64_t cycle_ = 1;
  double span_ = 0.0;

 private:
  bool FromStart() const { return s_.display.DataSourceMode == 2 || s_.display.SelectFault != 0; }
};

std::string MeanText(const ChannelAtMark& a, bool rms) {
  const auto w = a.CycleWindow();
  if (!w) return kUnknown;
  double sum = 0.0;
  for (int64_t j = 0; j < a.cycle_; ++j) {
    const double code = a.Sample(a.WindowPoint(*w, j));
    sum += rms ? a.Lin(code) * a.Lin(code) : code;
  }
  const double mean = sum / static_cast<double>(a.cycle_);
  return Fixed(rms ? std::sqrt(mean) : a.Lin(mean), 4) + a.Units();
}

// C and S of the window's points against the angle step `omega`, each code
// less `offset`.
struct Phasor {
  double C = 0.0;
  double S = 0.0;
};
std::optional<Phasor> WindowPhasor(const ChannelAtMark& a, double omega, double offset) {
  const auto w = a.CycleWindow();
  if (!w) return std::nullopt;
  Phasor f;
  for (int64_t j = 0; j < a.cycle_; ++j) {
    const double x = a.Sample(a.WindowPoint(*w, j)) - offset;
    const double angle = static_cast<double>(a.AngleIndex(*w, j)) * omega;
    f.C += std::cos(angle) * x;
    f.S += std::sin(angle) * x;
  }
  return f;
}

std::string PhaseText(const ChannelAtMark& a) {
  const auto f = WindowPhasor(a, 2.0 * std::numbers::pi / static_cast<double>(a.cycle_), 0.0);
  if (!f) return kUnknown;
  double r = std::sqrt(f->C * f->C + f->S * f->S);
  if (r < 1e-10) r = 1.0;
  double phi = std::acos(std::clamp(f->S / r, -1.0, 1.0));
  if (phi != 0.0 && f->C < 0.0) phi = 2.0 * std::numbers::pi - phi;
  return "∠" + Fixed(phi * 180.0 / std::numbers::pi, 2) + "°";
}

std::string HarmonicText(const ChannelAtMark& a, int32_t order) {
  const double omega = 2.0 * std::numbers::pi * order / static_cast<double>(a.cycle_);
  const auto f = WindowPhasor(a, omega, a.s_.config.VZero);
  if (!f) return kUnknown;
  const double amplitude = std::sqrt((f->C * f->C + f->S * f->S) * 0.5);
  return Fixed(a.Scaled(amplitude) * 2.0 / static_cast<double>(a.cycle_), 4) + a.Units();
}

// A rising crossing of the zero code between `earlier` and `later`, at the
// later index less the interpolated fraction.
bool RisingCrossing(const ChannelAtMark& a, int64_t earlier, int64_t later, int32_t zero, double& position) {
  const int32_t x0 = a.Sample(earlier), x1 = a.Sample(later);
  if (!(x0 < zero && zero <= x1)) return false;
  position = static_cast<double>(Wrap(later, a.n_)) - static_cast<double>(x1 - zero) / (x1 - x0);
  return true;
}

std::string FrequencyText(const ChannelAtMark& a, int32_t cycles) {
  const int32_t zero = static_cast<int32_t>(a.s_.config.VZero);
  const size_t wanted = static_cast<size_t>(cycles) + 1;
  std::vector<double> found;
  const int64_t before = a.PointsBefore();
  if (before > kBackwardSearchMinPoints) {
    for (int64_t i = 1; i <= before - 2 && found.size() < wanted; ++i) {
      double position = 0.0;
      if (RisingCrossing(a, a.p_ - i, a.p_ - i + 1, zero, position)) found.push_back(position);
    }
    if (found.size() == wanted) {
      const double span = a.Span(found.front(), found.back());
      if (span > 0.0) return Fixed(cycles * a.PointRate() / span, 2) + " Hz";
    }
  }
  found.clear();
  const int64_t pairs = std::max<int64_t>(a.PointsAfter() - 2, 1);
  for (int64_t i = 0; i < pairs && found.size() < wanted; ++i) {
    double position = 0.0;
    if (RisingCrossing(a, a.p_ + i, a.p_ + i + 1, zero, position)) found.push_back(position);
  }
  if (found.size() < 2) return kUnknown;
  const double span = a.Span(found.back(), found.front());
  if (!(span > 0.0)) return kUnknown;
  return Fixed(static_cast<double>(found.size() - 1) * a.PointRate() / span, 2) + " Hz";
}

// Change of the base word over the last `rows` rows, in units per second.
std::optional<double> RateOverRows(const ChannelAtMark& a, int32_t rows) {
  if (rows < 1 || a.row_ < rows) return std::nullopt;
  const int32_t d = a.RowCode(a.row_) - a.RowCode(a.row_ - rows);
  return a.Scaled(d) * a.s_.config.ChannelRate / rows;
}

std::string RelativeRateText(const ChannelAtMark& a, int32_t rows) {
  const auto rate = RateOverRows(a, rows);
  if (!rate) return kUnknown;
  const double base = a.Lin(a.RowCode(a.row_ - rows));
  if (base > -kRelativeBaseEpsilon && base < kRelativeBaseEpsilon) return "?? ";
  return Scientific(*rate / base * 100.0) + " %/s";
}

std::string IncrementText(const ChannelAtMark& a, int32_t cycles) {
  const int64_t back = int64_t{cycles} * a.cycle_;
  if (cycles < 0 || a.p_ < back) return "不能计算";
  const uint16_t d = static_cast<uint16_t>(a.Sample(a.p_) - a.Sample(a.p_ - back));
  return a.EngineeringText(a.Engineering(d));
}

// A down-counting counter that wraps: counts over Ns points back from the
// mark, or forward when the data before it are too few.
std::string CounterSpeedText(const ChannelAtMark& a, int32_t points, const WaveViewState& marks) {
  // A walk longer than the data would count the same points again.
  if (points < 1 || points >= a.n_) return kUnknown;
  const int64_t dir = a.PointsBefore() > points ? -1 : 1;
  // Each step's count is taken modulo the counter's 65536 codes, so a step
  // through its wrap from 0 to 65535 counts 1.
  int64_t counts = 0;
  for (int64_t i = 0; i < points; ++i) {
    const int64_t earlier = dir < 0 ? a.p_ - i - 1 : a.p_ + i;
    counts += static_cast<uint16_t>(a.Sample(earlier) - a.Sample(earlier + 1));
  }
  return Fixed(static_cast<double>(counts) * a.s_.config.ChannelRate / points * marks.MarkAnalSpeedScale * a.m_, 1) +
         marks.MarkSpeedUnit;
}

// Falling edges through the threshold code, back from the mark.
std::string PulseSpeedText(const ChannelAtMark& a, int32_t periods, const WaveViewState& marks) {
  const int32_t threshold = marks.MarkAnalSpeedThresholdV;
  const int64_t wanted = int64_t{std::max(periods, 0)} + 1;
  const int64_t pairs = std::max<int64_t>(a.PointsBefore() - 2, 1);
  std::vector<int64_t> edges;
  for (int64_t i = 1; i <= pairs && static_cast<int64_t>(edges.size()) < wanted; ++i) {
    const int64_t later = a.p_ - i + 1;
    if (a.Sample(later - 1) >= threshold && a.Sample(later) < threshold) edges.push_back(Wrap(later, a.n_));
  }
  if (edges.size() < 2) return kUnknown;
  const double span = a.Span(static_cast<double>(edges.front()), static_cast<double>(edges.back()));
  if (!(span > 0.0)) return kUnknown;
  return Fixed(static_cast<double>(edges.size() - 1) * a.PointRate() / span * marks.MarkAnalSpeedScale, 1) +
         marks.MarkSpeedUnit;
}

// Mean code of the points between the two marks (both included) and how
// many there are.
std::string BetweenMarksText(const ChannelAtMark& a, bool sum) {
  const WaveViewState& v = a.s_.view;
  int64_t u = (int64_t{v.Mark1X} + v.XPosition) * a.m_ / a.multi_;
  int64_t w = (int64_t{v.Mark2X} + v.XPosition) * a.m_ / a.multi_;
  if (u > w) std::swap(u, w);
  const int64_t count = w - u + 1;
  const int64_t first = Wrap(int64_t{a.s_.display.DispFirstBlock} * a.s_.config.NumSamp % a.n_ * a.m_ + u - 1, a.n_);
  // Whole turns round the data add the whole data's sum each.
  const auto sumOf = [&](int64_t points) {
    double total = 0.0;
    for (int64_t j = 0; j < points; ++j) total += a.Sample(first + j);
    return total;
  };
  const int64_t turns = count / a.n_;
  const double total = (turns > 0 ? static_cast<double>(turns) * sumOf(a.n_) : 0.0) + sumOf(count % a.n_);
  const double value = a.Engineering(total / static_cast<double>(count));
  return a.EngineeringText(sum ? value * static_cast<double>(count) : value);
}

std::string HexCode(int32_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(code & 0xFFFF));
  return std::string("0x") + text;
}

}  // namespace

MarkSource MainWindowMarkSource(AppState& state) {
  return MarkSource{state.config,    state.torque,           state.display,      state.layout, state.wave,
                    state.oscilTool, state.acq.RingWriteBlock, state.acq.BlockTime};
}

std::string InstantValueText(MarkSource& source, int64_t bufferPoint, int32_t channel) {
  if (channel < 0 || channel >= AnalogCount(source.config)) return {};
  const int32_t multi = std::max(source.layout.MaxMultiFreq, 1);
  const int32_t m = std::max(source.layout.MultiFreqTable[static_cast<size_t>(channel)], 1);
  ChannelValueSource values{source.config, source.torque, source.display, source.layout};
  const double value = ValueAtBufferPoint(values, BufferPointIn(source.display, bufferPoint) * m / multi, channel);
  const AnalogChannel& c = source.config.AnalogChannelTable[static_cast<size_t>(channel)];
  return Fixed(value, c.ChnDigiPoint) + c.ChnUnits;
}

std::string ChannelValueAtMark(MarkSource& source, int64_t bufferPoint, int32_t channel, int32_t kind, int32_t mark) {
  if (channel < 0 || channel >= AnalogCount(source.config)) return {};
  ChannelValueSource values{source.config, source.torque, source.display, source.layout};
  RefreshColdJunctionAt(values, BufferPointIn(source.display, bufferPoint), std::max(source.layout.MaxMultiFreq, 1));
  const ChannelAtMark a(source, bufferPoint, channel);
  if (!a.HasData()) return {};
  const WaveViewState& p = source.view;
  const bool one = IsMarkOne(mark);
  switch (kind) {
    case kMarkInstant:
      return InstantValueText(source, bufferPoint, channel);
    case kMarkMean:
      return MeanText(a, false);
    case kMarkRms:
      return MeanText(a, true);
    case kMarkPhase:
      return PhaseText(a);
    case kMarkFrequency1:
      return FrequencyText(a, 1);
    case kMarkFrequency2:
      return FrequencyText(a, 2);
    case kMarkFrequency4:
      return FrequencyText(a, 4);
    case kMarkHexCode:
      return HexCode(a.Sample(a.p_));
    case kMarkHarmonic:
      return HarmonicText(a, one ? p.MarkHarmonics1 : p.MarkHarmonics2);
    case kMarkRate: {
      const auto rate = RateOverRows(a, p.MarkRatioN2);
      return rate ? Scientific(*rate) + a.Units() + "/s" : kUnknown;
    }
    case kMarkRelativeRate:
      return RelativeRateText(a, p.MarkRatioRN2);
    case kMarkPeriod: {
      // What period this kind is to show was never settled: it shows the
      // rate of change over MarkPeriodN2 rows, in seconds' form.
      const auto rate = RateOverRows(a, p.MarkPeriodN2);
      return rate ? Scientific(*rate) + "s" : kUnknown;
    }
    case kMarkIncrement:
      return IncrementText(a, one ? p.MarkInc1 : p.MarkInc2);
    case kMarkSpeed:
      if (a.ch_.ChnIDDC == kChannelCounter) {
        if (source.config.AmpGain != 0) return InstantValueText(source, bufferPoint, channel);
        return CounterSpeedText(a, one ? p.MarkAnalSpeedNumS1 : p.MarkAnalSpeedNumS2, p);
      }
      return PulseSpeedText(a, one ? p.MarkAnalSpeedNumP1 : p.MarkAnalSpeedNumP2, p);
    case kMarkSumBetween:
      return BetweenMarksText(a, true);
    case kMarkMeanBetween:
      return BetweenMarksText(a, false);
    default:
      return {};
  }
}

}  // namespace quelvar
