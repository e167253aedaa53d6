#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "SampleBlockForTest.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/StationCompression.h"
#include "net/StationSend.h"
#include "net/StationStream.h"

namespace {

using namespace quelvar;

// Full-size blocks (112 words a row, 100 analog, 1000 rows): at 40 kHz one
// lasts 25 ms, and the station must send 40 of them a second.
constexpr StationBlockShape kShape{112, 100, 1000};
constexpr int kBlocksPerSecondAt40kHz = 40;
constexpr int kDistinctBlocks = 8;

// One viewer whose socket takes everything at once.
class DiscardingConnections : public StationConnections {
 public:
  int Count() const override { return 1; }
  uint64_t IdAt(int) const override { return 1; }
  void Send(int, const uint8_t*, size_t size) override { bytes += size; }
  void RequestNotSamplingTimer(uint64_t, int) override {}
  size_t bytes = 0;
};

class NoWindow : public StationWindowOutputs {
 public:
  void SetRatioText(const std::string&) override {}
  void SetGridText(int, int, const std::string&) override {}
};

std::vector<std::vector<uint16_t>> Blocks() {
  std::vector<std::vector<uint16_t>> blocks;
  for (uint16_t i = 0; i < kDistinctBlocks; ++i) {
    blocks.push_back(
        test::RealisticSampleBlock(kShape.NumChn, kShape.Analog_Num, kShape.NumSamp, i, i, i * kShape.NumSamp));
  }
  return blocks;
}

// Packed and compressed on the thread that takes the blocks in, as the
// station does when a block outlasts its compression: blocks/s is the most
// it can send, all of it spent on that thread.
void BM_StationSendsPackedBlocksInPlace(benchmark::State& state) {
  GrayTables gray;
  InitGrayTables(gray);
  const auto blocks = Blocks();
  DiscardingConnections connections;
  NoWindow window;
  StationLink link{connections, window};
  auto codec = std::make_unique<LzssCodec>();
  std::vector<uint16_t> packed;
  size_t i = 0;
  for (auto _ : state) {
    SendStationBlock(link, StationStreamSettings{1, 1}, kShape, blocks[i++ % blocks.size()], *codec, gray, packed);
  }
  state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StationSendsPackedBlocksInPlace)->Unit(benchmark::kMillisecond)->UseRealTime();

// One second of blocks at 40 kHz per iteration through the compression
// threads (the argument: how many), as the station does at that rate:
// "taking ms/block" is what the thread that takes the blocks in spends on
// each (copy in, send out), and blocks/s what the threads sustain (40 keeps
// up with 40 kHz). One thread only just does on an unloaded core (about 41
// to 51); two, the station's number on three or more cores, about 99.
void BM_StationSendsPackedBlocksThroughItsThread(benchmark::State& state) {
  GrayTables gray;
  InitGrayTables(gray);
  const auto blocks = Blocks();
  const uint64_t r = RawBlockBytes(kShape.NumChn, kShape.NumSamp);
  DiscardingConnections connections;
  NoWindow window;
  StationLink link{connections, window};
  auto codec = std::make_unique<LzssCodec>();
  StationCompressionWorker worker(*codec, gray, {}, static_cast<unsigned>(state.range(0)));
  using Clock = std::chrono::steady_clock;
  Clock::duration taking{};
  int64_t blocksSent = 0;
  size_t i = 0;
  for (auto _ : state) {
    for (int b = 0; b < kBlocksPerSecondAt40kHz; ++b) {
      const Clock::time_point start = Clock::now();
      worker.Submit(StationStreamSettings{1, 1}, kShape, blocks[i++ % blocks.size()], r, 1);
      for (const StationCompressionWorker::Done& done : worker.TakeDone()) {
        if (done.outcome) SendStationBlockOutcome(link, done.block, done.r, *done.outcome);
        ++blocksSent;
      }
      taking += Clock::now() - start;
    }
    worker.WaitIdle();
    const Clock::time_point start = Clock::now();
    for (const StationCompressionWorker::Done& done : worker.TakeDone()) {
      if (done.outcome) SendStationBlockOutcome(link, done.block, done.r, *done.outcome);
      ++blocksSent;
    }
    taking += Clock::now() - start;
  }
  state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(blocksSent), benchmark::Counter::kIsRate);
  state.counters["taking ms/block"] =
      std::chrono::duration<double, std::milli>(taking).count() / static_cast<double>(blocksSent);
}
BENCHMARK(BM_StationSendsPackedBlocksThroughItsThread)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
