// Continuous saving of a full-size block stream (112 words x 1000 rows, 224 KB
// a block) on the GUI thread: one append per block with a backup copy every
// 10 blocks, against a plain sequential write of the same bytes (one write
// per block, one fsync at the end) in the same run. Counters: the mean and
// the longest per-block cost of the saver, and both throughputs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "BenchDir.h"
#include "acquisition/ContinuousSave.h"

namespace {

using namespace quelvar;
using Clock = std::chrono::steady_clock;

constexpr int32_t kWords = 112;
constexpr int32_t kRows = 1000;
constexpr int kBlocks = 200;
constexpr int32_t kBackupEvery = 10;

ContinuousSaveContent FullSizeContent(const bench::BenchDir& dir) {
  ContinuousSaveContent content;
  content.directory = dir.Path().string();
  content.header.NumChn = kWords;
  content.header.NumSamp = kRows;
  content.header.ChannelRate = 10000;
  content.header.MaxMultiFreq = 1;
  content.header.ADBit = 12;
  return content;
}

void BM_ContinuousSaveStream(benchmark::State& state) {
  bench::BenchDir dir;
  std::vector<uint16_t> block(1 + static_cast<size_t>(kWords) * kRows);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint16_t>(i * 13);
  const double bytes = static_cast<double>(kBlocks) * kWords * kRows * 2;
  double saverSeconds = 0, plainSeconds = 0, longestBlock = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    const ContinuousSaveContent content = FullSizeContent(dir);
    ContinuousSave saver;
    const auto start = Clock::now();
    if (saver.Open(content, "run.dat", "run.bak", kBackupEvery, 45000.0) != 1) {
      state.SkipWithError("cannot open");
      return;
    }
    for (int b = 0; b < kBlocks; ++b) {
      const auto t0 = Clock::now();
      if (saver.Append(block, kWords, kRows) != 1) state.SkipWithError("append failed");
      longestBlock = std::max(longestBlock, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    saver.Close();
    saverSeconds += std::chrono::duration<double>(Clock::now() - start).count();

    const auto plainStart = Clock::now();
    const int fd = ::open((dir.Path() / "plain.dat").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    for (int b = 0; b < kBlocks; ++b) {
      if (::write(fd, block.data() + 1, (block.size() - 1) * 2) < 0) state.SkipWithError("write failed");
    }
    ::fsync(fd);
    ::close(fd);
    plainSeconds += std::chrono::duration<double>(Clock::now() - plainStart).count();
    ++runs;
  }
  if (runs == 0) return;
  state.counters["saver_ms_per_block"] = 1000.0 * saverSeconds / (runs * kBlocks);
  state.counters["saver_longest_block_ms"] = 1000.0 * longestBlock;
  state.counters["saver_MB_per_s"] = bytes * runs / saverSeconds / 1e6;
  state.counters["plain_MB_per_s"] = bytes * runs / plainSeconds / 1e6;
}
BENCHMARK(BM_ContinuousSaveStream)->Unit(benchmark::kMillisecond)->Iterations(5);

// Opening a file with its backup, as a schedule that fires does inside a
// block: header, configuration and the backup's first valid state on disk.
void BM_ContinuousSaveOpenWithBackup(benchmark::State& state) {
  bench::BenchDir dir;
  const ContinuousSaveContent content = FullSizeContent(dir);
  int n = 0;
  for (auto _ : state) {
    ContinuousSave saver;
    const std::string name = "s" + std::to_string(n++);
    if (saver.Open(content, name + ".dat", name + "-BAK.dat", 10, 45000.0) != 1) state.SkipWithError("cannot open");
    state.PauseTiming();
    saver.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ContinuousSaveOpenWithBackup)->Unit(benchmark::kMicrosecond)->Iterations(50);

}  // namespace
