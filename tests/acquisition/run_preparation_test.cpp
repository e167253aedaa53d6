#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"
#include "common/ConfigBounds.h"

namespace {

using namespace quelvar;

struct Reports {
  std::vector<std::string> log, status, boxes, posted;
  std::string panel1, panel5, elapsed;
  bool live = false;
  StartReporter Start() {
    return {[this](const std::string& s) { log.push_back(s); }, [this](const std::string& s) { status.push_back(s); },
            [this](const std::string& t, const std::string&) { boxes.push_back(t); },
            [this](int, const std::string& s) { panel1 = s; }};
  }
  BlockReporter Block() {
    return {[this](const std::string& s) { log.push_back(s); }, [this] { return log.size() * 100; },
            [this] { log.clear(); }, [this](const std::string& s) { elapsed = s; },
            [this](int panel, const std::string& s) {
              if (panel == 5) panel5 = s;
            },
            [] {}, nullptr, nullptr, std::string(), [this] { return live; },
            [this](const std::string& s) { posted.push_back(s); }};
  }
};

// Three channels, each a line of its own, 10 rows a block, a ring of 4.
AppState SmallRun() {
  AppState s;
  LiveConfig& c = s.config;
  c.Analog_Num = 3;
  c.Total_Line = 3;
  for (auto& line : c.LineTable) line.APhaseNum = 1;
  c.NumSamp = 10;
  c.MaxBlock = 4;
  c.ChannelRate = 1000.0f;
  ComputeChannelLayout(c, s.layout, 192, true, {});
  return s;
}

TEST(PrepareStart, SizesTheBuffersFromTheLayout) {
  AppState s = SmallRun();
  s.record.Recording = 1;  // left over from a run stopped mid-record
  Reports r;
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  EXPECT_EQ(s.acq.BlockWithPrefix.size(), 10u * 3 + 3);
  EXPECT_EQ(s.acq.RingBuffer.size(), 3u * 10 * 4 + 1);
  EXPECT_EQ(s.acq.RingBuffer.front(), 2048);  // filled with the zero code
  EXPECT_EQ(s.acq.LastSeqNo, 0xFFFF);
  EXPECT_EQ(s.acq.BufferLayoutValid, 1);
  EXPECT_EQ(s.record.Recording, 0);  // a new run never starts blocked by an old record
  EXPECT_EQ(s.record.ViewBlock, 3);
  EXPECT_EQ(r.panel1, "监控");
  EXPECT_EQ(s.config.SamplesPerCycle, 20);
  EXPECT_EQ(s.config.CompressRatio, 20);  // a ratio of 1 stands for one AC cycle
}

TEST(PrepareStart, SwitchStartFlagsArmRecordingWithAPrefixCoveringTheLookBack) {
  AppState s = SmallRun();
  s.config.SW_Num = 3;
  s.config.IDStartBin = 1;
  s.config.SwitchChannelTable[2].SWStartID = 3;
  ComputeChannelLayout(s.config, s.layout, 192, true, {});
  Reports r;
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  EXPECT_EQ(s.acq.AutoTriggerActive, 1);
  EXPECT_EQ(s.acq.HistoryPrefixRows, 7);  // a rising edge looks back seven rows
  EXPECT_EQ(s.acq.CurrentBlockOffset, 7u * 4);
  s.config.SwitchChannelTable[2].SWStartID = 1;  // a level: the usual four rows
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  EXPECT_EQ(s.acq.HistoryPrefixRows, 4);
  EXPECT_EQ(r.panel1, "录波");
  EXPECT_EQ(r.log.back(), "\r\n 注：已启用记录启动算法！");
  // The oscilloscope keeps no prefix and a one-block ring.
  ASSERT_TRUE(PrepareStart(s, false, r.Start()));
  EXPECT_EQ(s.acq.HistoryPrefixRows, 0);
  EXPECT_EQ(s.acq.RingBlocks, 1);
  EXPECT_EQ(r.panel1, "示波器");
}

TEST(PrepareStart, RingStartsWithZeroCodesButNoSwitchBits) {
  AppState s = SmallRun();
  s.config.SW_Num = 20;  // two switch words after the three analog words
  s.config.IDStartBin = 1;
  s.config.SwitchChannelTable[0].SWStartID = 1;
  ComputeChannelLayout(s.config, s.layout, 192, true, {});
  Reports r;
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  const size_t chn = static_cast<size_t>(s.config.NumChn);
  for (size_t row = 0; row < 10u * 4; ++row) {
    EXPECT_EQ(s.acq.RingBuffer[row * chn + 2], 2048);
    EXPECT_EQ(s.acq.RingBuffer[row * chn + 3], 0);
    EXPECT_EQ(s.acq.RingBuffer[row * chn + 4], 0);
  }
  EXPECT_EQ(s.acq.BlockWithPrefix[1 + 3], 0);  // the prefix rows alike
}

TEST(PrepareStart, ConfigurationsThatCannotWorkAreRefusedBeforeAnySize) {
  struct Case {
    const char* what;
    void (*spoil)(LiveConfig&);
  } cases[] = {
      {"zero rate", [](LiveConfig& c) { c.ChannelRate = 0.0f; }},
      {"infinite rate", [](LiveConfig& c) { c.ChannelRate = 1.0f / 0.0f; }},
      {"no rows", [](LiveConfig& c) { c.NumSamp = 0; }},
      {"negative ring", [](LiveConfig& c) { c.MaxBlock = -3; }},
      {"no words", [](LiveConfig& c) { c.NumChn = 0; }},
      {"too many switches", [](LiveConfig& c) { c.SW_Num = 500; }},
      {"lines do not add up", [](LiveConfig& c) { c.LineTable[0].APhaseNum = 2; }},
      {"PID channels", [](LiveConfig& c) { c.PIDEnable = 1; c.DANumChn = 3; }},
      {"ring too big", [](LiveConfig& c) { c.MaxBlock = 2000000000; c.NumSamp = 2000000000; }},
  };
  for (const Case& k : cases) {
    AppState s = SmallRun();
    k.spoil(s.config);
    Reports r;
    EXPECT_FALSE(PrepareStart(s, true, r.Start())) << k.what;
    EXPECT_FALSE(r.log.empty() && r.boxes.empty()) << "no reason given: " << k.what;
  }
}

// Values only a configuration put back without the checks can hold; each
// once overflowed a 32-bit product (the sanitizer build aborted on them).
TEST(PrepareStart, ExtremeRatesAreRefusedOrBoundedWithoutOverflow) {
  struct Case {
    const char* what;
    void (*spoil)(LiveConfig&);
    bool starts;
    const char* reason;  // the run-log line or the message box
  } cases[] = {
      {"multiplier near 2^31", [](LiveConfig& c) { c.AnalogChannelTable[1].MultiFreq = INT32_MAX; }, false,
       "\r\n错误：通道数NumChn设置不能工作，无法启动!"},
      {"tiny AC frequency", [](LiveConfig& c) { c.ACFrq = 1.0e-30f; }, false,
       "\r\n错误：交流频率设置不能工作，无法启动!"},
      {"both", [](LiveConfig& c) { c.AnalogChannelTable[0].MultiFreq = INT32_MAX - 1, c.ACFrq = 1.0e-30f; }, false,
       "\r\n错误：通道数NumChn设置不能工作，无法启动!"},
      {"row one word too wide", [](LiveConfig& c) { c.AnalogChannelTable[2].MultiFreq = kMaxRowWords - 1; }, false,
       "\r\n错误：通道数NumChn设置不能工作，无法启动!"},
      // A ring within its words whose display points pass 2^31 (the views
      // count them in 32 bits): a multiplier that no longer fits the row.
      {"display points past 2^31",
       [](LiveConfig& c) { c.NumSamp = 10000, c.MaxBlock = 100, c.MaxMultiFreq = kMaxMultiFreq; }, false,
       "内存缓冲区分配失败!"},
      {"fast card at the lowest AC frequency", [](LiveConfig& c) { c.ChannelRate = 1.0e9f, c.ACFrq = kMinACFrq; },
       true, ""},
  };
  for (const Case& k : cases) {
    AppState s = SmallRun();
    k.spoil(s.config);
    const int32_t maxMultiFreq = s.config.MaxMultiFreq;
    ComputeChannelLayout(s.config, s.layout, 192, true, {});
    if (maxMultiFreq > s.config.MaxMultiFreq) s.config.MaxMultiFreq = maxMultiFreq;
    Reports r;
    EXPECT_EQ(PrepareStart(s, true, r.Start()), k.starts) << k.what;
    if (k.starts) {
      EXPECT_EQ(s.config.SamplesPerCycle, kMaxSamplesPerCycle) << k.what;
      EXPECT_EQ(s.display.DispPoints, int64_t{s.display.DispRows} * s.config.MaxMultiFreq) << k.what;
    } else {
      std::vector<std::string> said = r.log;
      said.insert(said.end(), r.boxes.begin(), r.boxes.end());
      EXPECT_NE(std::find(said.begin(), said.end(), k.reason), said.end()) << k.what;
    }
  }
}

TEST(ProcessBlock, SequenceJumpsAreReportedAndCountedAsLostBlocks) {
  AppState s = SmallRun();
  Reports r;
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  s.RunState = kRunRecording;
  r.log.clear();
  const uint16_t sequence[] = {0, 1, 2, 3, 4, 5, 8};
  for (uint16_t seq : sequence) {
    s.acq.CurrentBlock()[0] = seq;
    s.acq.CurrentBlock()[1] = static_cast<uint16_t>(100 + seq);  // row 0, word 0
    ProcessBlock(s, 0.0, r.Block());
  }
  ASSERT_EQ(r.log.size(), 1u);
  EXPECT_EQ(r.log[0], "  警告:AD采集数据有丢失!");
  EXPECT_EQ(s.acq.BlocksReceived, 9u);  // 7 blocks and 2 lost
  EXPECT_EQ(s.acq.DataGapFlag, 1);
  EXPECT_EQ(s.acq.RingWraps, 1);
  EXPECT_EQ(s.acq.RingWriteBlock, 3);
  EXPECT_EQ(s.acq.RingBuffer[2 * 30], 108);  // the last block went to ring block 2
  EXPECT_EQ(r.elapsed, "采样0m 0s");
}

TEST(ProcessBlock, WrapOfTheSequenceWordIsOneLostBlock) {
  AppState s = SmallRun();
  Reports r;
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  s.RunState = kRunRecording;
  s.acq.LastSeqNo = 65534;
  for (uint16_t seq : {uint16_t{65535}, uint16_t{1}}) {
    s.acq.CurrentBlock()[0] = seq;
    ProcessBlock(s, 0.0, r.Block());
  }
  EXPECT_EQ(s.acq.BlocksReceived, 3u);
}

TEST(ElapsedTime, TextByTheLargestUnit) {
  EXPECT_EQ(ElapsedTimeText(0), "采样0m 0s");
  EXPECT_EQ(ElapsedTimeText(125), "采样2m 5s");
  EXPECT_EQ(ElapsedTimeText(3725), "共1h 2m 5s");
  EXPECT_EQ(ElapsedTimeText(90061), "1d 1h 1m 1s");
}

TEST(ProcessBlock, TheSequenceNumberIsShownAtOnceOnlyWithoutTheLiveDisplay) {
  AppState s = SmallRun();
  Reports r;
  ASSERT_TRUE(PrepareStart(s, true, r.Start()));
  s.RunState = kRunRecording;
  for (uint16_t seq = 0; seq < 2; ++seq) {
    s.acq.CurrentBlock()[0] = seq;
    ProcessBlock(s, 45000.0, r.Block());
  }
  EXPECT_EQ(r.panel5, "SeqNo=1");
  EXPECT_EQ(r.posted, (std::vector<std::string>{"SeqNo=0", "SeqNo=1"}));
  r.live = true;
  s.acq.CurrentBlock()[0] = 2;
  ProcessBlock(s, 45000.0, r.Block());
  EXPECT_EQ(r.panel5, "SeqNo=1");  // with the waveform on show, only posted
  EXPECT_EQ(r.posted.back(), "SeqNo=2");
}

}  // namespace
