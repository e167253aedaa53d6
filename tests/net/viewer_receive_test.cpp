#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/StationStreamFakes.h"
#include "net/ViewerReceive.h"
#include "platform/DayTime.h"

namespace quelvar {
namespace {

using test::FakeViewerHost;

const char* const kStarted = "采集站开始采样!";
const char* const kBadConfig = "接收到错误的配置信息,停止!";
const char* const kNotSampling = "采集站还未开始采样!";

class ViewerReceiveTest : public ::testing::Test {
 protected:
  ViewerReceiveTest() {
    InitGrayTables(gray);
    config.ServerIP = "10.0.0.7";
    host.Attach(receiver);
    receiver.Open();
  }

  void Feed(const std::vector<uint8_t>& bytes) { receiver.Feed(bytes.data(), bytes.size()); }

  std::vector<uint8_t> StartMessage(const ConfigRecord& record) {
    std::vector<uint8_t> bytes{3};
    const std::vector<uint8_t> body = test::BytesOfRecord(record);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
  }

  // Started with a 3-word, 5-row layout: R = 32.
  void TakeConfig() {
    Feed(StartMessage(test::StationRecord(3, 2, 5)));
    ASSERT_EQ(receiver.BlockBytes(), 32u);
    host.statuses.clear();
    host.runLog.clear();
  }

  static std::vector<uint8_t> RawMessage(const std::vector<uint8_t>& block) {
    std::vector<uint8_t> bytes{0};
    bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
  }

  static std::vector<uint8_t> Block(uint16_t sequence, size_t bytes, uint8_t fill) {
    std::vector<uint8_t> block(bytes, fill);
    block[0] = static_cast<uint8_t>(sequence);
    block[1] = static_cast<uint8_t>(sequence >> 8);
    return block;
  }

  static std::vector<uint8_t> CompressedMessage(uint8_t code, const std::vector<uint8_t>& payload) {
    LzssCodec codec;
    const CodecBuffer compressed = codec.LzssCompress(payload.data(), payload.size());
    const auto n = static_cast<uint32_t>(compressed.size());
    std::vector<uint8_t> bytes(5 + compressed.size());
    bytes[0] = code;
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(1 + i)] = static_cast<uint8_t>(n >> (8 * i));
    std::copy(compressed.begin(), compressed.end(), bytes.begin() + 5);
    return bytes;
  }

  LiveConfig config;
  GrayTables gray;
  LzssCodec codec;
  FakeViewerHost host{config};
  ViewerReceiver receiver{host, config, codec, gray};
};

TEST_F(ViewerReceiveTest, ConfigurationPhaseLendsTheRecordPreparesAndReportsTheStation) {
  EXPECT_EQ(receiver.ViewerPhase(), 1);
  EXPECT_EQ(receiver.ViewerStep(), 1);
  ConfigRecord record = test::StationRecord(3, 2, 5);
  record.Total_Line = 1;
  record.ChannelRate = 2500.25f;
  Feed(StartMessage(record));

  EXPECT_EQ(host.applied, 1);
  EXPECT_EQ(host.prepared, 1);
  EXPECT_EQ(host.statuses, (std::vector<std::string>{kStarted, "开始从采集站10.0.0.7接受采样数据..."}));
  EXPECT_EQ(host.runLog, std::vector<std::string>{"采集站配置:AD板总通道=3; 母线+线路=1;\r\n 模拟通道数=2; 开关量通道数=16;"
                                                  "\r\n 通道采样率=2500.3 Hz;\r\n AD板采样最大值=4095 (代表采样精度)"});
  EXPECT_EQ(receiver.ViewerPhase(), 1);
  EXPECT_EQ(receiver.ViewerStep(), 1);
  EXPECT_EQ(receiver.ViewerReceived(), 0u);
  EXPECT_EQ(receiver.BlockBytes(), 32u);
}

TEST_F(ViewerReceiveTest, ConfigurationCheckComparesTruncatedFullScaleWithTheResolution) {
  struct Case {
    int32_t adBit;
    float adMax;
    uint32_t recordSize;
    bool passes;
  };
  const Case cases[] = {
      {12, 4095.0f, 40728, true},
      {12, 4095.9f, 40728, true},
      {16, 65535.0f, 40728, true},
      {12, 4096.0f, 40728, false},
      {12, 4094.99f, 40728, false},
      {12, 4095.0f, 40727, false},
      {-1, 0.0f, 40728, false},
      {31, 2147483648.0f, 40728, false},
      {64, 4095.0f, 40728, false},
      {12, std::numeric_limits<float>::quiet_NaN(), 40728, false},
      {12, std::numeric_limits<float>::infinity(), 40728, false},
  };
  for (const Case& c : cases) {
    LiveConfig own;
    FakeViewerHost h(own);
    ViewerReceiver r(h, own, codec, gray);
    h.Attach(r);
    r.Open();
    ConfigRecord record = test::StationRecord(3, 2, 5);
    record.ADBit = c.adBit;
    record.ADMax = c.adMax;
    record.RecordSize = c.recordSize;
    std::vector<uint8_t> bytes = StartMessage(record);
    bytes.push_back(2);
    r.Feed(bytes.data(), bytes.size());
    const std::string what = std::to_string(c.adBit) + " / " + std::to_string(c.adMax);
    if (c.passes) {
      EXPECT_EQ(h.applied, 1) << what;
      EXPECT_EQ(h.stops, 0) << what;
      EXPECT_EQ(h.statuses.back(), kNotSampling) << what;
    } else {
      EXPECT_EQ(h.applied, 0) << what;
      EXPECT_EQ(h.prepared, 0) << what;
      EXPECT_EQ(h.stops, 1) << what;
      // The byte after the record is not read once the run has stopped.
      EXPECT_EQ(h.statuses, (std::vector<std::string>{kStarted, kBadConfig})) << what;
    }
  }
}

TEST_F(ViewerReceiveTest, FailedPreparationStopsTheRun) {
  host.prepareResult = false;
  std::vector<uint8_t> bytes = StartMessage(test::StationRecord(3, 2, 5));
  bytes.insert(bytes.end(), {0, 1, 2});
  Feed(bytes);
  EXPECT_EQ(host.stops, 1);
  EXPECT_EQ(host.statuses, (std::vector<std::string>{kStarted, "系统参数设置错误!"}));
  EXPECT_TRUE(host.blocks.empty());
  EXPECT_TRUE(host.runLog.empty());
}

// Records the configuration checks refuse are handled as malformed ones:
// nothing is lent, nothing prepared, the run stopped and the link closed.
TEST_F(ViewerReceiveTest, RecordThatTheConfigurationChecksRefuseIsNotLent_MendedUncheckedStationRecord) {
  struct Case {
    const char* what;
    void (*damage)(ConfigRecord&);
  };
  const Case cases[] = {
      {"Algorithm_Num 61", [](ConfigRecord& r) { r.Algorithm_Num = 61; }},
      {"NumSamp 0", [](ConfigRecord& r) { r.NumSamp = 0; }},
      {"NumSamp -5", [](ConfigRecord& r) { r.NumSamp = -5; }},
      {"UsedChn 9",
       [](ConfigRecord& r) {
         r.Algorithm_Num = 1;
         r.Algorithms[0].UsedChn = 9;
       }},
  };
  for (const Case& c : cases) {
    LiveConfig own;
    FakeViewerHost h(own);
    ViewerReceiver r(h, own, codec, gray);
    h.Attach(r);
    r.Open();
    ConfigRecord record = test::StationRecord(3, 2, 5);
    c.damage(record);
    std::vector<uint8_t> bytes = StartMessage(record);
    bytes.insert(bytes.end(), {0, 1, 2});
    r.Feed(bytes.data(), bytes.size());
    EXPECT_EQ(h.applied, 0) << c.what;
    EXPECT_EQ(h.prepared, 0) << c.what;
    EXPECT_EQ(h.stops, 1) << c.what;
    EXPECT_EQ(h.statuses, (std::vector<std::string>{kStarted, kBadConfig})) << c.what;
    EXPECT_TRUE(h.runLog.empty()) << c.what;
    EXPECT_TRUE(h.blocks.empty()) << c.what;
    EXPECT_EQ(r.BlockBytes(), 0u) << c.what;
  }
}

TEST_F(ViewerReceiveTest, OnlyCodeZeroStartsARawBlockAnUnknownCodeStopsTheRun_MendedCodeReadAsData) {
  for (const uint8_t code : {uint8_t{6}, uint8_t{7}, uint8_t{0x80}, uint8_t{0xFF}}) {
    LiveConfig own;
    FakeViewerHost h(own);
    ViewerReceiver r(h, own, codec, gray);
    h.Attach(r);
    r.Open();
    const std::vector<uint8_t> start = StartMessage(test::StationRecord(3, 2, 5));
    r.Feed(start.data(), start.size());
    h.statuses.clear();
    // A block behind the unknown code, then a notice: neither is read.
    std::vector<uint8_t> bytes{code};
    const std::vector<uint8_t> block = Block(1, 32, 1);
    bytes.insert(bytes.end(), block.begin(), block.end());
    bytes.push_back(2);
    r.Feed(bytes.data(), bytes.size());
    EXPECT_EQ(h.stops, 1) << int(code);
    EXPECT_EQ(h.statuses, std::vector<std::string>{kUnknownBlockStatus}) << int(code);
    EXPECT_TRUE(h.blocks.empty()) << int(code);
    EXPECT_TRUE(h.acks.empty()) << int(code);
    EXPECT_EQ(r.BlockBytes(), 0u) << int(code);
  }
}

TEST_F(ViewerReceiveTest, LayoutInForceTheStreamCannotCarryStopsTheRunWithoutAllocating_MendedUnboundedBlockSize) {
  // 100 x 2e9 words: a block no buffer could hold. (NumSamp 0 or below no
  // longer gets this far: the configuration checks refuse it, see above.)
  host.applyUnchecked = true;
  ConfigRecord record = test::StationRecord(100, 2, 5);
  record.NumSamp = 2000000000;
  std::vector<uint8_t> bytes = StartMessage(record);
  bytes.insert(bytes.end(), {0, 0, 0});
  Feed(bytes);
  EXPECT_EQ(host.stops, 1);
  // Refused by the start preparation, or already by the configuration
  // checks where they bound the block's size.
  EXPECT_TRUE(host.statuses.back() == "系统参数设置错误!" || host.statuses.back() == kBadConfig);
  EXPECT_EQ(receiver.BlockBytes(), 0u);
  EXPECT_TRUE(host.blocks.empty());
}

TEST_F(ViewerReceiveTest, StationNoticesArePostedAndTheStopIsLogged) {
  TakeConfig();
  host.now = platform::EncodeDayCount({2024, 3, 9, 14, 5, 7, 0});
  Feed({2, 4});
  EXPECT_EQ(host.statuses, (std::vector<std::string>{kNotSampling, "采集站停止采样!"}));
  EXPECT_EQ(host.runLog, std::vector<std::string>{"\r\n采集站停止采样于:2024-03-09 14:05:07"});
  EXPECT_EQ(receiver.ViewerStep(), 1);
}

TEST_F(ViewerReceiveTest, RawBlockIsAcceptedAndAcknowledgedWithItsSequenceWord) {
  TakeConfig();
  const std::vector<uint8_t> block = Block(0x1234, 32, 0xA5);
  Feed(RawMessage(block));
  ASSERT_EQ(host.blocks.size(), 1u);
  EXPECT_EQ(host.blocks[0], block);
  EXPECT_EQ(host.acks, (std::vector<std::vector<uint8_t>>{{0x34, 0x12}}));
  EXPECT_EQ(receiver.ViewerStep(), 1);
}

TEST_F(ViewerReceiveTest, LengthsOutsideTheBlockAreSkippedAndTheNextBytesReadAsCodes) {
  TakeConfig();
  const std::vector<std::vector<uint8_t>> lengths{
      {0, 0, 0, 0}, {32, 0, 0, 0}, {33, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 0x80}};
  for (const uint8_t code : {uint8_t{1}, uint8_t{5}}) {
    for (const std::vector<uint8_t>& length : lengths) {
      host.statuses.clear();
      std::vector<uint8_t> bytes{code};
      bytes.insert(bytes.end(), length.begin(), length.end());
      bytes.push_back(2);
      Feed(bytes);
      EXPECT_EQ(host.statuses, std::vector<std::string>{kNotSampling}) << int(code) << " " << int(length[0]);
      EXPECT_EQ(receiver.ViewerStep(), 1);
    }
  }
  EXPECT_TRUE(host.blocks.empty());
  EXPECT_TRUE(host.acks.empty());
}

TEST_F(ViewerReceiveTest, ExpansionOfTheWrongLengthDropsTheBlockSilently) {
  TakeConfig();
  Feed(CompressedMessage(1, std::vector<uint8_t>(34, 0)));  // R + 2
  Feed(CompressedMessage(5, std::vector<uint8_t>(30, 0)));  // R - 2
  EXPECT_TRUE(host.blocks.empty());
  EXPECT_TRUE(host.acks.empty());
  EXPECT_TRUE(host.statuses.empty());
  EXPECT_EQ(host.stops, 0);
  Feed(CompressedMessage(1, Block(5, 32, 0)));
  ASSERT_EQ(host.blocks.size(), 1u);
  EXPECT_EQ(host.blocks[0], Block(5, 32, 0));
}

TEST_F(ViewerReceiveTest, RestartRepeatsTheConfigurationPhaseWithTheNewLayout) {
  TakeConfig();
  Feed(RawMessage(Block(1, 32, 1)));
  Feed(StartMessage(test::StationRecord(2, 2, 3)));  // R = 14
  EXPECT_EQ(host.applied, 2);
  EXPECT_EQ(host.prepared, 2);
  EXPECT_EQ(receiver.BlockBytes(), 14u);
  Feed(RawMessage(Block(2, 14, 2)));
  ASSERT_EQ(host.blocks.size(), 2u);
  EXPECT_EQ(host.blocks[1], Block(2, 14, 2));
}

TEST_F(ViewerReceiveTest, IdleOrClosedViewerDiscardsEverything) {
  host.running = false;
  std::vector<uint8_t> bytes = StartMessage(test::StationRecord(3, 2, 5));
  bytes.push_back(2);
  Feed(bytes);
  EXPECT_TRUE(host.statuses.empty());
  EXPECT_EQ(receiver.ViewerPhase(), 1);
  EXPECT_EQ(receiver.ViewerStep(), 1);

  host.running = true;
  receiver.Close();
  Feed(bytes);
  EXPECT_TRUE(host.statuses.empty());
  EXPECT_EQ(receiver.ViewerPhase(), 0);
  EXPECT_EQ(host.applied, 0);
}

TEST_F(ViewerReceiveTest, BlockBeforeAnyConfigurationIsNotTaken_MendedBlockOfUnknownSize) {
  // A raw block code with no layout yet: the code is dropped and what
  // follows is read as codes.
  Feed({0, 2});
  EXPECT_EQ(host.statuses, std::vector<std::string>{kNotSampling});
  EXPECT_TRUE(host.blocks.empty());
  // A reopened link forgets the last connection's layout.
  TakeConfig();
  receiver.Close();
  receiver.Open();
  Feed(RawMessage(Block(1, 32, 1)));
  EXPECT_TRUE(host.blocks.empty());
}

TEST_F(ViewerReceiveTest, StopDuringBlockProcessingDropsTheRestOfTheInput) {
  TakeConfig();
  host.stopAfterBlocks = 1;
  std::vector<uint8_t> bytes = RawMessage(Block(1, 32, 1));
  const std::vector<uint8_t> second = RawMessage(Block(2, 32, 2));
  bytes.insert(bytes.end(), second.begin(), second.end());
  bytes.push_back(2);
  Feed(bytes);
  EXPECT_EQ(host.blocks.size(), 1u);
  EXPECT_TRUE(host.statuses.empty());
  EXPECT_EQ(receiver.ViewerPhase(), 0);
}

TEST_F(ViewerReceiveTest, GarbageNeverBreaksTheReceiver) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    LiveConfig own;
    FakeViewerHost h(own);
    ViewerReceiver r(h, own, codec, gray);
    h.Attach(r);
    r.Open();
    std::mt19937 random(seed);
    if (seed % 2 == 0) {
      const std::vector<uint8_t> start = StartMessage(test::StationRecord(3, 2, 5));
      r.Feed(start.data(), start.size());
    }
    // Message-like pieces that take the receiver into every step, with
    // lengths and bodies that rarely agree, and now and then a start.
    std::vector<uint8_t> garbage;
    while (garbage.size() < 30000) {
      const uint32_t kind = random() % 1000;
      if (kind == 0) {
        garbage.push_back(3);
      } else if (kind < 500) {
        garbage.push_back(static_cast<uint8_t>(random() % 2 == 0 ? 1 : 5));
        const uint32_t n = random() % 40;
        for (int b = 0; b < 4; ++b) garbage.push_back(static_cast<uint8_t>(n >> (8 * b)));
      } else if (kind < 700) {
        garbage.push_back(static_cast<uint8_t>(random() % 6 == 3 ? 0 : random() % 6));
      }
      const uint32_t body = random() % 40;
      for (uint32_t b = 0; b < body; ++b) garbage.push_back(static_cast<uint8_t>(random()));
    }
    size_t at = 0;
    while (at < garbage.size()) {
      const size_t piece = std::min<size_t>(garbage.size() - at, 1 + random() % 97);
      r.Feed(garbage.data() + at, piece);
      at += piece;
      if (!h.running) {  // a bad record stopped the run: start again
        h.running = true;
        r.Open();
      }
    }
    for (const std::vector<uint8_t>& block : h.blocks) EXPECT_EQ(block.size(), r.BlockBytes()) << seed;
    EXPECT_EQ(h.acks.size(), h.blocks.size()) << seed;
    EXPECT_LE(r.ViewerReceived(), std::max<uint64_t>(r.ViewerExpected(), kConfigRecordSize)) << seed;
  }
}

}  // namespace
}  // namespace quelvar
