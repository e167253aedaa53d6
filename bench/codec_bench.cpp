#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

#include "ReferenceLzssForTest.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"

namespace {

using namespace quelvar;

// One full-size block: 100 analog channels (12-bit sine waves of a hundred
// rows a cycle, two counts of noise) and 12 switch words in which a bit
// flips now and then; 112 words a row, 1000 rows.
constexpr int32_t kWords = 112;
constexpr int32_t kAnalog = 100;
constexpr int32_t kRows = 1000;
constexpr size_t kRawBytes = (static_cast<size_t>(kWords) * kRows + 1) * 2;

std::vector<uint16_t> RealisticBlock() {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> noise(-2, 2);
  std::vector<uint16_t> block(kRawBytes / 2);
  block[0] = 1;
  std::vector<uint16_t> switches(kWords);
  for (uint16_t& word : switches) word = static_cast<uint16_t>(random());
  for (int32_t j = 0; j < kRows; ++j) {
    uint16_t* row = block.data() + 1 + static_cast<size_t>(j) * kWords;
    for (int32_t c = 0; c < kWords; ++c) {
      if (c < kAnalog) {
        const double phase = 0.37 * c + 2.0 * std::numbers::pi * j / 100.0;
        const long value = std::lround(2048.0 + (200.0 + 15.0 * c) * std::sin(phase)) + noise(random);
        row[c] = static_cast<uint16_t>(std::clamp(value, 0L, 4095L));
      } else {
        if (random() % 400 == 0) switches[c] ^= static_cast<uint16_t>(1u << (random() % 16));
        row[c] = switches[c];
      }
    }
  }
  return block;
}

// What the station does per block with packing on, by today's compressor
// and by its first form (kept as the tests' reference) on the same block.
void BM_PackAndCompressBlock(benchmark::State& state) {
  GrayTables gray;
  InitGrayTables(gray);
  const std::vector<uint16_t> block = RealisticBlock();
  std::vector<uint8_t> packed(kRawBytes);
  auto codec = std::make_unique<LzssCodec>();
  size_t compressed = 0;
  for (auto _ : state) {
    PackSampleBlock(block, packed, kWords, kAnalog, kRows, gray);
    const CodecBuffer out = codec->LzssCompress(packed.data(), packed.size());
    compressed = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRawBytes));
  state.counters["compressed %"] = 100.0 * static_cast<double>(compressed) / kRawBytes;
}
BENCHMARK(BM_PackAndCompressBlock)->Unit(benchmark::kMillisecond);

void BM_PackAndCompressBlockByTheFirstCompressor(benchmark::State& state) {
  GrayTables gray;
  InitGrayTables(gray);
  const std::vector<uint16_t> block = RealisticBlock();
  std::vector<uint8_t> packed(kRawBytes);
  auto reference = std::make_unique<quelvar::test::ReferenceLzssCompressor>();
  size_t compressed = 0;
  for (auto _ : state) {
    PackSampleBlock(block, packed, kWords, kAnalog, kRows, gray);
    const std::vector<uint8_t> out = reference->Compress(packed.data(), packed.size());
    compressed = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRawBytes));
  state.counters["compressed %"] = 100.0 * static_cast<double>(compressed) / kRawBytes;
}
BENCHMARK(BM_PackAndCompressBlockByTheFirstCompressor)->Unit(benchmark::kMillisecond);

// The raw block itself (packing off), both ways.
void BM_CompressRawBlock(benchmark::State& state) {
  const std::vector<uint16_t> block = RealisticBlock();
  const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
  auto codec = std::make_unique<LzssCodec>();
  auto reference = std::make_unique<quelvar::test::ReferenceLzssCompressor>();
  const bool first = state.range(0) != 0;
  size_t compressed = 0;
  for (auto _ : state) {
    if (first) {
      compressed = reference->Compress(bytes, kRawBytes).size();
    } else {
      compressed = codec->LzssCompress(bytes, kRawBytes).size();
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRawBytes));
  state.counters["compressed %"] = 100.0 * static_cast<double>(compressed) / kRawBytes;
}
BENCHMARK(BM_CompressRawBlock)->ArgName("first")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the viewer does per received block.
void BM_ExpandAndUnpackBlock(benchmark::State& state) {
  GrayTables gray;
  InitGrayTables(gray);
  const std::vector<uint16_t> block = RealisticBlock();
  std::vector<uint8_t> packed(kRawBytes);
  PackSampleBlock(block, packed, kWords, kAnalog, kRows, gray);
  auto station = std::make_unique<LzssCodec>();
  const CodecBuffer sent = station->LzssCompress(packed.data(), packed.size());
  const std::vector<uint8_t> stream(sent.begin(), sent.end());
  auto viewer = std::make_unique<LzssCodec>();
  std::vector<uint16_t> received(kRawBytes / 2);
  for (auto _ : state) {
    const std::vector<uint8_t> expanded = viewer->LzssExpand(stream.data(), stream.size(), kRawBytes);
    UnpackSampleBlock(received, expanded, kWords, kAnalog, kRows, gray);
    benchmark::DoNotOptimize(received.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRawBytes));
}
BENCHMARK(BM_ExpandAndUnpackBlock)->Unit(benchmark::kMillisecond);

}  // namespace
