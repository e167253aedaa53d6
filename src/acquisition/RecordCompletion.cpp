#include "acquisition/RecordCompletion.h"

#include <algorithm>

#include "shell/ConfigCommands.h"

namespace quelvar {

namespace {

// The record's PreBlocks + BlocksDone blocks of a ring of ringBlocks blocks
// from its first on, wrapping at the ring's end, oldest first. A record the
// ring cannot hold is refused rather than copied short.
bool RecordBlocksOf(const AppState& state, const uint16_t* ring, size_t ringWords, int32_t ringBlocks,
                    std::vector<uint16_t>& out) {
  const LiveConfig& c = state.config;
  const RecordState& r = state.record;
  const int64_t blocks = int64_t{r.PreBlocks} + r.BlocksDone;
  if (ring == nullptr || ringBlocks <= 0 || blocks <= 0 || blocks > ringBlocks) return false;
  int32_t first = r.TriggerBlock - r.PreBlocks;
  if (first < 0) first += ringBlocks;
  if (first < 0 || first >= ringBlocks) return false;
  const int32_t last = static_cast<int32_t>((first + blocks - 1) % ringBlocks);
  const int64_t blockWords = int64_t{c.NumSamp} * c.NumChn;
  if (blockWords <= 0 || blockWords > INT32_MAX) return false;
  return CopyRingBlocks(ring, ringWords, ringBlocks, static_cast<int32_t>(blockWords), first, last, out);
}

bool RecordBlocks(const AppState& state, std::vector<uint16_t>& out) {
  const AcquisitionState& a = state.acq;
  return RecordBlocksOf(state, a.RingBuffer.data(), a.RingBuffer.size(), a.RingBlocks, out);
}

// The same blocks taken from the data on display: the ring, or a record
// shown as history.
bool DisplayBlocks(const AppState& state, std::vector<uint16_t>& out) {
  const DisplayDescriptor& d = state.display;
  const LiveConfig& c = state.config;
  // The matrix must have the layout the record is written with; its size
  // is what the descriptor says it holds, not what the settings would give.
  if (d.DispValid == 0 || d.DispRowWords != c.NumChn || d.DispBlocks <= 0) return false;
  if (int64_t{d.DispRows} != int64_t{d.DispBlocks} * c.NumSamp) return false;
  const int64_t words = int64_t{d.DispRows} * d.DispRowWords;
  if (words <= 0) return false;
  return RecordBlocksOf(state, d.DispData, static_cast<size_t>(words), d.DispBlocks, out);
}

bool BuildPackage(const AppState& state, bool fromDisplay, RecordPackage& package);

}  // namespace

std::string SwitchTriggerKindName(int32_t flag) {
  static const char* const kNames[] = {"", "高电平", "低电平", "上升沿", "下降沿", "变位"};
  return flag >= 1 && flag <= 5 ? kNames[flag] : "";
}

std::string AlgorithmTypeName(int32_t type) {
  static const char* const kNames[] = {"",           "超过峰值",     "低于谷值",       "直流信号过大",
                                       "直流信号过小", "交流信号过大", "交流信号过小",   "单元件横差启动",
                                       "定子对称过负荷", "转子过电流", "负序过电流",     "过电流",
                                       "过电压",       "定子接地",     "逆功率",         "低频率",
                                       "过激磁",       "低励及失磁",   "主变零序过流",   "主变零序过压",
                                       "主变间隙过流过压", "机组振荡", "负序增量方向"};
  return type >= 1 && type <= 22 ? kNames[type] : "";
}

bool BuildRecordPackage(const AppState& state, RecordPackage& package) {
  return BuildPackage(state, false, package);
}

bool BuildDisplayRecordPackage(const AppState& state, RecordPackage& package) {
  return BuildPackage(state, true, package);
}

namespace {

bool BuildPackage(const AppState& state, bool fromDisplay, RecordPackage& package) {
  const LiveConfig& c = state.config;
  const RecordState& r = state.record;
  RecordHeaderValues v;
  v.NumChn = c.NumChn;
  v.Total_Line = c.Total_Line;
  v.Analog_Num = c.Analog_Num;
  v.SW_Num = c.SW_Num;
  v.NumSamp = c.NumSamp;
  v.MaxMultiFreq = c.MaxMultiFreq;
  v.ChannelRate = c.ChannelRate;
  v.ADBit = c.ADBit;
  v.StartTime = r.StartTime;
  v.PreBlocks = r.PreBlocks;
  v.TriggerPoint = r.TriggerPoint;
  // The oscilloscope's picture is one block, also after it stopped.
  v.BlockCount = state.display.DataSourceMode == 2 ? 1 : r.BlocksDone + r.PreBlocks;
  v.CompressRatio = c.CompressRatio;
  v.CompressType = c.CompressType;
  v.CompressBlocks = r.CompressBlocks;
  v.DataGap = r.DataGap;
  v.TriggerKind = r.TriggerKind;
  v.TriggerChannel = r.TriggerChannel;
  v.TriggerAlgorithm = r.TriggerAlgorithm;
  v.TriggerEdge = r.TriggerEdge;
  const auto header = MakeRecordFileHeader(v);
  if (!header) return false;
  package.header = *header;
  BuildConfigRecord(c, BuildExtrasOf(state), package.config);
  // The writer's record carries no font styles.
  package.config.ScreenFontStyle = package.config.WMFFontStyle = package.config.PrinterFontStyle = 0;
  package.comment = r.Description;
  if (!(fromDisplay ? DisplayBlocks(state, package.samples) : RecordBlocks(state, package.samples))) return false;
  return static_cast<int64_t>(package.samples.size()) * 2 == package.header.DataBytes;
}

}  // namespace

bool CopyHistoryRecord(AppState& state) {
  const LiveConfig& c = state.config;
  const RecordState& r = state.record;
  std::vector<uint16_t> samples;
  if (!RecordBlocks(state, samples)) return false;
  HistoryRecord& h = state.history;
  h.FrqSamp = c.ChannelRate;
  h.StartTime = r.StartTime;
  h.TriggerBlock = r.PreBlocks;
  h.TriggerOffset = r.TriggerPoint;
  h.BlockCount = r.PreBlocks + r.BlocksDone;
  h.NumChn = c.NumChn;
  h.NumSamp = c.NumSamp;
  h.LineCount = c.Total_Line;
  h.AnalogCount = c.Analog_Num;
  h.SwitchCount = c.SW_Num;
  h.CompressedBlocks = r.CompressBlocks;
  h.CompressRatio = c.CompressRatio;
  h.Samples = std::move(samples);
  h.Samples.push_back(0);  // the one word more the history buffer has always had
  h.Valid = 1;
  h.Synced = 0;
  return true;
}

void SetLiveHistoryCompression(AppState& state) {
  const RecordState& r = state.record;
  const HistoryRecord& h = state.history;
  DisplayDescriptor& d = state.display;
  if (r.CompressBlocks > 0) {
    d.DispCompressed = state.acq.RingCompressing;
    d.DispCompressBlocks = r.CompressBlocks;
    d.DispCompressStart = h.BlockCount - r.CompressBlocks;
  } else {
    d.DispCompressed = 0;
  }
}

void PointDisplayAtHistory(AppState& state) {
  LiveConfig& c = state.config;
  const HistoryRecord& h = state.history;
  DisplayDescriptor& d = state.display;
  d.SelectFault = 1;
  d.DispData = h.Samples.data();
  d.DispBlocks = h.BlockCount;
  const DisplayExtent extent = DisplayExtentOf(h.BlockCount, c.NumSamp, c.MaxMultiFreq);
  d.DispRows = extent.rows;
  d.DispPoints = extent.points;
  d.DispRowWords = c.NumChn;
  d.DispFirstBlock = 0;
  d.DispTriggerBlock = h.TriggerBlock;
  d.DispTriggerPoint = h.TriggerOffset;
  d.DispValid = 1;
  d.DataSourceMode = 0;
  c.ChannelRate = h.FrqSamp;
}

bool ExtractHistoryRecord(AppState& state) {
  if (!CopyHistoryRecord(state)) return false;
  SetLiveHistoryCompression(state);
  PointDisplayAtHistory(state);
  return true;
}

}  // namespace quelvar
