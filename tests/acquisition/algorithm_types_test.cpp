// Every trigger-algorithm type run end to end: synthetic blocks go through
// per-block processing, and the tests check the absolute row of the run at
// which an algorithm completes its confirmation (or that it never does).
//
// Layout used throughout unless a test says otherwise: 1200 Hz on a 50-Hz
// system, so 24 rows a cycle, a twelfth every 2 rows, evaluation points every
// 12 rows (0, 12, 24, ... of each block); 240 rows a block; codes 409.4 a
// unit around the zero code 2048 (B = 1, A = 0). The run starts with
// ValidHistorySamples 0, so a point r of the first block is tested only when
// r + 1 reaches the rows of history the plan needs: 4 for the DC types (first
// tested point 12), one cycle for the phasor types (24), one cycle and two
// twelfths for type 10 (36), one and a half cycles for the frequency types
// (36), two cycles and two twelfths for type 22 (60).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "AlgorithmRunForTest.h"

namespace {

using quelvar::test::AlgorithmRun;
using quelvar::test::kPi;

constexpr double kZeroCode = 2048.0;
constexpr double kCodesPerUnit = (4095.0 - 2048.0) / 5.0;
constexpr float kRate = 1200.0f;
constexpr int32_t kRows = 240;
constexpr int64_t kNever = -1;
constexpr int64_t kAlways = -1'000'000'000;

// One channel's code at an absolute row of the run.
using Channel = std::function<double(int64_t row)>;

// A sinusoid of `rms` units, cos(2 pi hz t + degrees), present from row `from`.
struct Sine {
  double rms = 0.0;
  double degrees = 0.0;
  double hz = 50.0;
  int64_t from = kAlways;
};

double Offset(double rms, double hz, double degrees, int64_t row, double rate) {
  return rms * std::sqrt(2.0) * kCodesPerUnit *
         std::cos(2.0 * kPi * hz * static_cast<double>(row) / rate + degrees * kPi / 180.0);
}

Channel Sines(std::vector<Sine> parts, double rate = kRate) {
  return [parts, rate](int64_t row) {
    double v = kZeroCode;
    for (const Sine& p : parts) {
      if (row >= p.from) v += Offset(p.rms, p.hz, p.degrees, row, rate);
    }
    return v;
  };
}

Channel Ac(double rms, double degrees = 0.0) { return Sines({{rms, degrees}}); }
Channel Code(double code) {
  return [code](int64_t) { return code; };
}
Channel Silent() { return Code(kZeroCode); }

// Third harmonic (150 Hz) of `rms` units.
Sine Third(double rms) { return {rms, 30.0, 150.0}; }

// Whole cycles of the given lengths in rows (and RMS values), each beginning
// 7 degrees after its rising zero crossing, so the rising crossings fall
// exactly on the first row of every cycle after the first.
Channel CycleTrain(const std::function<int64_t(int64_t cycle)>& length, const std::function<double(int64_t cycle)>& rms,
                   int64_t rows) {
  auto starts = std::make_shared<std::vector<int64_t>>();
  auto amplitudes = std::make_shared<std::vector<double>>();
  int64_t s = 0;
  for (int64_t k = 0; s <= rows + 1; ++k) {
    starts->push_back(s);
    amplitudes->push_back(rms(k) * std::sqrt(2.0) * kCodesPerUnit);
    s += length(k);
  }
  starts->push_back(s);
  return [starts, amplitudes](int64_t row) {
    const auto next = std::upper_bound(starts->begin(), starts->end(), row);
    const auto cycle = static_cast<size_t>(next - starts->begin() - 1);
    const int64_t start = (*starts)[cycle];
    const auto len = static_cast<double>(*next - start);
    return kZeroCode + (*amplitudes)[cycle] *
                           std::sin(2.0 * kPi * static_cast<double>(row - start) / len + 7.0 * kPi / 180.0);
  };
}
Channel CycleTrain(double rms, const std::function<int64_t(int64_t cycle)>& length, int64_t rows) {
  return CycleTrain(length, [rms](int64_t) { return rms; }, rows);
}

// A 50-Hz sine in sine phase (zero at every multiple of 12 rows, so at every
// evaluation point) whose RMS value follows `rmsAt`. An amplitude changed at
// a point therefore fills exactly half of the one-cycle window twelve rows
// later.
Channel Scheduled(std::function<double(int64_t row)> rmsAt) {
  return [rmsAt = std::move(rmsAt)](int64_t row) {
    return kZeroCode + rmsAt(row) * std::sqrt(2.0) * kCodesPerUnit *
                           std::sin(2.0 * kPi * 50.0 * static_cast<double>(row) / kRate);
  };
}

AlgorithmRun::Signal Channels(std::vector<Channel> channels) {
  return [channels = std::move(channels)](int32_t ch, int64_t row) {
    return ch >= 0 && static_cast<size_t>(ch) < channels.size() ? channels[static_cast<size_t>(ch)](row) : kZeroCode;
  };
}

// Feeds one block at a time until `firings` records have started or `blocks`
// blocks are in, so a record that just started is still open afterwards.
void FeedUntil(AlgorithmRun& run, const AlgorithmRun::Signal& signal, int blocks, size_t firings = 1) {
  for (int b = 0; b < blocks && run.firedRows.size() < firings; ++b) run.Feed(signal, 1);
}

std::string Rows(const std::vector<int64_t>& rows) {
  std::string text;
  for (int64_t r : rows) text += std::to_string(r) + " ";
  return text.empty() ? "none" : text;
}

// ---------------------------------------------------------------------------
// Every type: a signal that fires it at the row the rules give, and signals
// that must leave it quiet.

struct ChannelScale {
  int32_t channel;
  float a;
  float b;
};

struct TypeCase {
  std::string name;
  int32_t type;
  std::vector<int32_t> channels;
  std::vector<float> setPoints;
  AlgorithmRun::Signal signal;
  int64_t firedRow;  // kNever: must stay quiet for `blocks` blocks
  int blocks;
  std::vector<ChannelScale> scales;
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.name; }

// Three phases: positive sequence a 0, b -120, c +120 degrees; negative
// sequence a 0, b +120, c -120 (plus `degrees` on all three).
std::vector<Sine> Phase(int phase, double rms, bool negative, double degrees = 0.0, int64_t from = kAlways) {
  const double step = negative ? 120.0 : -120.0;
  return {{rms, degrees + step * phase, 50.0, from}};
}
std::vector<Sine> Join(std::vector<Sine> a, const std::vector<Sine>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A DC channel at `base` with rows [first, last] at `pulse`.
Channel Pulse(double base, double pulse, int64_t first, int64_t last) {
  return [=](int64_t row) { return row >= first && row <= last ? pulse : base; };
}

// Loss of excitation: phase voltages of 1 unit, excitation DC code, phase
// currents of `amps` at `shift` degrees from their voltages (+90 leads).
AlgorithmRun::Signal Excitation(double exciterCode, double amps, double shift, bool phaseCOnly = false) {
  std::vector<Channel> ch{Ac(1.0, 0.0), Ac(1.0, -120.0), Ac(1.0, 120.0), Code(exciterCode)};
  for (int p = 0; p < 3; ++p) {
    ch.push_back(phaseCOnly && p < 2 ? Silent() : Ac(amps, -120.0 * p + shift));
  }
  return Channels(ch);
}

// Negative-sequence increment: balanced voltages (1 unit) and currents (0.5)
// from the start; from row `from` negative-sequence voltage `du` at
// `degrees` and current `di` at `currentDegrees` from the voltage's.
AlgorithmRun::Signal NegativeStep(double du, double di, double currentDegrees, int64_t from = 480,
                                  double degrees = 0.0) {
  std::vector<Channel> ch;
  for (int p = 0; p < 3; ++p) ch.push_back(Sines(Join(Phase(p, 1.0, false), Phase(p, du, true, degrees, from))));
  for (int p = 0; p < 3; ++p) {
    ch.push_back(Sines(Join(Phase(p, 0.5, false), Phase(p, di, true, degrees + currentDegrees, from))));
  }
  return Channels(ch);
}

// Eight-period spans: 80 cycles of 24 rows then cycles of 26 rows (a drop
// from 50 to 46.15 Hz at row 1920).
int64_t StepAfter80(int64_t cycle) { return cycle < 80 ? 24 : 26; }

std::vector<TypeCase> TypeCases() {
  const auto one = [](Channel c) { return Channels({std::move(c)}); };
  const auto phases = [](double rms, bool negative) {
    return std::vector<Channel>{Sines(Phase(0, rms, negative)), Sines(Phase(1, rms, negative)),
                                Sines(Phase(2, rms, negative))};
  };
  const int64_t trainRows = 18 * kRows;
  return {
      // DC too large: T0 = trunc(2048 + 1.0 x 409.4) = 2457; mean of the four
      // rows up to the point, rounded down. First tested point 12.
      {"Type3_DcAboveThreshold", 3, {0}, {1.0f}, one(Code(2458)), 12, 3, {}},
      {"Type3_DcAtThreshold", 3, {0}, {1.0f}, one(Code(2457)), kNever, 3, {}},
      {"Type3_MeanOfFourRowsRoundsDown", 3, {0}, {1.0f},
       one([](int64_t row) { return row % 4 == 3 ? 2457.0 : 2458.0; }), kNever, 3, {}},
      {"Type3_FourRowPulseEndingAtAPoint", 3, {0}, {1.0f}, one(Pulse(2400, 2470, 45, 48)), 48, 3, {}},
      {"Type3_SamePulseOneRowLater", 3, {0}, {1.0f}, one(Pulse(2400, 2470, 46, 49)), kNever, 3, {}},
      {"Type3_OneRowSpikeAtAPoint", 3, {0}, {1.0f}, one(Pulse(2400, 2600, 48, 48)), kNever, 3, {}},
      // DC too small.
      {"Type4_DcBelowThreshold", 4, {0}, {1.0f}, one(Code(2456)), 12, 3, {}},
      {"Type4_DcAtThreshold", 4, {0}, {1.0f}, one(Code(2457)), kNever, 3, {}},
      // Rotor over-current on a channel with A = 0.5, B = 2:
      // T0 = trunc(2048 + (1.5 - 0.5) x 2047 / 10) = 2252.
      {"Type9_ScaledDcAboveThreshold", 9, {0}, {1.5f}, one(Code(2253)), 12, 3, {{0, 0.5f, 2.0f}}},
      {"Type9_ScaledDcAtThreshold", 9, {0}, {1.5f}, one(Code(2252)), kNever, 3, {{0, 0.5f, 2.0f}}},
      // AC too large / too small: squared peak amplitude against 2 (409.4 x SP)^2.
      // First tested point 24; earlier points see a half-empty window.
      {"Type5_AcAboveThreshold", 5, {0}, {1.0f}, one(Ac(1.05)), 24, 3, {}},
      {"Type5_AcBelowThreshold", 5, {0}, {1.0f}, one(Ac(0.95)), kNever, 3, {}},
      {"Type6_AcBelowThreshold", 6, {0}, {1.0f}, one(Ac(0.95)), 24, 3, {}},
      {"Type6_AcAboveThresholdOnceTheWindowIsFull", 6, {0}, {1.0f}, one(Ac(1.05)), kNever, 3, {}},
      {"Type7_AcAboveThreshold", 7, {0}, {0.5f}, one(Ac(0.55)), 24, 3, {}},
      {"Type7_AcBelowThreshold", 7, {0}, {0.5f}, one(Ac(0.45)), kNever, 3, {}},
      // B = 2: 0.55 units of code are 1.1 engineering units.
      {"Type18_ScaledAcAboveThreshold", 18, {0}, {1.0f}, one(Ac(0.55)), 24, 3, {{0, 0.0f, 2.0f}}},
      {"Type18_ScaledAcBelowThreshold", 18, {0}, {1.0f}, one(Ac(0.45)), kNever, 3, {{0, 0.0f, 2.0f}}},
      // Three channels, one set point, each channel on its own scale (ch2 B = 2).
      {"Type8_OnlyTheScaledChannelAbove", 8, {0, 1, 2}, {1.0f},
       Channels({Ac(0.6), Ac(0.6, -120.0), Ac(0.6, 120.0)}), 24, 3, {{2, 0.0f, 2.0f}}},
      {"Type8_AllBelow", 8, {0, 1, 2}, {1.0f}, Channels({Ac(0.95), Ac(0.95, -120.0), Ac(0.45, 120.0)}), kNever, 3,
       {{2, 0.0f, 2.0f}}},
      {"Type11_FirstChannelAbove", 11, {0, 1, 2}, {1.0f}, Channels({Ac(1.2), Ac(0.5, -120.0), Ac(0.5, 120.0)}), 24,
       3, {}},
      {"Type11_AllBelow", 11, {0, 1, 2}, {1.0f}, Channels(phases(0.95, false)), kNever, 3, {}},
      {"Type12_LastChannelAbove", 12, {0, 1, 2}, {1.0f}, Channels({Ac(0.5), Ac(0.5, -120.0), Ac(1.2, 120.0)}), 24, 3,
       {}},
      {"Type12_AllBelow", 12, {0, 1, 2}, {1.0f}, Channels(phases(0.95, false)), kNever, 3, {}},
      // Negative-sequence over-current: |3 I2|^2 against 18 (409.4 x SP)^2.
      // History one cycle and two twelfths: first tested point 36.
      {"Type10_NegativeSequenceAbove", 10, {0, 1, 2}, {0.25f},
       Channels({Sines(Join(Phase(0, 1.0, false), Phase(0, 0.3, true))),
                 Sines(Join(Phase(1, 1.0, false), Phase(1, 0.3, true))),
                 Sines(Join(Phase(2, 1.0, false), Phase(2, 0.3, true)))}),
       36, 3, {}},
      {"Type10_NegativeSequenceBelow", 10, {0, 1, 2}, {0.25f},
       Channels({Sines(Join(Phase(0, 1.0, false), Phase(0, 0.2, true))),
                 Sines(Join(Phase(1, 1.0, false), Phase(1, 0.2, true))),
                 Sines(Join(Phase(2, 1.0, false), Phase(2, 0.2, true)))}),
       kNever, 3, {}},
      {"Type10_LargePositiveSequenceOnly", 10, {0, 1, 2}, {0.05f}, Channels(phases(3.0, false)), kNever, 3, {}},
      // Stator earth fault: ch0 terminal, ch1 neutral; set points fundamental,
      // terminal third harmonic, third-harmonic ratio of engineering values.
      {"Type13_FundamentalAbove", 13, {0, 1}, {0.5f, 0.3f, 1.0f},
       Channels({Sines({{1.0}, Third(0.2)}), Sines({Third(0.5)})}), 24, 3, {}},
      // Neutral on B = 2: 0.1 code units are 0.2 engineering units, ratio 1.5.
      {"Type13_ThirdHarmonicRatioAbove", 13, {0, 1}, {0.5f, 0.5f, 1.0f},
       Channels({Sines({Third(0.3)}), Sines({Third(0.1)})}), 24, 3, {{1, 0.0f, 2.0f}}},
      // Ratio 1.5 in codes but 0.3 / 0.4 = 0.75 in engineering values.
      {"Type13_ThirdHarmonicRatioBelowInEngineeringValues", 13, {0, 1}, {0.5f, 0.5f, 1.0f},
       Channels({Sines({Third(0.3)}), Sines({Third(0.2)})}), kNever, 3, {{1, 0.0f, 2.0f}}},
      {"Type13_TerminalThirdHarmonicAboveItsLimit", 13, {0, 1}, {0.5f, 0.5f, 1.0f},
       Channels({Sines({Third(0.6)}), Sines({Third(0.1)})}), kNever, 3, {{1, 0.0f, 2.0f}}},
      {"Type13_NoThirdHarmonicOnTheNeutral", 13, {0, 1}, {0.5f, 0.3f, 1.0f}, Channels({Ac(2.0), Code(2100)}), kNever,
       3, {}},
      // Reverse power: Ua, Ub, Ia, Ib; currents 0.5 at 180 degrees give a mean
      // line power Uab x Iab x cos = 3 x 0.5 x -1 = -1.5.
      {"Type14_ReversePowerBelowSetPoint", 14, {0, 1, 2, 3}, {-1.2f},
       Channels({Ac(1.0), Ac(1.0, -120.0), Ac(0.5, 180.0), Ac(0.5, 60.0)}), 24, 3, {}},
      {"Type14_ReversePowerAboveTheMeanPowerSetPoint", 14, {0, 1, 2, 3}, {-2.0f},
       Channels({Ac(1.0), Ac(1.0, -120.0), Ac(0.5, 180.0), Ac(0.5, 60.0)}), kNever, 3, {}},
      {"Type14_ForwardPower", 14, {0, 1, 2, 3}, {-0.5f},
       Channels({Ac(1.0), Ac(1.0, -120.0), Ac(0.5, 0.0), Ac(0.5, -120.0)}), kNever, 3, {}},
      // Under-frequency 48 Hz: T0 = 1200 x 8 / 48 = 200 rows of eight periods.
      // 26-row cycles cross at rows 26, 52, ... 234; the ninth crossing is
      // known from the point at row 240, where eight periods span 208 rows.
      {"Type15_FrequencyBelowOnceNineCrossingsAreKnown", 15, {0}, {48.0f, 0.5f},
       one(CycleTrain(1.0, [](int64_t) { return 26; }, trainRows)), 240, 3, {}},
      {"Type15_FrequencyAtThreshold", 15, {0}, {48.0f, 0.5f},
       one(CycleTrain(1.0, [](int64_t) { return 25; }, trainRows)), kNever, 4, {}},
      {"Type15_VoltageBelowBlocking", 15, {0}, {48.0f, 0.5f},
       one(CycleTrain(0.3, [](int64_t) { return 26; }, trainRows)), kNever, 4, {}},
      // A rising crossing needs a row below the zero code: rows resting on
      // it (a silent channel until row 100) give none, so the crossings are
      // 126, 152, ... 334, the ninth seen at 336.
      {"Type15_RowsOnTheZeroCodeAreNotBelowIt", 15, {0}, {48.0f, 0.5f},
       one([train = CycleTrain(1.0, [](int64_t) { return 26; }, trainRows)](int64_t row) {
         return row < 100 ? kZeroCode : train(row - 100);
       }),
       336, 4, {}},
      // A glitch below zero three rows after every crossing (26, 52, ...):
      // the next crossing is looked for only two thirds of a cycle later.
      {"Type15_ReCrossingsWithinTwoThirdsOfACycleIgnored", 15, {0}, {48.0f, 0.5f},
       one([train = CycleTrain(1.0, [](int64_t) { return 26; }, trainRows)](int64_t row) {
         return row > 26 && row % 26 == 3 ? 2000.0 : train(row);
       }),
       240, 3, {}},
      // Over-excitation: 1 unit at 50 Hz is 0.02 units per Hz. History one
      // and a half cycles: first tested point 36.
      {"Type16_VoltsPerHertzAbove", 16, {0}, {0.019f}, one(Ac(1.0)), 36, 3, {}},
      {"Type16_VoltsPerHertzBelow", 16, {0}, {0.021f}, one(Ac(1.0)), kNever, 3, {}},
      // The measured eight periods count, not the nominal 192 rows: 16
      // cycles of 30 rows (40 Hz) at 0.8 units, two 50-Hz cycles at 0.8,
      // then 50 Hz at 1 unit from row 528. The span shrinks by 6 rows per
      // 50-Hz crossing: 228 at 540, where the window is half 0.8 and half 1
      // (0.9 x 228 = 205), 222 at 552 with a full window (222); the set point
      // is 0.0222 x 9600 = 213. Before row 480 at most 0.82 x 240 = 197.
      {"Type16_MeasuredEightPeriodsCount", 16, {0}, {0.0222f},
       one(CycleTrain([](int64_t k) -> int64_t { return k < 16 ? 30 : 24; },
                      [](int64_t k) { return k < 18 ? 0.8 : 1.0; }, trainRows)),
       552, 4, {}},
      // Loss of excitation: currents of 0.5 leading by 90 degrees absorb a
      // reactive power of -1.5 (three phases); exciter at 0.2 units under 0.5.
      {"Type17_AbsorbedReactivePowerAndLowExciter", 17, {0, 1, 2, 3, 4, 5, 6}, {0.7f, 0.5f, -1.2f},
       Excitation(2130, 0.5, 90.0), 24, 3, {}},
      {"Type17_ReactivePowerAboveTheMeanPowerSetPoint", 17, {0, 1, 2, 3, 4, 5, 6}, {0.7f, 0.5f, -2.0f},
       Excitation(2130, 0.5, 90.0), kNever, 3, {}},
      {"Type17_DeliveredReactivePower", 17, {0, 1, 2, 3, 4, 5, 6}, {0.7f, 0.5f, -0.5f},
       Excitation(2130, 0.5, -90.0), kNever, 3, {}},
      {"Type17_ExciterVoltageHigh", 17, {0, 1, 2, 3, 4, 5, 6}, {0.7f, 0.5f, -1.2f}, Excitation(2376, 0.5, 90.0),
       kNever, 3, {}},
      // Only phase c carries current: each phase's own voltage gives -0.5.
      {"Type17_PhaseCAloneCountsWithItsOwnVoltage", 17, {0, 1, 2, 3, 4, 5, 6}, {0.7f, 0.5f, -0.3f},
       Excitation(2130, 0.5, 90.0, true), 24, 3, {}},
      // Zero-sequence over-voltage: current below and voltage above.
      {"Type19_CurrentLowVoltageHigh", 19, {0, 1}, {0.2f, 0.3f}, Channels({Ac(0.1), Ac(0.5)}), 24, 3, {}},
      {"Type19_CurrentHigh", 19, {0, 1}, {0.2f, 0.3f}, Channels({Ac(0.3), Ac(0.5)}), kNever, 3, {}},
      {"Type19_VoltageLow", 19, {0, 1}, {0.2f, 0.3f}, Channels({Ac(0.1), Ac(0.2)}), kNever, 3, {}},
      {"Type20_VoltageAbove", 20, {0, 1}, {0.5f, 1.0f}, Channels({Ac(0.3), Ac(1.2)}), 24, 3, {}},
      {"Type20_BothBelow", 20, {0, 1}, {0.5f, 1.0f}, Channels({Ac(0.45), Ac(0.9)}), kNever, 3, {}},
      // Power swing: tested where the row count since the history began is a
      // multiple of 768 (32 cycles). At 768 and 1536 fewer than 65 crossings
      // are known; at 2304 the eight-period spans run from 192 to 208 rows
      // over the last 64 periods of 1564 rows: 16 x 8 x 1200^2 /
      // (208 x 192 x 1564) = 2.95 Hz/s (2.84 at 3072, 0 from 3840).
      {"Type21_FrequencyStepSeenAtTheNextGatePoint", 21, {0, 1, 2}, {2.8f, 0.3f},
       Channels({CycleTrain(1.0, StepAfter80, trainRows), Ac(1.0, -120.0), Ac(1.0, 120.0)}), 2304, 10, {}},
      {"Type21_FrequencyStepWithOneVoltageBelowBlocking", 21, {0, 1, 2}, {1.0f, 0.3f},
       Channels({CycleTrain(1.0, StepAfter80, trainRows), Ac(1.0, -120.0), Ac(0.2, 120.0)}), kNever, 18, {}},
      {"Type21_SteadyFrequency", 21, {0, 1, 2}, {1.0f, 0.3f}, Channels(phases(1.0, false)), kNever, 18, {}},
      {"Type21_FrequencyStepBelowRate", 21, {0, 1, 2}, {3.1f, 0.3f},
       Channels({CycleTrain(1.0, StepAfter80, trainRows), Ac(1.0, -120.0), Ac(1.0, 120.0)}), kNever, 18, {}},
      // Negative-sequence increment direction: a step at row 480; the
      // increment's one-cycle window is nearly full of it only at 504.
      {"Type22_IncrementsInTheSameDirection", 22, {0, 1, 2, 3, 4, 5}, {0.14f, 0.28f, 0.04f},
       NegativeStep(0.2, 0.4, 0.0), 504, 4, {}},
      {"Type22_CurrentIncrementAloneAbove", 22, {0, 1, 2, 3, 4, 5}, {0.14f, 0.28f, 0.01f},
       NegativeStep(0.1, 0.4, 0.0), 504, 4, {}},
      // Same directions at another phase angle: only the dot product of the
      // two phasors decides, not their angle.
      {"Type22_IncrementsInTheSameDirectionAtAnotherAngle", 22, {0, 1, 2, 3, 4, 5}, {0.14f, 0.28f, 0.04f},
       NegativeStep(0.2, 0.4, 0.0, 480, 90.0), 504, 4, {}},
      {"Type22_IncrementsInOppositeDirections", 22, {0, 1, 2, 3, 4, 5}, {0.14f, 0.28f, 0.04f},
       NegativeStep(0.2, 0.4, 180.0), kNever, 4, {}},
      {"Type22_DirectionBelowItsSetPoint", 22, {0, 1, 2, 3, 4, 5}, {0.14f, 0.28f, 0.08f},
       NegativeStep(0.2, 0.4, 0.0), kNever, 4, {}},
      // A negative sequence present from the start has no increment once the
      // history is long enough to test (two cycles and two twelfths).
      {"Type22_SteadyNegativeSequence", 22, {0, 1, 2, 3, 4, 5}, {0.14f, 0.28f, 0.04f},
       NegativeStep(0.2, 0.4, 0.0, 0), kNever, 4, {}},
      // The same with the current reversed and low set points: the
      // half-built increments at 36 would fire it (direction +0.004); from 60
      // on they are zero.
      {"Type22_HistoryCoversTwoCyclesOfIncrements", 22, {0, 1, 2, 3, 4, 5}, {0.03f, 0.1f, 0.002f},
       NegativeStep(0.2, 0.4, 180.0, 0), kNever, 4, {}},
  };
}

class AlgorithmTypeCriteria : public ::testing::TestWithParam<TypeCase> {};

TEST_P(AlgorithmTypeCriteria, FiresAtTheRowTheRulesGiveOrStaysQuiet) {
  const TypeCase& c = GetParam();
  const int32_t analog = *std::max_element(c.channels.begin(), c.channels.end()) + 1;
  AlgorithmRun run(analog, kRate, kRows);
  for (const ChannelScale& s : c.scales) {
    run.s.config.AnalogChannelTable[static_cast<size_t>(s.channel)].ChnCoeA = s.a;
    run.s.config.AnalogChannelTable[static_cast<size_t>(s.channel)].ChnCoeB = s.b;
  }
  run.Add(c.type, c.channels, c.setPoints);
  ASSERT_TRUE(run.Start());
  ASSERT_EQ(run.s.acq.AnalogTriggerActive, 1);
  FeedUntil(run, c.signal, c.blocks);
  if (c.firedRow == kNever) {
    EXPECT_TRUE(run.firedRows.empty()) << "fired at rows " << Rows(run.firedRows);
    return;
  }
  ASSERT_FALSE(run.firedRows.empty()) << "never fired in " << run.BlocksFed() << " blocks";
  EXPECT_EQ(run.firedRows[0], c.firedRow);
  EXPECT_EQ(run.firedAlgorithms[0], 0);
  EXPECT_EQ(run.s.record.TriggerKind, 2);
  EXPECT_EQ(run.s.record.TriggerEdge, c.type);
  EXPECT_EQ(run.s.record.TriggerChannel, c.channels[0]);
}

INSTANTIATE_TEST_SUITE_P(AlgorithmTypeEveryType, AlgorithmTypeCriteria, ::testing::ValuesIn(TypeCases()),
                         [](const ::testing::TestParamInfo<TypeCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// History before the first test where points are closer than four rows.

TEST(AlgorithmTypeHistory, DcTypesAreTestedOnceFourRowsExistWhateverTheCycle) {
  // Only DC types: no cycle layout is required, points every half cycle
  // (at least one row), tests from the first point with four rows behind it.
  // At 50 Hz a point per row; a four-row pulse across the block boundary is
  // read through the previous block's last rows.
  struct Case {
    float rate;
    Channel signal;
    int64_t firedRow;
  };
  const Case cases[] = {
      {300.0f, Code(2500), 3},   // 6 rows a cycle: points 0, 3, 6, ...
      {250.0f, Code(2500), 4},   // 5 rows a cycle: points 0, 2, 4, ...
      {50.0f, Code(2500), 3},    // 1 row a cycle: every row a point
      {50.0f, Pulse(2400, 2470, 238, 241), 241},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("rate " + std::to_string(c.rate) + ", expected row " + std::to_string(c.firedRow));
    AlgorithmRun run(1, c.rate, kRows);
    run.Add(3, {0}, {1.0f});
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.s.acq.AnalogTriggerActive, 1);
    FeedUntil(run, Channels({c.signal}), 3);
    ASSERT_EQ(run.firedRows.size(), 1u);
    EXPECT_EQ(run.firedRows[0], c.firedRow);
  }
}

// ---------------------------------------------------------------------------
// Confirmation count.

TEST(AlgorithmTypeConfirmation, FiresAtTheNthConsecutivePointWithThePreTriggerTimeLengthened) {
  // 1210 Hz: still 24 rows a cycle, but the confirmation delay
  // (n - 1) x 24 x 1000 / 2420 ms is not whole, so the truncation shows.
  const float rate = 1210.0f;
  struct Case {
    int32_t type;
    int32_t confirm;
    int64_t firedRow;
    int32_t preRecordTime;  // 120 + delay, truncated
  };
  const Case cases[] = {
      {3, 1, 12, 120},   // DC: points 12, 24, ... are tested
      {3, 2, 24, 129},   // 120 + 9.917
      {3, 4, 48, 149},   // 120 + 29.75
      {3, 10, 120, 209},  // 120 + 89.26
      {5, 4, 60, 149},   // AC: points 24, 36, 48, 60
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type) + ", confirm " + std::to_string(c.confirm));
    AlgorithmRun run(1, rate, kRows);
    run.s.config.ConfirmTriggerNum = c.confirm;
    run.Add(c.type, {0}, {1.0f});
    ASSERT_TRUE(run.Start());
    const Channel ch = c.type == 3 ? Code(2500) : Sines({{2.0, 0.0, rate / 24.0}}, rate);
    FeedUntil(run, Channels({ch}), 3);
    ASSERT_EQ(run.firedRows.size(), 1u);
    EXPECT_EQ(run.firedRows[0], c.firedRow);
    EXPECT_EQ(run.s.record.PreRecordTime, c.preRecordTime);
  }
}

TEST(AlgorithmTypeConfirmation, OneFailedPointRestartsTheCount) {
  // DC at 2500, above its threshold (2457), with four rows at 2400 from
  // `lowFirst`. When they pull down the mean at 48 (rows 45 to 48 read
  // there): hits at 12, 24, 36, none at 48, then four more from 60 to 96.
  // Low rows that no point reads leave the count alone: fired at 48.
  struct Case {
    int64_t lowFirst;
    int64_t firedRow;
  };
  const Case cases[] = {{-100, 48}, {45, 96}, {44, 96}, {49, 48}};
  for (const Case& c : cases) {
    SCOPED_TRACE("low rows from " + std::to_string(c.lowFirst));
    AlgorithmRun run(1, kRate, kRows);
    run.s.config.ConfirmTriggerNum = 4;
    run.Add(3, {0}, {1.0f});
    ASSERT_TRUE(run.Start());
    FeedUntil(run, Channels({Pulse(2500, 2400, c.lowFirst, c.lowFirst + 3)}), 2);
    ASSERT_EQ(run.firedRows.size(), 1u);
    EXPECT_EQ(run.firedRows[0], c.firedRow);
  }
}

TEST(AlgorithmTypeConfirmation, PowerSwingNeedsFourGatePointsInARow) {
  // Periods alternate between 16 cycles of 24 rows and 16 of 26, so every
  // gate point from 2304 on sees spans of 192 and 208 rows (2.88 Hz/s). The
  // rate is tested only at 2304, 3072, 3840 and 4608, and the points between
  // them neither count nor break the count.
  AlgorithmRun run(3, kRate, kRows);
  run.s.config.ConfirmTriggerNum = 4;
  run.Add(21, {0, 1, 2}, {1.0f, 0.3f});
  ASSERT_TRUE(run.Start());
  const auto alternating = [](int64_t cycle) -> int64_t { return (cycle / 16) % 2 == 0 ? 24 : 26; };
  FeedUntil(run, Channels({CycleTrain(1.0, alternating, 25 * kRows), Ac(1.0, -120.0), Ac(1.0, 120.0)}), 25);
  ASSERT_EQ(run.firedRows.size(), 1u);
  EXPECT_EQ(run.firedRows[0], 4608);
}

TEST(AlgorithmTypeConfirmation, StatorEarthFaultPointsWithoutNeutralThirdHarmonicNeitherCountNorBreak) {
  // The terminal fundamental is above its set point throughout. The neutral
  // carries a one-row spike every 48 rows, so its third harmonic is nonzero
  // only at points 48m and 48m + 12 (the spike inside the one-cycle window).
  // Confirmation 3: hits at 48 and 60, points 72 and 84 skipped, third hit at
  // 96. Counting the skipped points would fire at 48; restarting would never.
  AlgorithmRun run(2, kRate, kRows);
  run.s.config.ConfirmTriggerNum = 3;
  run.Add(13, {0, 1}, {0.5f, 0.3f, 1.0f});
  ASSERT_TRUE(run.Start());
  const Channel spikes = [](int64_t row) { return row % 48 == 0 ? 2348.0 : 2048.0; };
  FeedUntil(run, Channels({Ac(2.0), spikes}), 2);
  ASSERT_EQ(run.firedRows.size(), 1u);
  EXPECT_EQ(run.firedRows[0], 96);
}

// ---------------------------------------------------------------------------
// Several algorithms at one point.

TEST(AlgorithmTypeSamePoint, TheLowerIndexFiresAndTheOtherCountsAfreshAfterTheRecord) {
  // Two AC-too-large algorithms whose confirmation (2) completes at 36. The
  // record takes the next block; after it the history restarts at 480, so
  // both count again from 504 and complete at 516, where algorithm 0 fires
  // again: neither kept its hits across the record.
  AlgorithmRun run(2, kRate, kRows);
  run.s.config.ConfirmTriggerNum = 2;
  run.Add(5, {0}, {0.5f});
  run.Add(5, {1}, {0.5f});
  ASSERT_TRUE(run.Start());
  FeedUntil(run, Channels({Ac(1.0), Ac(1.0, 90.0)}), 4, 2);
  ASSERT_EQ(run.firedRows.size(), 2u);
  EXPECT_EQ(run.firedRows[0], 36);
  EXPECT_EQ(run.firedAlgorithms[0], 0);
  EXPECT_EQ(run.firedRows[1], 516);
  EXPECT_EQ(run.firedAlgorithms[1], 0);
}

TEST(AlgorithmTypeSamePoint, AlgorithmsAfterTheFiringOneStillCountDownAtThatPoint) {
  // Hold-off on, confirmation 2. Algorithm 1 (AC on ch1, 1.2 units) fires at
  // 36 and stays blocked. After its record the history restarts at 480; the
  // DC of algorithm 0 rises at row 501, so algorithm 0 fires at 516 (hits at
  // 504, 516). A half-window gap on ch1 ending at 516 releases algorithm 1
  // at 516 and 528: re-armed, it fires once algorithm 0's record is over and
  // the history has restarted at 960 (hits at 984, 996). Had it missed the
  // release at 516, 540 would have restarted its countdown.
  AlgorithmRun run(2, kRate, kRows);
  run.s.config.ConfirmTriggerNum = 2;
  run.s.config.IDPreventSameAlgorithm = 1;
  run.Add(3, {0}, {1.0f}).RecordTime = 10;
  run.Add(5, {1}, {1.0f}).RecordTime = 10;
  ASSERT_TRUE(run.Start());
  const Channel dc = [](int64_t row) { return row >= 501 ? 2500.0 : 2400.0; };
  const Channel ac = Scheduled([](int64_t row) { return row >= 505 && row <= 516 ? 0.0 : 1.2; });
  FeedUntil(run, Channels({dc, ac}), 6, 3);
  ASSERT_EQ(run.firedRows.size(), 3u) << "fired at rows " << Rows(run.firedRows);
  EXPECT_EQ(run.firedRows, (std::vector<int64_t>{36, 516, 996}));
  EXPECT_EQ(run.firedAlgorithms, (std::vector<int32_t>{1, 0, 1}));
}

TEST(AlgorithmTypeSamePoint, APeakAlgorithmAheadLeavesTheAcAlgorithmTestedAtEveryPoint) {
  // Algorithm 0 is a peak threshold (never reached); algorithm 1 an AC one
  // with confirmation 4: hits at 24, 36, 48 and 60.
  AlgorithmRun run(1, kRate, kRows);
  run.s.config.ConfirmTriggerNum = 4;
  run.Add(1, {0}, {4.9f});
  run.Add(5, {0}, {0.5f});
  ASSERT_TRUE(run.Start());
  EXPECT_EQ(run.s.acq.ThresholdTriggerActive, 1);
  FeedUntil(run, Channels({Ac(1.0)}), 2);
  ASSERT_EQ(run.firedRows.size(), 1u);
  EXPECT_EQ(run.firedRows[0], 60);
  EXPECT_EQ(run.firedAlgorithms[0], 1);
  EXPECT_EQ(run.s.record.TriggerEdge, 5);
}

// ---------------------------------------------------------------------------
// Hold-off after firing (IDPreventSameAlgorithm).
//
// AC too large, set point 1 unit, confirmation 3, a 10-ms record. The signal
// is 1.2 units from the start: hits at 24, 36, 48, fired at 48. The record
// takes block 1 (the algorithm is still evaluated there for its countdown);
// the history restarts with block 2, so tests resume at 504. A 12-row gap
// [p - 11, p] in the sine empties half of the window at p and at p + 12
// (0.6 units, below 0.9 x T0) and no other point.

struct HoldRun {
  AlgorithmRun run{1, kRate, kRows};
  HoldRun(int32_t confirm, bool prevent) {
    run.s.config.ConfirmTriggerNum = confirm;
    run.s.config.IDPreventSameAlgorithm = prevent ? 1 : 0;
  }
};

// 1.2 units with a half-window gap ending at 516 + 60m for m < gaps (all m
// when gaps < 0), then, when `longGapEnd` > 0, a one-cycle gap ending there.
// Each short gap releases two points and leaves three full ones.
Channel GappedSine(int gaps, int64_t longGapEnd) {
  return Scheduled([=](int64_t row) {
    if (longGapEnd > 0 && row > longGapEnd - 24 && row <= longGapEnd) return 0.0;
    if (row >= 505) {
      const int64_t m = (row - 505) / 60;
      if ((gaps < 0 || m < gaps) && (row - 505) % 60 < 12) return 0.0;
    }
    return 1.2;
  });
}

TEST(AlgorithmTypeHoldOff, AnAcAlgorithmStaysBlockedWhileItReachesTheMarginInEveryConfirmationSpan) {
  // Gaps release points 516 and 528, 576 and 588, ...: never three in a
  // row, so the countdown never reaches 0. Armed, the three full points
  // between gaps fire it: without the hold-off it fires again at 564 (540,
  // 552, 564; the hit at 504 is broken by the gap).
  for (const bool prevent : {true, false}) {
    SCOPED_TRACE(prevent ? "hold-off" : "no hold-off");
    HoldRun h(3, prevent);
    h.run.Add(5, {0}, {1.0f}).RecordTime = 10;
    ASSERT_TRUE(h.run.Start());
    FeedUntil(h.run, Channels({GappedSine(-1, 0)}), 12, 2);
    ASSERT_GE(h.run.firedRows.size(), 1u);
    EXPECT_EQ(h.run.firedRows[0], 48);
    if (prevent) {
      EXPECT_EQ(h.run.firedRows.size(), 1u) << "fired at rows " << Rows(h.run.firedRows);
    } else {
      ASSERT_EQ(h.run.firedRows.size(), 2u);
      EXPECT_EQ(h.run.firedRows[1], 564);
    }
  }
}

TEST(AlgorithmTypeHoldOff, AnAcAlgorithmIsReArmedAfterConfirmationCountPointsBelowTheMargin) {
  // Six short gaps (releases at 516/528, ..., 816/828, each pair broken by
  // the next point), then a one-cycle gap ending at 864: releases at 852,
  // 864 and 876 re-arm it; hits at 888, 900, 912.
  HoldRun h(3, true);
  h.run.Add(5, {0}, {1.0f}).RecordTime = 10;
  ASSERT_TRUE(h.run.Start());
  FeedUntil(h.run, Channels({GappedSine(6, 864)}), 8, 2);
  ASSERT_EQ(h.run.firedRows.size(), 2u);
  EXPECT_EQ(h.run.firedRows[0], 48);
  EXPECT_EQ(h.run.firedRows[1], 912);
}

TEST(AlgorithmTypeHoldOff, TheCountdownRunsWhileTheRecordIsCollected) {
  // The record takes block 1 (rows 240 to 479). The amplitude is 0.5 from
  // `lowFrom` to `lowTo`, 1.2 elsewhere (both on multiples of 12, where the
  // sine is zero).
  // - 300 to 480: releases at 312, 324, 336, all inside the record, re-arm
  //   it, and it fires again as soon as the history allows (504, 516, 528).
  // - 300 to 312: releases at 312 and 324 only; 336 restarts the countdown.
  // - 444 to 480: releases at 456 and 468; 480 and 492 come before the new
  //   history and are not tested; 504 restarts the countdown.
  // - 48 to 60: releases at 60 and 72, just after the firing at 48; the
  //   countdown starts from the confirmation count, so 84 restarts it.
  struct Case {
    int64_t lowFrom;
    int64_t lowTo;
    int64_t secondRow;
  };
  const Case cases[] = {{300, 480, 528}, {300, 312, kNever}, {444, 480, kNever}, {48, 60, kNever}};
  for (const Case& c : cases) {
    SCOPED_TRACE("low rows " + std::to_string(c.lowFrom) + " to " + std::to_string(c.lowTo));
    HoldRun h(3, true);
    h.run.Add(5, {0}, {1.0f}).RecordTime = 10;
    ASSERT_TRUE(h.run.Start());
    const Channel ch = Scheduled([c](int64_t row) { return row >= c.lowFrom && row < c.lowTo ? 0.5 : 1.2; });
    FeedUntil(h.run, Channels({ch}), 5, 2);
    ASSERT_GE(h.run.firedRows.size(), 1u);
    EXPECT_EQ(h.run.firedRows[0], 48);
    if (c.secondRow == kNever) {
      EXPECT_EQ(h.run.firedRows.size(), 1u) << "fired at rows " << Rows(h.run.firedRows);
    } else {
      ASSERT_EQ(h.run.firedRows.size(), 2u);
      EXPECT_EQ(h.run.firedRows[1], c.secondRow);
    }
  }
}

TEST(AlgorithmTypeHoldOff, TheReleaseMarginIsNinetyPercentOfTheSquaredThreshold) {
  // After firing at 48 the amplitude settles at `middle` (from row 60) below
  // the set point, then steps to 2 units at 960: 960 still sees `middle`,
  // 972 half of each, so an armed algorithm hits at 972, 984, 996.
  // 0.97^2 = 0.94 of T0 never releases; 0.93^2 = 0.86 does.
  struct Case {
    double middle;
    bool prevent;
    int64_t secondRow;
  };
  const Case cases[] = {{0.97, true, kNever}, {0.93, true, 996}, {0.97, false, 996}};
  for (const Case& c : cases) {
    SCOPED_TRACE("middle " + std::to_string(c.middle) + (c.prevent ? ", hold-off" : ", no hold-off"));
    HoldRun h(3, c.prevent);
    h.run.Add(5, {0}, {1.0f}).RecordTime = 10;
    ASSERT_TRUE(h.run.Start());
    const double middle = c.middle;
    const Channel ch = Scheduled([middle](int64_t row) { return row < 60 ? 1.2 : row < 960 ? middle : 2.0; });
    FeedUntil(h.run, Channels({ch}), 6, 2);
    ASSERT_GE(h.run.firedRows.size(), 1u);
    EXPECT_EQ(h.run.firedRows[0], 48);
    if (c.secondRow == kNever) {
      EXPECT_EQ(h.run.firedRows.size(), 1u) << "fired at rows " << Rows(h.run.firedRows);
    } else {
      ASSERT_EQ(h.run.firedRows.size(), 2u);
      EXPECT_EQ(h.run.firedRows[1], c.secondRow);
    }
  }
}

TEST(AlgorithmTypeHoldOff, ReversePowerCountsDownOnlyAtPositivePowerBeyondTheMargin) {
  // Ua of 1 unit and Ia in phase (+) or in opposition (-), Ub and Ib silent,
  // both in sine phase: the mean power is +-Ia. Confirmation 2. Power -1.5
  // until row 120 (fired at 36), then `middle`, then -1.5 again from 960:
  // 960 still sees `middle`, 972 half of each, so an armed algorithm fires
  // at 984. Release needs P x 10 > T0 x 11 and P > 0.
  struct Case {
    float setPoint;
    double middle;
    bool prevent;
    int64_t secondRow;
  };
  const Case cases[] = {
      {-0.5f, 0.2, true, 984},    // positive power re-arms
      {-0.5f, -0.2, true, kNever},  // above 1.1 x T0 but not positive
      {-0.5f, -0.2, false, 984},  // the same signal without the hold-off
      {0.5f, 0.6, true, 984},     // beyond 1.1 x T0
      {0.5f, 0.52, true, kNever},  // positive but within the margin
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("set point " + std::to_string(c.setPoint) + ", middle " + std::to_string(c.middle) +
                 (c.prevent ? ", hold-off" : ", no hold-off"));
    AlgorithmRun run(4, kRate, kRows);
    run.s.config.ConfirmTriggerNum = 2;
    run.s.config.IDPreventSameAlgorithm = c.prevent ? 1 : 0;
    run.Add(14, {0, 1, 2, 3}, {c.setPoint}).RecordTime = 10;
    ASSERT_TRUE(run.Start());
    const double middle = c.middle;
    const Channel current = Scheduled([middle](int64_t row) { return row < 120 || row >= 960 ? -1.5 : middle; });
    FeedUntil(run, Channels({Scheduled([](int64_t) { return 1.0; }), Silent(), current, Silent()}), 6, 2);
    ASSERT_GE(run.firedRows.size(), 1u);
    EXPECT_EQ(run.firedRows[0], 36);
    if (c.secondRow == kNever) {
      EXPECT_EQ(run.firedRows.size(), 1u) << "fired at rows " << Rows(run.firedRows);
    } else {
      ASSERT_EQ(run.firedRows.size(), 2u);
      EXPECT_EQ(run.firedRows[1], c.secondRow);
    }
  }
}

}  // namespace
