#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "acquisition/BlockIntake.h"
#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/RecordCompletion.h"
#include "platform/DayTime.h"
#include "platform/GbkText.h"
#include "shell/RecordFileCheck.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

// The virtual card recording into a small ring: 2 analog channels and two
// switch inputs, 20 rows a block, a ring of 12 blocks.
class RecordMachine : public ::testing::Test {
 protected:
  AppState s;
  std::vector<std::string> log;
  std::vector<RecordPackage> written;
  std::vector<std::vector<uint16_t>> acquired;  // every block's rows, in order
  std::function<void()> finished = [] {};       // what the window does after a record completes
  BlockReporter reporter{[this](const std::string& l) { log.push_back(l); }, [] { return size_t{0}; }, [] {},
                         [](const std::string&) {}, [](int, const std::string&) {},
                         [this] {
                           RecordPackage p;
                           ASSERT_TRUE(BuildRecordPackage(s, p));
                           ASSERT_TRUE(ExtractHistoryRecord(s));
                           written.push_back(std::move(p));
                           finished();
                         }};
  IntakeEnv env{[] { return 45000.5; },
                [this] {
                  const uint16_t* rows = s.acq.CurrentBlock() + 1;
                  acquired.emplace_back(rows, rows + s.config.NumSamp * s.config.NumChn);
                  ProcessBlock(s, 45000.5, reporter);
                },
                [] {}, [] {}, [] { return 0; }};

  void SetUp() override {
    LiveConfig& c = s.config;
    c.Analog_Num = 2;
    c.Total_Line = 2;
    for (auto& line : c.LineTable) line.APhaseNum = 1;
    c.SW_Num = 2;
    c.NumSamp = 20;
    c.MaxBlock = 12;
    c.ChannelRate = 1000.0f;
    c.SimulateAD = 1;
    c.FaultBlockNum = 3;
    c.CompressFaultBlockNum = 0;
  }
  void Start() {
    ComputeChannelLayout(s.config, s.layout, 192, true, {});
    StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                        [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    ASSERT_TRUE(PrepareStart(s, true, quiet));
    s.acq.CurrentBlock()[0] = 0xFFFF;
    s.RunState = kRunRecording;
  }
  void Blocks(int n) {
    for (int i = 0; i < n; ++i) IntakeBlocks(s, env);
  }
};

TEST_F(RecordMachine, ManualRecordHoldsThePreviousTheTriggerAndThePostBlocksAcrossTheWrap) {
  Start();
  Blocks(10);  // the ring's write position is now near its end
  s.acq.ManualTriggerRequest = 1;
  Blocks(4);
  ASSERT_EQ(written.size(), 1u);
  const RecordPackage& p = written[0];
  EXPECT_EQ(p.header.TriggerKind, 0);
  EXPECT_EQ(p.header.PreBlocks, 1);
  EXPECT_EQ(p.header.BlockCount, 1 + 3);  // one before, the trigger block and two more
  EXPECT_EQ(p.comment, "\r\n手动触发记录功能[" + platform::PageStampText(p.header.StartTime) + "]");
  // The blocks are the acquired ones, oldest first: blocks 9 to 12 of the run.
  const size_t words = 20 * s.config.NumChn;
  ASSERT_EQ(p.samples.size(), 4 * words);
  for (int b = 0; b < 4; ++b) {
    EXPECT_TRUE(std::equal(acquired[9 + b].begin(), acquired[9 + b].end(), p.samples.begin() + b * words)) << b;
  }
  EXPECT_EQ(s.acq.ManualTriggerRequest, 0);
  EXPECT_EQ(s.history.BlockCount, 4);
  EXPECT_EQ(s.history.Valid, 1);
}

TEST_F(RecordMachine, SwitchEdgeOnTheGeneratedPatternStartsARecordAtItsRow) {
  s.config.IDStartBin = 1;
  s.config.SwitchChannelTable[0].SWStartID = 3;  // rising edge
  s.config.SwitchChannelTable[0].SWPreRecordTime = 20;
  s.config.SwitchChannelTable[0].SWRecordTime = 40;
  Start();
  EXPECT_EQ(s.acq.AutoTriggerActive, 1);
  Blocks(8);
  ASSERT_FALSE(written.empty()) << "no record";
  const RecordPackage& p = written[0];
  EXPECT_EQ(p.header.TriggerKind, 1);
  EXPECT_EQ(p.header.TriggerChannel, 0);
  EXPECT_EQ(p.header.TriggerEdge, 3);
  // The generated switch word toggles every six rows; a rising edge of input 0
  // needs four low and four high rows, and the trigger point moves back 3 rows.
  EXPECT_GE(p.header.TriggerPoint, 0);
  EXPECT_LT(p.header.TriggerPoint, 20);
  EXPECT_NE(p.comment.find("开关量通道 0(SW0),上升沿触发记录"), std::string::npos) << p.comment;
  EXPECT_EQ(static_cast<size_t>(p.header.BlockCount) * 20 * s.config.NumChn, p.samples.size());
  EXPECT_GE(p.header.PreBlocks, 0);  // a borrowed trigger block never makes it negative
}

TEST_F(RecordMachine, PeakAboveOnTheGeneratedRampStartsARecord) {
  s.config.Analog_Num = 4;  // channel 3 carries a ramp
  s.config.Total_Line = 4;
  s.config.Algorithm_Num = 1;
  AlgorithmConfig& a = s.config.AlgorithmTable[0];
  a.Type = 1;
  a.UsedChn = 1;
  a.Channel[0] = 3;
  a.SetPoint[0] = 2.5f;  // volts with coefficient B 1: code 2048 + 2.5 x 2047 / 5 = 3071
  a.PreRecordTime = 20;
  a.RecordTime = 40;
  s.config.ConfirmTriggerNum = 2;
  Start();
  EXPECT_EQ(s.triggers.ThresholdCode[0], 3071);
  EXPECT_EQ(s.acq.ThresholdTriggerActive, 1);
  EXPECT_EQ(s.acq.AutoTriggerActive, 1);
  Blocks(8);
  ASSERT_FALSE(written.empty());
  const RecordPackage& p = written[0];
  EXPECT_EQ(p.header.TriggerKind, 2);
  EXPECT_EQ(p.header.TriggerChannel, 3);
  EXPECT_EQ(p.header.TriggerEdge, 1);
  EXPECT_NE(p.comment.find("模拟量通道:3(Chn3),第0算法:超过峰值 触发记录"), std::string::npos) << p.comment;
  // The trigger point is the first of the two confirming samples, above the threshold.
  const size_t words = 20 * s.config.NumChn;
  const size_t at = static_cast<size_t>(p.header.PreBlocks) * words +
                    static_cast<size_t>(p.header.TriggerPoint) * s.config.NumChn + 3;
  EXPECT_GT(p.samples[at], 3071);
}

TEST_F(RecordMachine, TheDisplayDataFollowTheRingWhileLiveAndTheRecordOnceItIsComplete) {
  Start();
  const DisplayDescriptor& d = s.display;
  EXPECT_EQ(d.DispValid, 0);
  EXPECT_EQ(d.DispRows, 12 * 20);
  EXPECT_EQ(d.DispPoints, 12 * 20);
  EXPECT_EQ(d.DispRowWords, s.config.NumChn);
  EXPECT_EQ(d.DispBlocks, 12);
  EXPECT_EQ(d.DispData, s.acq.RingBuffer.data());
  Blocks(3);
  EXPECT_EQ(d.DispValid, 0);  // the live display is off
  bool live = true;
  reporter.liveDisplay = [&live] { return live; };
  Blocks(2);
  EXPECT_EQ(d.DispValid, 1);
  EXPECT_EQ(d.DispFirstBlock, 5);  // the oldest block is the next to be written
  EXPECT_EQ(d.DispTriggerBlock, 4);  // no record: the newest block is the origin
  s.acq.ManualTriggerRequest = 1;
  finished = [&live] { live = false; };  // the window turns the live display off
  Blocks(3);
  ASSERT_EQ(written.size(), 1u);
  // The completed record is what is on display now.
  EXPECT_EQ(d.SelectFault, 1);
  EXPECT_EQ(d.DataSourceMode, 0);
  EXPECT_EQ(d.DispData, s.history.Samples.data());
  EXPECT_EQ(d.DispFirstBlock, 0);
  EXPECT_EQ(d.DispBlocks, s.history.BlockCount);
  EXPECT_EQ(d.DispTriggerBlock, 1);  // one block before the trigger
  EXPECT_EQ(d.DispRows, s.history.BlockCount * 20);
}

TEST_F(RecordMachine, OnceAutomaticTriggeringIsOffNoDetectorReadsTheUnkeptPrefix) {
  s.config.IDStartBin = 1;
  s.config.IDPreventSameAlgorithm = 1;
  s.config.SwitchChannelTable[0].SWStartID = 1;  // a level input: its hold changes at every row
  Start();
  ASSERT_EQ(s.acq.AutoTriggerActive, 1);
  s.acq.AutoTriggerActive = 0;  // as the flood guard leaves it for the rest of a run
  s.triggers.SwitchConfirmState[0] = 2;
  s.acq.ManualTriggerRequest = 1;
  Blocks(2);
  ASSERT_EQ(s.record.Recording, 1);
  EXPECT_EQ(s.triggers.SwitchConfirmState[0], 2);
}

TEST_F(RecordMachine, ARecordInProgressWaitsForItsPostBlocks) {
  Start();
  s.acq.ManualTriggerRequest = 1;
  Blocks(1);
  EXPECT_EQ(s.record.Recording, 1);
  EXPECT_TRUE(written.empty());
}

TEST_F(RecordMachine, LeftoverCompressedRowsOfAnEarlierRecordDoNotCarryOver) {
  Start();
  s.record.CompressCarry = 7;  // a record stopped during its compressed part
  s.acq.ManualTriggerRequest = 1;
  Blocks(1);
  EXPECT_EQ(s.record.CompressCarry, 0);
}

TEST_F(RecordMachine, ARecordTheRingCannotHoldIsRefusedNotCopiedShort) {
  Start();
  s.record.TriggerBlock = 0;
  s.record.PreBlocks = 1;
  s.record.BlocksDone = s.config.MaxBlock;  // one block more than the ring holds
  RecordPackage p;
  EXPECT_FALSE(BuildRecordPackage(s, p));
  EXPECT_FALSE(ExtractHistoryRecord(s));
}

TEST_F(RecordMachine, HeldBackBlocksLeaveTheHistoryInvalid) {
  s.config.TriggerUpNum = 1;
  s.config.TriggerTimeRange = 60;
  s.config.IDStartBin = 1;
  s.config.SwitchChannelTable[0].SWStartID = 3;
  Start();
  s.record.FloodCount = 1;
  s.record.FloodWindowStart = 45000.5;  // the window runs for another minute
  Blocks(3);
  EXPECT_EQ(s.acq.ValidHistorySamples, 0);
  EXPECT_EQ(s.acq.DataGapFlag, 1);
  EXPECT_TRUE(written.empty());
}

TEST_F(RecordMachine, WrittenPackageMakesAValidRecordFile) {
  Start();
  Blocks(3);
  s.acq.ManualTriggerRequest = 1;
  Blocks(4);
  ASSERT_EQ(written.size(), 1u);
  const fs::path dir = fs::path(testing::TempDir()) / ("quelvar-rec-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const WriteResult result = WriteRecordFile(dir.string(), written[0]);
  ASSERT_TRUE(result.ok) << result.error;
  const fs::path file = dir / result.fileName;
  EXPECT_TRUE(IsValidRecordFile(file.string()));
  const uint64_t expected = 40832 + static_cast<uint64_t>(written[0].header.DataBytes) + 4 +
                            platform::Utf8ToGbk(written[0].comment).size();
  EXPECT_EQ(fs::file_size(file), expected);
  fs::remove_all(dir);
}

}  // namespace

namespace {

TEST_F(RecordMachine, TheCompositePanelGetsEveryBlockWithItsSequenceWordFirst) {
  Start();
  std::vector<uint16_t> sequence;
  std::vector<std::vector<uint16_t>> seen;
  reporter.compositeValues = [&](const uint16_t* block) {
    sequence.push_back(block[0]);
    seen.emplace_back(block + 1, block + 1 + s.config.NumSamp * s.config.NumChn);
  };
  Blocks(3);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen, acquired);
  EXPECT_EQ(sequence, (std::vector<uint16_t>{0, 1, 2}));
  // Idle: nothing is processed, nothing is shown.
  s.RunState = kRunIdle;
  ProcessBlock(s, 45000.5, reporter);
  EXPECT_EQ(seen.size(), 3u);
}

}  // namespace
