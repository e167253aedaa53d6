// The engine library over GNU Octave: starting the engine, a send of the
// display data and one power spectrum. Needs octave-cli.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "analysis/EngineLibraryAbi.h"
#include "platform/DynamicLibrary.h"

namespace {

struct EngineLibrary {
  quelvar::platform::DynamicLibrary lib;
  EngineInitialFn initial = nullptr;
  EngineCloseFn close = nullptr;
  EngineSendOrigAdFn sendOrig = nullptr;
  EngineSendCmdFn sendCmd = nullptr;
  EngineGetVarSizeFn varSize = nullptr;
  EngineGetDoubleVarFn getDouble = nullptr;

  EngineLibrary() {
    setenv("HALDREVON_OCTAVE", "octave-cli", 1);
    if (!lib.Load(QUELVAR_ENGINE_LIBRARY)) return;
    initial = lib.Entry<EngineInitialFn>("InitialEngine");
    close = lib.Entry<EngineCloseFn>("CloseEngine");
    sendOrig = lib.Entry<EngineSendOrigAdFn>("SendOrigADToMatlab");
    sendCmd = lib.Entry<EngineSendCmdFn>("SendCmd");
    varSize = lib.Entry<EngineGetVarSizeFn>("GetMatlabVarSize");
    getDouble = lib.Entry<EngineGetDoubleVarFn>("GetMatlabDoubleVar");
  }
};

// Eight channels of `points` rows at the base rate.
struct Display {
  int32_t rows;
  std::vector<uint16_t> words;
  std::array<int32_t, 112> multi{}, first{}, last{};
  std::array<std::array<char, 32>, 8> slots{};
  std::vector<char*> names;

  explicit Display(int32_t points) : rows(points), words(static_cast<size_t>(points) * 8) {
    for (size_t i = 0; i < words.size(); ++i) {
      words[i] = static_cast<uint16_t>(2048 + 1000 * std::sin(static_cast<double>(i) * 0.01));
    }
    multi.fill(1);
    for (int c = 0; c < 8; ++c) first[static_cast<size_t>(c)] = last[static_cast<size_t>(c)] = 8;
    for (auto& s : slots) {
      s[0] = 'A';
      names.push_back(s.data());
    }
  }
  int32_t Send(const EngineLibrary& e) {
    return e.sendOrig(words.data(), 0, 0, rows, rows, 0, 8, 8, names.data(), names.data(), multi.data(),
                      first.data(), last.data(), 0, rows, 1000.0f);
  }
};

void BM_EngineStart(benchmark::State& state) {
  EngineLibrary e;
  if (e.initial == nullptr) {
    state.SkipWithError("engine library not loaded");
    return;
  }
  for (auto _ : state) {
    if (e.initial() != 1) {
      state.SkipWithError("the engine did not start (octave-cli with octave-signal needed)");
      break;
    }
    state.PauseTiming();
    e.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EngineStart)->Unit(benchmark::kMillisecond)->Iterations(5);

// 8 channels x 10^5 points.
void BM_EngineSend(benchmark::State& state) {
  EngineLibrary e;
  if (e.initial == nullptr || e.initial() != 1) {
    state.SkipWithError("the engine did not start");
    return;
  }
  Display d(100000);
  for (auto _ : state) {
    if (d.Send(e) == 0) state.SkipWithError("send failed");
  }
  e.close();
}
BENCHMARK(BM_EngineSend)->Unit(benchmark::kMillisecond);

// The panel's power spectrum of 10^5 points, NFFT 1024, result and axis fetched.
void BM_EnginePowerSpectrum(benchmark::State& state) {
  EngineLibrary e;
  if (e.initial == nullptr || e.initial() != 1) {
    state.SkipWithError("the engine did not start");
    return;
  }
  Display d(100000);
  d.Send(e);
  // Octave raises NFFT to the segment length of its default window (a ninth
  // of the data): 11111 values here.
  std::vector<double> y(100000), x(100000);
  for (auto _ : state) {
    e.sendCmd("[Pxx,f]=pwelch(AD(:,1),[],[],1024,Fs);");
    if (e.varSize("Pxx") <= 0 || e.getDouble(y.data(), "Pxx") == 0 || e.getDouble(x.data(), "f") == 0) {
      state.SkipWithError("pwelch failed");
    }
  }
  e.close();
}
BENCHMARK(BM_EnginePowerSpectrum)->Unit(benchmark::kMillisecond);

}  // namespace
