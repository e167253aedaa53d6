#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/SampleBlockForTest.h"
#include "net/StationSend.h"
#include "net/StationStreamFakes.h"
#include "net/ViewerReceive.h"

namespace quelvar {
namespace {

std::vector<uint8_t> BytesOf(const std::vector<uint16_t>& block) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
  return {bytes, bytes + block.size() * 2};
}

// A station session: start, blocks in every form the station sends, a stop,
// then a restart with another layout and more blocks.
struct StationSession {
  StationSession() { InitGrayTables(gray); }

  void SendBlocks(const StationBlockShape& shape, uint16_t firstSequence, uint32_t seed) {
    const StationStreamSettings forms[] = {{0, 1}, {1, 0}, {1, 1}};
    for (int k = 0; k < 9; ++k) {
      const auto sequence = static_cast<uint16_t>(firstSequence + k);
      std::vector<uint16_t> block = test::RealisticSampleBlock(shape.NumChn, shape.Analog_Num, shape.NumSamp,
                                                               sequence, seed + static_cast<uint32_t>(k), k * shape.NumSamp);
      if (k == 4) {
        // Noise does not compress: this one goes raw although compression is on.
        std::mt19937 random(seed);
        for (size_t w = 1; w < block.size(); ++w) block[w] = static_cast<uint16_t>(random());
      }
      if (k == 8) {
        SendStationRawBlock(link, shape, block);
      } else {
        SendStationBlock(link, forms[k % 3], shape, block, codec, gray, packed);
      }
      sent.push_back(BytesOf(block));
    }
  }

  test::FakeConnections connections{2};
  test::FakeStationWindow window;
  StationLink link{connections, window};
  LzssCodec codec;
  GrayTables gray;
  std::vector<uint16_t> packed;
  std::vector<std::vector<uint8_t>> sent;
};

// The viewer's end, fed in pieces of random size (1 to maxPiece bytes).
struct ViewerSession {
  ViewerSession() {
    InitGrayTables(gray);
    host.Attach(receiver);
    receiver.Open();
  }

  void FeedInPieces(const std::vector<uint8_t>& stream, size_t maxPiece, uint32_t seed) {
    std::mt19937 random(seed);
    size_t at = 0;
    while (at < stream.size()) {
      const size_t piece = std::min<size_t>(stream.size() - at, 1 + random() % maxPiece);
      receiver.Feed(stream.data() + at, piece);
      at += piece;
    }
  }

  LiveConfig config;
  GrayTables gray;
  LzssCodec codec;
  test::FakeViewerHost host{config};
  ViewerReceiver receiver{host, config, codec, gray};
};

TEST(StationStreamRoundTrip, ViewerTakesExactlyTheBlocksTheStationSentInAnySplit) {
  StationSession station;
  const StationBlockShape first{6, 4, 120};
  const StationBlockShape second{3, 1, 50};
  BroadcastStationStart(station.link, test::StationRecord(first.NumChn, first.Analog_Num, first.NumSamp));
  station.SendBlocks(first, 65530, 100);  // the sequence word wraps
  BroadcastStationStop(station.link);
  BroadcastStationStart(station.link, test::StationRecord(second.NumChn, second.Analog_Num, second.NumSamp));
  station.SendBlocks(second, 1, 200);

  // The session used all three block codes.
  const std::vector<uint8_t> stream = station.connections.StreamTo(station.connections.IdAt(0));
  for (const uint8_t code : {0, 1, 5}) {
    bool seen = false;
    for (const auto& send : station.connections.sends) seen = seen || (send.bytes.size() == 1 && send.bytes[0] == code);
    EXPECT_TRUE(seen) << int(code);
  }

  for (const size_t maxPiece : {size_t{1}, size_t{7}, size_t{600}, stream.size()}) {
    ViewerSession viewer;
    viewer.FeedInPieces(stream, maxPiece, static_cast<uint32_t>(maxPiece));
    EXPECT_EQ(viewer.host.blocks, station.sent) << maxPiece;
    EXPECT_EQ(viewer.host.applied, 2) << maxPiece;
    EXPECT_EQ(viewer.host.stops, 0) << maxPiece;
    ASSERT_EQ(viewer.host.acks.size(), station.sent.size()) << maxPiece;
    for (size_t k = 0; k < station.sent.size(); ++k) {
      EXPECT_EQ(viewer.host.acks[k], std::vector<uint8_t>(station.sent[k].begin(), station.sent[k].begin() + 2));
    }

    // The answers, as the station reads them, mark the viewer's row.
    std::vector<uint8_t> answers;
    for (const auto& ack : viewer.host.acks) answers.insert(answers.end(), ack.begin(), ack.end());
    BlockAckAccumulator pending;
    HandleStationBlockAck(station.link, 0, pending, answers.data(), answers.size());
    EXPECT_EQ(station.window.Cell(1, kGridColumnAckedBlock), "9");
  }
  EXPECT_EQ(station.window.Cell(2, kGridColumnSentBlock), "9");
}

}  // namespace
}  // namespace quelvar
