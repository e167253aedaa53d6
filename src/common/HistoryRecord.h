#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/SampleBuffer.h"

namespace quelvar {

// The record held in memory for the history display: a finished live record
// or an opened record file.
struct HistoryRecord {
  SampleBuffer Samples;  // BlockCount x NumSamp x NumChn words, then one more
  int32_t BlockCount = 0;
  int32_t TriggerBlock = 0;   // blocks before the trigger block
  int32_t TriggerOffset = 0;  // the trigger's position in it
  int32_t NumChn = 0;
  int32_t NumSamp = 0;
  int32_t LineCount = 0;
  int32_t AnalogCount = 0;
  int32_t SwitchCount = 0;
  float FrqSamp = 0.0f;  // per-channel rate
  double StartTime = 0.0;
  int32_t TriggerType = 0;  // 0 manual, 1 switch input, 2 trigger algorithm
  int32_t TriggerChannel = 0;
  int32_t TriggerAlgorithm = 0;
  std::string Comment;
  int32_t CompressedBlocks = 0;  // compressed blocks at the end of Samples
  int32_t CompressRatio = 1;  // samples per point of the compressed part
  int32_t CompressType = 0;
  int32_t Valid = 0;
  int32_t Synced = 0;
};

}  // namespace quelvar
