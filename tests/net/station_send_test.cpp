#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"
#include "net/StationSend.h"
#include "net/StationStreamFakes.h"

namespace quelvar {
namespace {

using test::FakeConnections;
using test::FakeStationWindow;

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> list) { return list; }

std::vector<uint8_t> BlockBytes(const std::vector<uint16_t>& block) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
  return {bytes, bytes + block.size() * 2};
}

std::vector<uint8_t> LengthWord(uint32_t n) {
  return {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
          static_cast<uint8_t>(n >> 24)};
}

std::vector<uint16_t> RandomBlock(size_t words, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint16_t> block(words);
  for (uint16_t& word : block) word = static_cast<uint16_t>(random());
  return block;
}

class StationSendTest : public ::testing::Test {
 protected:
  StationSendTest() { InitGrayTables(gray); }

  void Send(const StationStreamSettings& settings, const StationBlockShape& shape,
            const std::vector<uint16_t>& block) {
    SendStationBlock(link, settings, shape, block, codec, gray, packed);
  }

  FakeConnections connections{2};
  FakeStationWindow window;
  StationLink link{connections, window};
  LzssCodec codec;
  GrayTables gray;
  std::vector<uint16_t> packed;
  const ConfigRecord record = test::StationRecord(3, 2, 5);
};

TEST_F(StationSendTest, IdleStationGreetsWithTheRecordThenNotSamplingWhenTheTimerFires) {
  GreetStationViewer(link, 1, record, /*runState=*/0);
  const uint64_t id = connections.IdAt(1);
  EXPECT_EQ(connections.SendsTo(id), (std::vector<std::vector<uint8_t>>{Bytes({3}), test::BytesOfRecord(record)}));
  EXPECT_TRUE(connections.SendsTo(connections.IdAt(0)).empty());
  ASSERT_EQ(connections.timers.size(), 1u);
  EXPECT_EQ(connections.timers[0], std::make_pair(id, 1000));

  SendStationNotSampling(link, id, 0);
  EXPECT_EQ(connections.SendsTo(id).back(), Bytes({2}));
  EXPECT_EQ(connections.sends.size(), 3u);
}

TEST_F(StationSendTest, RunningStationGreetsWithTheRecordOnly) {
  GreetStationViewer(link, 0, record, /*runState=*/1);
  EXPECT_EQ(connections.sends.size(), 2u);
  EXPECT_TRUE(connections.timers.empty());
}

TEST_F(StationSendTest, NotSamplingIsNotSentOnceTheStationStartedOrTheViewerLeft) {
  GreetStationViewer(link, 0, record, 0);
  const uint64_t id = connections.IdAt(0);
  SendStationNotSampling(link, id, /*runState=*/1);  // a start came first
  connections.Disconnect(0);
  SendStationNotSampling(link, id, 0);  // the viewer has gone; another took its place
  EXPECT_EQ(connections.sends.size(), 2u);
}

TEST_F(StationSendTest, NotSamplingFindsItsViewerAfterTheListChanged) {
  GreetStationViewer(link, 1, record, 0);
  const uint64_t id = connections.IdAt(1);
  connections.Disconnect(0);
  SendStationNotSampling(link, id, 0);
  EXPECT_EQ(connections.SendsTo(id).back(), Bytes({2}));
}

TEST_F(StationSendTest, StartAndStopReachEveryViewerInConnectionOrder) {
  BroadcastStationStart(link, record);
  BroadcastStationStop(link);
  const uint64_t a = connections.IdAt(0), b = connections.IdAt(1);
  ASSERT_EQ(connections.sends.size(), 6u);
  EXPECT_EQ(connections.sends[0].id, a);
  EXPECT_EQ(connections.sends[1].id, a);
  EXPECT_EQ(connections.sends[2].id, b);
  EXPECT_EQ(connections.StreamTo(a).size(), 1u + sizeof(ConfigRecord) + 1u);
  EXPECT_EQ(connections.SendsTo(b), (std::vector<std::vector<uint8_t>>{Bytes({3}), test::BytesOfRecord(record),
                                                                       Bytes({4})}));
}

TEST_F(StationSendTest, UncompressedBlockGoesRawToEveryViewerAndMarksItsRow) {
  const StationBlockShape shape{3, 2, 5};
  std::vector<uint16_t> block = RandomBlock(16, 7);
  block[0] = 0xFFFF;  // the sequence word shows unsigned
  Send(StationStreamSettings{0, 1}, shape, block);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(connections.SendsTo(connections.IdAt(i)),
              (std::vector<std::vector<uint8_t>>{Bytes({0}), BlockBytes(block)}));
    EXPECT_EQ(window.Cell(i + 1, kGridColumnSentBlock), "65535");
  }
  EXPECT_TRUE(window.ratioTexts.empty());
}

TEST_F(StationSendTest, CompressionThatDoesNotShrinkSendsTheRawBlock) {
  const StationBlockShape shape{4, 4, 50};
  const std::vector<uint16_t> block = RandomBlock(201, 11);
  Send(StationStreamSettings{1, 0}, shape, block);
  EXPECT_EQ(window.ratioTexts, std::vector<std::string>{"压缩比：0%"});
  EXPECT_EQ(connections.StreamTo(connections.IdAt(1)).front(), 0);
  EXPECT_EQ(connections.SendsTo(connections.IdAt(1)).back(), BlockBytes(block));
}

TEST_F(StationSendTest, FourteenBytesCompressedToSevenShowFiftyPercentAndTravelAsThreeSends) {
  const StationBlockShape shape{2, 2, 3};  // R = 14
  const std::vector<uint16_t> block{1, 0, 0, 0, 0, 0, 0};
  Send(StationStreamSettings{1, 0}, shape, block);
  EXPECT_EQ(window.ratioTexts, std::vector<std::string>{"压缩比：50%"});

  LzssCodec reference;
  const CodecBuffer expected = reference.LzssCompress(BlockBytes(block).data(), 14);
  ASSERT_EQ(expected.size(), 7u);
  const std::vector<std::vector<uint8_t>> message{Bytes({1}), LengthWord(7), {expected.begin(), expected.end()}};
  // Connection 0's whole message comes before connection 1's.
  ASSERT_EQ(connections.sends.size(), 6u);
  for (size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(connections.sends[k].id, connections.IdAt(static_cast<int>(k / 3)));
    EXPECT_EQ(connections.sends[k].bytes, message[k % 3]);
  }
  EXPECT_EQ(window.Cell(1, kGridColumnSentBlock), "1");
  EXPECT_EQ(window.Cell(2, kGridColumnSentBlock), "1");
}

TEST_F(StationSendTest, PackedCompressionSendsTheCompressedPackedBlock) {
  const StationBlockShape shape{3, 2, 40};
  std::vector<uint16_t> block(1 + 3 * 40);
  block[0] = 77;
  for (size_t j = 0; j < 40; ++j) {
    block[1 + 3 * j] = static_cast<uint16_t>(2000 + j);
    block[2 + 3 * j] = static_cast<uint16_t>(1000 - 2 * j);
    block[3 + 3 * j] = 0x0101;
  }
  Send(StationStreamSettings{1, 1}, shape, block);

  std::vector<uint8_t> expectedPacked(block.size() * 2);
  ASSERT_TRUE(PackSampleBlock(block, expectedPacked, 3, 2, 40, gray));
  LzssCodec reference;
  const CodecBuffer expected = reference.LzssCompress(expectedPacked.data(), expectedPacked.size());
  const uint64_t n = expected.size();
  ASSERT_LT(n, expectedPacked.size());
  EXPECT_EQ(connections.SendsTo(connections.IdAt(0)),
            (std::vector<std::vector<uint8_t>>{Bytes({5}), LengthWord(static_cast<uint32_t>(n)),
                                               {expected.begin(), expected.end()}}));
  const uint64_t r = expectedPacked.size();
  EXPECT_EQ(window.ratioTexts, std::vector<std::string>{"压缩比：" + std::to_string((r - n) * 100 / r) + "%"});
}

TEST_F(StationSendTest, WithoutViewersNothingIsCompressedOrSent) {
  FakeConnections none(0);
  StationLink empty{none, window};
  SendStationBlock(empty, StationStreamSettings{1, 1}, StationBlockShape{2, 2, 3}, std::vector<uint16_t>(7), codec,
                   gray, packed);
  EXPECT_TRUE(none.sends.empty());
  EXPECT_TRUE(window.ratioTexts.empty());
  EXPECT_TRUE(window.grid.empty());
  EXPECT_TRUE(packed.empty());
}

TEST_F(StationSendTest, OscilloscopeBlocksTravelRaw) {
  const std::vector<uint16_t> block{9, 0, 0, 0, 0, 0, 0};
  SendStationRawBlock(link, StationBlockShape{2, 2, 3}, block);
  EXPECT_EQ(connections.SendsTo(connections.IdAt(1)),
            (std::vector<std::vector<uint8_t>>{Bytes({0}), BlockBytes(block)}));
  EXPECT_EQ(window.Cell(2, kGridColumnSentBlock), "9");
}

TEST_F(StationSendTest, BlockShorterThanItsLayoutIsNotSent) {
  Send(StationStreamSettings{1, 1}, StationBlockShape{2, 2, 3}, std::vector<uint16_t>(6));
  SendStationRawBlock(link, StationBlockShape{2, 2, 3}, std::vector<uint16_t>(6));
  SendStationRawBlock(link, StationBlockShape{0, 0, 3}, std::vector<uint16_t>(6));
  EXPECT_TRUE(connections.sends.empty());
}

// Answers cut anywhere by the network are joined again (mended: a byte
// left over by one read was dropped, and every later answer of that viewer
// was read out of step).
TEST(StationBlockAck, AnswersSplitAcrossReadsAreJoined_MendedLostHalfAnswer) {
  struct Case {
    const char* name;
    std::vector<std::vector<uint8_t>> reads;
    std::vector<std::string> cells;  // after each read
  };
  const Case cases[] = {
      {"two bytes", {{0x34, 0x12}}, {"4660"}},
      {"unsigned", {{0xFF, 0xFF}}, {"65535"}},
      {"one byte waits for the next", {{0x34}, {0x12}}, {"12", "4660"}},
      {"a third byte starts the next answer", {{0x01, 0x00, 0x07}, {0x00, 0x09}}, {"1", "7"}},
      {"the later of two answers stays", {{0x01, 0x00, 0x02, 0x00}}, {"2"}},
      {"byte by byte", {{0x05}, {0x01}, {0x06}, {0x01}}, {"12", "261", "261", "262"}},
  };
  for (const Case& c : cases) {
    FakeConnections connections(3);
    FakeStationWindow window;
    StationLink link{connections, window};
    window.SetGridText(3, kGridColumnAckedBlock, "12");
    BlockAckAccumulator pending;
    for (size_t r = 0; r < c.reads.size(); ++r) {
      HandleStationBlockAck(link, 2, pending, c.reads[r].data(), c.reads[r].size());
      EXPECT_EQ(window.Cell(3, kGridColumnAckedBlock), c.cells[r]) << c.name << " read " << r;
    }
    EXPECT_EQ(window.grid.size(), 1u) << c.name;
  }
}

}  // namespace
}  // namespace quelvar
