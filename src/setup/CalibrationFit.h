#pragma once

#include <cstdint>
#include <optional>

#include "common/LiveConfig.h"
#include "common/TorqueTables.h"

namespace quelvar {

// The numbers of the two-point channel calibration: what a snapshot block
// gives one channel, and the coefficients A and B that make the channel's
// conversion map two measured values onto two target values.

// One channel's reading of a snapshot block.
struct SnapshotReading {
  // Volts for most types; the RMS volts of the one-period-per-window
  // component for an AC channel; the mean AD code for a raw channel; counts
  // (or counts per second) for a counter.
  double value = 0.0;
  // The channel's mean volts over the same samples (AC calibration needs
  // the offset of the lower signal).
  double meanVolts = 0.0;
};

// Reads `points` samples of word `channel` from the last rows of a snapshot
// block (`block` is the rows without the sequence word, `rows` rows of
// `wordsPerRow` words). The count is limited to the rows the block holds, and
// a channel outside the row gives nothing, so a reading never leaves the
// block. Reads VZero, ADMax, AmpGain (a signed divisor of counters) and
// ChannelRate.
std::optional<SnapshotReading> ReadSnapshotChannel(const uint16_t* block, int32_t rows, int32_t wordsPerRow,
                                                   int32_t channel, int32_t points, int32_t type,
                                                   const LiveConfig& config);

struct CalibrationCoefficients {
  double A = 0.0;
  double B = 1.0;
};

// AC channel: the target is the RMS of the lower signal alone; the offset
// measured with it is taken out through A. A reading of 0 V gives B = 1.
CalibrationCoefficients FitACChannel(double measured, double target, double meanVolts);

// Every other type: the targets and readings go through the sensor
// transform of the channel's conversion (thermocouple emf less the cold
// junction's, platinum resistance, torque curve) and the straight line is
// fitted through the two points. Equal readings give A = 0, B = 1.
CalibrationCoefficients FitTwoPointChannel(int32_t type, double measured1, double target1, double measured2,
                                           double target2, double coldJunctionTemp, const TorqueTables& torque);

}  // namespace quelvar
