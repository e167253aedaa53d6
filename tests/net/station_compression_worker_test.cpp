// The station's compression thread: blocks come out in the order they went
// in, as the same bytes the station sends when it compresses them itself,
// and the thread ends however many blocks still wait.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <vector>

#include "SampleBlockForTest.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/StationCompression.h"
#include "net/StationSend.h"
#include "net/StationStream.h"
#include "net/StationStreamFakes.h"

namespace quelvar {
namespace {

using test::FakeConnections;
using test::FakeStationWindow;

constexpr StationBlockShape kShape{12, 10, 200};  // R = 4802 bytes

struct Step {
  StationStreamSettings settings;
  std::vector<uint16_t> block;
};

// Packed, plain and uncompressed blocks, compressible and not, one after
// the other, as a station whose switches change while it records.
std::vector<Step> Steps() {
  std::vector<Step> steps;
  std::mt19937 random(3);
  for (uint16_t sequence = 0; sequence < 24; ++sequence) {
    std::vector<uint16_t> block = test::RealisticSampleBlock(kShape.NumChn, kShape.Analog_Num, kShape.NumSamp,
                                                              sequence, sequence, sequence * kShape.NumSamp);
    if (sequence % 5 == 4) {
      for (size_t i = 1; i < block.size(); ++i) block[i] = static_cast<uint16_t>(random());  // does not shrink
    }
    const StationStreamSettings settings{sequence % 7 == 6 ? 0 : 1, sequence % 3 == 2 ? 0 : 1};
    steps.push_back({settings, std::move(block)});
  }
  return steps;
}

class StationCompressionWorkerTest : public ::testing::Test {
 protected:
  StationCompressionWorkerTest() { InitGrayTables(gray); }
  GrayTables gray;
};

TEST_F(StationCompressionWorkerTest, BlocksLeaveInTheirOrderAsTheSameBytesAsCompressedInPlace) {
  const std::vector<Step> steps = Steps();
  const uint64_t r = RawBlockBytes(kShape.NumChn, kShape.NumSamp);

  FakeConnections inPlace{2};
  FakeStationWindow inPlaceWindow;
  StationLink inPlaceLink{inPlace, inPlaceWindow};
  auto inPlaceCodec = std::make_unique<LzssCodec>();
  std::vector<uint16_t> packed;
  for (const Step& step : steps) {
    SendStationBlock(inPlaceLink, step.settings, kShape, step.block, *inPlaceCodec, gray, packed);
  }

  FakeConnections threaded{2};
  FakeStationWindow threadedWindow;
  StationLink threadedLink{threaded, threadedWindow};
  auto codec = std::make_unique<LzssCodec>();
  std::atomic<int> readyCalls = 0;
  std::vector<StationCompressionWorker::Done> done;
  {
    StationCompressionWorker worker(*codec, gray, [&] { ++readyCalls; });
    for (const Step& step : steps) worker.Submit(step.settings, kShape, step.block, r, threaded.Count());
    worker.WaitIdle();
    done = worker.TakeDone();
    EXPECT_TRUE(worker.Idle());
  }  // joined: every ready call has been made
  EXPECT_EQ(readyCalls, static_cast<int>(steps.size()));
  ASSERT_EQ(done.size(), steps.size());
  for (const StationCompressionWorker::Done& d : done) {
    ASSERT_TRUE(d.outcome.has_value());
    SendStationBlockOutcome(threadedLink, d.block, d.r, *d.outcome);
  }

  EXPECT_EQ(threaded.StreamTo(threaded.IdAt(0)), inPlace.StreamTo(inPlace.IdAt(0)));
  EXPECT_EQ(threaded.StreamTo(threaded.IdAt(1)), inPlace.StreamTo(inPlace.IdAt(1)));
  EXPECT_EQ(threaded.sends.size(), inPlace.sends.size());
  EXPECT_EQ(threadedWindow.ratioTexts, inPlaceWindow.ratioTexts);
  EXPECT_EQ(threadedWindow.grid, inPlaceWindow.grid);
  // Every kind of message went through.
  std::vector<int> codes(6);
  for (const StationCompressionWorker::Done& d : done) ++codes[d.outcome->code];
  EXPECT_GT(codes[StationMessage::RawBlock], 0);
  EXPECT_GT(codes[StationMessage::CompressedBlock], 0);
  EXPECT_GT(codes[StationMessage::PackedBlock], 0);
}

TEST_F(StationCompressionWorkerTest, WithoutViewersABlockIsPassedOnRawAndUncompressed) {
  const std::vector<Step> steps = Steps();
  const uint64_t r = RawBlockBytes(kShape.NumChn, kShape.NumSamp);
  auto codec = std::make_unique<LzssCodec>();
  StationCompressionWorker worker(*codec, gray, {});
  worker.Submit(StationStreamSettings{1, 1}, kShape, steps[0].block, r, 0);
  worker.WaitIdle();
  EXPECT_FALSE(worker.Idle());  // done, not yet taken
  const std::vector<StationCompressionWorker::Done> done = worker.TakeDone();
  ASSERT_EQ(done.size(), 1u);
  ASSERT_TRUE(done[0].outcome.has_value());
  EXPECT_EQ(done[0].outcome->code, StationMessage::RawBlock);
  EXPECT_TRUE(done[0].outcome->ratioText.empty());
  EXPECT_EQ(done[0].block, steps[0].block);
}

TEST_F(StationCompressionWorkerTest, EndsAndJoinsWhileBlocksStillWait) {
  const std::vector<Step> steps = Steps();
  const uint64_t r = RawBlockBytes(kShape.NumChn, kShape.NumSamp);
  auto codec = std::make_unique<LzssCodec>();
  for (int round = 0; round < 3; ++round) {
    StationCompressionWorker worker(*codec, gray, {});
    for (const Step& step : steps) worker.Submit(step.settings, kShape, step.block, r, 1);
  }  // the destructor returns: the test would hang otherwise
  SUCCEED();
}

// Whether a block's compression may outlast the block: a full-size block
// (112 words, 1000 rows) lasts 25 ms at 40 kHz and 50 ms at 20 kHz, less than
// its compression may take on a slow machine; 100 ms at 10 kHz is more.
// Small blocks never go to the thread.
TEST(StationCompressionMayOutlastBlock, DependsOnTheBlocksSizeAndDuration) {
  struct Case {
    StationBlockShape shape;
    double rate;
    bool outlasts;
  };
  const Case cases[] = {
      {{112, 100, 1000}, 40000.0, true}, {{112, 100, 1000}, 20000.0, true}, {{112, 100, 1000}, 10000.0, false},
      {{2, 2, 3}, 40000.0, false},       {{112, 100, 1000}, 0.0, true},     {{0, 0, 1000}, 40000.0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StationCompressionMayOutlastBlock(c.shape, c.rate), c.outlasts)
        << c.shape.NumChn << " words, " << c.shape.NumSamp << " rows at " << c.rate;
  }
}

}  // namespace
}  // namespace quelvar
