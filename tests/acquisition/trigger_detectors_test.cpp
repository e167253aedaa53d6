#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "acquisition/TriggerDetectors.h"

namespace {

using namespace quelvar;

// One analog channel and two switch inputs in one switch word, 20 rows a block.
class Detectors : public ::testing::Test {
 protected:
  AppState s;

  void SetUp() override {
    LiveConfig& c = s.config;
    c.Analog_Num = 1;
    c.Total_Line = 1;
    for (auto& line : c.LineTable) line.APhaseNum = 1;
    c.SW_Num = 2;
    c.NumSamp = 20;
    c.MaxBlock = 10;
    c.ChannelRate = 1000.0f;
    c.IDStartBin = 1;
    c.IDPreventSameAlgorithm = 0;
    c.ConfirmTriggerNum = 3;
  }
  void Prepare(int32_t flag0, int32_t flag1 = 0) {
    s.config.SwitchChannelTable[0].SWStartID = flag0;
    s.config.SwitchChannelTable[1].SWStartID = flag1;
    ComputeChannelLayout(s.config, s.layout, 192, true, {});
    StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                        [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    ASSERT_TRUE(PrepareStart(s, true, quiet));
  }
  // Sets the switch word of every block row by a pattern of (row, input).
  void Fill(const std::function<bool(int, int)>& high) {
    uint16_t* rows = s.acq.CurrentBlock() + 1;
    for (int r = 0; r < s.config.NumSamp; ++r) {
      uint16_t word = 0;
      for (int in = 0; in < 2; ++in) word = static_cast<uint16_t>(word | (high(r, in) ? 1 << in : 0));
      rows[r * s.config.NumChn + 1] = word;
    }
  }
};

TEST_F(Detectors, LevelFiresAfterFourRowsAndEdgesNeedFourStableRowsEachSide) {
  struct Case {
    const char* what;
    int32_t flag;
    std::function<bool(int, int)> input0;
    int expectedRow;  // -1: no firing
  } cases[] = {
      {"high from row 10", 1, [](int r, int) { return r >= 10; }, 13},
      {"three-row pulse", 1, [](int r, int) { return r >= 10 && r < 13; }, -1},
      {"low level", 2, [](int r, int) { return r < 5; }, 8},
      {"rising edge", 3, [](int r, int) { return r >= 10; }, 13},
      {"falling edge", 4, [](int r, int) { return r < 10; }, 13},
      {"change on a fall", 5, [](int r, int) { return r < 10; }, 13},
      {"toggle every two rows", 5, [](int r, int) { return (r / 2) % 2 == 1; }, -1},
      {"rising seen by a falling flag", 4, [](int r, int) { return r >= 10; }, -1},
  };
  for (const Case& c : cases) {
    SetUp();
    s.record = RecordState{};
    Prepare(c.flag);
    Fill([&](int r, int in) { return in == 0 && c.input0(r, in); });
    const bool fired = DetectSwitchTriggers(s);
    EXPECT_EQ(fired, c.expectedRow >= 0) << c.what;
    if (fired) {
      EXPECT_EQ(s.record.TriggerPoint, c.expectedRow) << c.what;
      EXPECT_EQ(s.record.TriggerKind, 1);
      EXPECT_EQ(s.record.TriggerEdge, c.flag);
      EXPECT_EQ(s.record.PreRecordTime, 120 + 3);  // plus three rows at 1000 Hz
    }
  }
}

// The three extra rows used to be added in 32 bits: a typed time near the
// limit wrapped to a negative pre-record time.
TEST_F(Detectors, PreRecordTimeSaturatesInsteadOfWrapping) {
  s.config.SwitchChannelTable[0].SWPreRecordTime = INT32_MAX;
  Prepare(1);
  s.config.SwitchChannelTable[0].SWPreRecordTime = INT32_MAX;
  Fill([](int r, int in) { return in == 0 && r >= 10; });
  ASSERT_TRUE(DetectSwitchTriggers(s));
  EXPECT_EQ(s.record.PreRecordTime, INT32_MAX);
}

TEST_F(Detectors, NothingFiresBeforeTheHistoryIsValid) {
  Prepare(1);
  Fill([](int, int in) { return in == 0; });  // high from the first row
  s.acq.ValidHistorySamples = 0;
  ASSERT_TRUE(DetectSwitchTriggers(s));
  EXPECT_EQ(s.record.TriggerPoint, 3);  // rows 0 to 2 cannot fire
}

TEST_F(Detectors, TheLowestInputWinsWithinTheEarliestRow) {
  Prepare(1, 1);
  Fill([](int r, int in) { return in == 1 ? r >= 4 : r >= 8; });
  ASSERT_TRUE(DetectSwitchTriggers(s));
  EXPECT_EQ(s.record.TriggerChannel, 1);
  EXPECT_EQ(s.record.TriggerPoint, 7);
}

TEST_F(Detectors, AHeldLevelIsArmedAgainAfterTheConfirmationCountOfQuietRows) {
  s.config.IDPreventSameAlgorithm = 1;
  Prepare(1);
  s.triggers.SwitchConfirmState[0] = 3;  // fired before, still held
  Fill([](int r, int) { return r < 5 || r >= 12; });
  EXPECT_TRUE(DetectSwitchTriggers(s));  // low rows 5..7 re-arm it; high from 12 fires at 15
  EXPECT_EQ(s.record.TriggerPoint, 15);
}

TEST_F(Detectors, ThresholdNeedsItsConfirmationRunAndCarriesItAcrossBlocks) {
  Prepare(0);
  LiveConfig& c = s.config;
  c.Algorithm_Num = 1;
  c.AlgorithmTable[0].Type = 1;
  c.AlgorithmTable[0].Channel[0] = 0;
  s.triggers.ThresholdCode[0] = 3000;
  uint16_t* rows = s.acq.CurrentBlock() + 1;
  for (int r = 0; r < c.NumSamp; ++r) rows[r * c.NumChn] = r >= 18 ? 3100 : 2000;
  EXPECT_FALSE(DetectThresholdTriggers(s));  // two hits at the end of the block
  EXPECT_EQ(s.triggers.AlgorithmConfirmState[0].HitCount, 2);
  for (int r = 0; r < c.NumSamp; ++r) rows[r * c.NumChn] = 3100;
  ASSERT_TRUE(DetectThresholdTriggers(s));
  EXPECT_EQ(s.record.TriggerPoint, 0);  // the third hit in a row, at the next block's first point
  EXPECT_EQ(s.record.TriggerKind, 2);
  EXPECT_EQ(s.record.TriggerEdge, 1);
  EXPECT_FALSE(DetectThresholdTriggers(s));  // nothing while a record is collected
}

TEST_F(Detectors, ThresholdReadsEachDisplayPointsSubSample) {
  LiveConfig& c = s.config;
  c.Analog_Num = 2;
  c.Total_Line = 2;
  c.SW_Num = 0;
  c.AnalogChannelTable[0].MultiFreq = 4;
  c.AnalogChannelTable[1].MultiFreq = 2;
  Prepare(0);
  c.ConfirmTriggerNum = 1;
  c.Algorithm_Num = 1;
  c.AlgorithmTable[0].Type = 2;  // valley below
  c.AlgorithmTable[0].Channel[0] = 1;
  s.triggers.ThresholdCode[0] = 100;
  uint16_t* rows = s.acq.CurrentBlock() + 1;
  for (int i = 0; i < c.NumSamp * c.NumChn; ++i) rows[i] = 2000;
  // Channel 1's extra word (sub-sample 1) of row 0 dips: display points 2 and 3.
  rows[s.layout.ExtraSlotFirst[1]] = 50;
  ASSERT_TRUE(DetectThresholdTriggers(s));
  EXPECT_EQ(s.record.TriggerPoint, 2);
}

}  // namespace
