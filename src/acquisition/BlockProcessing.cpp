#include "acquisition/BlockProcessing.h"

#include <cstring>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

// The run log is cleared when lost-block warnings have filled it.
constexpr size_t kMaxRunLogAfterWarning = 1000;

bool InterruptRecording(const AppState& state) {
  return state.RunState == kRunRecording && state.config.MaxBlock > 1;
}

}  // namespace

std::string ElapsedTimeText(int64_t t) {
  if (t < 0) t = 0;
  const int64_t days = t / 86400, hours = t % 86400 / 3600, minutes = t % 3600 / 60, seconds = t % 60;
  std::string text;
  if (days > 0) {
    text = std::to_string(days) + "d " + std::to_string(hours) + "h ";
  } else if (hours > 0) {
    text = "共" + std::to_string(hours) + "h ";
  } else {
    text = "采样";
  }
  return text + std::to_string(minutes) + "m " + std::to_string(seconds) + "s";
}

void ProcessBlock(AppState& state, double now, const BlockReporter& report) {
  if (state.RunState == kRunIdle) return;
  AcquisitionState& a = state.acq;
  const LiveConfig& c = state.config;
  const uint16_t* block = a.CurrentBlock();
  const uint16_t seq = block[0];

  a.LastSeqNo = static_cast<uint16_t>(a.LastSeqNo + 1);
  if (InterruptRecording(state) && seq != a.LastSeqNo) {
    report.runLog("  警告:AD采集数据有丢失!");
    if (report.runLogLength() > kMaxRunLogAfterWarning) report.clearRunLog();
    a.RunDataGap = 1;
    a.ValidHistorySamples = 0;
    a.DataGapFlag = 1;
  }

  int64_t elapsed = 0;
  if (InterruptRecording(state)) {
    const uint16_t lost = static_cast<uint16_t>(seq - a.LastSeqNo);
    a.BlocksReceived += static_cast<uint64_t>(lost) + 1;
    elapsed = TruncToInt64(static_cast<double>(a.BlocksReceived - 1) * c.NumSamp / c.ChannelRate);
  } else {
    elapsed = TruncToInt64((now - a.RunStartTime) * 86400.0);
  }
  report.elapsedTime(ElapsedTimeText(elapsed));
  a.LastSeqNo = seq;

  // The rows (without the sequence word) go to the ring's write block.
  const size_t blockWords = static_cast<size_t>(c.NumSamp) * static_cast<size_t>(c.NumChn);
  if (a.RingWriteBlock >= a.RingBlocks) a.RingWriteBlock = 0;
  const size_t at = static_cast<size_t>(a.RingWriteBlock) * blockWords;
  if (at + blockWords <= a.RingBuffer.size() && a.CurrentBlockOffset + 1 + blockWords <= a.BlockWithPrefix.size()) {
    std::memcpy(a.RingBuffer.data() + at, block + 1, blockWords * sizeof(uint16_t));
  }
  a.RingWriteBlock += 1;
  if (state.RunState == kRunRecording && a.RingWriteBlock >= a.RingBlocks) {
    a.RingWraps += 1;
    a.RingWriteBlock = 0;
  } else if (state.RunState == kRunOscilloscope) {
    a.RingWriteBlock = 0;
  }
}

}  // namespace quelvar
