#include "acquisition/ScheduleSave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "platform/DayTime.h"
#include "shell/RecordFileCheck.h"
#include "shell/record_file_support.h"

namespace quelvar::test {
namespace {

double At(int hour, int minute, int second, int millisecond = 0, int day = 10) {
  return platform::EncodeDayCount({2026, 12, day, hour, minute, second, millisecond});
}

ScheduleEntry Timed(int mode, int hour, int minute, int second) {
  ScheduleEntry e{};
  e.Type = 1;
  e.TimedMode = static_cast<uint8_t>(mode);
  e.Hour = static_cast<int16_t>(hour);
  e.Minute = static_cast<int16_t>(minute);
  e.Second = static_cast<int16_t>(second);
  e.BackupMin = 1;
  e.DurationSec = 1.0;
  return e;
}

ScheduleEntry Periodic(int hour, int minute, int second) {
  ScheduleEntry e = Timed(0, hour, minute, second);
  e.Type = 2;
  return e;
}

TEST(ScheduleTimes, TimedSchedulesFireWhenTheirInstantLiesBetweenTwoBlocks) {
  struct Case {
    const char* what;
    ScheduleEntry entry;
    double prev, now;
    bool fires;
  } cases[] = {
      {"daily 08:00, first block of a run at 10:00", Timed(0, 8, 0, 0), 0.0, At(10, 0, 0), true},
      {"daily 23:00, run at 10:00", Timed(0, 23, 0, 0), 0.0, At(10, 0, 0), false},
      {"daily 23:00 reached", Timed(0, 23, 0, 0), At(22, 59, 59, 800), At(23, 0, 0, 100), true},
      {"daily 0:0:0 across midnight", Timed(0, 0, 0, 0), At(23, 59, 59, 800), At(0, 0, 0, 300, 11), true},
      {"daily 23:59:59.9 across midnight", Timed(0, 23, 59, 59), At(23, 59, 59, 800), At(0, 0, 0, 300, 11), false},
      {"daily 23:59:59 just before midnight", Timed(0, 23, 59, 59), At(23, 59, 58, 900), At(0, 0, 0, 300, 11), true},
      {"hourly :30:00 crossed", Timed(1, -1, 30, 0), At(14, 29, 59, 900), At(14, 30, 0, 200), true},
      {"hourly :30:00 not yet", Timed(1, -1, 30, 0), At(14, 29, 58), At(14, 29, 59), false},
      {"hourly :30:00 at the next hour", Timed(1, -1, 30, 0), At(15, 29, 59, 900), At(15, 30, 0, 50), true},
      {"hourly :00:00 across the hour", Timed(1, -1, 0, 0), At(14, 59, 59, 900), At(15, 0, 0, 50), true},
      {"every minute at second 10", Timed(2, -1, -1, 10), At(14, 3, 9, 950), At(14, 3, 10, 20), true},
      {"every minute at second 10, already past", Timed(2, -1, -1, 10), At(14, 3, 10, 20), At(14, 3, 10, 300), false},
  };
  for (const Case& c : cases) EXPECT_EQ(TimedScheduleFires(c.entry, c.prev, c.now), c.fires) << c.what;
}

TEST(ScheduleTimes, PeriodicSchedulesCountFromTheFirstBlockAndFireOncePerPeriod) {
  const ScheduleEntry tenMinutes = Periodic(0, 10, 0);
  ScheduleState s;
  EXPECT_FALSE(PeriodicScheduleFires(tenMinutes, s, At(10, 0, 0)));  // starts the period
  EXPECT_FALSE(PeriodicScheduleFires(tenMinutes, s, At(10, 9, 59)));
  EXPECT_TRUE(PeriodicScheduleFires(tenMinutes, s, At(10, 10, 0, 30)));
  EXPECT_FALSE(PeriodicScheduleFires(tenMinutes, s, At(10, 10, 0, 60)));
  EXPECT_TRUE(PeriodicScheduleFires(tenMinutes, s, At(10, 20, 0, 10)));  // counted from 10:10:00, not 10:10:00.03
  EXPECT_FALSE(PeriodicScheduleFires(tenMinutes, s, At(10, 29, 59, 999)));
}

TEST(ScheduleTimes, APeriodicScheduleResumesAfterAPauseOrAClockJump) {
  const ScheduleEntry oneMinute = Periodic(0, 1, 0);
  ScheduleState s;
  PeriodicScheduleFires(oneMinute, s, At(10, 0, 0));
  // An hour without blocks: one firing, then back on the beat of whole minutes.
  EXPECT_TRUE(PeriodicScheduleFires(oneMinute, s, At(11, 0, 30)));
  EXPECT_FALSE(PeriodicScheduleFires(oneMinute, s, At(11, 0, 50)));
  EXPECT_TRUE(PeriodicScheduleFires(oneMinute, s, At(11, 1, 0, 100)));
  // The clock set back an hour: the period starts again there.
  EXPECT_FALSE(PeriodicScheduleFires(oneMinute, s, At(10, 1, 10)));
  EXPECT_TRUE(PeriodicScheduleFires(oneMinute, s, At(10, 2, 10)));
  // A period shorter than a block still fires at every block.
  const ScheduleEntry oneSecond = Periodic(0, 0, 1);
  ScheduleState fast;
  PeriodicScheduleFires(oneSecond, fast, At(9, 0, 0));
  for (int second = 2; second <= 10; second += 2) EXPECT_TRUE(PeriodicScheduleFires(oneSecond, fast, At(9, 0, second)));
}

TEST(ScheduleTimes, BlockCountsFollowTheBlockDurationWithTheirFloors) {
  LiveConfig live;
  live.NumSamp = 300;
  live.ChannelRate = 10000.0f;  // 0.03 s a block
  live.NumScheduleSave = 3;
  live.ScheduleTable[0] = Timed(0, 8, 0, 0);
  live.ScheduleTable[0].DurationSec = 10.0;
  live.ScheduleTable[0].BackupMin = 0;
  live.ScheduleTable[1] = Periodic(0, 0, 5);
  live.ScheduleTable[1].DurationSec = 0.001;
  live.ScheduleTable[1].BackupMin = 1;
  ScheduleRunState run;
  run.PrevTime = 5.0;
  run.States[1].LastTime = 7.0;
  PrepareScheduleStates(live, run);
  EXPECT_EQ(run.States[0].BlockLimit, 334);
  EXPECT_EQ(run.States[0].BackupBlocks, 2);
  EXPECT_EQ(run.States[1].BlockLimit, 1);
  EXPECT_EQ(run.States[1].BackupBlocks, 2000);
  EXPECT_EQ(run.PrevTime, 0.0);
  EXPECT_EQ(run.States[1].LastTime, 0.0);

  // Armed by any kind of schedule among the first NumScheduleSave, unless masked.
  live.ScheduleTable[0].Type = 0;
  EXPECT_TRUE(SchedulesArmed(live));
  live.NumScheduleSave = 1;
  EXPECT_FALSE(SchedulesArmed(live));
  live.NumScheduleSave = 2;
  live.idMaskScheduleSave = 1;
  EXPECT_FALSE(SchedulesArmed(live));
}

TEST(ScheduleTimes, FileNamesCarryTheBlockTimeAndTheScheduleNumber) {
  const double t = At(8, 5, 9);
  EXPECT_EQ(ScheduleFileName(t, 3, false), "F20261210080509-3.DAT");
  EXPECT_EQ(ScheduleFileName(t, 3, true), "F20261210080509-3-BAK.DAT");
}

// A recorder run fed through per-block processing with 0.03-s blocks from
// 07:59:59.
class ScheduledRun : public ::testing::Test {
 protected:
  AppState s;
  RecordDir dir;
  ScheduleSaveObj saver;
  std::vector<std::string> log;

  void Start() {
    LiveConfig& c = s.config;
    c.Analog_Num = 2;
    c.Total_Line = 1;
    c.LineTable[0].APhaseNum = 2;
    c.SW_Num = 0;
    c.NumChn = c.NumVChn = 2;
    c.NumSamp = 300;
    c.ChannelRate = 10000.0f;
    c.IDStartBin = 0;
    c.Algorithm_Num = 0;
    ComputeChannelLayout(c, s.layout, 0, true, {});
    const StartReporter report{[this](const std::string& l) { log.push_back(l); }, [](const std::string&) {},
                               [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    ASSERT_TRUE(PrepareStart(s, true, report));
    s.acq.CurrentBlock()[0] = 0xFFFF;
    s.RunState = kRunRecording;
  }
  void Blocks(int n, double& t) {
    const BlockReporter report{[this](const std::string& l) { log.push_back(l); }, [] { return size_t{0}; }, [] {},
                               [](const std::string&) {}, [](int, const std::string&) {}, [] {}, nullptr, &saver,
                               dir.Str()};
    for (int i = 0; i < n; ++i) {
      s.acq.CurrentBlock()[0] = static_cast<uint16_t>(s.acq.CurrentBlock()[0] + 1);
      s.acq.BlockTime = t;
      ProcessBlock(s, t, report);
      t += 0.03 / 86400.0;
    }
  }
};

TEST_F(ScheduledRun, ATimedScheduleWritesItsLengthIntoANamedFileWithItsBackup) {
  s.config.NumScheduleSave = 4;
  for (int k = 0; k < 3; ++k) s.config.ScheduleTable[static_cast<size_t>(k)] = ScheduleEntry{};
  ScheduleEntry& e = s.config.ScheduleTable[3];
  e = Timed(0, 8, 0, 0);
  e.SafeBackup = 1;
  e.DurationSec = 0.3;  // 10 blocks
  Start();
  ASSERT_EQ(s.acq.ScheduledSaveActive, 1);
  EXPECT_EQ(log.back(), "\r\n 注：已启用定时记录功能！");
  double t = At(7, 59, 59, 5);
  Blocks(50, t);  // block 34 is the first at or after 08:00:00
  const double fired = At(7, 59, 59, 5) + 34 * 0.03 / 86400.0;
  const std::string name = ScheduleFileName(fired, 3, false);
  EXPECT_EQ(dir.Names(), (std::set<std::string>{name, ScheduleFileName(fired, 3, true)}));
  EXPECT_TRUE(IsValidRecordFile(dir.File(name)));
  EXPECT_EQ(ReadBytes(dir.File(name)).size(), 104u + 40728u + 10u * 300u * 2u * 2u + 4u + 26u);
  EXPECT_EQ(saver.Slot(0).Active, 0);  // closed at its limit
}

TEST_F(ScheduledRun, TheStopClosesARunningScheduleWithTheBlocksItHas) {
  s.config.NumScheduleSave = 1;
  s.config.ScheduleTable[0] = Timed(2, -1, -1, 0);  // every minute at second 0
  s.config.ScheduleTable[0].DurationSec = 60.0;
  Start();
  double t = At(9, 0, 0, 500);  // past second 0 of this minute: nothing at the start
  Blocks(5, t);
  EXPECT_TRUE(dir.Names().empty());
  t = At(9, 0, 59, 990);
  Blocks(4, t);
  ASSERT_EQ(saver.Slot(0).Active, 1);
  saver.CloseAll();
  const std::string name = ScheduleFileName(At(9, 0, 59, 990) + 0.03 / 86400.0, 0, false);
  ASSERT_EQ(dir.Names(), std::set<std::string>{name});
  EXPECT_TRUE(IsValidRecordFile(dir.File(name)));
  EXPECT_EQ(ReadBytes(dir.File(name)).size(), 104u + 40728u + 3u * 300u * 2u * 2u + 4u + 26u);
}

}  // namespace
}  // namespace quelvar::test
