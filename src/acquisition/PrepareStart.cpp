#include "acquisition/PrepareStart.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "acquisition/AlgorithmPreparation.h"
#include "acquisition/ScheduleSave.h"
#include "acquisition/TriggerDetectors.h"
#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

// A ring or block of more words than this is refused as a configuration that
// cannot work here rather than attempted.
constexpr uint64_t kMaxBufferWords = uint64_t{1} << 30;
// Rows before a point the DC-mean quantity reads.
constexpr int32_t kDcMeanLookBack = 3;

bool AllocateWords(std::vector<uint16_t>& buffer, uint64_t words, uint16_t fill) {
  if (words == 0 || words > kMaxBufferWords) return false;
  try {
    buffer.assign(static_cast<size_t>(words), fill);
  } catch (const std::bad_alloc&) {
    buffer.clear();
    return false;
  }
  return true;
}

// The settings a run cannot work with, checked before any size is computed
// from them (no division by zero, no negative or absurd sizes).
std::string UnworkableSetting(const LiveConfig& c) {
  if (!std::isfinite(c.ChannelRate) || c.ChannelRate <= 0.0f) return "每通道采样频率";
  if (c.NumSamp <= 0) return "每块采样数NumSamp";
  if (c.MaxBlock <= 0) return "缓冲区块数MaxBlock";
  // The card takes a row's word count in 16 bits.
  if (c.NumChn <= 0 || c.NumChn > kMaxRowWords) return "通道数NumChn";
  if (c.Analog_Num < 0 || c.Analog_Num > kMaxAnalogChannels) return "模拟通道数";
  if (c.SW_Num < 0 || c.SW_Num > kMaxSwitchInputs) return "开关量个数";
  if (c.Total_Line < 0 || c.Total_Line > kMaxLines) return "模拟通道组数";
  if (!ACFrqInRange(c.ACFrq)) return "交流频率";
  if (c.OnlineResamp && (c.ResampNum < 1 || c.ResampNum > 1000)) return "重采样倍数";
  return {};
}

// The per-cycle quantities need whole twelfths of a cycle and blocks of
// whole half cycles. A plan the layout cannot serve is dropped; a start
// that needed it is refused.
bool CycleLayoutFits(AppState& state, const StartReporter& report) {
  const LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  if (!a.AnalogTriggerActive || !a.NeedsCycleSampling) return true;
  const int32_t spc = c.SamplesPerCycle;
  if (spc < 12 || spc % 12 != 0) {
    report.runLog("\r\n 警告：录波启动要求每周波采样点为12的整数倍!");
    a.AnalogTriggerActive = 0;
  } else if (c.NumSamp < 2 * spc || c.NumSamp % (spc / 2) != 0) {
    report.runLog("\r\n 警告：交流量启动时每块采样数应为" + std::to_string(spc / 2) + "的整数倍!");
    a.AnalogTriggerActive = 0;
  }
  if (a.AnalogTriggerActive) return true;
  report.status("启动失败，由于采样块数与启动算法冲突。");
  return false;
}

}  // namespace

bool PrepareStart(AppState& state, bool recorderRun, const StartReporter& report) {
  LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  const std::string failCaption = "启动" + state.startup.WindowWord + "失败";

  if (const std::string bad = UnworkableSetting(c); !bad.empty()) {
    report.runLog("\r\n错误：" + bad + "设置不能工作，无法启动!");
    return false;
  }
  if (c.PIDEnable && (c.DANumChn < 1 || c.DANumChn > c.Analog_Num - 1)) {
    report.runLog("\r\n错误：PID控制方式DA通道数设置错误!");
    return false;
  }
  a.PidPeriodMs = 1000.0f / c.ChannelRate;

  a.AnalogTriggerActive = 0;
  a.ThresholdTriggerActive = 0;
  a.SwitchTriggerActive = c.IDStartBin;
  a.AutoTriggerActive = 0;
  a.ValidHistorySamples = 0;
  a.RingCompressing = 0;
  state.record.CompressCarry = 0;
  // Holds and hit counts belong to one run.
  state.triggers.SwitchConfirmState.fill(0);
  for (AlgorithmConfirm& confirm : state.triggers.AlgorithmConfirmState) confirm = AlgorithmConfirm{};

  c.SamplesPerCycle = SamplesPerCycleOf(c.ChannelRate, c.ACFrq);
  a.SamplesPerTwelfthCycle = c.SamplesPerCycle / 12;
  if (c.CompressRatio <= 1) c.CompressRatio = c.SamplesPerCycle;

  a.NeedsCycleSampling = 0;
  a.RecordWriterBusy = 0;
  a.BlockCounter = 0;
  a.DataGapFlag = 0;
  a.RunDataGap = 0;

  if (recorderRun && c.MaxBlock > 1) {
    if (c.Algorithm_Num > 0 && c.IDStartAnalog) PrepareTriggerAlgorithms(state, report.runLog);
    if (!CycleLayoutFits(state, report)) return false;
    if (c.SW_Num == 0) a.SwitchTriggerActive = 0;
    bool anyStartFlag = false;
    for (int s = 0; s < c.SW_Num; ++s) anyStartFlag = anyStartFlag || c.SwitchChannelTable[s].SWStartID != 0;
    if (!anyStartFlag) a.SwitchTriggerActive = 0;
    if (a.AnalogTriggerActive || a.ThresholdTriggerActive || a.SwitchTriggerActive) {
      report.runLog("\r\n 注：已启用记录启动算法！");
      a.AutoTriggerActive = 1;
      for (AlgorithmConfirm& confirm : state.triggers.AlgorithmConfirmState) confirm.HitCount = 0;
    } else {
      report.runLog("\r\n 注：未启用记录启动算法！");
      a.AutoTriggerActive = 0;
    }
    // The switch tests look back up to seven rows before a block's first row
    // (edges and changes); the prefix covers that so they never leave it.
    const int32_t switchPrefix = std::max(4, SwitchLookBackRows(c) - 1);
    const int32_t prefixForSwitches = a.SwitchTriggerActive ? switchPrefix : 0;
    // The algorithms read back up to 1.5 cycles, and the DC mean three rows
    // whatever the cycle.
    a.HistoryPrefixRows = a.AnalogTriggerActive
                              ? std::max({c.SamplesPerCycle * 3 / 2, kDcMeanLookBack, prefixForSwitches})
                              : prefixForSwitches;
    report.statusPanel(1, a.AutoTriggerActive ? "录波" : "监控");
  } else {
    a.HistoryPrefixRows = 0;
    a.AutoTriggerActive = 0;
    report.statusPanel(1, "示波器");
  }

  const uint64_t rows = static_cast<uint64_t>(c.NumSamp) * static_cast<uint64_t>(c.OnlineResamp ? c.ResampNum : 1);
  const uint64_t prefix = static_cast<uint64_t>(a.HistoryPrefixRows);
  const uint64_t chn = static_cast<uint64_t>(c.NumChn);
  const auto zero = static_cast<uint16_t>(std::clamp(TruncToInt32(c.VZero), 0, 65535));
  a.RingBlocks = recorderRun ? c.MaxBlock : 1;
  // The views count the ring's display points in 32 bits.
  const DisplayExtent ring = DisplayExtentOf(a.RingBlocks, c.NumSamp, c.MaxMultiFreq);
  const bool allocated =
      ring.fits &&
      AllocateWords(a.BlockWithPrefix, (rows + prefix) * chn + 3, zero) &&
      AllocateWords(a.RingBuffer, chn * static_cast<uint64_t>(c.NumSamp) * static_cast<uint64_t>(a.RingBlocks) + 1,
                    zero) &&
      AllocateWords(a.PackedBlockBuffer, (static_cast<uint64_t>(c.NumSamp) + prefix) * chn + 3, 0) &&
      AllocateWords(a.ViewerBlockBuffer, (static_cast<uint64_t>(c.NumSamp) + prefix) * chn + 3, 0);
  if (!allocated) {
    report.messageBox("内存缓冲区分配失败!", failCaption);
    return false;
  }
  a.CurrentBlockOffset = static_cast<size_t>(prefix * chn);
  // Switch words start at 0, not at the zero code, so early pre-trigger data
  // shows no phantom switch bits.
  const size_t firstSwitch = static_cast<size_t>(std::clamp(c.Analog_Num, 0, c.NumChn));
  const size_t lastSwitch = static_cast<size_t>(std::clamp(c.NumVChn, 0, c.NumChn));
  auto clearSwitchWords = [&](uint16_t* rows, uint64_t rowCount) {
    for (uint64_t r = 0; r < rowCount; ++r) {
      for (size_t w = firstSwitch; w < lastSwitch; ++w) rows[r * chn + w] = 0;
    }
  };
  clearSwitchWords(a.RingBuffer.data(), static_cast<uint64_t>(c.NumSamp) * static_cast<uint64_t>(a.RingBlocks));
  clearSwitchWords(a.BlockWithPrefix.data() + 1, prefix);
  // The parking word stands for the last word of the last prefix row.
  if (prefix > 0 && chn - 1 >= firstSwitch && chn - 1 < lastSwitch) a.BlockWithPrefix[0] = 0;
  // The display turns to the new ring; a history record on display keeps
  // its whole matrix until the live display is switched on, so a start that
  // fails before then leaves it consistent.
  DisplayDescriptor& d = state.display;
  if (!d.SelectFault) {
    d.DispValid = 0;
    d.DispRows = ring.rows;
    d.DispPoints = ring.points;
    d.DispRowWords = c.NumChn;
    d.DispData = a.RingBuffer.data();
    d.DispBlocks = a.RingBlocks;
  }
  a.RingWraps = 0;
  a.RingWriteBlock = 0;
  a.ManualTriggerRequest = 0;
  state.record.Recording = 0;
  state.record.ViewBlock = a.RingBlocks - 1;
  state.record.ViewPoint = 0;
  a.LastSeqNo = 0xFFFF;
  if (report.displayLayout) report.displayLayout();

  // The lines must add up to the analog channels.
  int64_t lineChannels = 0;
  for (int j = 0; j < c.Total_Line; ++j) lineChannels += c.LineTable[j].APhaseNum;
  if (lineChannels != c.Analog_Num) {
    report.messageBox("模拟通道线路配置错误!", failCaption);
    return false;
  }
  a.BufferLayoutValid = 1;
  a.ScheduledSaveActive = recorderRun && c.MaxBlock > 1 && SchedulesArmed(c) ? 1 : 0;
  if (a.ScheduledSaveActive) {
    report.runLog("\r\n 注：已启用定时记录功能！");
    PrepareScheduleStates(c, a.Schedules);
  }
  return true;
}

}  // namespace quelvar
