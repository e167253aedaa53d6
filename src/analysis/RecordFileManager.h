#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/RecordFileHeader.h"
#include "shell/ConfigRecord.h"

namespace quelvar::platform {
class UiHost;
}

namespace quelvar {

// The record-file manager without its window: the full check of one record
// file with its report, the repaired copy, the user-text update, deletion and
// the block range. The window reads its widgets, calls these and writes back.

// Why the last check failed.
inline constexpr int32_t kCheckCannotOpen = 1;
inline constexpr int32_t kCheckWrongTag = 2;
inline constexpr int32_t kCheckHeaderFormat = 3;
inline constexpr int32_t kCheckConfiguration = 4;
inline constexpr int32_t kCheckLength = 5;

struct RecordFileReport {
  bool valid = false;
  int32_t status = 0;  // 0 when the file passed, else a kCheck... code
  std::string report;  // the report box's whole text, lines joined by "\r\n"
  // The user-text box's new text, UTF-8; empty when the check did not reach
  // the comment (the box then keeps what it showed).
  std::optional<std::string> userText;
  RecordFileHeader header{};
  ConfigRecord config{};
  int32_t blockCount = 0;
};

// Block, row and channel counts of at least 1 whose product, in 64 bits, is
// the header's data size.
bool DataSizeMatches(const RecordFileHeader& h);
// A valid configuration record that agrees with the header on the record's
// layout.
bool ConfigAgrees(const ConfigRecord& c, const RecordFileHeader& h);

// Checks header, configuration, data size, comment and total length of the
// file at `path`, shown in the report as `fileName`. A size the file states is
// never trusted: the data size is computed in 64 bits from block, row and
// channel counts of at least 1, and a comment length that reaches past the
// file's end fails the length check without being read.
RecordFileReport CheckRecordFileReport(const std::string& path, const std::string& fileName);

// The verdict's name for a file that failed: one of the two older formats, or
// "未知格式".
std::string OlderRecordFormatName(const std::string& path);

// `directory` + "/" (unless it ends with one) + `fileName`.
std::string JoinRecordPath(const std::string& directory, const std::string& fileName);

// The repaired copy's path: beside the source, "-Fix" before the extension.
std::string RepairedCopyPath(const std::string& source);

struct RepairOutcome {
  bool ok = false;
  bool refused = false;    // the source cannot be repaired at all
  std::string copyPath;    // set when ok
  std::string report;      // the report box's text when not ok
  std::string error;       // the system's reason, when there is one
};

// Writes a copy of `source` that holds its whole blocks only, with the
// header's BlockCount and DataBytes made to match and the comment "修复的历史数据文件".
// The copy appears whole or not at all (an older copy stays until the new one
// replaces it). Refused for a block size of 0, a source shorter than header
// and configuration, or one without a single whole block.
RepairOutcome RepairRecordFile(const std::string& source);

// Rewrites the comment of the checked file at `path` with `utf8Text` (stored
// GBK) and cuts the file after it. Refused, with nothing written, when the
// header found there is no longer `checkedHeader`. Every write is checked;
// false with `error` set on any failure.
bool WriteRecordUserText(const std::string& path, const RecordFileHeader& checkedHeader, const std::string& utf8Text,
                         std::string& error);

// The block range as whole numbers within 0..blockCount - 1, end not below
// begin; a text that is not a whole number counts 0.
std::pair<int32_t, int32_t> ClampBlockRange(const std::string& beginText, const std::string& endText,
                                            int32_t blockCount);

// The names in `directory` of regular files matching the mask ("F*.DAT",
// case ignored as the file dialogs do), sorted; and its subdirectories.
std::vector<std::string> ListMatchingFiles(const std::string& directory, const std::string& mask);
std::vector<std::string> ListSubdirectories(const std::string& directory);
// True when `text` is a mask rather than a file name.
bool IsFileMask(const std::string& text);

// The manager's state between visits and its commands.
class RecordFileManager {
 public:
  // `historyFilePath` is the process-wide path of the file checked last,
  // which the open command reads.
  RecordFileManager(std::string& historyFilePath, platform::UiHost& ui) : historyFilePath_(historyFilePath), ui_(ui) {}

  // The check, on every change of the file name.
  const RecordFileReport& Check(const std::string& directory, const std::string& fileName);

  // OK: true when the checked file may be confirmed; otherwise tells the user.
  bool ConfirmSelection();
  // Delete: asks first; true when the file was deleted.
  bool DeleteCheckedFile();
  // User-text update with the text of the user-text box.
  bool UpdateUserText(const std::string& utf8Text);
  // Repair: on success the copy's file name (without directory), which the
  // window puts into its file-name edit to check the copy; the report text
  // otherwise, in `report` (empty when the user was told by a message).
  std::optional<std::string> Repair(std::string& report);

  bool CheckedFileValid() const { return checkedFileValid_; }
  int32_t RecordCheckStatus() const { return recordCheckStatus_; }
  int32_t CheckedBlockCount() const { return last_.blockCount; }
  const RecordFileHeader& CheckedFileHeader() const { return last_.header; }
  const ConfigRecord& CheckedFileConfig() const { return last_.config; }
  bool RepairAllowed() const { return !checkedFileValid_ && recordCheckStatus_ == kCheckLength; }

  // The file name confirmed last, or the mask shown at start.
  std::string FaultFileSelection = "F*.DAT";

 private:
  std::string& historyFilePath_;
  platform::UiHost& ui_;
  bool checkedFileValid_ = false;
  int32_t recordCheckStatus_ = 0;
  RecordFileReport last_;
};

}  // namespace quelvar
