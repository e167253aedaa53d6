#include "acquisition/BlockProcessing.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "acquisition/AlgorithmEvaluation.h"
#include "acquisition/Compression.h"
#include "acquisition/ContinuousSaving.h"
#include "acquisition/RecordCompletion.h"
#include "acquisition/TriggerDetectors.h"
#include "common/NumberFormat.h"
#include "platform/DayTime.h"

namespace quelvar {

namespace {

// The run log is cleared when lost-block warnings have filled it.
constexpr size_t kMaxRunLogAfterWarning = 1000;
constexpr double kSecondsPerDay = 86400.0;
// ValidHistorySamples restarts from here instead of overflowing.
constexpr int64_t kMaxValidHistory = 2147479552;

bool InterruptRecording(const AppState& state) {
  return state.RunState == kRunRecording && state.config.MaxBlock > 1;
}

size_t BlockWords(const LiveConfig& c) { return static_cast<size_t>(c.NumSamp) * static_cast<size_t>(c.NumChn); }

void CopyIntoRing(AppState& state) {
  AcquisitionState& a = state.acq;
  const size_t words = BlockWords(state.config);
  if (a.RingWriteBlock < 0 || a.RingWriteBlock >= a.RingBlocks) return;
  const size_t at = static_cast<size_t>(a.RingWriteBlock) * words;
  if (at + words <= a.RingBuffer.size() && a.CurrentBlockOffset + 1 + words <= a.BlockWithPrefix.size()) {
    std::memcpy(a.RingBuffer.data() + at, a.CurrentBlock() + 1, words * sizeof(uint16_t));
  }
}

// Holds triggering back (or switches it off) after too many records.
bool FloodHoldsBack(AppState& state, double now, const BlockReporter& report) {
  const LiveConfig& c = state.config;
  RecordState& r = state.record;
  AcquisitionState& a = state.acq;
  if (c.TriggerUpNum < 1 || r.FloodCount < c.TriggerUpNum) return false;
  if (c.TriggerTimeRange == 0) {
    // Said once: automatic triggering is off for the rest of the run.
    if (a.AutoTriggerActive) {
      report.runLog("提示：触发记录总次数超过" + std::to_string(c.TriggerUpNum) + ",屏蔽自动触发功能!");
    }
    a.AutoTriggerActive = 0;
    return false;
  }
  if (now - c.TriggerTimeRange / kSecondsPerDay < r.FloodWindowStart) {
    a.ValidHistorySamples = 0;
    a.DataGapFlag = 1;
    return true;
  }
  r.FloodCount = 0;
  return false;
}

// Runs the detectors for their hold bookkeeping while a record cannot start.
void KeepDetectorBookkeeping(AppState& state) {
  // Without automatic triggering (switched off by the flood guard) the
  // prefix rows are no longer kept in front of the block, so the detectors
  // would read stale rows; their holds no longer matter then anyway.
  if (!state.config.IDPreventSameAlgorithm || !state.acq.AutoTriggerActive) return;
  if (state.acq.SwitchTriggerActive) DetectSwitchTriggers(state);
  if (state.acq.AnalogTriggerActive) EvaluateTriggerAlgorithms(state);
}

void ComputeRecordLengths(AppState& state) {
  const LiveConfig& c = state.config;
  RecordState& r = state.record;
  const int64_t n = c.NumSamp;
  const double rate = c.ChannelRate;
  const int64_t maxBlock = c.MaxBlock;
  const int64_t pre = TruncToInt64(r.PreRecordTime * rate * 0.001) - r.TriggerPoint;
  int64_t preBlocks = pre > 0 ? (pre + n - 1) / n : 0;
  // A record never reaches further back than the ring holds.
  preBlocks = std::clamp<int64_t>(preBlocks, 0, std::max<int64_t>(maxBlock - 6, 0));
  const int64_t post = TruncToInt64(r.RecordTime * rate * 0.001) + r.TriggerPoint;
  int64_t postBlocks = (post + n - 1) / n;
  if (preBlocks + postBlocks > maxBlock - 4) postBlocks = maxBlock - 4 - preBlocks;
  if (postBlocks <= 1) postBlocks = 2;
  const int64_t ratio = std::max(c.CompressRatio, 1);
  int64_t compressBlocks =
      TruncToInt64(((r.CompressRecordTime / ratio) * rate * 0.001 + static_cast<double>(n - 1)) / static_cast<double>(n));
  if (preBlocks + postBlocks + compressBlocks > maxBlock - 2) compressBlocks = maxBlock - 2 - preBlocks - postBlocks;
  if (compressBlocks < 0) compressBlocks = 0;
  r.PreBlocks = static_cast<int32_t>(preBlocks);
  r.PostBlocks = static_cast<int32_t>(postBlocks);
  r.CompressBlocks = static_cast<int32_t>(compressBlocks);
}

void AnnounceRecordStart(AppState& state, const BlockReporter& report) {
  const LiveConfig& c = state.config;
  RecordState& r = state.record;
  AcquisitionState& a = state.acq;
  r.BlocksDone = 1;
  r.StartTime = a.BlockTime;
  // The found points belonged to the record shown before.
  state.foundPoints.TriggerPointCount = 0;
  report.statusPanel(1, "触发");
  a.DataGapFlag = 0;
  report.runLog(" 开始触发记录于:" + platform::PageStampText(r.StartTime));
  report.runLog("  记录文件名为:F" + platform::FileStampText(r.StartTime) + ".DAT");
  bool borrowed = false;
  if (r.TriggerKind == 0) {
    report.runLog("  手动触发记录!");
    r.Description = "手动触发记录功能";
  } else if (r.TriggerKind == 1) {
    const std::string e = SwitchTriggerKindName(r.TriggerEdge);
    const std::string ch = std::to_string(r.TriggerChannel);
    report.runLog("  开关量通道 " + ch + e + "触发记录!");
    r.Description = "开关量通道 " + ch + "(" + c.SwitchChannelTable[r.TriggerChannel].SWName + ")," + e + "触发记录";
    r.TriggerPoint -= 3;
    if (r.TriggerPoint < 0) {
      r.TriggerPoint += c.NumSamp;
      borrowed = true;
    }
  } else {
    const std::string e = AlgorithmTypeName(r.TriggerEdge);
    const std::string ch = std::to_string(r.TriggerChannel);
    const std::string k = std::to_string(r.TriggerAlgorithm);
    report.runLog("  模拟量通道:" + ch + ",第" + k + "算法:" + e + " 触发记录!");
    const std::string name =
        r.TriggerChannel >= 0 && r.TriggerChannel < kMaxAnalogChannels ? c.AnalogChannelTable[r.TriggerChannel].ChnName
                                                                         : std::string();
    r.Description = "模拟量通道:" + ch + "(" + name + "),第" + k + "算法:" + e + " 触发记录";
    if (r.TriggerEdge == 1 || r.TriggerEdge == 2) {
      r.TriggerPoint -= c.ConfirmTriggerNum - 1;
    } else {
      // 64-bit: the delay and the multiplier come from settings.
      const int64_t delayRows = int64_t{c.ConfirmTriggerNum - 1} * c.SamplesPerCycle / 2;
      r.TriggerPoint = SaturateToInt32(int64_t{c.MaxMultiFreq} * (r.TriggerPoint - delayRows));
    }
    if (r.TriggerPoint < 0) {
      r.TriggerPoint = SaturateToInt32(int64_t{r.TriggerPoint} + int64_t{c.NumSamp} * c.MaxMultiFreq);
      borrowed = true;
    }
  }
  if (borrowed) {
    r.TriggerBlock -= 1;
    if (r.TriggerBlock < 0) r.TriggerBlock += a.RingBlocks;
    // The borrowed block moves from before the trigger to after it; a record
    // without pre-trigger blocks keeps none rather than a negative count.
    r.PreBlocks = std::max(r.PreBlocks - 1, 0);
    r.BlocksDone += 1;
    r.PostBlocks += 1;
  }
  r.Description = state.ExpText + "\r\n" + r.Description + "[" + platform::PageStampText(r.StartTime) + "]";
  if (r.CompressBlocks > 0 && (c.CompressRatio < 1 || c.NumSamp % c.CompressRatio != 0)) {
    r.CompressBlocks = 0;
    report.runLog("  压缩记录的条件(每块采样数与压缩倍数)不满足！");
  }
  if (r.CompressBlocks > 0) a.RingCompressStart = a.RingWriteBlock + r.PostBlocks;
}

void CompleteRecord(AppState& state, const BlockReporter& report) {
  AcquisitionState& a = state.acq;
  RecordState& r = state.record;
  r.Recording = 0;
  a.ManualTriggerRequest = 0;
  a.ValidHistorySamples = 0;
  r.LastBlock = a.RingWriteBlock - 1;
  if (r.LastBlock < 0) r.LastBlock += a.RingBlocks;
  report.finishFaultRecord();
  r.FloodCount = r.FloodCount + 1 < 0 ? 40000 : r.FloodCount + 1;
  if (r.FloodCount == 1) r.FloodWindowStart = r.StartTime;
}

void RunRecordStateMachine(AppState& state, bool heldBack, const BlockReporter& report) {
  const LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  RecordState& r = state.record;
  if (r.Recording) {
    KeepDetectorBookkeeping(state);
    if (r.BlocksDone + 1 > r.PostBlocks && r.CompressBlocks != 0) {
      a.RingCompressing = 1;
      const int32_t rows = c.NumSamp / std::max(c.CompressRatio, 1);
      if (a.RingWriteBlock >= 0 && a.RingWriteBlock < a.RingBlocks) {
        uint16_t* ringBlock = a.RingBuffer.data() + static_cast<size_t>(a.RingWriteBlock) * BlockWords(c);
        // The previous block's last row, when the prefix keeps it, decides the first group's edges.
        const uint16_t* rowBefore =
            a.HistoryPrefixRows > 0 && a.AutoTriggerActive
                ? a.BlockWithPrefix.data() + 1 + static_cast<size_t>(a.HistoryPrefixRows - 1) * c.NumChn
                : nullptr;
        CompressBlocksIntoRing(a.CurrentBlock() + 1, rowBefore, c.NumSamp, state.layout, c, ringBlock,
                               r.CompressCarry);
      }
      r.CompressCarry += rows;
      if (r.CompressCarry >= c.NumSamp) {
        r.BlocksDone += 1;
        a.RingWriteBlock += 1;
      }
      r.CompressCarry = c.NumSamp > 0 ? r.CompressCarry % c.NumSamp : 0;
    } else {
      CopyIntoRing(state);
      r.BlocksDone += 1;
      a.RingWriteBlock += 1;
    }
    if (r.BlocksDone >= r.PostBlocks + r.CompressBlocks) CompleteRecord(state, report);
    return;
  }
  if (a.RecordWriterBusy) {
    if (c.IDPreventSameAlgorithm) {
      r.Recording = 1;
      KeepDetectorBookkeeping(state);
      r.Recording = 0;
    }
    CopyIntoRing(state);
    a.RingCompressing = 0;
    a.RingWriteBlock += 1;
    return;
  }
  a.RingCompressing = 0;
  CopyIntoRing(state);
  bool started = false;
  if (a.ManualTriggerRequest) {
    r.Recording = 1;
    // Nothing of an earlier record's compressed part carries over.
    r.CompressCarry = 0;
    r.TriggerKind = 0;
    r.PreBlocks = 1;
    r.PostBlocks = c.FaultBlockNum;
    r.CompressBlocks = c.CompressFaultBlockNum;
    r.TriggerBlock = a.RingWriteBlock;
    r.TriggerPoint = 0;
    started = true;
    if (!heldBack) KeepDetectorBookkeeping(state);
  } else if (a.AutoTriggerActive && !heldBack) {
    if (a.SwitchTriggerActive) DetectSwitchTriggers(state);
    if (!r.Recording && a.ThresholdTriggerActive) DetectThresholdTriggers(state);
    if (a.AnalogTriggerActive && (!r.Recording || c.IDPreventSameAlgorithm)) EvaluateTriggerAlgorithms(state);
    if (r.Recording) {
      for (AlgorithmConfirm& confirm : state.triggers.AlgorithmConfirmState) confirm.HitCount = 0;
      r.TriggerBlock = a.RingWriteBlock;
      r.CompressCarry = 0;
      ComputeRecordLengths(state);
      started = true;
    }
    int64_t valid = int64_t{a.ValidHistorySamples} + c.NumSamp;
    if (valid < 0 || valid > kMaxValidHistory) valid = int64_t{c.SamplesPerCycle} * 100;
    a.ValidHistorySamples = static_cast<int32_t>(valid);
  }
  if (started) AnnounceRecordStart(state, report);
  r.ViewBlock = r.Recording ? r.TriggerBlock : a.RingWriteBlock;
  r.ViewPoint = r.Recording ? r.TriggerPoint : 0;
  a.RingWriteBlock += 1;
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

namespace {

// Continuous and scheduled saving of the block in CurrentBlock, through the
// reporter's writer or, without one, written here.
void SaveCurrentBlock(AppState& state, const BlockReporter& report) {
  const LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  const bool continuous =
      state.RunState == kRunRecording && state.saving.idContinuousSave && report.continuousSaver != nullptr;
  const bool scheduled = a.ScheduledSaveActive && report.scheduleSaver != nullptr;
  if (!continuous && !scheduled) return;
  std::optional<SaveWriter> inlineWriter;
  SaveWriter* writer = report.saveWriter;
  if (writer == nullptr) {
    writer = &inlineWriter.emplace(SaveWriter::Mode::Inline, [&report](const SaveReport& r) {
      HandleSaveReport(r, report.runLog, report.scheduleSaver);
    });
  }
  const size_t words = 1 + static_cast<size_t>(c.NumSamp) * static_cast<size_t>(c.NumChn);
  PendingBlock block(*writer, std::span<const uint16_t>(a.CurrentBlock(), words));
  if (continuous) AppendContinuousBlock(state, *report.continuousSaver, *writer, block);
  if (scheduled) {
    report.scheduleSaver->CheckSchedules(state, a.BlockTime, report.saveDirectory, *writer);
    report.scheduleSaver->SaveBlock(block, c.NumChn, c.NumSamp, *writer);
  }
}

}  // namespace

void ProcessBlock(AppState& state, double now, const BlockReporter& report) {
  if (state.RunState == kRunIdle) return;
  AcquisitionState& a = state.acq;
  const LiveConfig& c = state.config;
  uint16_t* words = a.BlockWithPrefix.data();
  const size_t seqPos = a.CurrentBlockOffset;
  const uint16_t seq = words[seqPos];

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
    elapsed = TruncToInt64((now - a.RunStartTime) * kSecondsPerDay);
  }
  report.elapsedTime(ElapsedTimeText(elapsed));
  a.LastSeqNo = seq;
  if (report.compositeValues) report.compositeValues(words + seqPos);
  SaveCurrentBlock(state, report);

  // The sequence number of the block: at once on the message panel while
  // recording without the live display, and posted in any case.
  const std::string sequenceText = "SeqNo=" + std::to_string(a.LastSeqNo);
  if (state.RunState == kRunRecording && !(report.liveDisplay && report.liveDisplay())) {
    report.statusPanel(5, sequenceText);
  }
  if (report.postStatus) report.postStatus(sequenceText);

  const bool heldBack = state.RunState == kRunRecording && FloodHoldsBack(state, now, report);
  // The prefix rows and the block form one matrix for the detectors: the
  // sequence word makes way for the prefix word it shares its place with.
  const bool withPrefix = a.AutoTriggerActive != 0;
  if (withPrefix) std::swap(words[seqPos], words[0]);

  if (state.RunState == kRunRecording) {
    RunRecordStateMachine(state, heldBack, report);
  } else {
    CopyIntoRing(state);
    a.RingWriteBlock += 1;
  }
  if (state.RunState == kRunRecording && a.RingWriteBlock >= a.RingBlocks) {
    a.RingWraps += 1;
    a.RingWriteBlock = 0;
  } else if (state.RunState == kRunOscilloscope) {
    a.RingWriteBlock = 0;
  }

  if (state.RunState == kRunOscilloscope || (report.liveDisplay && report.liveDisplay())) {
    DisplayDescriptor& d = state.display;
    d.DispValid = 1;
    d.DispFirstBlock = a.RingWriteBlock;  // the oldest block of the ring
    d.DispTriggerBlock = state.record.ViewBlock;
    d.DispTriggerPoint = state.record.ViewPoint;
    d.DispCompressRatio = c.CompressRatio;
    d.DispCompressType = c.CompressType;
    d.DispCompressed = a.RingCompressing;
    d.DispCompressStart = a.RingCompressStart;
  }
  if (withPrefix) {
    // The last rows of prefix and block together become the next block's
    // prefix (a prefix longer than a block keeps part of the old one); the
    // word that shares its place with the sequence word is parked, and the
    // sequence word restored.
    const size_t prefixWords = static_cast<size_t>(a.HistoryPrefixRows) * static_cast<size_t>(c.NumChn);
    const size_t blockWords = BlockWords(c);
    if (prefixWords > 0 && 1 + prefixWords + blockWords <= a.BlockWithPrefix.size()) {
      const uint16_t parkedSeq = words[0];
      std::memmove(words + 1, words + 1 + blockWords, prefixWords * sizeof(uint16_t));
      words[0] = words[seqPos];
      words[seqPos] = parkedSeq;
    } else {
      std::swap(words[seqPos], words[0]);
    }
  }
}

void HandleSaveReport(const SaveReport& report, const std::function<void(const std::string&)>& runLog,
                      ScheduleSaveObj* schedules) {
  switch (report.kind) {
    case SaveReport::Kind::AppendFailed:
      runLog(ContinuousFailureLine(report.blocksWritten));
      break;
    case SaveReport::Kind::OpenFailed:
      if (schedules != nullptr) schedules->OpenRefused(report.tag);
      break;
  }
}

}  // namespace quelvar
