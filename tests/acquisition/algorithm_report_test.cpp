#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/AlgorithmReport.h"
#include "acquisition/LayoutForTest.h"
#include "acquisition/TwelvePointPhasor.h"
#include "common/AlgorithmTypeTable.h"

namespace {

using namespace quelvar;

constexpr double kPi = std::numbers::pi;

// A signal in codes about the zero code, as a function of time in seconds.
using Signal = std::function<double(double)>;

Signal Dc(double level) {
  return [=](double) { return level; };
}
Signal Sine(double peak, double hz, double phaseDeg = 0.0) {
  return [=](double t) { return peak * std::sin(2.0 * kPi * hz * t + phaseDeg * kPi / 180.0); };
}
Signal Sum(Signal a, Signal b) {
  return [=](double t) { return a(t) + b(t); };
}
// Zero before t0.
Signal From(double t0, Signal s) {
  return [=](double t) { return t >= t0 ? s(t) : 0.0; };
}
// Frequency rising linearly from f0 at 1.5 Hz/s.
constexpr double kChirpStart = 49.0, kChirpSlope = 1.5;
Signal Chirp(double peak) {
  return [=](double t) { return peak * std::sin(2.0 * kPi * (kChirpStart * t + kChirpSlope / 2.0 * t * t)); };
}

// Display data of analog channels "C0", "C1", ... (units "u0", "u1", ...)
// in which one code is one engineering unit: VZero 2048, ADMax 3048,
// ChnCoeB 200. Powers come out in codes squared as well.
struct Bench {
  LiveConfig live;
  SampleLayout layout;
  std::vector<uint16_t> rows;
  int64_t rowCount;

  Bench(float rate, int32_t spc, int64_t rowCount, const std::vector<int32_t>& multipliers = std::vector<int32_t>(8, 1))
      : layout(test::LayoutOf(multipliers, 0)), rowCount(rowCount) {
    live.ChannelRate = rate;
    live.SamplesPerCycle = spc;
    live.VZero = 2048.0f;
    live.ADMax = 3048.0f;
    live.Analog_Num = static_cast<int32_t>(multipliers.size());
    live.MaxMultiFreq = layout.MaxMultiFreq;
    for (int c = 0; c < live.Analog_Num; ++c) {
      AnalogChannel& chn = live.AnalogChannelTable[c];
      chn.ChnName = "C" + std::to_string(c);
      chn.ChnUnits = "u" + std::to_string(c);
      chn.ChnCoeA = 0.0f;
      chn.ChnCoeB = 200.0f;
    }
    // Exactly the rows, so that the sanitizer sees any read past them.
    rows.assign(static_cast<size_t>(rowCount * layout.NumChn), 2048);
  }

  void SetWord(int32_t word, const Signal& s) {
    for (int64_t r = 0; r < rowCount; ++r) {
      const double code = std::round(2048.0 + s(static_cast<double>(r) / live.ChannelRate));
      rows[static_cast<size_t>(r * layout.NumChn + word)] = static_cast<uint16_t>(std::clamp(code, 0.0, 65535.0));
    }
  }
  void Set(int32_t channel, const Signal& s) { SetWord(channel, s); }

  void Algorithm(int32_t index, int32_t type, const std::vector<int32_t>& channels, std::array<float, 3> setPoints) {
    live.Algorithm_Num = std::max(live.Algorithm_Num, index + 1);
    AlgorithmConfig& a = live.AlgorithmTable[index];
    a.Type = type;
    a.UsedChn = static_cast<int32_t>(channels.size());
    for (size_t i = 0; i < channels.size(); ++i) a.Channel[i] = channels[i];
    a.SetPointNum = 3;
    for (int i = 0; i < 3; ++i) a.SetPoint[i] = setPoints[i];
  }

  DisplayRows Data() const { return {rows.data(), rowCount, layout.NumChn}; }
  AlgorithmReport At(int32_t index, int32_t point) const {
    return EvaluateAlgorithmAt(live, layout, Data(), index, point);
  }
  std::string List(int32_t point) const { return TriggeredAlgorithmList(live, layout, Data(), point); }
};

// The report with every number written as '#': labels, units, order and
// verdicts stay.
std::string Skeleton(const std::string& text) {
  static const std::regex scientific(R"(-?\d\.\d{4}E[+-]\d+)");
  static const std::regex fixed(R"(-?\d+\.\d\d)");
  return std::regex_replace(std::regex_replace(text, scientific, "#"), fixed, "#");
}

// The number written after the first occurrence of `label`; NaN without one.
double ValueAfter(const std::string& text, const std::string& label) {
  const size_t at = text.find(label);
  if (at == std::string::npos) return std::nan("");
  return std::strtod(text.c_str() + at + label.size(), nullptr);
}

constexpr float kRate = 1200.0f;  // 24 samples a cycle at 50 Hz
constexpr int32_t kSpc = 24;
constexpr int64_t kRows = 2000;
constexpr int32_t kPoint = 1900;
const double kStep = 1850.0 / kRate;           // where the type-22 increment starts
constexpr int32_t kIncrementPoint = 1850 + 27;  // a cycle and a sixth after it

struct FamilyCase {
  const char* what;
  int32_t type;
  std::vector<int32_t> channels;
  std::array<float, 3> setPoints;
  std::vector<std::pair<int32_t, Signal>> signals;
  int32_t point;
  const char* skeleton;
  int32_t fired;
  const char* label;  // of the value checked against `value`
  double value;
  double tolerance;
};

std::vector<Signal> Phases(double peak, double firstDeg, double stepDeg) {
  return {Sine(peak, 50, firstDeg), Sine(peak, 50, firstDeg + stepDeg), Sine(peak, 50, firstDeg + 2 * stepDeg)};
}

std::vector<FamilyCase> FamilyCases() {
  const auto rms = [](double peak) { return peak / std::numbers::sqrt2; };
  const auto positive = Phases(1000, 0, -120);
  const auto negative = Phases(900, 0, 120);
  const auto leading = Phases(100, 90, -120);  // currents 90 degrees ahead of `positive`
  const auto lagging = Phases(100, -90, -120);
  const auto stepVoltages = Phases(600, 0, 120);
  const auto stepCurrents = Phases(60, 0, 120);
  const auto stepReversed = Phases(60, 180, 120);
  return {
      {"peak above", 1, {0}, {250, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 峰值超过\n\rC0 瞬时值 = #u0\n\r  定值 = #, 满足条件(>)", 1, "瞬时值 = ", 300, 1e-9},
      {"peak not above", 1, {0}, {350, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 峰值超过\n\rC0 瞬时值 = #u0\n\r  定值 = #, 不满足条件", 0, "瞬时值 = ", 300, 1e-9},
      {"valley below", 2, {0}, {350, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 谷值低于\n\rC0 瞬时值 = #u0\n\r  定值 = #, 满足条件(<)", 1, "瞬时值 = ", 300, 1e-9},
      {"valley not below", 2, {0}, {250, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 谷值低于\n\rC0 瞬时值 = #u0\n\r  定值 = #, 不满足条件", 0, "瞬时值 = ", 300, 1e-9},
      {"DC too large", 3, {0}, {250, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 直流信号过大\n\rC0 直流值 = #u0\n\r  定值 = #, 满足条件(>)", 1, "直流值 = ", 300, 1e-9},
      {"DC not too small", 4, {0}, {250, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 直流信号过小\n\rC0 直流值 = #u0\n\r  定值 = #, 不满足条件", 0, "直流值 = ", 300, 1e-9},
      {"DC too small", 4, {0}, {350, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 直流信号过小\n\rC0 直流值 = #u0\n\r  定值 = #, 满足条件(<)", 1, "直流值 = ", 300, 1e-9},
      {"rotor over-current", 9, {0}, {250, 0, 0}, {{0, Dc(300)}}, kPoint,
       "算法类型: 转子过电流\n\rC0 直流值 = #u0\n\r  定值 = #, 满足条件(>)", 1, "直流值 = ", 300, 1e-9},
      {"AC too large", 5, {0}, {700, 0, 0}, {{0, Sine(1000, 50, 37)}}, kPoint,
       "算法类型: 交流信号过大\n\rC0 有效值 = #u0\n\r  定值 = #, 满足条件(>)", 1, "有效值 = ", rms(1000), 0.5},
      {"AC not too large", 5, {0}, {710, 0, 0}, {{0, Sine(1000, 50, 37)}}, kPoint,
       "算法类型: 交流信号过大\n\rC0 有效值 = #u0\n\r  定值 = #, 不满足条件", 0, "有效值 = ", rms(1000), 0.5},
      {"AC too small", 6, {0}, {710, 0, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 交流信号过小\n\rC0 有效值 = #u0\n\r  定值 = #, 满足条件(<)", 1, "有效值 = ", rms(1000), 0.5},
      {"AC not too small", 6, {0}, {700, 0, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 交流信号过小\n\rC0 有效值 = #u0\n\r  定值 = #, 不满足条件", 0, "有效值 = ", rms(1000), 0.5},
      {"transverse differential", 7, {0}, {700, 0, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 单元件横差\n\rC0 有效值 = #u0\n\r  定值 = #, 满足条件(>)", 1, "有效值 = ", rms(1000), 0.5},
      {"zero-sequence current below", 18, {0}, {710, 0, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 主变零序过流\n\rC0 有效值 = #u0\n\r  定值 = #, 不满足条件", 0, "有效值 = ", rms(1000), 0.5},
      {"one phase of three over", 8, {0, 1, 2}, {800, 0, 0},
       {{0, Sine(800, 50)}, {1, Sine(800, 50, -120)}, {2, Sine(1200, 50, 120)}}, kPoint,
       "算法类型: 定子对称过负荷\n\rC0 有效值 = #u0\n\rC1 有效值 = #u1\n\rC2 有效值 = #u2\n\r  定值 = #, 满足条件(>)", 1,
       "C2 有效值 = ", rms(1200), 0.5},
      {"no phase over", 11, {0, 1, 2}, {900, 0, 0},
       {{0, Sine(800, 50)}, {1, Sine(800, 50, -120)}, {2, Sine(1200, 50, 120)}}, kPoint,
       "算法类型: 过电流\n\rC0 有效值 = #u0\n\rC1 有效值 = #u1\n\rC2 有效值 = #u2\n\r  定值 = #, 不满足条件", 0,
       "C0 有效值 = ", rms(800), 0.5},
      {"over-voltage", 12, {0, 1, 2}, {500, 0, 0}, {{0, Sine(800, 50)}}, kPoint,
       "算法类型: 过电压\n\rC0 有效值 = #u0\n\rC1 有效值 = #u1\n\rC2 有效值 = #u2\n\r  定值 = #, 满足条件(>)", 1,
       "C1 有效值 = ", 0, 1e-9},
      {"negative-sequence currents", 10, {0, 1, 2}, {600, 0, 0},
       {{0, negative[0]}, {1, negative[1]}, {2, negative[2]}}, kPoint,
       "算法类型: 负序过电流\n\rC0 负序电流 = #u0\n\r  定值 = #, 满足条件(>)", 1, "负序电流 = ", rms(900), 1.0},
      {"positive-sequence currents", 10, {0, 1, 2}, {600, 0, 0},
       {{0, positive[0]}, {1, positive[1]}, {2, positive[2]}}, kPoint,
       "算法类型: 负序过电流\n\rC0 负序电流 = #u0\n\r  定值 = #, 不满足条件", 0, "负序电流 = ", 0, 1.0},
      {"earth fault by fundamental", 13, {0, 1}, {100, 80, 1},
       {{0, Sum(Sine(200, 50), Sine(100, 150))}, {1, Sine(200, 150)}}, kPoint,
       "算法类型: 定子接地\n\rC0 零序基波 = #u0\n\r  定值 = #, 满足条件(>)\n\rC0 机端三次谐波 = #u0\n\r  定值 = #, "
       "满足条件(<)\n\r机端与中点三次谐波比 = #\n\r  定值 = #, 不满足条件",
       1, "三次谐波比 = ", 0.5, 0.01},
      {"earth fault by third harmonic", 13, {0, 1}, {50, 80, 1},
       {{0, Sum(Sine(40, 50), Sine(100, 150))}, {1, Sine(50, 150)}}, kPoint,
       "算法类型: 定子接地\n\rC0 零序基波 = #u0\n\r  定值 = #, 不满足条件\n\rC0 机端三次谐波 = #u0\n\r  定值 = #, "
       "满足条件(<)\n\r机端与中点三次谐波比 = #\n\r  定值 = #, 满足条件(>)",
       1, "三次谐波比 = ", 2.0, 0.03},
      {"no earth fault", 13, {0, 1}, {50, 80, 1},
       {{0, Sum(Sine(40, 50), Sine(100, 150))}, {1, Sine(200, 150)}}, kPoint,
       "算法类型: 定子接地\n\rC0 零序基波 = #u0\n\r  定值 = #, 不满足条件\n\rC0 机端三次谐波 = #u0\n\r  定值 = #, "
       "满足条件(<)\n\r机端与中点三次谐波比 = #\n\r  定值 = #, 不满足条件",
       0, "机端三次谐波 = ", rms(100), 0.5},
      {"high ratio without a low terminal third harmonic", 13, {0, 1}, {50, 60, 1},
       {{0, Sum(Sine(40, 50), Sine(100, 150))}, {1, Sine(50, 150)}}, kPoint,
       "算法类型: 定子接地\n\rC0 零序基波 = #u0\n\r  定值 = #, 不满足条件\n\rC0 机端三次谐波 = #u0\n\r  定值 = #, "
       "不满足条件\n\r机端与中点三次谐波比 = #\n\r  定值 = #, 满足条件(>)",
       0, "三次谐波比 = ", 2.0, 0.03},
      {"no third harmonic at the neutral: not tested", 13, {0, 1}, {100, 80, 1},
       {{0, Sum(Sine(200, 50), Sine(100, 150))}, {1, Dc(30)}}, kPoint,
       "算法类型: 定子接地\n\rC0 零序基波 = #u0\n\r  定值 = #, 满足条件(>)\n\rC0 机端三次谐波 = #u0\n\r  定值 = #, "
       "满足条件(<)\n\r机端与中点三次谐波比 = 不能计算\n\r  定值 = #, 不满足条件",
       0, "零序基波 = ", rms(200), 0.5},
      {"reverse power", 14, {0, 1, 2, 3}, {0, 0, 0}, {{0, Sine(1000, 50)}, {2, Sine(100, 50, 180)}}, kPoint,
       "算法类型: 逆功率\n\rC0 (AB相)有功功率 = #W\n\r  定值 = #, 满足条件(<)", 1, "有功功率 = ", -50000, 300},
      {"forward power", 14, {0, 1, 2, 3}, {0, 0, 0}, {{0, Sine(1000, 50)}, {2, Sine(100, 50, -60)}}, kPoint,
       "算法类型: 逆功率\n\rC0 (AB相)有功功率 = #W\n\r  定值 = #, 不满足条件", 0, "有功功率 = ", 25000, 300},
      {"low frequency", 15, {0}, {49.5f, 300, 0}, {{0, Sine(1000, 48)}}, kPoint,
       "算法类型: 低频率\n\rC0 频率 = #Hz\n\r  定值 = #, 满足条件(<)\n\rC0 有效值 = #u0\n\r  闭锁定值 = #, 满足条件(>=)", 1,
       "频率 = ", 48, 0.005},
      {"low frequency blocked by low voltage", 15, {0}, {49.5f, 900, 0}, {{0, Sine(1000, 48)}}, kPoint,
       "算法类型: 低频率\n\rC0 频率 = #Hz\n\r  定值 = #, 满足条件(<)\n\rC0 有效值 = #u0\n\r  闭锁定值 = #, 不满足条件", 0,
       "频率 = ", 48, 0.005},
      {"nominal frequency", 15, {0}, {49.5f, 300, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 低频率\n\rC0 频率 = #Hz\n\r  定值 = #, 不满足条件\n\rC0 有效值 = #u0\n\r  闭锁定值 = #, 满足条件(>=)", 0,
       "频率 = ", 50, 0.005},
      {"over-excitation", 16, {0}, {10, 0, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 过激磁\n\rC0 标么值 = #\n\r  定值 = #, 满足条件(>)", 1, "标么值 = ", rms(1000) / 50, 0.01},
      {"no over-excitation", 16, {0}, {20, 0, 0}, {{0, Sine(1000, 50)}}, kPoint,
       "算法类型: 过激磁\n\rC0 标么值 = #\n\r  定值 = #, 不满足条件", 0, "标么值 = ", rms(1000) / 50, 0.01},
      {"loss of excitation", 17, {0, 1, 2, 3, 4, 5, 6}, {0, 100, 0},
       {{0, positive[0]}, {1, positive[1]}, {2, positive[2]}, {3, Dc(50)}, {4, leading[0]}, {5, leading[1]},
        {6, leading[2]}},
       kPoint,
       "算法类型: 低励及失磁\n\rC2 (三相)无功功率 = #W\n\r  定值 = #, 满足条件(<)\n\rC3 励磁电压 = #u3\n\r  定值 = #, "
       "满足条件(<)",
       1, "无功功率 = ", -150000, 1000},
      {"lagging currents", 17, {0, 1, 2, 3, 4, 5, 6}, {0, 100, 0},
       {{0, positive[0]}, {1, positive[1]}, {2, positive[2]}, {3, Dc(50)}, {4, lagging[0]}, {5, lagging[1]},
        {6, lagging[2]}},
       kPoint,
       "算法类型: 低励及失磁\n\rC2 (三相)无功功率 = #W\n\r  定值 = #, 不满足条件\n\rC3 励磁电压 = #u3\n\r  定值 = #, "
       "满足条件(<)",
       0, "无功功率 = ", 150000, 1000},
      {"main transformer zero-sequence voltage", 19, {0, 1}, {10, 100, 0}, {{1, Sine(1000, 50)}}, kPoint,
       "算法类型: 主变零序过压\n\rC0 零序电流 = #u0\n\r  定值 = #, 满足条件(<)\n\rC1 零序电压 = #u1\n\r  定值 = #, "
       "满足条件(>)",
       1, "零序电压 = ", rms(1000), 0.5},
      {"zero-sequence voltage with current", 19, {0, 1}, {10, 100, 0}, {{0, Sine(1000, 50)}, {1, Sine(1000, 50)}},
       kPoint,
       "算法类型: 主变零序过压\n\rC0 零序电流 = #u0\n\r  定值 = #, 不满足条件\n\rC1 零序电压 = #u1\n\r  定值 = #, "
       "满足条件(>)",
       0, "零序电流 = ", rms(1000), 0.5},
      {"gap over-voltage", 20, {0, 1}, {10, 100, 0}, {{1, Sine(1000, 50)}}, kPoint,
       "算法类型: 主变间隙过流过压\n\rC0 零序电流 = #u0\n\r  定值 = #, 不满足条件\n\rC1 零序电压 = #u1\n\r  定值 = #, "
       "满足条件(>)",
       1, "零序电流 = ", 0, 1e-9},
      {"no gap fault", 20, {0, 1}, {10, 100, 0}, {}, kPoint,
       "算法类型: 主变间隙过流过压\n\rC0 零序电流 = #u0\n\r  定值 = #, 不满足条件\n\rC1 零序电压 = #u1\n\r  定值 = #, "
       "不满足条件",
       0, "零序电压 = ", 0, 1e-9},
      {"power swing", 21, {0, 1, 2}, {0.5f, 300, 0}, {{0, Chirp(1000)}, {1, positive[1]}, {2, positive[2]}}, kPoint,
       "算法类型: 机组振荡\n\rC0 频率变化率 = #Hz/s\n\r  定值 = #, 满足条件(>)\n\rC0 有效值 = #u0\n\rC1 有效值 = #u1\n\rC2 "
       "有效值 = #u2\n\r  闭锁电流定值 = #, 满足条件(>=)",
       1, "C1 有效值 = ", rms(1000), 0.5},
      {"steady frequency", 21, {0, 1, 2}, {0.5f, 300, 0}, {{0, positive[0]}, {1, positive[1]}, {2, positive[2]}},
       kPoint,
       "算法类型: 机组振荡\n\rC0 频率变化率 = #Hz/s\n\r  定值 = #, 不满足条件\n\rC0 有效值 = #u0\n\rC1 有效值 = #u1\n\rC2 "
       "有效值 = #u2\n\r  闭锁电流定值 = #, 满足条件(>=)",
       0, "频率变化率 = ", 0, 1e-9},
      {"negative-sequence increment forward", 22, {0, 1, 2, 3, 4, 5}, {100, 1000, 0},
       {{0, From(kStep, stepVoltages[0])}, {1, From(kStep, stepVoltages[1])}, {2, From(kStep, stepVoltages[2])},
        {3, From(kStep, stepCurrents[0])}, {4, From(kStep, stepCurrents[1])}, {5, From(kStep, stepCurrents[2])}},
       kIncrementPoint,
       "算法类型: 负序增量方向\n\rC0 负序电压增量 = #u0\n\r  定值 = #, 满足条件(>)\n\rC3 负序电流增量 = #u3\n\r  定值 = "
       "#, 不满足条件\n\rC0 负序增量方向 = #\n\r  定值 = #, 满足条件(>)",
       1, "负序电压增量 = ", rms(600), 0.2 * rms(600)},
      {"negative-sequence increment reversed", 22, {0, 1, 2, 3, 4, 5}, {100, 1000, 0},
       {{0, From(kStep, stepVoltages[0])}, {1, From(kStep, stepVoltages[1])}, {2, From(kStep, stepVoltages[2])},
        {3, From(kStep, stepReversed[0])}, {4, From(kStep, stepReversed[1])}, {5, From(kStep, stepReversed[2])}},
       kIncrementPoint,
       "算法类型: 负序增量方向\n\rC0 负序电压增量 = #u0\n\r  定值 = #, 满足条件(>)\n\rC3 负序电流增量 = #u3\n\r  定值 = "
       "#, 不满足条件\n\rC0 负序增量方向 = #\n\r  定值 = #, 不满足条件",
       0, "负序电流增量 = ", rms(60), 0.2 * rms(60)},
      {"steady negative sequence is no increment", 22, {0, 1, 2, 3, 4, 5}, {100, 10, 0},
       {{0, stepVoltages[0]}, {1, stepVoltages[1]}, {2, stepVoltages[2]},
        {3, stepCurrents[0]}, {4, stepCurrents[1]}, {5, stepCurrents[2]}},
       kIncrementPoint,
       "算法类型: 负序增量方向\n\rC0 负序电压增量 = #u0\n\r  定值 = #, 不满足条件\n\rC3 负序电流增量 = #u3\n\r  定值 = "
       "#, 不满足条件\n\rC0 负序增量方向 = #\n\r  定值 = #, 不满足条件",
       0, "负序电压增量 = ", 0, 1e-9},
  };
}

TEST(AlgorithmReport, EachTypeFamilyJudgesValuesMeasuredFromTheData) {
  for (const FamilyCase& c : FamilyCases()) {
    Bench b(kRate, kSpc, kRows);
    for (const auto& [channel, signal] : c.signals) b.Set(channel, signal);
    b.Algorithm(0, c.type, c.channels, c.setPoints);
    const AlgorithmReport report = b.At(0, c.point);
    EXPECT_EQ(Skeleton(report.text), c.skeleton) << c.what << "\n" << report.text;
    EXPECT_EQ(report.fired, c.fired) << c.what;
    EXPECT_NEAR(ValueAfter(report.text, c.label), c.value, c.tolerance) << c.what << "\n" << report.text;
  }
}

TEST(AlgorithmReport, ValuesAreWrittenWithFiveDigitsAndFrequenciesWithTwoDecimals) {
  Bench b(kRate, kSpc, kRows);
  b.Set(0, Dc(123.456 - 0.456));  // code 2171: 123 units
  b.live.AnalogChannelTable[0].ChnCoeA = 0.456f;
  b.Algorithm(0, 1, {0}, {0, 0, 0});
  b.Algorithm(1, 15, {1}, {49.987f, 0, 0});
  b.Set(1, Sine(1000, 50));
  EXPECT_EQ(b.At(0, kPoint).text, "算法类型: 峰值超过\n\rC0 瞬时值 = 1.2346E+2u0\n\r  定值 = 0.0000E+0, 满足条件(>)");
  const std::string frequency = b.At(1, kPoint).text;
  EXPECT_NE(frequency.find("\n\rC1 频率 = 50.00Hz\n\r  定值 = 49.99, 不满足条件"), std::string::npos) << frequency;
  EXPECT_NE(frequency.find("\n\r  闭锁定值 = 0.0000E+0, 满足条件(>=)"), std::string::npos) << frequency;
}

// Every channel a sine with a third harmonic, each a third of a cycle behind the one before.
void FillAll(Bench& b, int channels) {
  for (int ch = 0; ch < channels; ++ch) b.Set(ch, Sum(Sine(1000, 50, -120.0 * ch), Sine(100, 150)));
}

TEST(AlgorithmReport, PointsThatLackTheirHistoryCannotBeComputed) {
  struct Case {
    int32_t type;
    std::vector<int32_t> channels;
    int32_t first;  // first point that meets the requirement
  } cases[] = {
      {3, {0}, 3},
      {4, {0}, 3},
      {5, {0}, kSpc - 1},
      {8, {0, 1, 2}, kSpc - 1},
      {10, {0, 1, 2}, kSpc + kSpc / 6},
      {13, {0, 1}, kSpc - 1},
      {14, {0, 1, 2, 3}, kSpc - 1},
      {15, {0}, 4 * kSpc},
      {16, {0}, 4 * kSpc},
      {17, {0, 1, 2, 3, 4, 5, 6}, kSpc - 1},
      {19, {0, 1}, kSpc - 1},
      {20, {0, 1}, kSpc - 1},
      {21, {0, 1, 2}, 64 * kSpc},
      {22, {0, 1, 2, 3, 4, 5}, 2 * kSpc + kSpc / 6},
  };
  for (const Case& c : cases) {
    Bench b(kRate, kSpc, kRows);
    FillAll(b, 8);
    b.Algorithm(0, c.type, c.channels, {1, 1, 1});
    const std::string heading = "算法类型: " + std::string(AlgorithmTypeTable[c.type].Name);
    for (const int32_t before : {c.first - 1, -1}) {
      const AlgorithmReport early = b.At(0, before);
      EXPECT_EQ(early.text, heading + "\n\r不能计算") << "type " << c.type << " point " << before;
      EXPECT_EQ(early.fired, 0);
    }
    const std::string ready = b.At(0, c.first).text;
    if (c.type == 21) {
      // The sine rises through zero at row 0, which the walk never counts:
      // 64 cycles hold only 64 crossings.
      EXPECT_EQ(ready, heading + "\n\r不能计算频率变化率");
    } else {
      EXPECT_EQ(ready.rfind(heading + "\n\rC", 0), 0u) << "type " << c.type << "\n" << ready;
      EXPECT_EQ(ready.find("不能计算"), std::string::npos) << "type " << c.type << "\n" << ready;
    }
  }
}

TEST(AlgorithmReport, NegativeSequenceTypesNeedWholeTwelfthsOfACycle) {
  Bench b(1000.0f, 20, 400);  // 20 samples a cycle: no sixth of a cycle in whole rows
  for (int ch = 0; ch < 6; ++ch) b.Set(ch, Sine(900, 50, 120.0 * ch));
  b.Algorithm(0, 10, {0, 1, 2}, {1, 0, 0});
  b.Algorithm(1, 22, {0, 1, 2, 3, 4, 5}, {1, 1, -1e9f});
  EXPECT_EQ(b.At(0, 300).text, "算法类型: 负序过电流\n\r不能计算");
  EXPECT_EQ(b.At(1, 300).text, "算法类型: 负序增量方向\n\r不能计算");
}

TEST(AlgorithmReport, AnInstantaneousValueEqualToItsSetPointDoesNotFire) {
  Bench b(kRate, kSpc, kRows);
  b.Set(0, Dc(250));  // 250 units exactly
  b.Algorithm(0, 1, {0}, {250, 0, 0});
  b.Algorithm(1, 2, {0}, {250, 0, 0});
  EXPECT_EQ(b.At(0, kPoint).text, "算法类型: 峰值超过\n\rC0 瞬时值 = 2.5000E+2u0\n\r  定值 = 2.5000E+2, 不满足条件");
  EXPECT_EQ(b.At(1, kPoint).text, "算法类型: 谷值低于\n\rC0 瞬时值 = 2.5000E+2u0\n\r  定值 = 2.5000E+2, 不满足条件");
  EXPECT_EQ(b.List(kPoint), "\n\r触发算法列表：");
}

TEST(AlgorithmReport, ListNamesTheFiringAlgorithmsInIndexOrder) {
  Bench b(kRate, kSpc, kRows);
  b.Set(0, Dc(250));
  b.Set(1, Sine(1000, 50));
  b.Algorithm(0, 1, {0}, {250, 0, 0});  // equal: not listed
  b.Algorithm(1, 6, {1}, {500, 0, 0});  // 707 is not below 500
  b.Algorithm(2, 9, {0}, {200, 0, 0});
  b.Algorithm(3, 0, {}, {0, 0, 0});
  b.Algorithm(4, 6, {1}, {800, 0, 0});
  b.Algorithm(5, 5, {7}, {-1, 0, 0});  // a constant channel still has an RMS of 0 > -1
  EXPECT_EQ(b.At(2, kPoint).text, "算法类型: 转子过电流\n\rC0 直流值 = 2.5000E+2u0\n\r  定值 = 2.0000E+2, 满足条件(>)");
  EXPECT_EQ(b.List(kPoint), "\n\r触发算法列表：\n\r 2号: 转子过电流\n\r 4号: 交流信号过小\n\r 5号: 交流信号过大");
  b.live.Algorithm_Num = 2;
  EXPECT_EQ(b.List(kPoint), "\n\r触发算法列表：");
  b.live.Algorithm_Num = 0;
  EXPECT_EQ(b.List(kPoint), "\n\r触发算法列表：");
}

TEST(AlgorithmReport, InvalidIndexAndIllegalChannelsEndTheReport) {
  Bench b(kRate, kSpc, kRows);
  b.Algorithm(0, 11, {0, 1, 8}, {0, 0, 0});      // 8 channels: 8 is out of range
  b.Algorithm(1, 1, {-1}, {0, 0, 0});
  b.Algorithm(2, 17, {0, 1, 2, 3}, {0, 0, 0});  // claims 4 inputs; its type reads 7
  b.live.AlgorithmTable[2].Channel[6] = 99;
  b.Algorithm(3, 0, {0, 120}, {0, 0, 0});       // even the empty type checks its channels
  for (const int32_t index : {0, 1, 2, 3}) {
    const AlgorithmReport report = b.At(index, kPoint);
    const std::string name(AlgorithmTypeTable[b.live.AlgorithmTable[index].Type].Name);
    EXPECT_EQ(report.text, "算法类型: " + name + "\n\r 错误： 使用通道非法！") << index;
    EXPECT_EQ(report.fired, 0);
  }
  for (const int32_t index : {-1, 4, 60}) {
    const AlgorithmReport report = b.At(index, kPoint);
    EXPECT_EQ(report.text, "未选中有效算法!") << index;
    EXPECT_EQ(report.fired, 0);
  }
  b.live.Algorithm_Num = 61;  // more than the table holds
  EXPECT_EQ(b.At(60, kPoint).text, "未选中有效算法!");
}

TEST(AlgorithmReport, TypesWithoutACriterionWriteOnlyTheirName) {
  Bench b(kRate, kSpc, kRows);
  b.Algorithm(0, 0, {}, {0, 0, 0});
  b.Algorithm(1, 23, {}, {0, 0, 0});
  b.Algorithm(2, -5, {}, {0, 0, 0});
  EXPECT_EQ(b.At(0, kPoint).text, "算法类型: 空算法");
  EXPECT_EQ(b.At(1, kPoint).text, "算法类型: ");
  EXPECT_EQ(b.At(2, kPoint).text, "算法类型: ");
}

TEST(AlgorithmReport, LowFrequencyNeedsFourCyclesAndMeasuresFiftyHertz) {
  Bench b(1000.0f, 20, 400);
  b.Set(0, Sine(1000, 50));
  b.Algorithm(0, 15, {0}, {49.5f, 100, 0});
  EXPECT_EQ(b.At(0, 79).text, "算法类型: 低频率\n\r不能计算");
  const std::string text = b.At(0, 80).text;
  EXPECT_NE(text.find("\n\rC0 频率 = 50.00Hz\n\r  定值 = 49.50, 不满足条件"), std::string::npos) << text;
  b.Set(0, Dc(100));  // never crosses the zero code
  EXPECT_EQ(b.At(0, 200).text, "算法类型: 低频率\n\r不能计算频率");
}

TEST(AlgorithmReport, ChatterWithinHalfACycleBeforeACrossingIsNotCounted) {
  Bench b(1000.0f, 20, 400);
  b.Set(0, Sine(1000, 50));
  // Two rows before each rising crossing the signal jumps above zero and
  // back: a second crossing eleven rows inside the hold-off.
  for (int64_t r = 18; r < 400; r += 20) b.rows[static_cast<size_t>(r * b.layout.NumChn)] = 2048 + 5;
  b.Algorithm(0, 15, {0}, {49.5f, 0, 0});
  const std::string text = b.At(0, 300).text;
  EXPECT_NE(text.find("C0 频率 = 50.00Hz"), std::string::npos) << text;
}

TEST(AlgorithmReport, LowFrequencyInterpolatesCrossingsAndOverExcitationCountsRows) {
  Bench b(1000.0f, 20, 400);
  b.Set(0, Sine(1000, 48));  // a period of 20.83 rows
  b.Algorithm(0, 15, {0}, {49.5f, 0, 0});
  b.Algorithm(1, 16, {0}, {0, 0, 0});
  constexpr int32_t point = 300;
  EXPECT_NE(b.At(0, point).text.find("C0 频率 = 48.00Hz"), std::string::npos) << b.At(0, point).text;
  // Whole rows: the first row at or above zero after each rising crossing.
  const auto row = [](int n) { return std::ceil(n * 1000.0 / 48.0 - 1e-9); };
  int newest = 0;
  while (row(newest + 1) <= point) ++newest;
  const double frequency = 8 * 1000.0 / (row(newest) - row(newest - 8));
  const double rms = CycleRmsAt(b.live, b.Data(), point, 0);
  EXPECT_NEAR(ValueAfter(b.At(1, point).text, "标么值 = "), rms / frequency, 1e-4 * rms / frequency);
}

TEST(AlgorithmReport, PowerSwingNeedsSixtyFourCyclesAndSixtyFiveCrossings) {
  Bench b(1000.0f, 20, 1400);
  b.Set(0, Sine(1000, 50));  // rising through the zero code at rows 20, 40, ...
  b.Set(1, Sine(1000, 50));
  b.Set(2, Sine(1000, 50));
  b.Algorithm(0, 21, {0, 1, 2}, {0.1f, 100, 0});
  EXPECT_EQ(b.At(0, 1279).text, "算法类型: 机组振荡\n\r不能计算");
  EXPECT_EQ(b.At(0, 1280).text, "算法类型: 机组振荡\n\r不能计算频率变化率");  // 64 crossings
  const AlgorithmReport report = b.At(0, 1300);
  EXPECT_NE(report.text.find("\n\rC0 频率变化率 = 0.0000E+0Hz/s\n\r  定值 = 1.0000E-1, 不满足条件"), std::string::npos)
      << report.text;
  EXPECT_EQ(report.fired, 0);
  b.Set(0, Dc(100));
  EXPECT_EQ(b.At(0, 1300).text, "算法类型: 机组振荡\n\r不能计算频率");
}

TEST(AlgorithmReport, PowerSwingRateIsTheSpreadOfEightPeriodFrequencies) {
  Bench b(kRate, kSpc, kRows);
  b.Set(0, Chirp(1000));
  b.Algorithm(0, 21, {0, 1, 2}, {0, 0, 0});
  // Rising zero crossings of the chirp: kChirpStart t + kChirpSlope t^2 / 2 = n.
  const auto crossing = [](int n) {
    return (-kChirpStart + std::sqrt(kChirpStart * kChirpStart + 2.0 * kChirpSlope * n)) / kChirpSlope;
  };
  const double tPoint = kPoint / kRate;
  int newest = 0;
  while (crossing(newest + 1) <= tPoint) ++newest;
  double fastest = 0.0, slowest = 1e9;
  for (int j = 0; j <= 56; j += 4) {
    const double f = 8.0 / (crossing(newest - j) - crossing(newest - j - 8));
    fastest = std::max(fastest, f);
    slowest = std::min(slowest, f);
  }
  const double expected = (fastest - slowest) * 5.0 / 6.0;
  EXPECT_NEAR(ValueAfter(b.At(0, kPoint).text, "频率变化率 = "), expected, 0.02 * expected);
}

TEST(AlgorithmReport, LossOfExcitationNeedsFourRowsOfExcitationVoltage) {
  Bench b(100.0f, 2, 50);  // two samples a cycle: a cycle is shorter than the excitation mean
  b.Set(3, Dc(50));
  b.Algorithm(0, 17, {0, 1, 2, 3, 4, 5, 6}, {0, 100, 1});
  EXPECT_EQ(b.At(0, 2).text, "算法类型: 低励及失磁\n\r不能计算");
  EXPECT_EQ(Skeleton(b.At(0, 3).text),
            "算法类型: 低励及失磁\n\rC2 (三相)无功功率 = #W\n\r  定值 = #, 满足条件(<)\n\rC3 励磁电压 = #u3\n\r  定值 = #, "
            "满足条件(<)");
}

TEST(AlgorithmReport, ReadsStopAtTheEndOfTheData) {
  struct Case {
    int32_t type;
    std::vector<int32_t> channels;
  } cases[] = {{1, {0}},          {3, {0}},          {5, {0}},       {8, {0, 1, 2}}, {10, {0, 1, 2}},
               {13, {0, 1}},      {14, {0, 1, 2, 3}}, {15, {0}},      {16, {0}},      {17, {0, 1, 2, 3, 4, 5, 6}},
               {19, {0, 1}},      {20, {0, 1}},       {21, {0, 1, 2}}, {22, {0, 1, 2, 3, 4, 5}}};
  for (const Case& c : cases) {
    Bench b(kRate, kSpc, kRows);
    FillAll(b, 8);
    b.Algorithm(0, c.type, c.channels, {1, 1, 1});
    EXPECT_EQ(b.At(0, kRows - 1).text.find("不能计算"), std::string::npos) << "type " << c.type;
    EXPECT_NE(b.At(0, kRows).text.find("\n\r不能计算"), std::string::npos) << "type " << c.type;
    EXPECT_EQ(b.At(0, INT32_MAX).fired, 0);
  }
}

TEST(AlgorithmReport, MultiRatePointsReadSubSamplesAndNeverPassTheLastRow) {
  constexpr int64_t rows = 400;
  Bench b(kRate, kSpc, rows, {1, 2, 1, 1, 1, 1, 1});
  ASSERT_EQ(b.layout.MaxMultiFreq, 2);
  ASSERT_EQ(b.layout.NumChn, 8);  // word 7 holds channel 1's second sample
  FillAll(b, 7);
  b.Set(1, Dc(200));
  b.SetWord(7, Dc(300));
  b.Algorithm(0, 1, {1}, {250, 0, 0});
  b.Algorithm(1, 3, {1}, {0, 0, 0});
  EXPECT_NEAR(ValueAfter(b.At(0, 6).text, "瞬时值 = "), 200, 1e-9);
  EXPECT_NEAR(ValueAfter(b.At(0, 7).text, "瞬时值 = "), 300, 1e-9);
  EXPECT_EQ(b.At(0, 7).fired, 1);
  EXPECT_NEAR(ValueAfter(b.At(1, 7).text, "直流值 = "), 250, 1e-9);
  EXPECT_NEAR(ValueAfter(b.At(0, 2 * rows - 1).text, "瞬时值 = "), 300, 1e-9);
  EXPECT_EQ(b.At(0, 2 * rows).text, "算法类型: 峰值超过\n\r不能计算");
  EXPECT_EQ(b.At(0, -1).text, "算法类型: 峰值超过\n\r不能计算");

  // Types reading the point as a row cannot be computed on the second half
  // of the display points; those mapping it to its row can.
  struct Case {
    int32_t type;
    std::vector<int32_t> channels;
    bool mapsPoint;
  } cases[] = {{5, {0}, false},          {8, {0, 2, 3}, false},  {10, {0, 2, 3}, true},
               {13, {0, 2}, true},       {14, {0, 2, 3, 4}, false}, {15, {0}, false},
               {16, {0}, false},         {17, {0, 2, 3, 4, 5, 6, 0}, false},
               {19, {0, 2}, false},      {20, {0, 2}, false},    {22, {0, 2, 3, 4, 5, 6}, false}};
  for (const Case& c : cases) {
    b.Algorithm(2, c.type, c.channels, {1, 1, 1});
    EXPECT_EQ(b.At(2, rows - 1).text.find("不能计算"), std::string::npos) << "type " << c.type;
    for (const int32_t point : {static_cast<int32_t>(rows), static_cast<int32_t>(2 * rows - 1)}) {
      const std::string text = b.At(2, point).text;
      EXPECT_EQ(text.find("不能计算") == std::string::npos, c.mapsPoint) << "type " << c.type << " point " << point;
    }
  }
}

TEST(AlgorithmReport, UnusableConversionsAndRatesAreReportedNotComputed) {
  Bench b(kRate, kSpc, kRows);
  b.Set(0, Sine(1000, 50));
  b.Set(1, Sum(Sine(100, 50), Sine(50, 150)));
  b.Algorithm(0, 1, {0}, {0, 0, 0});
  b.Algorithm(1, 5, {0}, {0, 0, 0});
  b.Algorithm(2, 15, {0}, {49, 0, 0});
  b.Algorithm(3, 13, {1, 0}, {0, 0, 0});

  Bench flat = b;  // no code span: no engineering units
  flat.live.ADMax = flat.live.VZero;
  for (const int32_t index : {0, 1, 2, 3}) EXPECT_NE(flat.At(index, kPoint).text.find("\n\r不能计算"), std::string::npos);

  Bench noCycle = b;
  noCycle.live.SamplesPerCycle = 0;
  EXPECT_EQ(noCycle.At(1, kPoint).text, "算法类型: 交流信号过大\n\r不能计算");
  EXPECT_EQ(noCycle.At(2, kPoint).text, "算法类型: 低频率\n\r不能计算");
  EXPECT_EQ(noCycle.At(0, kPoint).fired, 1);  // an instantaneous value needs no cycle

  Bench noRate = b;
  noRate.live.ChannelRate = 0.0f;
  EXPECT_EQ(noRate.At(2, kPoint).text, "算法类型: 低频率\n\r不能计算频率");

  Bench deadNeutral = b;  // a zero scale makes the neutral's third harmonic 0
  deadNeutral.live.AnalogChannelTable[0].ChnCoeB = 0.0f;
  const AlgorithmReport earth = deadNeutral.At(3, kPoint);
  EXPECT_NE(earth.text.find("机端与中点三次谐波比 = 不能计算\n\r  定值 = 0.0000E+0, 不满足条件"), std::string::npos)
      << earth.text;
  EXPECT_EQ(earth.fired, 0);

  const DisplayRows none{};
  EXPECT_EQ(EvaluateAlgorithmAt(b.live, b.layout, none, 1, kPoint).text, "算法类型: 交流信号过大\n\r不能计算");
  EXPECT_EQ(TriggeredAlgorithmList(b.live, b.layout, none, kPoint), "\n\r触发算法列表：");
}

// Quantities.

TEST(AlgorithmReportQuantities, CycleRmsAndThirdHarmonicOfSines) {
  struct Case {
    double fundamental, phaseDeg, third, offset;
    float coeB;
  } cases[] = {
      {1000, 0, 0, 0, 200},   {1000, 73, 0, 500, 200}, {500, -20, 300, 0, 200},
      {0, 0, 400, -300, 200}, {1000, 10, 200, 0, 50},
  };
  for (const Case& c : cases) {
    Bench b(kRate, kSpc, 100);
    b.live.AnalogChannelTable[2].ChnCoeB = c.coeB;
    b.Set(2, Sum(Sum(Sine(c.fundamental, 50, c.phaseDeg), Sine(c.third, 150, 2 * c.phaseDeg)), Dc(c.offset)));
    const double units = c.coeB / 200.0;  // per code
    for (const int64_t row : {int64_t{kSpc - 1}, int64_t{57}, int64_t{99}}) {
      EXPECT_NEAR(CycleRmsAt(b.live, b.Data(), row, 2), c.fundamental / std::numbers::sqrt2 * units, 0.3)
          << c.fundamental << " at row " << row;
      EXPECT_NEAR(ThirdHarmonicOf(b.live, b.Data(), row, 2), c.third / std::numbers::sqrt2 * units, 0.3)
          << c.third << " at row " << row;
    }
  }
}

TEST(AlgorithmReportQuantities, CycleRmsIsNaNOutsideTheData) {
  Bench b(kRate, kSpc, 100);
  b.Set(0, Sine(1000, 50));
  for (const auto& [row, channel] : std::vector<std::pair<int64_t, int32_t>>{
           {kSpc - 2, 0}, {100, 0}, {-1, 0}, {50, 8}, {50, -1}, {INT64_MAX, 0}}) {
    EXPECT_TRUE(std::isnan(CycleRmsAt(b.live, b.Data(), row, channel))) << row << " " << channel;
    EXPECT_TRUE(std::isnan(ThirdHarmonicOf(b.live, b.Data(), row, channel))) << row << " " << channel;
  }
  b.live.SamplesPerCycle = 0;
  EXPECT_TRUE(std::isnan(CycleRmsAt(b.live, b.Data(), 50, 0)));
}

// One cycle of 24 samples, oldest first, of the composite a(q) + b(q-D) - b(q) - c(q-D).
std::vector<double> CompositeOfPhases(double peak, double bShiftDeg) {
  constexpr int n = 24, d = 4;
  const auto phase = [&](int k, int q) { return peak * std::cos(2 * kPi * q / n + k * bShiftDeg * kPi / 180.0 + 0.3); };
  std::vector<double> s;
  for (int q = 0; q < n; ++q) s.push_back(phase(0, q) + phase(1, q - d) - phase(1, q) - phase(2, q - d));
  return s;
}

TEST(AlgorithmReportQuantities, NegativeSequenceSeparatesTheSequences) {
  const double peak = 700;
  EXPECT_NEAR(NegativeSequenceOf(CompositeOfPhases(peak, -120)), 0.0, 1e-9);  // positive sequence
  EXPECT_NEAR(NegativeSequenceOf(CompositeOfPhases(peak, 120)), 3 * peak / std::numbers::sqrt2, 1e-9);
  EXPECT_NEAR(NegativeSequenceOf(CompositeOfPhases(peak, 0)), 0.0, 1e-9);  // zero sequence
  EXPECT_TRUE(std::isnan(NegativeSequenceOf({})));
}

TEST(AlgorithmReportQuantities, PowersOfTheFundamentalsWithALaggingCurrentPositive) {
  constexpr int n = 24;
  const double u = 300, i = 40;
  for (const double lagDeg : {0.0, 30.0, 90.0, 135.0, 180.0, -60.0, -90.0}) {
    std::vector<double> us, is;
    for (int k = 0; k < n; ++k) {
      const double wt = 2 * kPi * k / n + 1.1;
      // A third harmonic in the voltage and DC in the current carry no power.
      us.push_back(u * std::cos(wt) + 50 * std::cos(3 * wt));
      is.push_back(i * std::cos(wt - lagDeg * kPi / 180.0) + 7);
    }
    const double lag = lagDeg * kPi / 180.0;
    EXPECT_NEAR(ActivePowerOf(us, is), u * i * std::cos(lag) / 2, 1e-7) << lagDeg;
    EXPECT_NEAR(ReactivePowerOf(us, is), u * i * std::sin(lag) / 2, 1e-7) << lagDeg;
  }
  const std::vector<double> three{1, 2, 3}, two{1, 2};
  EXPECT_TRUE(std::isnan(ActivePowerOf(three, two)));
  EXPECT_TRUE(std::isnan(ReactivePowerOf({}, {})));
}

TEST(AlgorithmReportQuantities, PowersAgreeWithTheEnginePhasorsOnNoisySignals) {
  std::mt19937 random(12);
  std::uniform_real_distribution<double> angle(-kPi, kPi), noise(-80, 80);
  for (int trial = 0; trial < 200; ++trial) {
    const double pu = angle(random), pi = angle(random);
    TwelveSamples xu{}, xi{};
    std::vector<double> u(12), i(12);  // oldest first
    for (int k = 0; k < 12; ++k) {
      const double wt = -2 * kPi * k / 12;
      xu[k] = static_cast<int32_t>(std::lround(1500 * std::cos(wt + pu) + noise(random)));
      xi[k] = static_cast<int32_t>(std::lround(900 * std::cos(wt + pi) + noise(random)));
      u[11 - k] = xu[k];
      i[11 - k] = xi[k];
    }
    // The live engine's integer phasors.
    const auto [ur, ui] = TwelvePointFundamental(xu);
    const auto [ir, ii] = TwelvePointFundamental(xi);
    const double tolerance = 0.01 * 1500 * 900;
    // The engine's direction product and its reactive power, both twice ours.
    EXPECT_NEAR(2 * ActivePowerOf(u, i), double(ur) * ir + double(ui) * ii, tolerance);
    EXPECT_NEAR(2 * ReactivePowerOf(u, i), double(ur) * ii - double(ui) * ir, tolerance);
    EXPECT_NEAR(2 * NegativeSequenceOf(u) * NegativeSequenceOf(u), double(ur) * ur + double(ui) * ui,
                0.01 * 1500 * 1500);
  }
}

}  // namespace
