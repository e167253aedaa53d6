#include "acquisition/ContinuousSaving.h"

#include <cstdint>

#include "common/NumberFormat.h"
#include "common/TextUtil.h"
#include "shell/ConfigCommands.h"

namespace quelvar {

namespace {

int32_t BackupIntervalBlocks(const LiveConfig& c, int32_t minutes) {
  // Minutes of blocks, each NumSamp / ChannelRate seconds long.
  return TruncToInt32(minutes * 60.0 / (static_cast<double>(c.NumSamp) / c.ChannelRate));
}

}  // namespace

ContinuousSaveQuestion AskContinuousSave(const AppState& state) {
  const LiveConfig& c = state.config;
  const ContinuousSaveSettings& s = state.saving;
  // The size in KB as a 32-bit unsigned sum, the way it has always been shown.
  const uint32_t bytes = static_cast<uint32_t>(c.EndBlock) * static_cast<uint32_t>(c.NumChn) *
                             static_cast<uint32_t>(c.NumSamp) * 2u +
                         static_cast<uint32_t>(kRecordFileDataOffset);
  const std::string size = "存盘文件大小:" + std::to_string(bytes / 1000) + "KB" + ", 记录时间约" +
                           FormatTimeSpan(static_cast<double>(c.EndBlock) * c.NumSamp / c.ChannelRate);
  if (s.idSafeSave) {
    return {"真要保存到 " + s.ContinuousSaveFile + " ?\r\n" + "  且每" + std::to_string(s.SafeSaveTime) +
                "分钟自动备份到" + s.SafeSaveFileName + "\r\n" + size,
            "您要自动连续保存、并安全备份AD数据"};
  }
  return {"真要保存到 " + s.ContinuousSaveFile + " ?\r\n" + size, "您要自动连续保存AD数据"};
}

ContinuousSaveContent RunContent(const AppState& state, const std::string& directory) {
  const LiveConfig& c = state.config;
  ContinuousSaveContent content;
  content.directory = directory;
  content.header.NumChn = c.NumChn;
  content.header.Total_Line = c.Total_Line;
  content.header.Analog_Num = c.Analog_Num;
  content.header.SW_Num = c.SW_Num;
  content.header.NumSamp = c.NumSamp;
  content.header.MaxMultiFreq = c.MaxMultiFreq;
  content.header.ChannelRate = c.ChannelRate;
  content.header.ADBit = c.ADBit;
  BuildConfigRecord(c, BuildExtrasOf(state), content.config);
  return content;
}

bool OpenContinuousSaving(const AppState& state, ContinuousSave& saver, const std::string& directory, double now) {
  const LiveConfig& c = state.config;
  const ContinuousSaveSettings& s = state.saving;
  const ContinuousSaveContent content = RunContent(state, directory);
  if (s.idSafeSave) {
    return saver.Open(content, s.ContinuousSaveFile, s.SafeSaveFileName, BackupIntervalBlocks(c, s.SafeSaveTime),
                      now) == 1;
  }
  return saver.Open(content, s.ContinuousSaveFile, "", 0, now) == 1;
}

std::string ContinuousSaveStartLine(const AppState& state) {
  const ContinuousSaveSettings& s = state.saving;
  std::string line = "\r\n连续保存采集结果到：" + s.ContinuousSaveFile;
  if (s.idSafeSave) line += "\r\n 并每" + std::to_string(s.SafeSaveTime) + "分钟备份到：" + s.SafeSaveFileName;
  return line;
}

std::string ContinuousFailureLine(int32_t blocksWritten) {
  return "\r\n连续记录到 " + std::to_string(blocksWritten) + " 块时失败！";
}

void AppendContinuousBlock(const AppState& state, ContinuousSave& saver, SaveWriter& writer, PendingBlock& block) {
  const LiveConfig& c = state.config;
  writer.Append(saver, block, c.NumChn, c.NumSamp, state.acq.RunDataGap != 0, true);
}

void AppendContinuousBlock(AppState& state, ContinuousSave& saver, const std::function<void(const std::string&)>& runLog) {
  SaveWriter writer(SaveWriter::Mode::Inline,
                    [&runLog](const SaveReport& report) { runLog(ContinuousFailureLine(report.blocksWritten)); });
  const LiveConfig& c = state.config;
  const size_t words = 1 + static_cast<size_t>(c.NumSamp) * static_cast<size_t>(c.NumChn);
  PendingBlock block(writer, std::span<const uint16_t>(state.acq.CurrentBlock(), words));
  AppendContinuousBlock(state, saver, writer, block);
}

std::string CloseContinuousSaving(ContinuousSave& saver) {
  // A saver a failure has closed already ends the run as failed too.
  const bool ok = !saver.Failed() && saver.Close() == 1;
  if (!ok) return "连续存盘失败于块" + std::to_string(saver.BlocksWritten());
  return "连续存盘成功完成！";
}

}  // namespace quelvar
