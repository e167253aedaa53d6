#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "acquisition/OnlineFilter.h"

namespace {

using namespace quelvar;

// The widest row: 100 single-rate analog channels and 12 switch words.
SampleLayout FullLayout() {
  LiveConfig live;
  live.Analog_Num = 100;
  live.SW_Num = 192;
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 0, false, {});
  return layout;
}

constexpr int32_t kOutputRows = 1000;
constexpr int32_t kResampNum = 2;
constexpr int32_t kDeliveredRows = kOutputRows * kResampNum;

std::vector<uint16_t> DeliveredBlock(const SampleLayout& layout) {
  std::mt19937 random(3);
  std::vector<uint16_t> words(static_cast<size_t>(kDeliveredRows) * layout.NumChn);
  for (uint16_t& w : words) w = static_cast<uint16_t>(random() & 0x0FFF);
  return words;
}

// One block as the card delivers it while resampling by 2 (2000 rows of 112
// words), filtered and reduced to 1000 rows; argument: the resampling mode.
// The same buffer is used again each time: neither routine's work depends
// on the values.
void BM_FilterAndResampleBlock(benchmark::State& state) {
  const SampleLayout layout = FullLayout();
  std::vector<uint16_t> block = DeliveredBlock(layout);
  FilterState filter;
  const int32_t mode = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    ApplyOnlineFilter(block.data(), kDeliveredRows, layout, 950, false, filter);
    ApplyOnlineResample(block.data(), kOutputRows, layout, kResampNum, mode);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kDeliveredRows * layout.NumChn);
}
BENCHMARK(BM_FilterAndResampleBlock)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_FilterBlock(benchmark::State& state) {
  const SampleLayout layout = FullLayout();
  std::vector<uint16_t> block = DeliveredBlock(layout);
  FilterState filter;
  for (auto _ : state) {
    ApplyOnlineFilter(block.data(), kDeliveredRows, layout, 950, false, filter);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kDeliveredRows * layout.NumChn);
}
BENCHMARK(BM_FilterBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
