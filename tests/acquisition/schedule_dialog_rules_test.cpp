#include <gtest/gtest.h>

#include <cstring>

#include "acquisition/ScheduleDialogRules.h"
#include "platform/MemoryRegistry.h"

namespace {

using namespace quelvar;

const std::string kKey = "\\SOFTWARE\\QuelvarTorque\\ScheduleSave";

ScheduleEntry StartEntry() { return LiveConfig{}.ScheduleTable[0]; }

ScheduleEntry Entry(uint8_t type, uint8_t mode, int16_t h, int16_t m, int16_t s, double duration, uint8_t backup = 0,
                    int16_t backupMin = 1) {
  ScheduleEntry e{};
  e.Type = type;
  e.TimedMode = mode;
  e.Hour = h;
  e.Minute = m;
  e.Second = s;
  e.DurationSec = duration;
  e.SafeBackup = backup;
  e.BackupMin = backupMin;
  return e;
}

// A column with the given timing cells and a one-second recording.
ScheduleColumn Timing(const char* type, const char* h, const char* m, const char* s, const char* backup = "0") {
  return {"0", type, h, m, s, "0", "0", "1", backup, "1"};
}

ScheduleColumn Duration(const char* h, const char* m, const char* s) {
  return {"0", "空", "0", "0", "0", h, m, s, "0", "1"};
}

ScheduleColumn Backup(const char* flag, const char* interval) {
  return {"0", "定时", "8", "0", "0", "0", "0", "1", flag, interval};
}

bool SameBytes(const ScheduleEntry& a, const ScheduleEntry& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ScheduleDialogGrid, ColumnShowsTheEntryWithItsDurationSplit) {
  struct Case {
    ScheduleEntry entry;
    int k;
    ScheduleColumn texts;
  } cases[] = {
      {StartEntry(), 0, {"0", "空", "0", "0", "1", "0", "0", "1", "0", "1"}},
      {Entry(1, 1, -1, 30, 5, 3661.5, 1, 15), 3, {"3", "定时", "-1", "30", "5", "1", "1", "1.5", "1", "15"}},
      {Entry(2, 0, 0, 10, 0, 172799.0), 9, {"9", "周期", "0", "10", "0", "47", "59", "59", "0", "1"}},
      {Entry(1, 0, 8, 0, 0, 59.99), 1, {"1", "定时", "8", "0", "0", "0", "0", "59.99", "0", "1"}},
      {Entry(1, 0, 8, 0, 0, 7320.0 + 1.0 / 3.0), 1, {"1", "定时", "8", "0", "0", "2", "2", "0.3333333", "0", "1"}},
      // A damaged type from the registry or a record never fires: shown as empty.
      {Entry(7, 0, 0, 0, 1, 1.0), 2, {"2", "空", "0", "0", "1", "0", "0", "1", "0", "1"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ScheduleColumnTexts(c.entry, c.k), c.texts) << c.k;
}

TEST(ScheduleDialogGrid, DoubleClickCyclesTheTypeAndTurnsAnythingElseEmpty) {
  const std::pair<const char*, const char*> cases[] = {
      {"空", "定时"}, {"定时", "周期"}, {"周期", "空"}, {"", "空"}, {"定时 ", "空"}, {"1", "空"},
  };
  for (const auto& [cell, next] : cases) EXPECT_EQ(NextScheduleTypeName(cell), next) << cell;
}

TEST(ScheduleDialogGrid, WhatTheDialogWritesComesBackFromItsOwnTexts) {
  const ScheduleEntry entries[] = {
      Entry(1, 0, 23, 59, 59, 172799.0, 1, 30), Entry(1, 1, -1, 30, 0, 600.0, 0, 1),
      Entry(1, 2, -1, -1, 15, 59.5, 1, 2),      Entry(2, 0, 1, 0, 30, 3600.25, 0, 5),
      Entry(0, 0, 0, 0, 1, 1.0, 0, 1),
  };
  for (const ScheduleEntry& e : entries) {
    ScheduleEntry back = StartEntry();
    back.TimedMode = e.TimedMode;  // a periodic or empty schedule keeps the mode it had
    ApplyScheduleColumn(ScheduleColumnTexts(e, 0), back);
    EXPECT_TRUE(SameBytes(back, e)) << ScheduleColumnTexts(e, 0)[kScheduleRowType] << " " << e.DurationSec;
  }
}

TEST(ScheduleDialogOk, TimingCellsDecideTheKindOfTimedSchedule) {
  struct Case {
    ScheduleColumn cells;
    uint8_t type, mode;
    int16_t h, m, s;
  } cases[] = {
      {Timing("定时", "8", "30", "0"), 1, 0, 8, 30, 0},
      {Timing("定时", "", "30", "5"), 1, 1, -1, 30, 5},  // no hour: every hour
      {Timing("定时", "-2", "30", "5"), 1, 1, -1, 30, 5},
      {Timing("定时", "8", "", "5"), 1, 2, -1, -1, 5},  // no minute: every minute, the hour dropped
      {Timing("定时", "8", "-1", "5"), 1, 2, -1, -1, 5},
      {Timing("定时", "8", "30", "-3"), 1, 0, 8, 30, 0},
      {Timing("定时", "8", "30", "x"), 1, 0, 8, 30, 0},
      {Timing("定时", " 9 ", "+5", "0"), 1, 0, 9, 5, 0},
      {Timing("定时", "70000", "0", "0"), 1, 0, 32767, 0, 0},  // saturates instead of wrapping
      {Timing("周期", "", "", ""), 2, 3, 0, 0, 1},            // all zero: one second
      {Timing("周期", "0", "0", "0"), 2, 3, 0, 0, 1},
      {Timing("周期", "-1", "10", "-5"), 2, 3, 0, 10, 0},
      {Timing("空", "abc", "", "-4"), 0, 3, -1, -1, -4},  // taken as typed
      {Timing("定时x", "8", "0", "0"), 0, 3, 8, 0, 0},
  };
  for (const Case& c : cases) {
    ScheduleEntry e = StartEntry();
    e.TimedMode = 3;  // shows which kinds set the mode
    ApplyScheduleColumn(c.cells, e);
    const std::string what = c.cells[kScheduleRowType] + " " + c.cells[kScheduleRowHour] + ":" +
                             c.cells[kScheduleRowMinute] + ":" + c.cells[kScheduleRowSecond];
    EXPECT_EQ(e.Type, c.type) << what;
    EXPECT_EQ(e.TimedMode, c.mode) << what;
    EXPECT_EQ(e.Hour, c.h) << what;
    EXPECT_EQ(e.Minute, c.m) << what;
    EXPECT_EQ(e.Second, c.s) << what;
  }
}

TEST(ScheduleDialogOk, DurationIsClampedToOneSecondUpToTwoDays) {
  struct Case {
    ScheduleColumn cells;
    double seconds;
  } cases[] = {
      {Duration("50", "0", "0"), 47 * 3600.0},
      {Duration("48", "0", "0"), 172800.0},  // 48 hours is not above the limit
      {Duration("48", "30", "0"), 172799.0},
      {Duration("0", "0", "0"), 1.0},
      {Duration("", "", ""), 1.0},
      {Duration("-3", "-5", "-1"), 1.0},
      {Duration("x", "y", "z"), 1.0},
      {Duration("1", "75", "0"), 3600.0 + 59 * 60.0},
      {Duration("0", "0", "60"), 59.99},
      {Duration("0", "0", "75.5"), 59.99},
      {Duration("0", "0", "59.5"), 59.5},
      {Duration("0", "1", "x"), 60.0},
      {Duration("0", "0", "1e1"), 10.0},
      {Duration("0", "0", "nan"), 1.0},
      {Duration("2", "0", "0.5"), 7200.5},
      {Duration(" 3 ", "+2", ""), 3 * 3600.0 + 120.0},
      {Duration("1.5", "0", "0"), 1.0},  // hours and minutes are whole numbers
  };
  for (const Case& c : cases) {
    ScheduleEntry e = StartEntry();
    ApplyScheduleColumn(c.cells, e);
    EXPECT_DOUBLE_EQ(e.DurationSec, c.seconds) << c.cells[kScheduleRowDurationHours] << ":"
                                               << c.cells[kScheduleRowDurationMinutes] << ":"
                                               << c.cells[kScheduleRowDurationSeconds];
  }
}

TEST(ScheduleDialogOk, BackupFlagAndIntervalTakeTheirDefaults) {
  struct Case {
    ScheduleColumn cells;
    uint8_t flag;
    int16_t interval;
  } cases[] = {
      {Backup("1", "15"), 1, 15},  {Backup("0", "0"), 0, 1},      {Backup("2", ""), 1, 1},
      {Backup("-1", "-5"), 1, 1},  {Backup("x", "x"), 0, 1},      {Backup("", "99999"), 0, 32767},
      {Backup("1.0", "2.5"), 0, 1},
  };
  for (const Case& c : cases) {
    ScheduleEntry e = StartEntry();
    ApplyScheduleColumn(c.cells, e);
    EXPECT_EQ(e.SafeBackup, c.flag) << c.cells[kScheduleRowBackup];
    EXPECT_EQ(e.BackupMin, c.interval) << c.cells[kScheduleRowBackupInterval];
  }
}

TEST(ScheduleDialogOk, CountComesFromTheFieldAndLaterSchedulesKeepTheirValues) {
  LiveConfig live;
  for (int k = 0; k < kScheduleEntries; ++k) live.ScheduleTable[k] = Entry(2, 1, 0, k + 1, 0, 100.0 + k, 1, 7);
  const LiveConfig before = live;
  ScheduleDialogFields fields;
  for (ScheduleColumn& c : fields.columns) c = Timing("定时", "", "15", "0", "1");
  fields.count = "2";
  fields.mask = true;
  ApplyScheduleDialog(fields, live);
  EXPECT_EQ(live.NumScheduleSave, 2);
  EXPECT_EQ(live.idMaskScheduleSave, 1);
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(live.ScheduleTable[k].Type, 1);
    EXPECT_EQ(live.ScheduleTable[k].TimedMode, 1);
    EXPECT_EQ(live.ScheduleTable[k].SafeBackup, 1);
  }
  for (int k = 2; k < kScheduleEntries; ++k) {
    EXPECT_TRUE(SameBytes(live.ScheduleTable[k], before.ScheduleTable[k])) << k;
  }

  const std::pair<const char*, int32_t> counts[] = {{"abc", 0}, {"", 0}, {"-4", 0}, {"15", 10}, {"10", 10}};
  for (const auto& [text, n] : counts) {
    LiveConfig other = before;
    fields.count = text;
    fields.mask = false;
    ApplyScheduleDialog(fields, other);
    EXPECT_EQ(other.NumScheduleSave, n) << text;
    EXPECT_EQ(other.idMaskScheduleSave, 0);
    for (int k = 0; k < kScheduleEntries; ++k) {
      EXPECT_EQ(SameBytes(other.ScheduleTable[k], before.ScheduleTable[k]), k >= n) << text << " " << k;
    }
  }
}

TEST(ScheduleDialogCount, LeavingTheFieldClampsOrFallsBack) {
  struct Case {
    const char* text;
    int32_t fallback;
    int32_t n;
  } cases[] = {
      {"5", 3, 5},  {"", 3, 3},    {"x", 7, 7},     {"-1", 3, 0},          {"11", 3, 10},
      {" 6 ", 0, 6}, {"2.5", 1, 1}, {"+4", 0, 4}, {"99999999999", 4, 4},  // beyond 32 bits is no number
      {"x", 12, 10},  // a fallback out of range is clamped as well
  };
  for (const Case& c : cases) EXPECT_EQ(ParseScheduleCount(c.text, c.fallback), c.n) << c.text;
}

TEST(ScheduleDialogPrompt, DescribesTheColumnAsOkWouldSaveIt) {
  struct Case {
    int column;
    ScheduleColumn cells;
    const char* text;
  } cases[] = {
      {1, Timing("空", "8", "30", "0", "1"), "方案0: 空"},
      {3, Timing("定时", "8", "30", "0", "1"), "方案2: 在每天的8时30分0秒时刻保存(安全备份)"},
      {1, Timing("定时", "", "30", "5"), "方案0: 在每小时的30分5秒时刻保存"},
      {1, Timing("定时", "8", "", "5", "1"), "方案0: 在每分的5秒时刻保存(安全备份)"},
      {1, Timing("定时", "8", "30", "-3"), "方案0: 在每天的8时30分0秒时刻保存"},
      {10, Timing("周期", "0", "10", "0", "1"), "方案9: 每过0时10分0秒保存1次(安全备份)"},
      {2, Timing("周期", "", "", ""), "方案1: 每过0时0分1秒保存1次"},
      // Only a backup cell of exactly "1" is named, though OK takes any other number too.
      {1, Timing("定时", "8", "0", "0", "2"), "方案0: 在每天的8时0分0秒时刻保存"},
      {1, Timing("定时", "8", "0", "0", " 1"), "方案0: 在每天的8时0分0秒时刻保存"},
  };
  for (const Case& c : cases) EXPECT_EQ(SchedulePromptText(c.column, c.cells), c.text);
}

TEST(ScheduleSettingsStore, LoadStartsFromTheStartValuesAndClampsTheCount) {
  platform::MemoryRegistry registry;
  LiveConfig live;
  live.NumScheduleSave = 6;
  live.idMaskScheduleSave = 1;
  live.ScheduleTable[4] = Entry(2, 0, 1, 2, 3, 50.0);
  LoadScheduleSettings(registry, "QuelvarTorque", live);  // nothing stored
  const LiveConfig fresh;
  EXPECT_EQ(live.NumScheduleSave, 1);
  EXPECT_EQ(live.idMaskScheduleSave, 0);
  for (int k = 0; k < kScheduleEntries; ++k) EXPECT_TRUE(SameBytes(live.ScheduleTable[k], fresh.ScheduleTable[k]));
  EXPECT_EQ(live.ScheduleTable[0].Second, 1);
  EXPECT_EQ(live.ScheduleTable[0].BackupMin, 1);
  EXPECT_EQ(live.ScheduleTable[0].DurationSec, 1.0);

  const std::pair<int32_t, int32_t> counts[] = {{25, 10}, {-3, 0}, {7, 7}};
  for (const auto& [stored, n] : counts) {
    registry.WriteInt32(kKey, "NumScheduleSave", stored);
    LoadScheduleSettings(registry, "QuelvarTorque", live);
    EXPECT_EQ(live.NumScheduleSave, n) << stored;
  }
  // A table of the wrong size is not taken.
  registry.WriteBinary(kKey, "ScheduleSetting", std::vector<uint8_t>(239, 0xFF));
  LoadScheduleSettings(registry, "QuelvarTorque", live);
  EXPECT_TRUE(SameBytes(live.ScheduleTable[0], fresh.ScheduleTable[0]));
}

TEST(ScheduleSettingsStore, SavedSchedulesComeBackWhole) {
  platform::MemoryRegistry registry;
  LiveConfig live;
  live.NumScheduleSave = 3;
  live.idMaskScheduleSave = 1;
  for (int k = 0; k < kScheduleEntries; ++k) {
    live.ScheduleTable[k] = Entry(1, k % 3, k, 2 * k, 3 * k, 10.5 * k, k % 2, k + 1);
  }
  SaveScheduleSettings(registry, "QuelvarTorque2", live);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque2\\ScheduleSave", "NumScheduleSave"), 3);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque2\\ScheduleSave", "idMaskScheduleSave"), 1);
  const auto image = registry.ReadBinary("\\SOFTWARE\\QuelvarTorque2\\ScheduleSave", "ScheduleSetting");
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->size(), 240u);
  EXPECT_EQ((*image)[24 * 5 + 4], 5);  // entry 5's hour, little-endian at offset 4
  EXPECT_EQ((*image)[24 * 5 + 6], 10);

  LiveConfig back;
  LoadScheduleSettings(registry, "QuelvarTorque2", back);
  EXPECT_EQ(back.NumScheduleSave, 3);
  EXPECT_EQ(back.idMaskScheduleSave, 1);
  for (int k = 0; k < kScheduleEntries; ++k) EXPECT_TRUE(SameBytes(back.ScheduleTable[k], live.ScheduleTable[k])) << k;
}

}  // namespace
