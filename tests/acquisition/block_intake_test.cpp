#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "acquisition/BlockIntake.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"

namespace {

using namespace quelvar;

// A pretend driver with a queue of finished blocks, numbered in order.
struct FakeDriver {
  static inline int queued = 0;
  static inline uint16_t next = 0;
  static int32_t Result(uint16_t* block) {
    if (queued == 0) return 0;
    --queued;
    block[0] = next++;
    return 1;
  }
  static uint16_t Query() { return static_cast<uint16_t>(queued); }
};

class Intake : public ::testing::Test {
 protected:
  AppState s;
  int processed = 0;
  int stops = 0;
  int repaints = 0;
  std::vector<uint16_t> sequence;
  IntakeEnv env{[] { return 45000.5; },
                [this] {
                  ++processed;
                  sequence.push_back(s.acq.CurrentBlock()[0]);
                },
                [this] { ++stops; }, [this] { ++repaints; }, [] { return 0; }};

  void SetUp() override {
    LiveConfig& c = s.config;
    c.Analog_Num = 2;
    c.Total_Line = 2;
    for (auto& line : c.LineTable) line.APhaseNum = 1;
    c.NumSamp = 100;
    c.ChannelRate = 1000.0f;  // a block lasts 0.1 s
    c.NumBuf = 10;
    ComputeChannelLayout(c, s.layout, 0, true, {});
    StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                        [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    ASSERT_TRUE(PrepareStart(s, true, quiet));
    s.driver.Entries.ADResult = &FakeDriver::Result;
    s.driver.Entries.QueryBuf = &FakeDriver::Query;
    FakeDriver::queued = 0;
    FakeDriver::next = 0;
    s.RunState = kRunRecording;
  }
};

TEST_F(Intake, ABacklogIsDrainedAtMostHalfTheBuffersPerCall) {
  FakeDriver::queued = 20;  // a long backlog: half the ten buffers per call
  EXPECT_EQ(IntakeBlocks(s, env), 5);
  EXPECT_EQ(FakeDriver::queued, 15);
  EXPECT_EQ(sequence, (std::vector<uint16_t>{0, 1, 2, 3, 4}));
  FakeDriver::queued = 9;  // one read, eight behind it: reads on until five remain
  sequence.clear();
  EXPECT_EQ(IntakeBlocks(s, env), 4);
  EXPECT_EQ(FakeDriver::queued, 5);
  EXPECT_EQ(repaints, 2);
  EXPECT_EQ(s.acq.BlockCounter, 9);
}

TEST_F(Intake, BlockTimeIsTheFirstSampleOfTheBlock) {
  FakeDriver::queued = 4;  // three more behind the one read
  s.config.NumBuf = 2;      // no drain
  ASSERT_EQ(IntakeBlocks(s, env), 1);
  const double blockDays = 0.1 / 86400.0;
  EXPECT_NEAR(s.acq.BlockTime, 45000.5 - 4 * blockDays, 1e-9);  // well below a block
}

TEST_F(Intake, NothingDeliveredChangesNothing) {
  s.acq.NotifyWatchdog = 3;
  EXPECT_EQ(IntakeBlocks(s, env), 0);
  EXPECT_EQ(repaints, 0);
  EXPECT_EQ(s.acq.NotifyWatchdog, 3);
  FakeDriver::queued = 1;
  IntakeBlocks(s, env);
  EXPECT_EQ(s.acq.NotifyWatchdog, 0);
  s.RunState = kRunIdle;  // notifications still queued after a stop
  FakeDriver::queued = 1;
  EXPECT_EQ(IntakeBlocks(s, env), 0);
}

TEST_F(Intake, TheBlockLimitStopsTheRun) {
  s.config.EndBlock = 3;
  FakeDriver::queued = 9;
  IntakeBlocks(s, env);
  EXPECT_EQ(processed, 3);
  EXPECT_EQ(stops, 1);
}

TEST_F(Intake, TheVirtualCardNumbersItsBlocksFromZero) {
  s.config.SimulateAD = 1;
  s.acq.CurrentBlock()[0] = 0xFFFF;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(IntakeBlocks(s, env), 1);
  EXPECT_EQ(sequence, (std::vector<uint16_t>{0, 1, 2}));
  EXPECT_EQ(s.acq.VirtualCard.SampleCounter, 300);
  s.config.MaxBlock = 1;
  s.acq.OscilPaused = 1;  // paused snapshot display: nothing generated
  EXPECT_EQ(IntakeBlocks(s, env), 0);
}

}  // namespace
