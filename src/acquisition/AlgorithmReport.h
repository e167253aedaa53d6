#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/LiveConfig.h"
#include "common/SampleLayout.h"

namespace quelvar {

// Rows of display data: rowCount rows of rowWords 16-bit words each, laid
// out as SampleLayout describes. Nothing outside them is ever read.
struct DisplayRows {
  const uint16_t* rows = nullptr;
  int64_t rowCount = 0;
  int32_t rowWords = 0;
};

struct AlgorithmReport {
  std::string text;
  int32_t fired = 0;  // 1 when the algorithm's whole condition holds at the point
};

// One configured algorithm judged at a buffer point of the display data: its
// values against its set points, a verdict per criterion, and whether it fires.
// Floating point on the samples around the point, with the live engine's
// phasor conventions so that the verdicts agree with what the engine fires.
AlgorithmReport EvaluateAlgorithmAt(const LiveConfig& live, const SampleLayout& layout, const DisplayRows& data,
                                    int32_t index, int32_t point);

// "\n\r触发算法列表：" followed by "\n\r " + i + "号: " + the type name of
// every algorithm i that fires at the point, in index order.
std::string TriggeredAlgorithmList(const LiveConfig& live, const SampleLayout& layout, const DisplayRows& data,
                                   int32_t point);

// Quantities. Phasors are taken over one cycle (SamplesPerCycle samples) with
// the newest sample as reference and the peak amplitude as length, as the
// live engine takes them.

// RMS of the fundamental of analog channel `channel` (read in word `channel`)
// over the cycle ending at `row`, in engineering units (ChnCoeB scale, no
// offset). NaN when the cycle is not wholly inside the data, the channel is
// not an analog channel or SamplesPerCycle < 1.
double CycleRmsAt(const LiveConfig& live, const DisplayRows& data, int64_t row, int32_t channel);

// The same for the third harmonic.
double ThirdHarmonicOf(const LiveConfig& live, const DisplayRows& data, int64_t row, int32_t channel);

// RMS of the fundamental of one cycle of a composite series, oldest sample
// first, in the series' own units (codes). Given a(q) + b(q-D) - b(q) - c(q-D)
// with D a sixth of a cycle, this is three times the negative-sequence RMS
// value. NaN for an empty series.
double NegativeSequenceOf(std::span<const double> samples);

// Mean active and reactive power of the fundamentals of one cycle of a
// voltage and a current series (same length, oldest first), in the product
// of their units. Reactive power is positive when the current lags. NaN when
// the lengths differ or are 0.
double ActivePowerOf(std::span<const double> u, std::span<const double> i);
double ReactivePowerOf(std::span<const double> u, std::span<const double> i);

}  // namespace quelvar
