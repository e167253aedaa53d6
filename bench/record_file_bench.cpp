#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchDir.h"
#include "shell/RecordFile.h"

namespace {

using namespace quelvar;

// A record of about 10 MB: 328 blocks of 1000 rows of 16 words.
RecordPackage TenMegabyteRecord() {
  RecordHeaderValues v;
  v.NumChn = 16, v.NumSamp = 1000, v.BlockCount = 328, v.StartTime = 45000.5;
  RecordPackage package;
  package.header = *MakeRecordFileHeader(v);
  package.config.RecordSize = kConfigRecordSize;
  package.samples.resize(static_cast<size_t>(v.BlockCount) * v.NumSamp * v.NumChn);
  for (size_t i = 0; i < package.samples.size(); ++i) package.samples[i] = static_cast<uint16_t>(i * 7);
  package.comment = "benchmark";
  return package;
}

int64_t FileBytes(const RecordPackage& p) {
  return static_cast<int64_t>(sizeof p.header + sizeof p.config + p.samples.size() * 2 + 4 + p.comment.size());
}

// The record writer: temporary file, fsync, no-replace rename, directory fsync.
void BM_WriteRecordFile(benchmark::State& state) {
  const RecordPackage record = TenMegabyteRecord();
  bench::BenchDir dir;
  for (auto _ : state) {
    state.PauseTiming();
    RecordPackage package = record;  // the writer owns its package
    state.ResumeTiming();
    const WriteResult result = WriteRecordFile(dir.Path().string(), std::move(package));
    if (!result.ok) state.SkipWithError(result.error.c_str());
    state.PauseTiming();
    std::filesystem::remove(dir.Path() / result.fileName);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(record));
}
BENCHMARK(BM_WriteRecordFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes written straight into the target with fwrite; argument 1
// adds an fsync before the close, the writer's one unavoidable cost.
void BM_PlainSequentialWrite(benchmark::State& state) {
  const RecordPackage record = TenMegabyteRecord();
  const bool sync = state.range(0) != 0;
  bench::BenchDir dir;
  const std::string path = (dir.Path() / RecordFileName(record.header.StartTime)).string();
  const uint32_t commentBytes = static_cast<uint32_t>(record.comment.size());
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      state.SkipWithError("cannot create the file");
      break;
    }
    std::fwrite(&record.header, sizeof record.header, 1, f);
    std::fwrite(&record.config, sizeof record.config, 1, f);
    std::fwrite(record.samples.data(), 2, record.samples.size(), f);
    std::fwrite(&commentBytes, 4, 1, f);
    std::fwrite(record.comment.data(), 1, record.comment.size(), f);
    if (sync) {
      std::fflush(f);
      ::fsync(::fileno(f));
    }
    std::fclose(f);
    state.PauseTiming();
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * FileBytes(record));
}
BENCHMARK(BM_PlainSequentialWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
