#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/ScheduleRun.h"

namespace quelvar {

// The on-line filter's value of each analog channel, in thousandths of an AD
// code, kept from block to block; every start and stop asks for a reseed.
struct FilterState {
  std::array<int64_t, 100> Values{};
  bool Reseed = true;
};

// The virtual AD card's running signal position, kept for the life of the
// process so generated signals continue where the last run left them.
struct VirtualCardState {
  int64_t SampleCounter = 0;  // running row index, + numSamp per block, never reset
  int64_t SpikePos = 0;       // next random spike: channel x numSamp + row
};

// The record file the virtual AD card replays.
struct VirtualAdReplay {
  int Fd = -1;  // open while a replay runs
  int32_t VirtualAdBlocks = 0;
  int32_t VirtualAdBlocksRead = 0;
};

// The state of a run: its buffers, counters and flags.
struct AcquisitionState {
  double RunStartTime = 0.0;   // day count
  uint64_t BlocksReceived = 0;  // lost blocks included
  double BlockTime = 0.0;       // first sample of the block in hand, day count
  int32_t BlockCounter = 0;     // blocks processed since the start
  uint16_t LastSeqNo = 0xFFFF;
  int32_t DataGapFlag = 0;
  int32_t RunDataGap = 0;
  int32_t ValidHistorySamples = 0;
  int32_t ManualTriggerRequest = 0;
  int32_t RecordWriterBusy = 0;
  int32_t NotifyWatchdog = 0;
  int32_t BufferLayoutValid = 0;
  int32_t OscilPaused = 0;
  // Scheduled saving is in force for this run.
  int32_t ScheduledSaveActive = 0;
  ScheduleRunState Schedules;

  // Trigger enables of the run.
  int32_t AutoTriggerActive = 0;
  int32_t AnalogTriggerActive = 0;
  int32_t ThresholdTriggerActive = 0;
  int32_t SwitchTriggerActive = 0;
  int32_t NeedsCycleSampling = 0;
  int32_t SamplesPerTwelfthCycle = 0;
  int32_t HistoryPrefixRows = 0;
  float PidPeriodMs = 0.0f;

  // Buffers, sized by the start preparation and never per block.
  // BlockWithPrefix: a parking word, the prefix rows, then the block; the
  // current block (sequence word, then rows) starts at CurrentBlockOffset.
  std::vector<uint16_t> BlockWithPrefix;
  size_t CurrentBlockOffset = 0;
  std::vector<uint16_t> RingBuffer;
  std::vector<uint16_t> PackedBlockBuffer;
  std::vector<uint16_t> ViewerBlockBuffer;
  int32_t RingBlocks = 0;  // blocks the ring holds
  int32_t RingWriteBlock = 0;
  int32_t RingWraps = 0;
  int32_t RingCompressing = 0;  // 1 while a record's compressed part is stored
  int32_t RingCompressStart = 0;

  // The virtual AD card and its pacing.
  VirtualCardState VirtualCard;
  VirtualAdReplay Replay;
  FilterState Filter;

  uint16_t* CurrentBlock() { return BlockWithPrefix.data() + CurrentBlockOffset; }
};

}  // namespace quelvar
