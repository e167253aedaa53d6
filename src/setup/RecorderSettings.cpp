#include "setup/RecorderSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "common/RecordFileHeader.h"
#include "platform/DayTime.h"
#include "platform/RegistryStore.h"
#include "setup/DialogNumbers.h"
#include "shell/RegistryReader.h"

namespace quelvar {

namespace {

// The settings the dialog shares with the live configuration, once for both
// directions.
using IntField = std::pair<int32_t RecorderSettings::*, int32_t LiveConfig::*>;
constexpr std::array<IntField, 12> kLiveFields = {{
    {&RecorderSettings::SamplesPerCycle, &LiveConfig::SamplesPerCycle},
    {&RecorderSettings::CompressType, &LiveConfig::CompressType},
    {&RecorderSettings::CompressRatio, &LiveConfig::CompressRatio},
    {&RecorderSettings::FileNum, &LiveConfig::FileNum},
    {&RecorderSettings::MaxBlock, &LiveConfig::MaxBlock},
    {&RecorderSettings::FaultBlockNum, &LiveConfig::FaultBlockNum},
    {&RecorderSettings::CompressFaultBlockNum, &LiveConfig::CompressFaultBlockNum},
    {&RecorderSettings::EndBlock, &LiveConfig::EndBlock},
    {&RecorderSettings::QuelvarDispFrq, &LiveConfig::QuelvarDispFrq},
    {&RecorderSettings::AutoStart, &LiveConfig::AutoStart},
    {&RecorderSettings::AutoRestoreCfg, &LiveConfig::AutoRestoreCfg},
    {&RecorderSettings::AutoPrint, &LiveConfig::AutoPrint},
}};

// Field captions, which name a refused field.
constexpr const char* kDispFrqCaption = "显示刷新时间(ms)";
constexpr const char* kSafeSaveTimeCaption = "定时备份时间(分)";

constexpr int32_t kMinMaxBlock = 15;       // a ring shorter than this is raised (1 is snapshot mode)
constexpr int32_t kMinFileNum = 20;
constexpr int32_t kMinDispFrq = 50;
constexpr int32_t kMaxDispFrq = 15000;
constexpr int32_t kDefaultDispFrq = 1000;
constexpr int32_t kContinuousMinBlocks = 10;  // the ring a continuous run gets at least

int64_t IntOr(std::string_view text, int64_t fallback) {
  const std::optional<int32_t> v = ParseDialogInteger(text);
  return v ? *v : fallback;
}

std::string NegativeTimeMessage(const char* caption) { return std::string(caption) + "不能为负数！"; }

// "#,###": thousands separated by commas.
std::string Grouped(uint64_t value) {
  std::string digits = std::to_string(value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

std::string QuelvarKeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\Quelvar"; }

// The compression kind of the list's selection: no selection (or one beyond
// the kinds) is kind 0, for OK and the read-outs alike.
int32_t CompressTypeOf(int selection) {
  return selection >= 0 && selection < static_cast<int>(kCompressTypeNames.size()) ? selection : 0;
}

// Bytes as whole kilobytes (1000 bytes). The byte count comes as a double:
// channels x samples x 2 x blocks can pass 64 bits; below 2^53 it is exact
// and divided as an integer.
std::string KilobytesText(double bytes) {
  constexpr double kExactDouble = 9007199254740992.0;  // 2^53
  if (std::fabs(bytes) < kExactDouble) return std::to_string(static_cast<int64_t>(bytes) / 1000);
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", std::trunc(bytes / 1000.0));
  return text;
}

}  // namespace

RecorderSettings RecorderSettingsOf(const LiveConfig& live, const ContinuousSaveSettings& saving) {
  RecorderSettings s;
  for (const auto& [mine, theirs] : kLiveFields) s.*mine = live.*theirs;
  s.saving = saving;
  return s;
}

void CommitRecorderSettings(const RecorderSettings& settings, LiveConfig& live, ContinuousSaveSettings& saving) {
  for (const auto& [mine, theirs] : kLiveFields) live.*theirs = settings.*mine;
  saving = settings.saving;
}

int32_t CompressRatioFromText(std::string_view text, int compressType, int32_t samplesPerCycle) {
  int32_t ratio = std::max<int32_t>(ParseDialogInteger(text).value_or(1), 1);
  if (ratio == 1 || (compressType == 0 && ratio < samplesPerCycle)) ratio = samplesPerCycle;
  return ratio;
}

int32_t SafeSaveTimeFromText(std::string_view text) { return std::max<int32_t>(ParseDialogInteger(text).value_or(1), 1); }

RecorderOk ReadRecorderFields(const RecorderFields& f, const LiveConfig& live, const ContinuousSaveSettings& saving) {
  RecorderOk ok;
  RecorderSettings& s = ok.settings;
  s = RecorderSettingsOf(live, saving);

  s.SamplesPerCycle = SamplesPerCycleOf(live.ChannelRate, live.ACFrq);
  s.CompressType = CompressTypeOf(f.compressType);
  s.CompressRatio = CompressRatioFromText(f.compressRatio, s.CompressType, s.SamplesPerCycle);

  // Each clamp uses the values clamped before it; 64 bits keep the sums exact.
  const int64_t fileNum = IntOr(f.fileNum, live.FileNum);
  s.FileNum = static_cast<int32_t>(std::max<int64_t>(fileNum, kMinFileNum));
  int64_t maxBlock = IntOr(f.maxBlock, live.MaxBlock);
  if (maxBlock < kMinMaxBlock && maxBlock != 1) maxBlock = kMinMaxBlock;
  s.MaxBlock = static_cast<int32_t>(maxBlock);
  int64_t fault = IntOr(f.faultBlock, live.FaultBlockNum);
  if (fault > maxBlock - 10) fault = maxBlock - 10;
  if (fault < 0) fault = 1;
  s.FaultBlockNum = static_cast<int32_t>(fault);
  int64_t compressed = IntOr(f.compressFaultBlock, live.CompressFaultBlockNum);
  if (fault + compressed > maxBlock - 5) compressed = maxBlock - 5 - fault;
  if (compressed < 0) compressed = 0;
  s.CompressFaultBlockNum = static_cast<int32_t>(compressed);

  s.EndBlock = static_cast<int32_t>(std::max<int64_t>(IntOr(f.endBlock, 0), 0));
  const int64_t dispFrq = IntOr(f.dispFrq, kDefaultDispFrq);
  if (dispFrq < 0 && SnapshotBlockField(f.maxBlock)) {
    ok.refusal = NegativeTimeMessage(kDispFrqCaption);
    ok.refusalCaption = kRecorderRefusalCaption;
    return ok;
  }
  s.QuelvarDispFrq = static_cast<int32_t>(std::clamp<int64_t>(dispFrq, kMinDispFrq, kMaxDispFrq));

  s.AutoStart = f.autoStart ? 1 : 0;
  s.AutoRestoreCfg = f.autoRestore ? 1 : 0;
  s.AutoPrint = f.autoPrint ? 1 : 0;

  ContinuousSaveSettings& c = s.saving;
  c.ContinuousSaveFile = f.fileName;
  c.idContinuousSave = f.continuousSave ? 1 : 0;
  if (f.continuousSave && IntOr(f.safeSaveTime, 0) < 0) {
    ok.refusal = NegativeTimeMessage(kSafeSaveTimeCaption);
    ok.refusalCaption = kRecorderRefusalCaption;
    return ok;
  }
  c.SafeSaveTime = SafeSaveTimeFromText(f.safeSaveTime);
  c.SafeSaveFileName = f.safeSaveFileName;
  c.idSafeSave = f.safeSave ? 1 : 0;

  if (c.idContinuousSave == 1) {
    ok.continuousSaveTold = true;
    // A continuous run needs a ring to write from and an end to stop at.
    if (s.MaxBlock <= 1 || s.EndBlock <= 0) {
      c.idContinuousSave = 0;
      ok.continuousSaveRefused = true;
    }
  }
  // No backup of a file that is not written (the dialog clears its box too).
  if (c.idContinuousSave == 0) c.idSafeSave = 0;
  return ok;
}

std::string DurationText(double ms) {
  if (!std::isfinite(ms) || ms < 1000.0) return FormatFixed(ms, 4, 0) + "ms";
  if (ms < 60000.0) return FormatFixed(ms / 1000.0, 15, 1) + "s";
  if (ms < 3600000.0) {
    const int64_t s = TruncToInt64(ms / 1000.0);
    return std::to_string(s / 60) + "分" + std::to_string(s % 60) + "秒";
  }
  if (ms < 86400000.0) {
    const int64_t m = TruncToInt64(ms / 60000.0);
    return std::to_string(m / 60) + "时" + std::to_string(m % 60) + "分";
  }
  const int64_t h = TruncToInt64(ms / 3600000.0);
  return std::to_string(h / 24) + "天" + std::to_string(h % 24) + "时";
}

RecorderReadouts ComputeRecorderReadouts(const RecorderFields& f, const LiveConfig& live) {
  RecorderReadouts r;
  r.compressRatio = CompressRatioFromText(f.compressRatio, CompressTypeOf(f.compressType), live.SamplesPerCycle);
  // What the fields would give, kept at or above 0 so that no read-out shows
  // a negative block count.
  const int64_t b = std::max<int64_t>(IntOr(f.maxBlock, live.MaxBlock), 0);
  int64_t fault = std::max<int64_t>(IntOr(f.faultBlock, 1), 1);
  if (fault >= b) fault = std::max<int64_t>(b - 1, 0);
  int64_t compressed = std::max<int64_t>(IntOr(f.compressFaultBlock, 0), 0);
  if (fault + compressed + 1 >= b) compressed = std::max<int64_t>(b - fault - 1, 0);

  // Durations need a sampling rate above 0; without one they show "--", the
  // sizes still show.
  const double rate = live.ChannelRate;
  const bool timed = std::isfinite(rate) && rate > 0.0;
  const auto duration = [timed, rate](double samples) {
    return timed ? DurationText(samples / rate * 1000.0) : std::string(kNoDurationText);
  };
  const double numSamp = live.NumSamp;
  const double rowBytes = static_cast<double>(live.NumChn) * numSamp * 2.0;
  r.faultHint = "等价采样时间" + duration(static_cast<double>(fault) * numSamp);
  r.compressHint = "等价压缩时间" + duration(static_cast<double>(compressed) * numSamp * r.compressRatio);
  if (f.continuousSave) {
    const int64_t e = std::max<int64_t>(IntOr(f.endBlock, 10), 0);
    r.status = " 连续记录文件大小:" +
               KilobytesText(static_cast<double>(e) * rowBytes + static_cast<double>(kRecordFileDataOffset)) +
               "KB" + ", 等价采样时间：" + duration(static_cast<double>(e) * numSamp);
  } else {
    const double manualBlocks = static_cast<double>(compressed) * r.compressRatio + static_cast<double>(fault) + 1.0;
    r.status = "实时波形内存=" + KilobytesText(rowBytes * static_cast<double>(b)) + "KB, 等价采样时间=" +
               duration(static_cast<double>(b) * numSamp) + ", 手动记录时间=" + duration(manualBlocks * numSamp);
  }
  return r;
}

namespace {

std::string MegabytesHint(int64_t endBlock, int32_t numChn, int32_t numSamp) {
  const double megabytes = static_cast<double>(numChn) * numSamp * 0.000001 * 2.0 * static_cast<double>(endBlock);
  return "约" + FormatFixed(megabytes, 15, 1) + "MB数据";
}

}  // namespace

std::string EndBlockHint(std::string_view endBlockText, int32_t numChn, int32_t numSamp) {
  const int64_t e = std::max<int64_t>(IntOr(endBlockText, 0), 0);
  return e == 0 ? kEndBlockUnlimitedHint : MegabytesHint(e, numChn, numSamp);
}

std::string OpenerEndBlockHint(int32_t endBlock, int32_t numChn, int32_t numSamp) {
  return endBlock == 0 ? kOpenerEndBlockUnlimitedHint : MegabytesHint(endBlock, numChn, numSamp);
}

bool SnapshotBlockField(std::string_view maxBlockText) { return IntOr(maxBlockText, 0) == 1; }

ContinuousSaveFieldValues ContinuousSaveFieldsFor(std::string_view maxBlockText, std::string_view endBlockText) {
  ContinuousSaveFieldValues v;
  v.maxBlock = ParseDialogInteger(maxBlockText).value_or(kContinuousMinBlocks);
  if (v.maxBlock <= 1) v.maxBlock = kContinuousMinBlocks;
  const std::optional<int32_t> end = ParseDialogInteger(endBlockText);
  v.endBlock = end && *end > 0 ? *end : v.maxBlock;
  return v;
}

int32_t StartNumFromText(std::string_view text) { return ParseDialogInteger(text).value_or(0); }

std::string BackupFileName(std::string_view path) {
  const size_t slash = path.rfind('/');
  const size_t nameAt = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = path.substr(nameAt).rfind('.');
  const size_t insertAt = dot == std::string_view::npos ? path.size() : nameAt + dot;
  return std::string(path.substr(0, insertAt)) + "_BAK" + std::string(path.substr(insertAt));
}

std::string CurrentTimeFileName(double dayCount) { return "F" + platform::FileStampText(dayCount) + ".DAT"; }

std::string MemoryLine(uint64_t totalKB, uint64_t availableKB) {
  const uint64_t percent = totalKB == 0 ? 0 : std::min(availableKB, totalKB) * 100 / totalKB;
  return "注: 物理内存 " + Grouped(totalKB) + " KB, 可用 " + std::to_string(percent) + " %";
}

ContinuousSaveSettings LoadContinuousSaveSettings(platform::RegistryStore& store, const std::string& appKeyName) {
  RegistryReader r(store, QuelvarKeyPath(appKeyName));
  ContinuousSaveSettings s;
  s.ContinuousSaveFile = r.TextOr("ContinuousSaveFile", kDefaultContinuousSaveFile);
  s.SafeSaveFileName = r.TextOr("SafeSaveFileName", kDefaultSafeSaveFileName);
  s.SafeSaveTime = std::max(r.Int("SafeSaveTime", kDefaultSafeSaveTime), 1);
  // A run never saves continuously unless asked for in this session.
  s.idSafeSave = 0;
  s.idContinuousSave = 0;
  return s;
}

void SaveContinuousSaveSettings(platform::RegistryStore& store, const std::string& appKeyName,
                                const ContinuousSaveSettings& saving) {
  platform::RegistryBatch batch(store);
  platform::RegistryKey key(store, QuelvarKeyPath(appKeyName));
  key.WriteString("ContinuousSaveFile", saving.ContinuousSaveFile);
  key.WriteString("SafeSaveFileName", saving.SafeSaveFileName);
  key.WriteInteger("SafeSaveTime", std::max(saving.SafeSaveTime, 1));
  key.WriteInteger("idSafeSave", saving.idSafeSave);
  key.WriteInteger("idContinuousSave", saving.idContinuousSave);
}

void WriteStartNum(platform::RegistryStore& store, const std::string& appKeyName, int32_t startNum) {
  platform::RegistryKey key(store, QuelvarKeyPath(appKeyName));
  key.WriteInteger("StartNum", startNum);
}

}  // namespace quelvar
