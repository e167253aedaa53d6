// Opening a record file of about 100 MB through the main window's open
// command and drawing its first screen into the window's bitmap, as the
// user sees it: the read, the lent configuration, the layout, the trigger
// page and the paint. Compare with BM_PlainSequentialRead100MB of
// quelvar_bench, which only reads the same bytes.
#include <benchmark/benchmark.h>

#include "HistoryRecordFile.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScreenSaver.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;

void BM_OpenRecordAndDrawFirstScreen100MB(benchmark::State& state) {
  bench::HistoryRecordFile file;
  if (!file.Ok()) {
    state.SkipWithError("cannot write the record file");
    return;
  }
  AppState app;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;
  TFormMain form(app, MainWindowServices{registry, ui, screenSaver});
  form.SetRemoteControlPort(0);
  form.SetStationStreamPort(0);
  form.Timer1Timer();  // the deferred start-up
  form.SetRecordFileManager([&] { return RecordOpenChoice{file.Path(), true, 0, 0}; });
  for (auto _ : state) {
    form.menuSelectFaultClick();
    form.RedrawWaveform();
    if (app.history.BlockCount != bench::HistoryRecordFile::kBlocks) {
      state.SkipWithError("the record was not opened");
      break;
    }
  }
  state.counters["points/screen"] = app.wave.DisplayWidth;
  state.SetBytesProcessed(state.iterations() * file.Bytes());
}
BENCHMARK(BM_OpenRecordAndDrawFirstScreen100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
