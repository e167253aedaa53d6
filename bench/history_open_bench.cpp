// Opening a record file of about 100 MB as the history record, against a
// plain sequential read of the same file into a buffer of its size. The open
// checks the file and makes a private view of its samples, which the views
// read only where they draw (quelvar_gui_bench measures the open with its
// first screen); the plain read has every byte in memory. Both run from the
// page cache after the first run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "HistoryRecordFile.h"
#include "acquisition/RecordCompletion.h"
#include "analysis/HistoryOpen.h"

namespace {

using namespace quelvar;

bench::HistoryRecordFile& File() {
  static bench::HistoryRecordFile file;
  return file;
}

// The open command's core: read and check the file, hand the samples to the
// history record and point the display at it.
void BM_OpenRecordForHistory100MB(benchmark::State& state) {
  bench::HistoryRecordFile& file = File();
  if (!file.Ok()) {
    state.SkipWithError("cannot write the record file");
    return;
  }
  AppState app;
  for (auto _ : state) {
    OpenedRecordFile opened;
    if (ReadRecordForHistory({file.Path(), true, 0, 0}, opened) != RecordOpenStatus::Ok) {
      state.SkipWithError("the record was refused");
      break;
    }
    ApplyConfigRecord(*opened.config, app.config);
    TakeOpenedRecord(opened, app.config, app.history);
    PointDisplayAtHistory(app);
    benchmark::DoNotOptimize(app.display.DispData);
  }
  state.SetBytesProcessed(state.iterations() * file.Bytes());
}
BENCHMARK(BM_OpenRecordForHistory100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes read front to back in 1 MB pieces into a buffer allocated
// for them.
void BM_PlainSequentialRead100MB(benchmark::State& state) {
  bench::HistoryRecordFile& file = File();
  if (!file.Ok()) {
    state.SkipWithError("cannot write the record file");
    return;
  }
  constexpr size_t kPiece = 1 << 20;
  for (auto _ : state) {
    const int fd = ::open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      state.SkipWithError("cannot open the record file");
      break;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(file.Bytes()));
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::read(fd, buffer.data() + done, std::min(kPiece, buffer.size() - done));
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (done != buffer.size()) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(state.iterations() * file.Bytes());
}
BENCHMARK(BM_PlainSequentialRead100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
