#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/LiveConfig.h"

namespace quelvar {

// The fault record being collected.
struct RecordState {
  int32_t TriggerBlock = 0;  // ring block holding the trigger
  int32_t TriggerPoint = 0;  // row (switch inputs) or display point (thresholds) in that block
  int32_t LastBlock = 0;
  int32_t BlocksDone = 0;
  double StartTime = 0.0;  // day count of the trigger block
  int32_t DataGap = 0;
  int32_t ViewBlock = 0;
  int32_t ViewPoint = 0;
  int32_t Recording = 0;
  int32_t TriggerKind = 0;  // 0 manual, 1 switch input, 2 trigger algorithm
  std::string Description;
  int32_t FloodCount = 0;
  double FloodWindowStart = 0.0;
  int32_t TriggerChannel = 0;
  int32_t TriggerAlgorithm = 0;
  int32_t TriggerEdge = 0;  // the switch start flag, or the algorithm's type
  int32_t RecordTime = 0;  // ms after the trigger
  int32_t PreRecordTime = 0;  // ms before it
  int32_t CompressRecordTime = 0;  // ms compressed after the rest
  int32_t PreBlocks = 0;
  int32_t PostBlocks = 0;
  int32_t CompressBlocks = 0;
  int32_t CompressCarry = 0;
};

// Per configured algorithm: consecutive hits, and the hold after firing.
struct AlgorithmConfirm {
  int32_t HitCount = 0;
  int32_t HoldCount = 0;
};

// The detectors' state between blocks.
struct TriggerState {
  std::array<AlgorithmConfirm, kMaxAlgorithms> AlgorithmConfirmState{};
  // Per switch input: 0 armed; above 0 held after firing.
  std::array<int32_t, kMaxSwitchInputs> SwitchConfirmState{};
  // Threshold of the algorithms of types 1 and 2, as an AD code (prepared
  // at each start from the set point).
  std::array<uint16_t, kMaxAlgorithms> ThresholdCode{};
};

}  // namespace quelvar
