#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/AnalysisPanelEdits.h"
#include "analysis/AnalysisResult.h"
#include "analysis/SignalLibraryAbi.h"
#include "common/AppState.h"

namespace quelvar {

// The library panel's work with the signal-processing library: its entry
// points, the preparation of the shown data, the seven analyses and their
// texts. The panel window only reads its edits and shows what these return.

// The library's entry points, bound by name; an entry the library lacks is
// null, and calling through it counts as a refusal.
struct SignalLibraryEntries {
  SignalLibSendArrayFn SendADToMatlabArray = nullptr;
  SignalLibSaveADFn SaveAD = nullptr;
  SignalLibCalcOneFn CalcPSD = nullptr;
  SignalLibCalcTwoFn CalcCPSD = nullptr;
  SignalLibCalcBurgFn CalcPBurg = nullptr;
  SignalLibCalcTwoFn CalcCohere = nullptr;
  SignalLibCalcTwoFn CalcTFE = nullptr;
  SignalLibCalcOneFn CalcAutoCorr = nullptr;
  SignalLibCalcTwoFn CalcCorr = nullptr;
  SignalLibFreeResultFn FreeResult = nullptr;
};

// Bound only when the library was asked for and loaded (LoadSignalLib 1);
// otherwise every entry is null.
SignalLibraryEntries BindSignalLibrary(const StartupState& startup);

// The panel's texts.
inline constexpr const char* kLibraryFirstPrepareText = "请先按MATLAB格式组织AD数据!";
inline constexpr const char* kLibraryNoDataText = "错误!无AD数据!";
inline constexpr const char* kLibraryPreparingText = "提示:正进行数据预处理...";
inline constexpr const char* kLibraryPreparedText = "预处理完成,对AD可进一步保存、处理";
inline constexpr const char* kLibraryPrepareFailedText = "按MATLAB格式建立AD变量失败!";
inline constexpr const char* kLibraryNothingPreparedText = "错误: 无可用的AD值!";
inline constexpr const char* kLibrarySavedText = "MATLAB可直接用AD文件：";
// A data file the library could not write: said, rather than leaving the
// user to believe it was saved.
inline constexpr const char* kLibrarySaveFailedText = "错误: 保存MATLAB数据文件失败!";
inline constexpr const char* kLibraryWorkingText = "提示:正在计算 ";
inline constexpr const char* kLibrarySaveTitle = "选择要保存的MATLAB数据文件名";
inline constexpr const char* kLibrarySaveExt = "MAT";
inline constexpr const char* kLibrarySaveFilter = "MATLAB数据文件(*.MAT)|*.MAT";
// What a text in the FFT point edit that is not a number becomes here.
inline constexpr int32_t kLibraryUnparsedFftPoints = 1024;
// The Burg order the hidden order edit starts with, and what a text there
// that is not a number reads as.
inline constexpr int32_t kLibraryDefaultBurgOrder = 10;

// The buffer rows that hold the shown display points XPosition ..
// XPosition + DisplayWidth - 1 at `maxMultiFreq` points a row: the first and
// how many (every row holding a shown point). With one point a row the
// points are the rows; an empty width stays as it is.
struct LibraryRows {
  int32_t first = 0;
  int32_t count = 0;
};
LibraryRows LibraryRowsOf(int32_t xPosition, int32_t displayWidth, int32_t maxMultiFreq);

// "SendADToMatlabArray" on the rows holding the shown range: 1 when the library took the data.
// Without data on display the library is not called (`status` says so); the
// coefficient arrays live only for the call.
struct LibraryPreparation {
  bool prepared = false;
  std::string status;
};
LibraryPreparation PrepareLibraryData(const SignalLibraryEntries& entries, const AppState& state);

enum class LibraryAnalysis { PSD, CPSD, PBurg, Cohere, TFE, AutoCorr, Corr };

struct LibraryAnalysisRow {
  const char* entry;  // the library's entry point
  int32_t kind;       // AnalysisKind of the result
  int32_t channels;   // 1 or 2
  const char* progress;
  const char* success;
  const char* failure;
};
const LibraryAnalysisRow& LibraryAnalysisRowOf(LibraryAnalysis analysis);

// The channels an analysis works on, or why it cannot run: no analog
// channel, a trace on a switch input, or two channels sampled at different
// rates. The second channel of a one-channel analysis is not looked at.
struct LibraryChannels {
  int32_t c1 = 0;
  int32_t c2 = 0;
  std::string a;  // the channels' names
  std::string b;
  std::string refusal;  // empty when the analysis may run
};
LibraryChannels CheckLibraryChannels(LibraryAnalysis analysis, PanelChannel first, PanelChannel second,
                                     const AppState& state);

// Runs one analysis. On success `x` and `y` hold the library's `count`
// values, copied out; whatever arrays the library handed out are released
// with its "FreeResult" (never with our allocator), success or not.
bool CalcLibraryAnalysis(const SignalLibraryEntries& entries, LibraryAnalysis analysis, const LibraryChannels& ch,
                         int32_t nfft, int32_t order, int32_t& count, std::vector<double>& x, std::vector<double>& y);

// An analog channel's name, empty outside the table.
std::string LibraryChannelName(const AppState& state, int32_t channel);

}  // namespace quelvar
