#include "acquisition/ManualSave.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "acquisition/RecordCompletion.h"
#include "platform/DayTime.h"
#include "shell/RecordFile.h"
#include "shell/RecordFilePrune.h"

namespace quelvar {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// The time `points` samples before the block in hand. Without a usable rate
// (a nominal frequency of 0) the block's own time stands.
double TimeBefore(const AppState& state, int64_t points) {
  const double rate = state.layout.MaxChannelRate > 0.0f ? state.layout.MaxChannelRate : state.config.ChannelRate;
  if (!(rate > 0.0) || !std::isfinite(rate)) return state.acq.BlockTime;
  return state.acq.BlockTime - static_cast<double>(points) / rate / kSecondsPerDay;
}

}  // namespace

void DescribeWholeRing(AppState& state) {
  const LiveConfig& c = state.config;
  const AcquisitionState& a = state.acq;
  const DisplayDescriptor& d = state.display;
  RecordState& r = state.record;
  const int32_t blocks = std::max(a.RingBlocks, 1);
  r.TriggerBlock = a.RingWriteBlock;
  r.TriggerPoint = 0;
  r.LastBlock = a.RingWriteBlock - 1 < 0 ? blocks - 1 : a.RingWriteBlock - 1;
  r.BlocksDone = r.LastBlock - r.TriggerBlock + 1;
  if (r.BlocksDone <= 0) r.BlocksDone += blocks;
  r.PreBlocks = 0;

  r.CompressBlocks = 0;
  if (a.RingCompressing == 1) {
    // Positions counted from the write position on, so the ring's wrap does
    // not reorder them.
    auto unwrapped = [&](int32_t block) { return block < a.RingWriteBlock ? block + blocks : block; };
    const int32_t t = unwrapped(r.TriggerBlock), l = unwrapped(r.LastBlock), start = unwrapped(a.RingCompressStart);
    if (l > start) r.CompressBlocks = t < start ? l - start : l - t;
  }

  int64_t p = int64_t{d.DispTriggerBlock - d.DispFirstBlock} * c.NumSamp * std::max(c.MaxMultiFreq, 1) +
              d.DispTriggerPoint;
  if (p < 0) p += d.DispPoints;
  r.StartTime = TimeBefore(state, p);

  if (d.DataSourceMode == 2) {
    r.TriggerBlock = r.TriggerPoint = r.LastBlock = 0;
    r.BlocksDone = 1;
  }
  r.TriggerKind = 0;
  r.DataGap = a.DataGapFlag;
}

void DescribeCurrentView(AppState& state) {
  const LiveConfig& c = state.config;
  const AcquisitionState& a = state.acq;
  const DisplayDescriptor& d = state.display;
  const WaveViewState& v = state.wave;
  RecordState& r = state.record;
  const int32_t blocks = std::max(d.DispBlocks, 1);
  r.CompressBlocks = 0;
  if (a.RingCompressing == 1) {
    r.CompressBlocks = d.DispFirstBlock - a.RingCompressStart;
    if (r.CompressBlocks < 0) r.CompressBlocks += blocks;
  }
  if (d.DataSourceMode == 2) {
    r.TriggerBlock = r.TriggerPoint = r.LastBlock = 0;
    r.BlocksDone = 1;
  } else {
    const int64_t pointsPerBlock = std::max<int64_t>(int64_t{c.NumSamp} * std::max(c.MaxMultiFreq, 1), 1);
    // A view reaching past either end of the data saves the data it shows.
    const int64_t first = std::clamp<int64_t>(v.XPosition, 0, std::max(d.DispPoints - 1, 0));
    const int64_t last = std::clamp<int64_t>(int64_t{v.XPosition} + v.DisplayWidth - 1, first,
                                             std::max(d.DispPoints - 1, 0));
    auto ringBlock = [&](int64_t point) {
      int64_t b = point / pointsPerBlock + d.DispFirstBlock;
      if (b >= blocks) b -= blocks;
      return static_cast<int32_t>(b);
    };
    r.TriggerBlock = ringBlock(first);
    r.TriggerPoint = 0;
    r.LastBlock = ringBlock(last);
    r.BlocksDone = r.LastBlock - r.TriggerBlock + 1;
    if (r.BlocksDone <= 0) r.BlocksDone += blocks;
  }
  // The compressed count is the ring's; the file holds only the saved blocks.
  r.CompressBlocks = std::clamp(r.CompressBlocks, 0, r.BlocksDone);
  r.PreBlocks = 0;
  r.TriggerKind = 0;
  r.DataGap = a.DataGapFlag;
  int64_t p = int64_t{d.DispTriggerBlock - r.TriggerBlock} * c.NumSamp * std::max(c.MaxMultiFreq, 1) +
              d.DispTriggerPoint;
  if (p < 0) p += d.DispPoints;
  r.StartTime = TimeBefore(state, p);
}

bool RingHoldsNothing(const AppState& state) {
  const AcquisitionState& a = state.acq;
  return state.display.DataSourceMode != 2 && a.RingWraps == 0 && a.RingWriteBlock == 0;
}

namespace {

namespace fs = std::filesystem;

const char* const kDialogCaption = "保存采样结果";

ManualSaveOutcome Outcome(ManualSaveResult result, std::string path, std::string status, std::string runLog = {}) {
  return ManualSaveOutcome{result, std::move(path), std::move(status), std::move(runLog)};
}

}  // namespace

ManualSaveOutcome SaveManualRecord(const AppState& state, ManualSaveKind kind, const std::string& directory,
                                   double now, platform::UiHost& ui, const AskFileInfoFn& ask) {
  const bool fromDisplay = kind == ManualSaveKind::CurrentView;
  // Refused before the user types a comment that could not be kept.
  RecordPackage package;
  if (!(fromDisplay ? BuildDisplayRecordPackage(state, package) : BuildRecordPackage(state, package))) {
    return Outcome(ManualSaveResult::Refused, {}, "错误：记录数据不完整，波形未保存!",
                   "\r\n错误：记录数据不完整，未能保存记录文件!");
  }
  const std::optional<FileInfoChoice> choice = ask("F" + platform::FileStampText(now) + ".DAT");
  if (!choice) return Outcome(ManualSaveResult::Cancelled, {}, "提示：存盘已取消，波形未保存");
  if (choice->fileName.empty()) return Outcome(ManualSaveResult::Failed, {}, "错误：未给出文件名，波形未保存!");

  fs::path base = fs::path(directory).lexically_normal();
  if (!base.has_filename()) base = base.parent_path();  // "/dir/" is "/dir"
  fs::path path(choice->fileName);
  if (path.is_relative()) path = base / path;
  path = path.lexically_normal();
  // A file in the save directory goes by its name, any other by its path.
  const bool inDirectory = path.parent_path() == base;
  const std::string shown = inDirectory ? path.filename().string() : path.string();

  std::error_code ec;
  const fs::file_status existing = fs::status(path, ec);
  if (fs::exists(existing) && !fs::is_directory(existing)) {
    const platform::MsgResult answer = ui.MessageBox("文件" + shown + "已存在。\r\n要替换它吗?", kDialogCaption,
                                                     platform::MsgButtons::YesNo, platform::MsgIcon::Warning);
    if (answer != platform::MsgResult::Yes) {
      return Outcome(ManualSaveResult::Declined, path.string(), "提示：未替换已有文件" + shown + "，波形未保存");
    }
  }

  package.comment = choice->comment;
  const WriteResult written = WriteRecordFileAs(path.string(), package);
  if (!written.ok) {
    return Outcome(ManualSaveResult::Failed, path.string(), "错误：波形文件" + shown + "保存失败!",
                   "\r\n错误：记录文件写入失败：" + written.error);
  }
  // The directory keeps its number of records; the new file is never the one to go.
  PruneRecordFiles(directory, state.config.FileNum, inDirectory ? path.filename().string() : std::string());

  const std::string when = platform::PageStampText(state.record.StartTime);
  const std::string line = fromDisplay ? "\r\n当前显示范围波形存盘于:" : "\r\n当前缓冲区波形存盘于:";
  return Outcome(ManualSaveResult::Written, path.string(), "保存的波形文件名为: " + shown,
                 line + when + "  文件名:" + path.string());
}

}  // namespace quelvar
