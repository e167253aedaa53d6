#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "acquisition/Compression.h"

namespace {

using namespace quelvar;

constexpr int32_t kRows = 1000;
constexpr int32_t kRatio = 20;

// One full-size block (100 analog channels and 192 switch inputs, 112 words
// a row, 1000 rows) compressed by 20 into 50 ring rows, the channels and
// inputs cycling through every type and mode.
void BM_CompressBlock(benchmark::State& state) {
  LiveConfig live;
  live.Analog_Num = 100;
  live.SW_Num = 192;
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 0, false, {});
  live.CompressRatio = kRatio;
  live.SamplesPerCycle = 20;
  for (int32_t c = 0; c < 100; ++c) live.AnalogChannelTable[c].ChnACompressType = c % 6;
  for (int32_t s = 0; s < 192; ++s) live.SwitchChannelTable[s].SWBCompressType = s % 6;

  std::mt19937 random(5);
  std::vector<uint16_t> block(static_cast<size_t>(kRows) * layout.NumChn);
  for (uint16_t& w : block) w = static_cast<uint16_t>(random() & 0x0FFF);
  std::vector<uint16_t> ring(block.size());
  std::vector<uint16_t> before(static_cast<size_t>(layout.NumChn));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        CompressBlocksIntoRing(block.data(), before.data(), kRows, layout, live, ring.data(), 0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRows * layout.NumChn);
}
BENCHMARK(BM_CompressBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
