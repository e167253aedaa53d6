// The longest stall of the calling (GUI) thread per block with continuous
// saving on, next to the same run with saving off: 2000 full-size blocks
// (112 words x 1000 rows, 224 KB each) through per-block processing, the
// continuous file with its backup every minute of blocks (600 blocks). Three
// runs: saving off, saving written inside the block (inline, as it was) and
// saving through the writer thread. Blocks come every kBlockEvery, twenty
// times faster than a 10 kHz card delivers them yet slower than the disk, so
// the stall measured is the calling thread's own, not the disk falling behind.
// Counters: the longest and the mean per-block cost, and the stop's wait for
// the writer (every block on disk, the file finished).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "BenchDir.h"
#include "FullSizeConfig.h"
#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/ContinuousSaving.h"
#include "acquisition/PrepareStart.h"

namespace {

using namespace quelvar;
using Clock = std::chrono::steady_clock;

constexpr int kBlocks = 2000;
constexpr auto kBlockEvery = std::chrono::milliseconds(5);

enum SavingMode { kOff = 0, kInline = 1, kThreaded = 2 };

bool PrepareFullSizeRun(AppState& s) {
  LiveConfig& c = s.config;
  bench::SetFullSizeConfig(c);
  ComputeChannelLayout(c, s.layout, 192, true, {});
  StartReporter quiet{[](const std::string&) {}, [](const std::string&) {},
                      [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
  if (!PrepareStart(s, true, quiet)) return false;
  s.RunState = kRunRecording;
  uint16_t* rows = s.acq.CurrentBlock() + 1;
  for (int i = 0; i < c.NumSamp * c.NumChn; ++i) rows[i] = static_cast<uint16_t>(2048 + i % 397);
  return true;
}

void BM_SavingStallPerBlock(benchmark::State& state) {
  const auto mode = static_cast<SavingMode>(state.range(0));
  double longest = 0, total = 0, drain = 0;
  int64_t over1ms = 0;
  for (auto _ : state) {
    bench::BenchDir dir;
    AppState s;
    if (!PrepareFullSizeRun(s)) {
      state.SkipWithError("preparation refused");
      return;
    }
    s.saving.idContinuousSave = mode != kOff ? 1 : 0;
    s.saving.idSafeSave = 1;
    s.saving.SafeSaveTime = 1;
    s.saving.ContinuousSaveFile = "run.dat";
    s.saving.SafeSaveFileName = "run-BAK.dat";
    ContinuousSave saver;
    if (mode != kOff && !OpenContinuousSaving(s, saver, dir.Path().string(), 45000.0)) {
      state.SkipWithError("cannot open the continuous file");
      return;
    }
    std::unique_ptr<SaveWriter> writer;
    if (mode == kThreaded) writer = std::make_unique<SaveWriter>(SaveWriter::Mode::Threaded, SaveWriter::Handler{});
    BlockReporter report{[](const std::string&) {}, [] { return size_t{0}; }, [] {},
                         [](const std::string&) {}, [](int, const std::string&) {}, [] {}};
    report.continuousSaver = &saver;
    report.saveDirectory = dir.Path().string();
    report.saveWriter = writer.get();

    auto next = Clock::now();
    for (int b = 0; b < kBlocks; ++b) {
      std::this_thread::sleep_until(next);
      next += kBlockEvery;
      s.acq.CurrentBlock()[0] = static_cast<uint16_t>(b);
      const auto t0 = Clock::now();
      ProcessBlock(s, 45000.0, report);
      const double cost = std::chrono::duration<double>(Clock::now() - t0).count();
      longest = std::max(longest, cost);
      if (cost > 1e-3) ++over1ms;
      total += cost;
    }
    const auto stop = Clock::now();
    if (writer) writer->Drain();
    if (mode != kOff && CloseContinuousSaving(saver) != "连续存盘成功完成！") state.SkipWithError("saving failed");
    drain = std::max(drain, std::chrono::duration<double>(Clock::now() - stop).count());
  }
  state.counters["longest_block_ms"] = 1000.0 * longest;
  state.counters["mean_block_ms"] = 1000.0 * total / (static_cast<double>(state.iterations()) * kBlocks);
  state.counters["stop_ms"] = 1000.0 * drain;
  state.counters["blocks_over_1ms"] = static_cast<double>(over1ms);
}
BENCHMARK(BM_SavingStallPerBlock)
    ->ArgName("saving_off0_inline1_thread2")
    ->Arg(kOff)
    ->Arg(kInline)
    ->Arg(kThreaded)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
