// The station's compression threads: blocks come out in the order they went
// in, as the same bytes the station sends when it compresses them itself on
// one codec (whatever mix of long and short blocks, and however many threads
// share the work), the station's codec goes on from where they left it, and
// the threads end however many blocks still wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <random>
#include <string>
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

// Full-size (224002 bytes), just long enough to go side by side (4096) and
// just too short (4094), and short (1602) blocks.
constexpr StationBlockShape kFull{112, 100, 1000};
constexpr StationBlockShape kExactlyAWindow{23, 20, 89};
constexpr StationBlockShape kJustShort{22, 20, 93};
constexpr StationBlockShape kShort{4, 4, 200};

struct MixedStep {
  StationBlockShape shape;
  StationStreamSettings settings;  // {ServerCompress, ServerDPCM}
  int connections = 1;
  bool noise = false;  // incompressible: sent raw, yet the codec's window changed
};

std::vector<uint16_t> MixedBlock(const MixedStep& step, uint16_t sequence) {
  // Neighbouring blocks look alike, so that a short one finds matches in
  // the window the one before left.
  std::vector<uint16_t> block = test::RealisticSampleBlock(step.shape.NumChn, step.shape.Analog_Num,
                                                           step.shape.NumSamp, sequence, sequence % 2, 0);
  if (step.noise) {
    std::mt19937 random(sequence);
    for (size_t i = 1; i < block.size(); ++i) block[i] = static_cast<uint16_t>(random());
  }
  return block;
}

TEST_F(StationCompressionWorkerTest, MixedBlocksGiveTheBytesOfOneCodecInOrder) {
  constexpr StationStreamSettings kPacked{1, 1};
  constexpr StationStreamSettings kPlain{1, 0};
  constexpr StationStreamSettings kOff{0, 1};
  struct Case {
    std::string name;
    std::vector<MixedStep> steps;
  };
  const std::vector<Case> cases = {
      {"full-size side by side", {{kFull, kPacked}, {kFull, kPacked}, {kFull, kPlain}, {kFull, kPacked}}},
      {"short after full-size",
       {{kFull, kPacked}, {kShort, kPacked}, {kFull, kPlain}, {kShort, kPlain}, {kShort, kPacked}, {kFull, kPacked}}},
      {"short ones only", {{kShort, kPacked}, {kShort, kPlain}, {kShort, kPacked}, {kJustShort, kPacked}}},
      {"either side of a window",
       {{kExactlyAWindow, kPacked},
        {kJustShort, kPlain},
        {kExactlyAWindow, kPlain},
        {kExactlyAWindow, kPacked},
        {kJustShort, kPacked},
        {kShape, kPlain}}},
      {"not compressed in between",
       {{kFull, kPacked},
        {kFull, kOff},
        {kShort, kPacked},
        {kShape, kPacked, 0},
        {kShort, kPlain},
        {kShort, kOff},
        {kShort, kPacked, 0},
        {kShort, kPacked}}},
      {"incompressible",
       {{kShape, kPlain, 1, true}, {kShort, kPlain}, {kShort, kPacked, 1, true}, {kShort, kPlain}, {kFull, kPlain, 1, true},
        {kShort, kPacked}}},
  };
  // Compressed in place after the threads went idle.
  const MixedStep after{kShort, kPacked};

  for (const Case& c : cases) {
    std::vector<std::vector<uint16_t>> blocks;
    for (size_t i = 0; i < c.steps.size(); ++i) blocks.push_back(MixedBlock(c.steps[i], static_cast<uint16_t>(i)));
    const std::vector<uint16_t> afterBlock = MixedBlock(after, 99);

    auto one = std::make_unique<LzssCodec>();
    std::vector<uint16_t> packed;
    std::vector<std::optional<StationBlockOutcome>> expected;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const MixedStep& step = c.steps[i];
      expected.push_back(DecideStationBlock(step.settings, step.shape, blocks[i],
                                            RawBlockBytes(step.shape.NumChn, step.shape.NumSamp), step.connections,
                                            *one, gray, packed));
    }
    const LzssWindow oneWindow = one->Window();
    const uint64_t afterR = RawBlockBytes(after.shape.NumChn, after.shape.NumSamp);
    const auto expectedAfter = DecideStationBlock(after.settings, after.shape, afterBlock, afterR, 1, *one, gray, packed);
    ASSERT_TRUE(expectedAfter.has_value());

    for (unsigned threads = 1; threads <= 3; ++threads) {
      SCOPED_TRACE(c.name + ", " + std::to_string(threads) + " threads");
      auto shared = std::make_unique<LzssCodec>();
      std::vector<StationCompressionWorker::Done> done;
      {
        StationCompressionWorker worker(*shared, gray, {}, threads);
        for (size_t i = 0; i < c.steps.size(); ++i) {
          const MixedStep& step = c.steps[i];
          worker.Submit(step.settings, step.shape, blocks[i], RawBlockBytes(step.shape.NumChn, step.shape.NumSamp),
                        step.connections);
        }
        worker.WaitIdle();
        done = worker.TakeDone();
        EXPECT_TRUE(worker.Idle());
        // The station's own codec, used in place once the threads are idle,
        // holds the one codec's window and goes on as it did.
        EXPECT_TRUE(std::equal(oneWindow.StringAt(0), oneWindow.StringAt(0) + kLzssWindowSize,
                               shared->Window().StringAt(0)));
        std::vector<uint16_t> ownPacked;
        const auto inPlace =
            DecideStationBlock(after.settings, after.shape, afterBlock, afterR, 1, *shared, gray, ownPacked);
        ASSERT_TRUE(inPlace.has_value());
        EXPECT_EQ(inPlace->code, expectedAfter->code);
        EXPECT_EQ(inPlace->compressed, expectedAfter->compressed);
      }
      ASSERT_EQ(done.size(), c.steps.size());
      for (size_t i = 0; i < done.size(); ++i) {
        SCOPED_TRACE("block " + std::to_string(i));
        EXPECT_EQ(done[i].block, blocks[i]);  // in the order given
        EXPECT_EQ(done[i].r, RawBlockBytes(c.steps[i].shape.NumChn, c.steps[i].shape.NumSamp));
        ASSERT_EQ(done[i].outcome.has_value(), expected[i].has_value());
        if (!expected[i]) continue;
        EXPECT_EQ(done[i].outcome->code, expected[i]->code);
        EXPECT_EQ(done[i].outcome->compressed, expected[i]->compressed);
        EXPECT_EQ(done[i].outcome->ratioText, expected[i]->ratioText);
      }
    }
  }
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
  for (unsigned threads = 1; threads <= 3; ++threads) {
    StationCompressionWorker worker(*codec, gray, {}, threads);
    for (const Step& step : steps) worker.Submit(step.settings, kShape, step.block, r, 1);
    // Short blocks waiting behind long ones.
    const MixedStep small{kShort, StationStreamSettings{1, 1}};
    const std::vector<uint16_t> block = MixedBlock(small, 1);
    for (int i = 0; i < 8; ++i) {
      worker.Submit(small.settings, kShort, block, RawBlockBytes(kShort.NumChn, kShort.NumSamp), 1);
      worker.Submit(steps[0].settings, kShape, steps[0].block, r, 1);
    }
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
