#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/EngineLibraryAbi.h"
#include "common/AppState.h"

namespace quelvar {

namespace platform {
class DynamicLibrary;
}

// The engine panel's work without its window: the entry points of the
// engine library, the command strings of its seven analyses, the send of
// the shown data, and the analysis sequence with its status texts. The
// window reads its edits into a request and shows what the hooks report.

// The library's entry points; one the library lacks stays empty and is
// never called. Tests put their own functions here.
struct EngineEntries {
  EngineInitialFn InitialEngine = nullptr;
  EngineCloseFn CloseEngine = nullptr;
  EngineSendAdFn SendADToMatlab = nullptr;
  EngineSendOrigAdFn SendOrigADToMatlab = nullptr;
  EngineSendCmdFn SendCmd = nullptr;
  EngineGetVarSizeFn GetMatlabVarSize = nullptr;
  EngineGetDoubleVarFn GetMatlabDoubleVar = nullptr;
  EngineGetComplexVarFn GetMatlabComplexVar = nullptr;
};
EngineEntries BindEngineEntries(const platform::DynamicLibrary& module);

// The seven analyses, in the order of the panel's buttons.
enum class EngineAnalysis : int32_t {
  kPowerDensity,   // ButtonPSD
  kCrossPower,     // ButtonCPSD
  kBurg,           // ButtonPBurg
  kCoherence,      // ButtonCohere
  kTransfer,       // ButtonTransfer
  kAutoCorrelation,  // ButtonAutoCorr
  kCrossCorrelation,  // ButtonCorr
};
inline constexpr int32_t kEngineAnalyses = 7;

// What differs between the analyses.
struct EngineAnalysisRow {
  int32_t Kind;          // AnalysisKind of the result
  int32_t Channels;      // 1 or 2
  const char* Progress;  // after the channel names in the progress status
  const char* Prefix;    // before the command when the result is fetched
  const char* Result;    // result variable
  const char* Axis;      // abscissa variable
  bool Complex;          // fetched as magnitudes
  const char* Success;
  const char* Failure;
  const char* Plot;      // sent after the command when the engine draws
};
const EngineAnalysisRow& EngineAnalysisRowOf(EngineAnalysis analysis);

// The rate text of a command: "Fs", or with a channel multiplier above 1
// "Fs*m", "(Fs*m)" inside the correlations' division.
std::string EngineRateText(int32_t multiplier, bool correlation);

// The Burg model order read from its edit: a whole number held to 1 ..
// kMaxBurgOrder; other text gives the design value 10. Only a number ever
// goes into the command.
inline constexpr int32_t kDefaultBurgOrder = 10;
inline constexpr int32_t kMaxBurgOrder = 1000;  // far above useful AR orders
int32_t ParseBurgOrder(std::string_view text);

// The command of an analysis (without the fetch prefix). `c1` and `c2` are
// channel numbers (columns c + 1), `multiplier` the first channel's rate
// multiplier; `olderForm` gives the power density's older argument form.
std::string EngineAnalysisCommand(EngineAnalysis analysis, int32_t c1, int32_t c2, int32_t nfft, int32_t multiplier,
                                  int32_t burgOrder, bool olderForm);

// The name and unit slots of the send: 32 bytes each, the UTF-8 text cut to
// 31 bytes at a character boundary and NUL-terminated.
inline constexpr size_t kEngineTextSlot = 32;
std::string CutUtf8(std::string_view text, size_t maxBytes);
class EngineTextSlots {
 public:
  explicit EngineTextSlots(const std::vector<std::string>& texts);
  char** Pointers() { return pointers_.data(); }

 private:
  std::vector<std::array<char, kEngineTextSlot>> slots_;
  std::vector<char*> pointers_;
};

// Copies the result variable (magnitudes when `complex`) and the axis
// variable into arrays sized to `count`; 1 when both copied, else 0.
int32_t FetchEngineVariable(const EngineEntries& entries, std::vector<double>& result, const char* resultName,
                            bool complex, int32_t count, const char* axisName, std::vector<double>& axis);

// The panel's flags, all 0 at start.
struct EngineSession {
  EngineEntries Entries;
  int32_t EngineStarted = 0;
  int32_t EngineDataSent = 0;
  int32_t DirectDisplay = 0;
};

// What the sequence tells its window.
struct EnginePanelHooks {
  std::function<void(const std::string&)> Status;
  // true: show the hourglass; false: restore it (always paired).
  std::function<void(bool)> Busy;
  // A send succeeded (the analysis buttons change).
  std::function<void()> Sent;
  // The fetch is about to run: the result record's Valid goes to 0.
  std::function<void()> ClearResult;
  // The fetched curve for the result window; false when it was refused.
  std::function<bool(int32_t kind, const std::vector<double>& x, const std::vector<double>& y, const std::string& a,
                     const std::string& b)>
      HandOver;
};

inline constexpr const char* kEngineStartPrompt = "请先启动MATLAB以进行下一步操作!";
inline constexpr const char* kEngineStartedText = "MATLAB已启动,请先送AD结果给MATLAB.";

// Starts the engine, or closes it when started; the new EngineStarted.
// A start that does not answer 1 changes nothing.
bool StartOrCloseEngine(EngineSession& session, const EnginePanelHooks& hooks);

// Sends the shown range (raw codes with `origAD`); the new EngineDataSent.
bool SendDisplayData(EngineSession& session, const AppState& state, bool origAD, const EnginePanelHooks& hooks);

struct EngineAnalysisRequest {
  EngineAnalysis Analysis = EngineAnalysis::kPowerDensity;
  std::string Chn1Text;
  std::string Chn2Text;
  std::string FftText;
  std::string OrderText;
  bool OrigAD = false;
};
enum class EngineOutcome {
  kRefused,   // nothing sent
  kNotSent,   // the send failed or found no data
  kDrawn,     // the engine draws it (no result fetched)
  kShown,     // handed to the result window
  kFailed,    // no result variable, or a failed fetch
};
EngineOutcome RunEngineAnalysis(EngineSession& session, const AppState& state, const EngineAnalysisRequest& request,
                                const EnginePanelHooks& hooks);

}  // namespace quelvar
