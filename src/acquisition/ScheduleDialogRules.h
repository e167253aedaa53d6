#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/LiveConfig.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The schedule dialog's grid is transposed: column 0 holds the row titles,
// column k + 1 the texts of schedule k, one row per field.
enum ScheduleGridRow : int {
  kScheduleRowNumber = 0,
  kScheduleRowType,
  kScheduleRowHour,
  kScheduleRowMinute,
  kScheduleRowSecond,
  kScheduleRowDurationHours,
  kScheduleRowDurationMinutes,
  kScheduleRowDurationSeconds,
  kScheduleRowBackup,
  kScheduleRowBackupInterval,
  kScheduleGridRows
};
inline constexpr int kScheduleGridColumns = kScheduleEntries + 1;

// The texts of one schedule's column, indexed by ScheduleGridRow.
using ScheduleColumn = std::array<std::string, kScheduleGridRows>;

extern const std::array<const char*, kScheduleGridRows> kScheduleRowTitles;

// "空", "定时", "周期"; a stored type outside 0..2 never fires, so it shows as empty.
const char* ScheduleTypeName(int type);
// A double click on a type cell: "空" -> "定时" -> "周期" -> "空"; any other text gives "空".
std::string NextScheduleTypeName(std::string_view cell);

// The column of schedule k as the grid shows the entry.
ScheduleColumn ScheduleColumnTexts(const ScheduleEntry& entry, int k);

// The count field: a whole number (`fallback` when it is none) clamped to 0..10.
int32_t ParseScheduleCount(std::string_view text, int32_t fallback);

// Writes the fields the dialog edits from a column's texts, with the dialog's
// defaults and clamps; the reserved bytes, and the timed mode of a periodic
// or empty schedule, keep their values.
void ApplyScheduleColumn(const ScheduleColumn& cells, ScheduleEntry& entry);

// The hint for the selected grid column c (> 0), read with the same rules:
// "方案0: 在每天的8时30分0秒时刻保存(安全备份)".
std::string SchedulePromptText(int column, const ScheduleColumn& cells);

// Everything the dialog's OK reads.
struct ScheduleDialogFields {
  std::string count;
  bool mask = false;
  std::array<ScheduleColumn, kScheduleEntries> columns;
};

// The dialog's OK, straight into the live settings: the count (0 when not a
// number), the first `count` schedules from their columns, the mask. Schedules
// beyond the count keep their values.
void ApplyScheduleDialog(const ScheduleDialogFields& fields, LiveConfig& live);

// The schedules of "\SOFTWARE\<app>\ScheduleSave". Loading first gives the
// start values, then takes each stored value that reads (count clamped to
// 0..10, the table as one 240-byte image).
std::string ScheduleSaveKeyPath(const std::string& appKeyName);
void SetScheduleStartValues(LiveConfig& live);
void LoadScheduleSettings(platform::RegistryStore& store, const std::string& appKeyName, LiveConfig& live);
void SaveScheduleSettings(platform::RegistryStore& store, const std::string& appKeyName, const LiveConfig& live);

}  // namespace quelvar
