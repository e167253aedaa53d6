#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/LiveConfig.h"

namespace quelvar {

// What the trigger engine computes for one (source, kind) pair.
enum QuantityKind : int32_t {
  kFundamental = 1,
  kSecondHarmonic = 2,
  kThirdHarmonic = 3,
  kFrequency = 6,
  kFrequencyRate = 7,
  kInstant = 20,
  kDcMean = 21,
};

// One quantity the algorithms need, with its value at the last evaluation
// point. Source: an analog channel, Analog_Num + a composite row, or (kinds
// 6 and 7) a frequency-list index.
struct MeasurementNode {
  int32_t Source = 0;
  int32_t Kind = 0;
  int32_t Value0 = 0;  // real part, code, or rows of eight periods
  int32_t Value1 = 0;  // imaginary part
  // Squared length of the phasor; 64 bits, since composite phasors of a
  // 16-bit card reach well beyond 2^32 when squared.
  uint64_t Value2 = 0;
  float RateValue = 0.0f;  // kind 7: rate of change of the frequency
};

enum CompositeSourceKind : int32_t {
  kNegativeSequence = 0,
  kPositiveSequence = 1,
  kIncrement = 2,
};

inline constexpr int kCompositeSeriesLength = 24;

// A three-phase composite signal sampled twelve times per cycle, newest in
// the last entry. For an increment ChannelA is Analog_Num + the row it
// differentiates.
struct CompositeSource {
  int32_t Kind = 0;
  int32_t ChannelA = 0;
  int32_t ChannelB = 0;
  int32_t ChannelC = 0;
  std::array<int32_t, kCompositeSeriesLength> Series{};
};

// Kept crossings from earlier blocks occupy the slots just below this one;
// the current block's crossings start at it.
inline constexpr int32_t kCrossingHistorySlots = 66;

// The rising zero crossings of one channel whose frequency is tracked.
// Crossing i (negative for kept ones, in rows of the current block) is
// Crossings[kCrossingHistorySlots + i].
struct FrequencyRecord {
  int32_t Channel = 0;
  int32_t LongHistory = 0;  // 1: keep 65 crossings (rate of change), else 9
  int32_t CrossingCount = 0;  // in the current block
  int32_t KeptCount = 0;  // from earlier blocks
  std::vector<int32_t> Crossings;
};

// An algorithm's set points in the units the engine compares in. Integer
// thresholds are 64-bit so a set point beyond what 32 bits hold saturates
// instead of wrapping.
struct PreparedThresholds {
  std::array<int64_t, 4> T{};
  float F = 0.0f;   // type 13: ratio threshold T2; type 21: T0
  double D = 0.0;   // type 16: T0
};

inline constexpr int kMaxCompositeSources = 80;
inline constexpr int kMaxFrequencyChannels = 40;

// The evaluation plan of the trigger algorithms, rebuilt at each recording
// start; memory is sized then, never per block.
struct TriggerPlan {
  std::vector<MeasurementNode> MeasurementList;
  std::vector<CompositeSource> CompositeSourceTable;
  std::vector<int32_t> FrequencyChannelList;
  std::vector<FrequencyRecord> FrequencyRecords;
  int32_t FrequencyHistoryLength = 0;
  // Operands of all algorithms in algorithm order, as indices into
  // MeasurementList; algorithm i's first is OperandTable[AlgorithmFirstOperand[i]].
  std::vector<int32_t> OperandTable;
  std::vector<int32_t> AlgorithmFirstOperand;
  // Nodes grouped by source, ascending: source s owns
  // SourceNodes[SourceNodeStart[s] .. + SourceNodeCount[s]).
  std::vector<int32_t> SourceNodeCount;
  std::vector<int32_t> SourceNodeStart;
  std::vector<int32_t> SourceNodes;
  int32_t HistoryRowsNeeded = 0;
  std::array<PreparedThresholds, kMaxAlgorithms> Thresholds{};
  // The confirmation delay of the run, ms (lengthens the pre-trigger time).
  float ConfirmDelayMs = 0.0f;
};

}  // namespace quelvar
