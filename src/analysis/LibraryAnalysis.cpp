#include "analysis/LibraryAnalysis.h"

#include <algorithm>

namespace quelvar {

SignalLibraryEntries BindSignalLibrary(const StartupState& startup) {
  SignalLibraryEntries e;
  if (startup.LoadSignalLib != 1 || !startup.SignalLibModule.IsLoaded()) return e;
  const platform::DynamicLibrary& lib = startup.SignalLibModule;
  e.SendADToMatlabArray = lib.Entry<SignalLibSendArrayFn>("SendADToMatlabArray");
  e.SaveAD = lib.Entry<SignalLibSaveADFn>("SaveAD");
  e.CalcPSD = lib.Entry<SignalLibCalcOneFn>("CalcPSD");
  e.CalcCPSD = lib.Entry<SignalLibCalcTwoFn>("CalcCPSD");
  e.CalcPBurg = lib.Entry<SignalLibCalcBurgFn>("CalcPBurg");
  e.CalcCohere = lib.Entry<SignalLibCalcTwoFn>("CalcCohere");
  e.CalcTFE = lib.Entry<SignalLibCalcTwoFn>("CalcTFE");
  e.CalcAutoCorr = lib.Entry<SignalLibCalcOneFn>("CalcAutoCorr");
  e.CalcCorr = lib.Entry<SignalLibCalcTwoFn>("CalcCorr");
  e.FreeResult = lib.Entry<SignalLibFreeResultFn>("FreeResult");
  return e;
}

LibraryRows LibraryRowsOf(int32_t xPosition, int32_t displayWidth, int32_t maxMultiFreq) {
  const int64_t m = std::max(maxMultiFreq, 1);
  if (m == 1 || displayWidth <= 0) return {xPosition, displayWidth};
  auto rowOf = [m](int64_t point) { return point >= 0 ? point / m : -((-point + m - 1) / m); };
  const int64_t first = rowOf(xPosition);
  const int64_t last = rowOf(int64_t{xPosition} + displayWidth - 1);
  return {static_cast<int32_t>(first), static_cast<int32_t>(last - first + 1)};
}

LibraryPreparation PrepareLibraryData(const SignalLibraryEntries& entries, const AppState& state) {
  const DisplayDescriptor& d = state.display;
  if (d.DispValid == 0) return {false, kLibraryNoDataText};
  const LiveConfig& c = state.config;
  const int32_t analogNum = std::clamp(c.Analog_Num, 0, kMaxAnalogChannels);
  std::vector<float> coeA(static_cast<size_t>(analogNum));
  std::vector<float> coeB(static_cast<size_t>(analogNum));
  for (size_t i = 0; i < coeA.size(); ++i) {
    coeA[i] = c.AnalogChannelTable[i].ChnCoeA;
    coeB[i] = c.AnalogChannelTable[i].ChnCoeB;
  }
  // The library walks the buffer by its rows, so it is given the row width
  // the buffer really has and the rows, not the display points, that hold
  // the shown points: with MaxMultiFreq points a row it reads each channel's
  // base sample of those rows, at ChannelRate.
  const LibraryRows rows = LibraryRowsOf(state.wave.XPosition, state.wave.DisplayWidth, c.MaxMultiFreq);
  const int32_t sent = entries.SendADToMatlabArray == nullptr
                           ? 0
                           : entries.SendADToMatlabArray(d.DispData, d.DispTriggerBlock, d.DispTriggerPoint, c.NumSamp,
                                                         d.DispRows, d.DispFirstBlock, d.DispRowWords, analogNum,
                                                         coeA.data(), coeB.data(), rows.first, rows.count,
                                                         c.ChannelRate, c.VZero, c.ADMax);
  if (sent == 0) return {false, kLibraryPrepareFailedText};
  return {true, kLibraryPreparedText};
}

const LibraryAnalysisRow& LibraryAnalysisRowOf(LibraryAnalysis analysis) {
  static const LibraryAnalysisRow kRows[] = {
      {"CalcPSD", kAnalysisPowerDensity, 1, " 的功率谱...", "功率谱图形已显示!", "错误: 计算功率谱失败!"},
      {"CalcCPSD", kAnalysisCrossPower, 2, " 的互功率谱...", "互功率谱图形已显示!", "错误: 计算互功率谱失败!"},
      {"CalcPBurg", kAnalysisBurg, 1, " 的Burg法功率谱...", "Burg法功率谱图形已显示!",
       "错误: 计算Burg法功率谱失败!"},
      {"CalcCohere", kAnalysisCoherence, 2, " 的相干函数...", "相干函数图形已显示!", "错误: 计算相干函数失败!"},
      {"CalcTFE", kAnalysisTransfer, 2, " 的传递函数...", "传递函数图形已显示!", "错误: 计算传递函数失败!"},
      {"CalcAutoCorr", kAnalysisAutoCorrelation, 1, " 的自相关函数...", "自相关函数图形已显示!",
       "错误: 计算自相关函数失败!"},
      {"CalcCorr", kAnalysisCrossCorrelation, 2, " 的互相关函数...", "相关函数图形已显示!",
       "错误: 计算相关函数失败!"},
  };
  return kRows[static_cast<size_t>(analysis)];
}

std::string LibraryChannelName(const AppState& state, int32_t channel) {
  if (channel < 0 || channel >= kMaxAnalogChannels) return {};
  return state.config.AnalogChannelTable[static_cast<size_t>(channel)].ChnName;
}

LibraryChannels CheckLibraryChannels(LibraryAnalysis analysis, PanelChannel first, PanelChannel second,
                                     const AppState& state) {
  LibraryChannels out;
  const bool two = LibraryAnalysisRowOf(analysis).channels == 2;
  out.c1 = first.channel;
  out.c2 = second.channel;
  if (std::clamp(state.config.Analog_Num, 0, kMaxAnalogChannels) <= 0) {
    out.refusal = kPanelNoAnalogText;
    return out;
  }
  if (!first.analog || (two && !second.analog)) {
    out.refusal = kPanelSwitchChannelText;
    return out;
  }
  out.a = LibraryChannelName(state, out.c1);
  if (two) {
    out.b = LibraryChannelName(state, out.c2);
    const auto& rates = state.layout.MultiFreqTable;
    // Both numbers are analog channels, so within the table.
    if (rates[static_cast<size_t>(out.c1)] != rates[static_cast<size_t>(out.c2)]) out.refusal = kPanelRatesDifferText;
  }
  return out;
}

bool CalcLibraryAnalysis(const SignalLibraryEntries& e, LibraryAnalysis analysis, const LibraryChannels& ch,
                         int32_t nfft, int32_t order, int32_t& count, std::vector<double>& x, std::vector<double>& y) {
  // Pointers of our own: the library never reads what they held.
  double* ly = nullptr;
  double* lx = nullptr;
  int32_t n = 0;
  int32_t done = 0;
  switch (analysis) {
    case LibraryAnalysis::PSD:
      if (e.CalcPSD != nullptr) done = e.CalcPSD(&ly, &lx, &n, ch.c1, nfft);
      break;
    case LibraryAnalysis::CPSD:
      if (e.CalcCPSD != nullptr) done = e.CalcCPSD(&ly, &lx, &n, ch.c1, ch.c2, nfft);
      break;
    case LibraryAnalysis::PBurg:
      if (e.CalcPBurg != nullptr) done = e.CalcPBurg(&ly, &lx, &n, ch.c1, order, nfft);
      break;
    case LibraryAnalysis::Cohere:
      if (e.CalcCohere != nullptr) done = e.CalcCohere(&ly, &lx, &n, ch.c1, ch.c2, nfft);
      break;
    case LibraryAnalysis::TFE:
      if (e.CalcTFE != nullptr) done = e.CalcTFE(&ly, &lx, &n, ch.c1, ch.c2, nfft);
      break;
    case LibraryAnalysis::AutoCorr:
      if (e.CalcAutoCorr != nullptr) done = e.CalcAutoCorr(&ly, &lx, &n, ch.c1, nfft);
      break;
    case LibraryAnalysis::Corr:
      if (e.CalcCorr != nullptr) done = e.CalcCorr(&ly, &lx, &n, ch.c1, ch.c2, nfft);
      break;
  }
  count = n;
  const bool ok = done != 0 && ly != nullptr && lx != nullptr && n >= 1;
  if (ok) {
    y.assign(ly, ly + n);
    x.assign(lx, lx + n);
  }
  // A library without its release entry keeps its arrays: leaked, never
  // freed here by another allocator.
  if (e.FreeResult != nullptr) {
    e.FreeResult(ly);
    e.FreeResult(lx);
  }
  if (!ok) count = 0;
  return ok;
}

}  // namespace quelvar
