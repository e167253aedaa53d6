#include "acquisition/AlgorithmReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <initializer_list>
#include <limits>
#include <new>
#include <numbers>
#include <string_view>
#include <utility>
#include <vector>

#include "common/AlgorithmTypeTable.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr int kFrequencyCrossings = 9;  // eight periods for a frequency
constexpr int kRateCrossings = 65;      // 64 periods for its rate of change
constexpr int kRateSpanStep = 4;        // eight-period spans start every fourth crossing
constexpr int kFixedPrecision = 7;      // frequencies and their set points are 32-bit floats

int32_t AnalogCount(const LiveConfig& live) { return std::clamp(live.Analog_Num, 0, kMaxAnalogChannels); }

bool Inside(const DisplayRows& data, int64_t first, int64_t last, int64_t word) {
  return data.rows != nullptr && first >= 0 && first <= last && last < data.rowCount && word >= 0 &&
         word < data.rowWords;
}

uint16_t CodeAt(const DisplayRows& data, int64_t row, int64_t word) { return data.rows[row * data.rowWords + word]; }

// Harmonic h of n samples, x(k) being the sample k steps before the newest:
// (2/n) sum x(k) exp(-j 2 pi h k / n), the engine's phasor (peak amplitude,
// running backwards in time). The mean is taken out first: that changes
// nothing for a harmonic, but a constant series then gives exactly 0, as the
// engine's integer phasor does (the stator earth-fault test relies on it).
template <class Sample>
std::complex<double> PhasorOf(int64_t n, int64_t harmonic, Sample x) {
  double mean = 0.0;
  for (int64_t k = 0; k < n; ++k) mean += x(k);
  mean /= static_cast<double>(n);
  std::complex<double> sum;
  for (int64_t k = 0; k < n; ++k) {
    // Reduced index keeps the angle exact for long cycles.
    const double angle = 2.0 * std::numbers::pi * static_cast<double>((harmonic * k) % n) / static_cast<double>(n);
    sum += (x(k) - mean) * std::polar(1.0, -angle);
  }
  return sum * (2.0 / static_cast<double>(n));
}

// Phasor of a series held oldest first.
std::complex<double> SeriesPhasor(std::span<const double> s) {
  const auto n = static_cast<int64_t>(s.size());
  return PhasorOf(n, 1, [&](int64_t k) { return s[static_cast<size_t>(n - 1 - k)]; });
}

double HarmonicRms(const LiveConfig& live, const DisplayRows& data, int64_t row, int32_t channel, int64_t harmonic) {
  const int64_t n = live.SamplesPerCycle;
  if (n < 1 || channel < 0 || channel >= AnalogCount(live) || !Inside(data, row - n + 1, row, channel)) return kNaN;
  const double zero = live.VZero;
  const auto phasor = PhasorOf(n, harmonic, [&](int64_t k) { return CodeAt(data, row - k, channel) - zero; });
  const double scale = 5.0 * live.AnalogChannelTable[channel].ChnCoeB / (double{live.ADMax} - zero);
  return std::abs(phasor) / std::numbers::sqrt2 * scale;
}

constexpr std::string_view kCannotCompute = "\n\r不能计算";
constexpr std::string_view kNoFrequency = "\n\r不能计算频率";
constexpr std::string_view kNoFrequencyRate = "\n\r不能计算频率变化率";
constexpr std::string_view kNoMemory = "\n\r计算时内存分配失败!";
constexpr std::string_view kSetPoint = "\n\r  定值 = ";

std::string_view TypeName(int32_t type) {
  return type >= 0 && type < kAlgorithmTypeCount ? AlgorithmTypeTable[type].Name : std::string_view{};
}

std::string Number(double value) { return FormatScientific(value, 5, 1); }

// One algorithm at one point: the report text and the verdicts.
class PointReport {
 public:
  PointReport(const LiveConfig& live, const SampleLayout& layout, const DisplayRows& data,
              const AlgorithmConfig& algorithm, int64_t point)
      : live_(live), layout_(layout), data_(data), a_(algorithm), p_(point), spc_(live.SamplesPerCycle),
        span_(double{live.ADMax} - double{live.VZero}) {}

  AlgorithmReport Run() {
    const int32_t type = a_.Type;
    text_ = "算法类型: ";
    text_ += TypeName(type);
    if (!ChannelsValid(type)) {
      text_ += "\n\r 错误： 使用通道非法！";
      return {std::move(text_), 0};
    }
    if (type < 1 || type >= kAlgorithmTypeCount) return {std::move(text_), 0};
    if (span_ == 0.0 || !std::isfinite(span_)) {
      // No conversion to engineering units exists.
      text_ += kCannotCompute;
      return {std::move(text_), 0};
    }
    bool fired = false;
    try {
      fired = ByType(type);
    } catch (const std::bad_alloc&) {
      text_ += kNoMemory;
      fired = false;
    }
    return {std::move(text_), fired ? 1 : 0};
  }

 private:
  // The channels the algorithm names and those its type reads: a record
  // that claims fewer inputs than its type takes must not make us read an
  // unchecked channel.
  bool ChannelsValid(int32_t type) const {
    int32_t used = a_.UsedChn;
    if (type >= 0 && type < kAlgorithmTypeCount) used = std::max(used, AlgorithmTypeTable[type].UsedChn);
    used = std::clamp(used, 0, kAlgorithmChannels);
    for (int32_t i = 0; i < used; ++i) {
      if (a_.Channel[i] < 0 || a_.Channel[i] >= AnalogCount(live_)) return false;
    }
    return true;
  }

  int32_t Ch(int i) const { return a_.Channel[i]; }
  double Sp(int i) const { return a_.SetPoint[i]; }
  const AnalogChannel& Chn(int i) const { return live_.AnalogChannelTable[Ch(i)]; }
  int64_t MaxMulti() const { return std::max<int64_t>(1, layout_.MaxMultiFreq); }

  // Row and word of channel c at a buffer point, multi-rate channels
  // reading their extra sub-samples.
  struct Place {
    int64_t row;
    int64_t word;
  };
  Place MapPoint(int64_t p, int32_t c) const {
    if (p < 0) return {-1, c};
    const int64_t multi = std::max<int64_t>(1, layout_.MultiFreqTable[c]);
    const int64_t s = (p * multi / MaxMulti()) % multi;
    return {p / MaxMulti(), s == 0 ? c : int64_t{layout_.ExtraSlotFirst[c]} + s - 1};
  }

  double Engineering(double code, int i) const {
    return (code - live_.VZero) / span_ * 5.0 * Chn(i).ChnCoeB + Chn(i).ChnCoeA;
  }
  double CodeScale(int i) const { return 5.0 * Chn(i).ChnCoeB / span_; }
  double Code(int64_t row, int32_t c) const { return CodeAt(data_, row, c); }

  // Texts.
  void ValueLine(int i, std::string_view label, const std::string& value, std::string_view units) {
    text_ += "\n\r";
    text_ += Chn(i).ChnName;
    text_ += label;
    text_ += value;
    text_ += units;
  }
  void ValueLine(int i, std::string_view label, double value) { ValueLine(i, label, Number(value), Chn(i).ChnUnits); }
  bool Verdict(std::string_view heading, const std::string& setPoint, bool holds, std::string_view test) {
    text_ += heading;
    text_ += setPoint;
    text_ += ", ";
    if (holds) {
      text_ += "满足条件(";
      text_ += test;
      text_ += ")";
    } else {
      text_ += "不满足条件";
    }
    return holds;
  }
  bool SetPointLine(double setPoint, bool holds, std::string_view test) {
    return Verdict(kSetPoint, Number(setPoint), holds, test);
  }
  bool CannotCompute() {
    text_ += kCannotCompute;
    return false;
  }
  static bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
  }

  bool ByType(int32_t type) {
    switch (type) {
      case 1:
      case 2:
        return Instant(type);
      case 3:
      case 4:
      case 9:
        return DcLevel(type);
      case 5:
      case 6:
      case 7:
      case 18:
        return AcLevel(type);
      case 8:
      case 11:
      case 12:
        return ThreePhaseLevel();
      case 10:
        return NegativeSequenceCurrent();
      case 13:
        return StatorEarthFault();
      case 14:
        return ReversePower();
      case 15:
      case 16:
        return Frequency(type);
      case 17:
        return LossOfExcitation();
      case 19:
      case 20:
        return ZeroSequence(type);
      case 21:
        return PowerSwing();
      case 22:
        return IncrementDirection();
      default:
        return false;
    }
  }

  bool Instant(int32_t type) {
    const Place at = MapPoint(p_, Ch(0));
    if (!Inside(data_, at.row, at.row, at.word)) return CannotCompute();
    const double v = Engineering(CodeAt(data_, at.row, at.word), 0);
    ValueLine(0, " 瞬时值 = ", v);
    return type == 1 ? SetPointLine(Sp(0), v > Sp(0), ">") : SetPointLine(Sp(0), v < Sp(0), "<");
  }

  bool DcLevel(int32_t type) {
    if (p_ <= 2) return CannotCompute();
    double sum = 0.0;
    for (int64_t back = 0; back < 4; ++back) {
      const Place at = MapPoint(p_ - back, Ch(0));
      if (!Inside(data_, at.row, at.row, at.word)) return CannotCompute();
      sum += CodeAt(data_, at.row, at.word);
    }
    const double v = Engineering(sum / 4.0, 0);
    ValueLine(0, " 直流值 = ", v);
    return type == 4 ? SetPointLine(Sp(0), v < Sp(0), "<") : SetPointLine(Sp(0), v > Sp(0), ">");
  }

  // The cycle types take the point itself as a row; with multi-rate data
  // that row may lie beyond the data, which the quantity reports as NaN.
  bool CycleRequirement(int64_t minimum) const { return spc_ >= 1 && p_ >= minimum; }

  bool AcLevel(int32_t type) {
    if (!CycleRequirement(int64_t{spc_} * MaxMulti() - 1)) return CannotCompute();
    const double v = CycleRmsAt(live_, data_, p_, Ch(0));
    if (!AllFinite({v})) return CannotCompute();
    ValueLine(0, " 有效值 = ", v);
    return type == 6 ? SetPointLine(Sp(0), v < Sp(0), "<") : SetPointLine(Sp(0), v > Sp(0), ">");
  }

  bool ThreePhaseLevel() {
    if (!CycleRequirement(int64_t{spc_} * MaxMulti() - 1)) return CannotCompute();
    const std::array<double, 3> v{CycleRmsAt(live_, data_, p_, Ch(0)), CycleRmsAt(live_, data_, p_, Ch(1)),
                                  CycleRmsAt(live_, data_, p_, Ch(2))};
    if (!AllFinite({v[0], v[1], v[2]})) return CannotCompute();
    for (int i = 0; i < 3; ++i) ValueLine(i, " 有效值 = ", v[i]);
    const bool any = std::any_of(v.begin(), v.end(), [&](double x) { return x > Sp(0); });
    return SetPointLine(Sp(0), any, ">");
  }

  // a(q) + b(q - D) - b(q) - c(q - D) of channels i0..i0+2, D a sixth of a cycle.
  double Composite(int i0, int64_t q) const {
    const int64_t d = 2 * (spc_ / 12);
    return Code(q, Ch(i0)) + Code(q - d, Ch(i0 + 1)) - Code(q, Ch(i0 + 1)) - Code(q - d, Ch(i0 + 2));
  }
  bool CompositeInside(int i0, int64_t first, int64_t last) const {
    const int64_t d = 2 * (spc_ / 12);
    for (int i = i0; i < i0 + 3; ++i) {
      if (!Inside(data_, first - d, last, Ch(i))) return false;
    }
    return true;
  }
  bool TwelfthsOfCycle() const { return spc_ >= 12 && spc_ % 12 == 0; }

  bool NegativeSequenceCurrent() {
    const int64_t r = MapPoint(p_, Ch(0)).row;
    const int64_t n = spc_;
    if (!TwelfthsOfCycle() || r < n + n / 6 || !CompositeInside(0, r - n + 1, r)) return CannotCompute();
    std::vector<double> series(static_cast<size_t>(n));
    for (int64_t k = 0; k < n; ++k) series[static_cast<size_t>(k)] = Composite(0, r - n + 1 + k);
    const double v = NegativeSequenceOf(series) / 3.0 * CodeScale(0);
    if (!AllFinite({v})) return CannotCompute();
    ValueLine(0, " 负序电流 = ", v);
    return SetPointLine(Sp(0), v > Sp(0), ">");
  }

  bool StatorEarthFault() {
    const int64_t r = MapPoint(p_, Ch(0)).row;
    if (spc_ < 1 || r < spc_ - 1) return CannotCompute();
    const double fundamental = CycleRmsAt(live_, data_, r, Ch(0));
    const double terminal = ThirdHarmonicOf(live_, data_, r, Ch(0));
    const double neutral = ThirdHarmonicOf(live_, data_, r, Ch(1));
    if (!AllFinite({fundamental, terminal, neutral})) return CannotCompute();
    ValueLine(0, " 零序基波 = ", fundamental);
    const bool overVoltage = SetPointLine(Sp(0), fundamental > Sp(0), ">");
    ValueLine(0, " 机端三次谐波 = ", terminal);
    const bool lowTerminal = SetPointLine(Sp(1), terminal < Sp(1), "<");
    text_ += "\n\r机端与中点三次谐波比 = ";
    // Without a third harmonic at the neutral the engine does not test the
    // algorithm at all; the ratio has no value and nothing fires.
    if (neutral == 0.0) {
      text_ += "不能计算";
      SetPointLine(Sp(2), false, ">");
      return false;
    }
    const double ratio = terminal / neutral;
    text_ += Number(ratio);
    const bool highRatio = SetPointLine(Sp(2), ratio > Sp(2), ">");
    return overVoltage || (lowTerminal && highRatio);
  }

  // SPC samples up to the point of channel pair (ia - ib), in codes.
  void Difference(int ia, int ib, std::span<double> out) const {
    const auto n = static_cast<int64_t>(out.size());
    for (int64_t k = 0; k < n; ++k) {
      const int64_t row = p_ - n + 1 + k;
      out[static_cast<size_t>(k)] = Code(row, Ch(ia)) - (ib < 0 ? double{live_.VZero} : Code(row, Ch(ib)));
    }
  }
  bool CycleInside(std::initializer_list<int> inputs) const {
    return std::all_of(inputs.begin(), inputs.end(),
                       [&](int i) { return Inside(data_, p_ - spc_ + 1, p_, Ch(i)); });
  }

  bool ReversePower() {
    if (!CycleRequirement(spc_ - 1) || !CycleInside({0, 1, 2, 3})) return CannotCompute();
    const auto n = static_cast<size_t>(spc_);
    std::vector<double> work(2 * n);
    const std::span<double> u(work.data(), n), i(work.data() + n, n);
    Difference(0, 1, u);
    Difference(2, 3, i);
    const double power = ActivePowerOf(u, i) * Chn(0).ChnCoeB * Chn(2).ChnCoeB * 25.0 / (span_ * span_);
    if (!AllFinite({power})) return CannotCompute();
    ValueLine(0, " (AB相)有功功率 = ", Number(power), "W");
    return SetPointLine(Sp(0), power < Sp(0), "<");
  }

  // Rising crossings of input 0 through the zero code, walking back from
  // the point: at most `wanted`, newest first, as row numbers or as
  // interpolated times. Returns how many were found.
  int Crossings(bool interpolate, int wanted, std::array<double, kRateCrossings>& t) const {
    const auto zero = static_cast<uint16_t>(TruncToInt32(live_.VZero));
    const int64_t holdOff = spc_ / 2 + 1;
    const int32_t c = Ch(0);
    int found = 0;
    for (int64_t m = p_; m >= 1 && found < wanted;) {
      const uint16_t now = CodeAt(data_, m, c);
      const uint16_t before = CodeAt(data_, m - 1, c);
      if (before < zero && now >= zero) {
        t[static_cast<size_t>(found++)] =
            interpolate ? static_cast<double>(m) - double(now - zero) / double(now - before) : static_cast<double>(m);
        m -= holdOff;
      } else {
        --m;
      }
    }
    return found;
  }
  bool RateUsable() const { return live_.ChannelRate > 0.0f && std::isfinite(live_.ChannelRate); }

  bool Frequency(int32_t type) {
    if (!CycleRequirement(int64_t{4} * spc_) || !Inside(data_, 0, p_, Ch(0))) return CannotCompute();
    const double rms = CycleRmsAt(live_, data_, p_, Ch(0));
    if (!AllFinite({rms})) return CannotCompute();
    std::array<double, kRateCrossings> t{};
    const int k = Crossings(type == 15, kFrequencyCrossings, t);
    if (k < 2 || !RateUsable()) {
      text_ += kNoFrequency;
      return false;
    }
    const double f = (k - 1) * double{live_.ChannelRate} / (t[0] - t[static_cast<size_t>(k - 1)]);
    if (type == 16) {
      const double perUnit = rms / f;
      ValueLine(0, " 标么值 = ", Number(perUnit), "");
      return SetPointLine(Sp(0), perUnit > Sp(0), ">");
    }
    ValueLine(0, " 频率 = ", FormatFixed(f, kFixedPrecision, 2), "Hz");
    const bool low = Verdict(kSetPoint, FormatFixed(Sp(0), kFixedPrecision, 2), f < Sp(0), "<");
    ValueLine(0, " 有效值 = ", rms);
    const bool voltage = Verdict("\n\r  闭锁定值 = ", Number(Sp(1)), rms >= Sp(1), ">=");
    return low && voltage;
  }

  bool LossOfExcitation() {
    if (!CycleRequirement(spc_ - 1) || !CycleInside({0, 1, 2, 4, 5, 6}) || !Inside(data_, p_ - 3, p_, Ch(3)))
      return CannotCompute();
    const auto n = static_cast<size_t>(spc_);
    std::vector<double> work(2 * n);
    const std::span<double> u(work.data(), n), i(work.data() + n, n);
    double reactive = 0.0;
    for (int phase = 0; phase < 3; ++phase) {
      Difference(phase, -1, u);
      Difference(phase + 4, -1, i);
      reactive += ReactivePowerOf(u, i);
    }
    reactive *= Chn(2).ChnCoeB * Chn(6).ChnCoeB * 25.0 / (span_ * span_);
    double sum = 0.0;
    for (int64_t back = 0; back < 4; ++back) sum += Code(p_ - back, Ch(3));
    const double excitation = Engineering(sum / 4.0, 3);
    if (!AllFinite({reactive, excitation})) return CannotCompute();
    ValueLine(2, " (三相)无功功率 = ", Number(reactive), "W");
    const bool lowReactive = SetPointLine(Sp(2), reactive < Sp(2), "<");
    ValueLine(3, " 励磁电压 = ", excitation);
    const bool lowExcitation = SetPointLine(Sp(1), excitation < Sp(1), "<");
    return lowReactive && lowExcitation;
  }

  bool ZeroSequence(int32_t type) {
    if (!CycleRequirement(spc_ - 1)) return CannotCompute();
    const double current = CycleRmsAt(live_, data_, p_, Ch(0));
    const double voltage = CycleRmsAt(live_, data_, p_, Ch(1));
    if (!AllFinite({current, voltage})) return CannotCompute();
    ValueLine(0, " 零序电流 = ", current);
    const bool currentHolds = type == 19 ? SetPointLine(Sp(0), current < Sp(0), "<")
                                         : SetPointLine(Sp(0), current > Sp(0), ">");
    ValueLine(1, " 零序电压 = ", voltage);
    const bool voltageHolds = SetPointLine(Sp(1), voltage > Sp(1), ">");
    return type == 19 ? currentHolds && voltageHolds : currentHolds || voltageHolds;
  }

  bool PowerSwing() {
    if (!CycleRequirement(int64_t{64} * spc_) || !Inside(data_, 0, p_, Ch(0))) return CannotCompute();
    const std::array<double, 3> rms{CycleRmsAt(live_, data_, p_, Ch(0)), CycleRmsAt(live_, data_, p_, Ch(1)),
                                    CycleRmsAt(live_, data_, p_, Ch(2))};
    if (!AllFinite({rms[0], rms[1], rms[2]})) return CannotCompute();
    std::array<double, kRateCrossings> t{};
    const int k = Crossings(true, kRateCrossings, t);
    if (k < 2 || !RateUsable()) {
      text_ += kNoFrequency;
      return false;
    }
    if (k < kRateCrossings) {
      text_ += kNoFrequencyRate;
      return false;
    }
    double shortest = std::numeric_limits<double>::infinity(), longest = 0.0;
    for (size_t j = 0; j + 8 < kRateCrossings; j += kRateSpanStep) {
      const double span = t[j] - t[j + 8];
      shortest = std::min(shortest, span);
      longest = std::max(longest, span);
    }
    // Spread of the eight-period frequencies over 1.2 s.
    const double rate = (8.0 / shortest - 8.0 / longest) * live_.ChannelRate * 5.0 / 6.0;
    ValueLine(0, " 频率变化率 = ", Number(rate), "Hz/s");
    const bool swing = SetPointLine(Sp(0), rate > Sp(0), ">");
    for (int i = 0; i < 3; ++i) ValueLine(i, " 有效值 = ", rms[i]);
    const bool voltage = Verdict("\n\r  闭锁电流定值 = ", Number(Sp(1)),
                                 std::all_of(rms.begin(), rms.end(), [&](double v) { return v >= Sp(1); }), ">=");
    return swing && voltage;
  }

  // Each of the last SPC composite values of channels i0..i0+2 minus the one
  // a cycle earlier.
  void Increment(int i0, std::span<double> out) const {
    const auto n = static_cast<int64_t>(out.size());
    for (int64_t k = 0; k < n; ++k) {
      const int64_t q = p_ - n + 1 + k;
      out[static_cast<size_t>(k)] = Composite(i0, q) - Composite(i0, q - n);
    }
  }

  bool IncrementDirection() {
    const int64_t n = spc_;
    if (!TwelfthsOfCycle() || p_ < 2 * n + n / 6 || !CompositeInside(0, p_ - 2 * n + 1, p_) ||
        !CompositeInside(3, p_ - 2 * n + 1, p_))
      return CannotCompute();
    std::vector<double> work(2 * static_cast<size_t>(n));
    const std::span<double> u(work.data(), static_cast<size_t>(n)), i(work.data() + n, static_cast<size_t>(n));
    Increment(0, u);
    Increment(3, i);
    const double voltage = NegativeSequenceOf(u) / 3.0 * CodeScale(0);
    const double current = NegativeSequenceOf(i) / 3.0 * CodeScale(3);
    const double direction = ActivePowerOf(u, i) * Chn(0).ChnCoeB * Chn(3).ChnCoeB * 25.0 / 9.0 / (span_ * span_);
    if (!AllFinite({voltage, current, direction})) return CannotCompute();
    ValueLine(0, " 负序电压增量 = ", voltage);
    const bool voltageHolds = SetPointLine(Sp(0), voltage > Sp(0), ">");
    ValueLine(3, " 负序电流增量 = ", current);
    const bool currentHolds = SetPointLine(Sp(1), current > Sp(1), ">");
    ValueLine(0, " 负序增量方向 = ", Number(direction), "");
    const bool forward = SetPointLine(Sp(2), direction > Sp(2), ">");
    return (voltageHolds || currentHolds) && forward;
  }

  const LiveConfig& live_;
  const SampleLayout& layout_;
  const DisplayRows& data_;
  const AlgorithmConfig& a_;
  const int64_t p_;
  const int32_t spc_;
  const double span_;  // ADMax - VZero
  std::string text_;
};

}  // namespace

double CycleRmsAt(const LiveConfig& live, const DisplayRows& data, int64_t row, int32_t channel) {
  return HarmonicRms(live, data, row, channel, 1);
}

double ThirdHarmonicOf(const LiveConfig& live, const DisplayRows& data, int64_t row, int32_t channel) {
  return HarmonicRms(live, data, row, channel, 3);
}

double NegativeSequenceOf(std::span<const double> samples) {
  if (samples.empty()) return kNaN;
  return std::abs(SeriesPhasor(samples)) / std::numbers::sqrt2;
}

double ActivePowerOf(std::span<const double> u, std::span<const double> i) {
  if (u.empty() || u.size() != i.size()) return kNaN;
  return (SeriesPhasor(u) * std::conj(SeriesPhasor(i))).real() / 2.0;
}

double ReactivePowerOf(std::span<const double> u, std::span<const double> i) {
  if (u.empty() || u.size() != i.size()) return kNaN;
  const auto pu = SeriesPhasor(u), pi = SeriesPhasor(i);
  // The phasors run backwards in time, hence this sign for a lagging current.
  return (pu.real() * pi.imag() - pu.imag() * pi.real()) / 2.0;
}

AlgorithmReport EvaluateAlgorithmAt(const LiveConfig& live, const SampleLayout& layout, const DisplayRows& data,
                                    int32_t index, int32_t point) {
  if (index < 0 || index >= std::clamp(live.Algorithm_Num, 0, kMaxAlgorithms)) return {"未选中有效算法!", 0};
  return PointReport(live, layout, data, live.AlgorithmTable[index], point).Run();
}

std::string TriggeredAlgorithmList(const LiveConfig& live, const SampleLayout& layout, const DisplayRows& data,
                                   int32_t point) {
  std::string list = "\n\r触发算法列表：";
  const int32_t count = std::clamp(live.Algorithm_Num, 0, kMaxAlgorithms);
  for (int32_t i = 0; i < count; ++i) {
    if (EvaluateAlgorithmAt(live, layout, data, i, point).fired == 0) continue;
    list += "\n\r ";
    list += std::to_string(i);
    list += "号: ";
    list += TypeName(live.AlgorithmTable[i].Type);
  }
  return list;
}

}  // namespace quelvar
