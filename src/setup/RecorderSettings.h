#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/LiveConfig.h"
#include "common/SaveSettings.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The rules of the recorder-settings dialog: how OK reads and clamps its
// fields, the read-outs shown while the user types, the file names its
// buttons make, and the continuous-save values it keeps in the settings tree.
// The window only moves texts between its controls and these.

// Texts the dialog shows.
inline constexpr const char* kEndBlockUnlimitedHint = "处理数据无限制";
inline constexpr const char* kOpenerEndBlockUnlimitedHint = "处理无限制";
inline constexpr const char* kContinuousSaveCaption = "您选择了自动连续存盘功能";
inline constexpr const char* kContinuousSaveKeptText = "请确保磁盘空间、记录长度等参数适当！";
inline constexpr const char* kContinuousSaveRefusedText = "由于内存缓冲区块数＝1\n 或处理块上限=0\n而屏蔽自动连续存盘功能！";
inline constexpr const char* kRecorderRefusalCaption = "不允许退出";
inline constexpr const char* kDefaultContinuousSaveFile = "F001.DAT";
inline constexpr const char* kDefaultSafeSaveFileName = "F001-BAK.DAT";
inline constexpr int32_t kDefaultSafeSaveTime = 10;

// The compression kinds, CompressType 0 to 4.
inline constexpr std::array<const char*, 5> kCompressTypeNames = {"区间交流有效值", "区间中点值", "区间平均值",
                                                                    "区间最大值", "区间最小值"};

// The texts and switches of the dialog's fields.
struct RecorderFields {
  std::string maxBlock, faultBlock, compressFaultBlock, compressRatio, fileNum, endBlock, dispFrq;
  int compressType = 0;  // the list's selection; -1 for none
  bool autoStart = false, autoPrint = false, autoRestore = false;
  bool continuousSave = false;
  std::string fileName;
  bool safeSave = false;
  std::string safeSaveTime, safeSaveFileName;
};

// Everything the dialog's OK sets.
struct RecorderSettings {
  int32_t SamplesPerCycle = 1;
  int32_t CompressType = 0;
  int32_t CompressRatio = 1;
  int32_t FileNum = 400;
  int32_t MaxBlock = 200;
  int32_t FaultBlockNum = 10;
  int32_t CompressFaultBlockNum = 0;
  int32_t EndBlock = 0;
  int32_t QuelvarDispFrq = 1000;
  int32_t AutoStart = 0;
  int32_t AutoRestoreCfg = 0;
  int32_t AutoPrint = 0;
  ContinuousSaveSettings saving;

  bool operator==(const RecorderSettings&) const = default;
};

// The settings in force, and putting new ones in force; both walk one list
// of the fields.
RecorderSettings RecorderSettingsOf(const LiveConfig& live, const ContinuousSaveSettings& saving);
void CommitRecorderSettings(const RecorderSettings& settings, LiveConfig& live, ContinuousSaveSettings& saving);

// What OK makes of the fields.
struct RecorderOk {
  // The new settings; meaningful only when not refused.
  RecorderSettings settings;
  // Why OK was refused (nothing may then be stored), with the caption of
  // its message; empty when accepted.
  std::string refusal;
  std::string refusalCaption;
  // Continuous saving was ticked: the user is told whether it stays on.
  bool continuousSaveTold = false;
  // Ticked, but switched off for want of a ring or an end block.
  bool continuousSaveRefused = false;
  bool refused() const { return !refusal.empty(); }
};

// OK: reads every field with its default and clamp, taking the fields'
// defaults from the settings in force; writes nothing. A negative time in a
// field the user can edit (the display refresh while the block count reads
// 1, the backup interval while continuous saving is ticked) is refused.
RecorderOk ReadRecorderFields(const RecorderFields& fields, const LiveConfig& live,
                              const ContinuousSaveSettings& saving);

// The ratio rule shared by OK and the read-outs: not a number or below 1
// counts as 1, which stands for one AC cycle; compression kind 0 (AC RMS)
// needs at least a cycle.
int32_t CompressRatioFromText(std::string_view text, int compressType, int32_t samplesPerCycle);

// The backup interval in minutes: not a number or below 1 gives 1.
int32_t SafeSaveTimeFromText(std::string_view text);

// A duration in milliseconds as the read-outs write it: "750ms", "30.0s",
// "2分5秒", "1时30分", "2天3时". Not a number or infinite: "NANms", "INFms".
std::string DurationText(double ms);

// The read-outs while the user types. Without a sampling rate above 0 every
// duration in them is kNoDurationText.
inline constexpr const char* kNoDurationText = "--";
struct RecorderReadouts {
  int32_t compressRatio = 1;  // the ratio the read-outs use
  std::string faultHint;      // EditFaultBlock's hint
  std::string compressHint;   // EditCompressFaultBlock's hint
  std::string status;         // the status line
};
RecorderReadouts ComputeRecorderReadouts(const RecorderFields& fields, const LiveConfig& live);

// The hint of the end-block label while the field is edited: "处理数据无限制"
// for 0 (or no number, or below 0), else "约" + megabytes + "MB数据".
std::string EndBlockHint(std::string_view endBlockText, int32_t numChn, int32_t numSamp);
// The opener's form of it, from the setting: "处理无限制" for 0.
std::string OpenerEndBlockHint(int32_t endBlock, int32_t numChn, int32_t numSamp);

// True when the block-count field reads exactly 1 (snapshot mode): the
// display-refresh field shows instead of the end-block field.
bool SnapshotBlockField(std::string_view maxBlockText);

// What ticking continuous saving writes back into the block-count and
// end-block fields: a ring of at least 10 blocks and an end block.
struct ContinuousSaveFieldValues {
  int32_t maxBlock = 10;
  int32_t endBlock = 10;
};
ContinuousSaveFieldValues ContinuousSaveFieldsFor(std::string_view maxBlockText, std::string_view endBlockText);

// The run counter as its field is left: not a number gives 0.
int32_t StartNumFromText(std::string_view text);

// The backup's name: "_BAK" before the extension of the file name (the
// directory's dots never count), or at its end when it has none.
std::string BackupFileName(std::string_view path);

// "F" + the local time as "yyyymmddhhnnss" + ".DAT".
std::string CurrentTimeFileName(double dayCount);

// "注: 物理内存 8,123,456 KB, 可用 41 %": the total and the share still
// available.
std::string MemoryLine(uint64_t totalKB, uint64_t availableKB);

// The dialog's values in "\Quelvar". At start the names and the backup
// interval are read with their defaults and continuous saving and its backup
// are off, whatever was stored.
ContinuousSaveSettings LoadContinuousSaveSettings(platform::RegistryStore& store, const std::string& appKeyName);
void SaveContinuousSaveSettings(platform::RegistryStore& store, const std::string& appKeyName,
                                const ContinuousSaveSettings& saving);
void WriteStartNum(platform::RegistryStore& store, const std::string& appKeyName, int32_t startNum);

}  // namespace quelvar
