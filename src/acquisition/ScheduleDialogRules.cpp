#include "acquisition/ScheduleDialogRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "common/NumberFormat.h"
#include "platform/RegistryKey.h"

namespace quelvar {

namespace {

// Longest recording: two days less a second.
constexpr double kLongestDurationSec = 172800.0;
constexpr double kLongestDurationKept = 172799.0;
constexpr double kLastSecondOfMinute = 59.99;

static_assert(sizeof(LiveConfig::ScheduleTable) == 240, "stored whole as ScheduleSetting");

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A sign may lead, but only one.
std::string_view DropPlus(std::string_view s) {
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
  return s;
}

// A whole decimal number that fits 32 bits, blanks around it allowed.
std::optional<int32_t> ParseWhole(std::string_view text) {
  const std::string_view s = DropPlus(Trim(text));
  int32_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// A finite decimal number; from_chars ignores the locale Qt sets.
std::optional<double> ParseReal(std::string_view text) {
  const std::string_view s = DropPlus(Trim(text));
  double v = 0.0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// The entry's fields are 16 bits: a larger number saturates instead of wrapping.
int16_t To16(int32_t v) {
  return static_cast<int16_t>(
      std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

uint8_t TypeOfName(std::string_view cell) {
  if (cell == "定时") return 1;
  if (cell == "周期") return 2;
  return 0;
}

// Type, timed mode, hour, minute and second: what the OK writes and the
// prompt describes.
void ApplyTiming(const ScheduleColumn& cells, ScheduleEntry& e) {
  const uint8_t type = TypeOfName(cells[kScheduleRowType]);
  int32_t hour = ParseWhole(cells[kScheduleRowHour]).value_or(-1);
  int32_t minute = ParseWhole(cells[kScheduleRowMinute]).value_or(-1);
  int32_t second = ParseWhole(cells[kScheduleRowSecond]).value_or(0);
  if (type == 1) {
    second = std::max(second, 0);
    e.TimedMode = 0;
    if (minute < 0) {
      hour = -1;
      minute = -1;
      e.TimedMode = 2;
    } else if (hour < 0) {
      hour = -1;
      e.TimedMode = 1;
    }
  } else if (type == 2) {
    hour = std::max(hour, 0);
    minute = std::max(minute, 0);
    second = std::max(second, 0);
    if (hour == 0 && minute == 0 && second == 0) second = 1;
  }
  e.Type = type;
  e.Hour = To16(hour);
  e.Minute = To16(minute);
  e.Second = To16(second);
}

std::string Num(int64_t v) { return std::to_string(v); }

}  // namespace

const std::array<const char*, kScheduleGridRows> kScheduleRowTitles = {
    "方案编号",     "保存类型",       "小时(hr)",       "分钟(min)",     "秒(sec)",
    "时间长度(hr)", "时间长度(min)", "时间长度(sec)", "安全备份(0/1)", "备份间隔(min)",
};

const char* ScheduleTypeName(int type) {
  switch (type) {
    case 1: return "定时";
    case 2: return "周期";
    default: return "空";
  }
}

std::string NextScheduleTypeName(std::string_view cell) {
  if (cell == "空") return "定时";
  if (cell == "定时") return "周期";
  return "空";
}

ScheduleColumn ScheduleColumnTexts(const ScheduleEntry& e, int k) {
  const double d = e.DurationSec;
  const int64_t h = TruncToInt64(d / 3600.0);
  const int64_t m = TruncToInt64((d - 3600.0 * static_cast<double>(h)) / 60.0);
  const double s = d - 3600.0 * static_cast<double>(h) - 60.0 * static_cast<double>(m);
  ScheduleColumn c;
  c[kScheduleRowNumber] = Num(k);
  c[kScheduleRowType] = ScheduleTypeName(e.Type);
  c[kScheduleRowHour] = Num(e.Hour);
  c[kScheduleRowMinute] = Num(e.Minute);
  c[kScheduleRowSecond] = Num(e.Second);
  c[kScheduleRowDurationHours] = Num(h);
  c[kScheduleRowDurationMinutes] = Num(m);
  c[kScheduleRowDurationSeconds] = FormatGeneral(s, 7);
  c[kScheduleRowBackup] = Num(e.SafeBackup);
  c[kScheduleRowBackupInterval] = Num(e.BackupMin);
  return c;
}

int32_t ParseScheduleCount(std::string_view text, int32_t fallback) {
  return std::clamp(ParseWhole(text).value_or(fallback), 0, kScheduleEntries);
}

void ApplyScheduleColumn(const ScheduleColumn& cells, ScheduleEntry& e) {
  ApplyTiming(cells, e);

  int32_t hours = ParseWhole(cells[kScheduleRowDurationHours]).value_or(0);
  if (hours < 0) hours = 0;
  else if (hours > 48) hours = 47;
  const int32_t minutes = std::clamp(ParseWhole(cells[kScheduleRowDurationMinutes]).value_or(0), 0, 59);
  double seconds = ParseReal(cells[kScheduleRowDurationSeconds]).value_or(0.0);
  if (seconds < 0.0) seconds = 0.0;
  else if (seconds >= 60.0) seconds = kLastSecondOfMinute;
  double duration = hours * 3600.0 + minutes * 60.0 + seconds;
  if (duration <= 0.0) duration = 1.0;
  else if (duration > kLongestDurationSec) duration = kLongestDurationKept;
  e.DurationSec = duration;

  e.SafeBackup = ParseWhole(cells[kScheduleRowBackup]).value_or(0) != 0 ? 1 : 0;
  const int32_t interval = ParseWhole(cells[kScheduleRowBackupInterval]).value_or(1);
  e.BackupMin = To16(interval > 0 ? interval : 1);
}

std::string SchedulePromptText(int column, const ScheduleColumn& cells) {
  ScheduleEntry e{};
  ApplyTiming(cells, e);
  std::string text = "方案" + Num(column - 1) + ": ";
  const std::string h = Num(e.Hour), m = Num(e.Minute), s = Num(e.Second);
  if (e.Type == 0) return text + "空";
  if (e.Type == 1) {
    if (e.TimedMode == 0) text += "在每天的" + h + "时" + m + "分" + s + "秒" + "时刻保存";
    else if (e.TimedMode == 1) text += "在每小时的" + m + "分" + s + "秒" + "时刻保存";
    else text += "在每分的" + s + "秒" + "时刻保存";
  } else {
    text += "每过" + h + "时" + m + "分" + s + "秒" + "保存1次";
  }
  if (cells[kScheduleRowBackup] == "1") text += "(安全备份)";
  return text;
}

void ApplyScheduleDialog(const ScheduleDialogFields& fields, LiveConfig& live) {
  const int32_t n = ParseScheduleCount(fields.count, 0);
  live.NumScheduleSave = n;
  for (int32_t k = 0; k < n; ++k) {
    ApplyScheduleColumn(fields.columns[static_cast<size_t>(k)], live.ScheduleTable[static_cast<size_t>(k)]);
  }
  live.idMaskScheduleSave = fields.mask ? 1 : 0;
}

std::string ScheduleSaveKeyPath(const std::string& appKeyName) {
  return "\\SOFTWARE\\" + appKeyName + "\\ScheduleSave";
}

void SetScheduleStartValues(LiveConfig& live) {
  // The start values are those of a fresh configuration, kept in one place.
  const LiveConfig fresh;
  live.NumScheduleSave = fresh.NumScheduleSave;
  live.idMaskScheduleSave = fresh.idMaskScheduleSave;
  live.ScheduleTable = fresh.ScheduleTable;
}

void LoadScheduleSettings(platform::RegistryStore& store, const std::string& appKeyName, LiveConfig& live) {
  SetScheduleStartValues(live);
  const platform::RegistryKey key(store, ScheduleSaveKeyPath(appKeyName));
  if (const auto n = key.ReadInteger("NumScheduleSave")) live.NumScheduleSave = std::clamp(*n, 0, kScheduleEntries);
  if (const auto mask = key.ReadInteger("idMaskScheduleSave")) live.idMaskScheduleSave = *mask;
  if (const auto table = key.ReadBinary("ScheduleSetting", sizeof live.ScheduleTable)) {
    std::memcpy(live.ScheduleTable.data(), table->data(), sizeof live.ScheduleTable);
  }
}

void SaveScheduleSettings(platform::RegistryStore& store, const std::string& appKeyName, const LiveConfig& live) {
  const platform::RegistryBatch batch(store);  // one save of the tree for the three values
  platform::RegistryKey key(store, ScheduleSaveKeyPath(appKeyName));
  key.WriteInteger("NumScheduleSave", live.NumScheduleSave);
  key.WriteInteger("idMaskScheduleSave", live.idMaskScheduleSave);
  const auto* bytes = reinterpret_cast<const uint8_t*>(live.ScheduleTable.data());
  key.WriteBinary("ScheduleSetting", std::span<const uint8_t>(bytes, sizeof live.ScheduleTable));
}

}  // namespace quelvar
