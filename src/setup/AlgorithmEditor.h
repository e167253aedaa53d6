#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/AlgorithmTypeTable.h"
#include "common/LiveConfig.h"
#include "platform/CellGrid.h"

namespace quelvar {

// The rules of the trigger-algorithm editor: its working copy, the list and
// detail grids, the type choice, the remarks, reading the detail grid back,
// what OK writes, and the summary text. The window only moves texts between
// its controls and these.

// Texts of the editor.
inline constexpr const char* kAlgorithmEditorCaption = "录波启动算法设置";
inline constexpr const char* kBadChannelRemark = "通道号太大或太小";
inline constexpr const char* kIllegalChannelRemark = "非法通道值";
inline constexpr const char* kCannotCreateFileText = "不能创建新文件!";
inline constexpr const char* kCannotCreateFileCaption = "打开配置文件错误";
inline constexpr const char* kAlgorithmFileErrorCaption = "打开算法配置文件错误";
inline constexpr const char* kSaveAlgorithmTitle = "指定要保存的算法文件名";
inline constexpr const char* kReadAlgorithmTitle = "选定要读取的算法配置文件名";
inline constexpr const char* kAlgorithmFileExt = "ALG";
inline constexpr const char* kAlgorithmFileFilter = "算法文件 (*.alg)|*.alg|所有文件 (*.*)|*.*";

// Types the editor offers for choice: entries 0 to 6 of the type table.
inline constexpr int kChoosableAlgorithmTypes = 7;

// The editor's working copy of the algorithm table; OK writes it back.
struct AlgorithmWorkCopy {
  std::array<AlgorithmConfig, kMaxAlgorithms> WorkAlgorithmTable{};
  int32_t WorkAlgorithmNum = 0;  // 0..60
  int32_t CurrentAlgorithmIndex = 0;  // the algorithm the detail grid shows
};

// The opener's copy: the live count and all 60 live records.
void LoadWorkCopy(const LiveConfig& live, AlgorithmWorkCopy& work);

// The working count from its edit: an integer clamped to 0..60; a text that
// is not one gives `liveCount` (clamped the same way).
int32_t WorkingCountFromText(std::string_view text, int32_t liveCount);

// The list grid for the working count: a fixed heading column and row, one
// column per algorithm (number, name, type name); one empty column when the
// count is 0. Widths and the current cell are kept.
void BuildAlgorithmList(const AlgorithmWorkCopy& work, platform::CellGrid& list);

// The algorithm a list column shows: the number in its heading cell (columns
// may have been moved), else the column's place; at least 0.
int32_t AlgorithmOfListColumn(const platform::CellGrid& list, int col);

// The list column whose heading number is `algorithm` (columns may have
// been moved); -1 when no column shows it.
int ListColumnOfAlgorithm(const platform::CellGrid& list, int32_t algorithm);

// CurrentAlgorithmIndex reset to 0 when it is outside the list's columns.
void KeepCurrentInList(const platform::CellGrid& list, AlgorithmWorkCopy& work);

// Where each part of an algorithm's details sits in the detail grid. The
// rows follow the type's counts C and S, never the record's own UsedChn and
// SetPointNum: the grid, the remark and the parse-back share this map, so a
// record whose counts differ from its type is never read from wrong cells.
struct AlgorithmDetailRows {
  int C = 0;  // input channels of the type
  int S = 0;  // set points of the type
  int K() const { return C + S; }
  int InputRow(int i) const { return 2 + i; }
  int SetPointHeadRow() const { return C + 2; }
  int SetPointRow(int i) const { return C + 3 + i; }
  int TimesHeadRow() const { return K() + 3; }
  int PreRecordRow() const { return K() + 4; }
  int RecordRow() const { return K() + 5; }
  int CompressRecordRow() const { return K() + 6; }
  int AssAnalogHeadRow() const { return K() + 7; }
  int AssAnalogRow(int j) const { return K() + 8 + j; }
  int AssSwitchHeadRow() const { return K() + 12; }
  int AssSwitchRow(int j) const { return K() + 13 + j; }
  int RowCount() const { return K() + 17; }
};

// The rows of a record's type (a sanitised record: Type within the table).
AlgorithmDetailRows DetailRowsOf(const AlgorithmConfig& record);

// The detail grid of one algorithm: 3 columns (name, value, remark), a fixed
// heading row and name column. Widths are kept; no cell is marked modified.
void BuildAlgorithmDetail(const AlgorithmConfig& record, const LiveConfig& live, platform::CellGrid& detail);

// "n号启动算法:".
std::string AlgorithmNumberLabel(int32_t index);

// Remark of an input channel in the detail grid: its type tag and name, or
// kBadChannelRemark for a number outside the analog channels.
std::string InputChannelRemark(int32_t channel, const LiveConfig& live);

// The remark shown while a value cell is typed: for the rows of input
// channels, associated analog channels and associated switch inputs, the
// remark column's new text; nothing for other rows.
std::optional<std::string> LiveDetailRemark(const AlgorithmConfig& record, const LiveConfig& live, int row,
                                            std::string_view text);

// Chooses a type for an algorithm from the type box: the first type whose
// name is `boxText`, else `boxIndex`. Copies the type's counts and default
// times, clears both associated lists; channels and set points stay. False,
// with nothing changed, when neither names a type.
bool ChooseAlgorithmType(AlgorithmConfig& record, std::string_view boxText, int boxIndex);

// Reading the detail grid back into a record. Only cells the user changed
// are read, so viewing never changes a value. A changed input channel i or
// set point i raises the record's UsedChn or SetPointNum to at least i + 1,
// so that it is stored with the record; a changed input channel also filters
// the associated analog list again. A set point or time that is
// not a number, or a negative time, refuses the whole parse: the record is
// left as it was and `refusal` says which field and why.
struct DetailParseResult {
  std::optional<std::string> refusal;
  bool ok() const { return !refusal.has_value(); }
};
DetailParseResult ParseAlgorithmDetail(const platform::CellGrid& detail, const LiveConfig& live,
                                       AlgorithmConfig& record);

// The global trigger settings as the dialog shows them.
struct AlgorithmOkFields {
  bool startBin = false;
  bool startAnalog = false;
  bool preventSame = false;
  std::string triggerUpNum;
  std::string triggerTimeRange;
  std::string triggerNum;
};

// The values written back into the limit edits after OK.
struct AlgorithmOkOutcome {
  int32_t triggerUpNum = 0;
  int32_t triggerTimeRange = 0;
};

// OK: the working count and the first WorkAlgorithmNum working records (the
// live records beyond stay), the switches, the trigger limits (not an
// integer or below 1: 0) and the confirmation count (not an integer: 1;
// clamped to 1..10).
AlgorithmOkOutcome ApplyAlgorithmEditor(const AlgorithmWorkCopy& work, const AlgorithmOkFields& fields,
                                        LiveConfig& live);

// The text the summary button puts on the clipboard, for the working
// algorithms.
std::string AlgorithmSummaryText(const AlgorithmWorkCopy& work, const LiveConfig& live);

// One entry of the analog channel look-up list: "i: name [type]".
std::string AnalogLookupEntry(int32_t index, const AnalogChannel& channel);

// A file's records taken into the working copy (at most 60; the count
// follows). The current index is left for the caller to check against the
// rebuilt list.
void TakeFileRecords(const std::vector<AlgorithmConfig>& records, AlgorithmWorkCopy& work);

}  // namespace quelvar
