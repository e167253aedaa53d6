#include "analysis/EngineAnalysis.h"

#include <algorithm>
#include <new>

#include "analysis/AnalysisPanelEdits.h"
#include "analysis/AnalysisResult.h"
#include "platform/DynamicLibrary.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr EngineAnalysisRow kRows[kEngineAnalyses] = {
    {kAnalysisPowerDensity, 1, " 的功率谱...", "[Pxx,f]=", "Pxx", "f", false, "功率谱图形已显示!",
     "错误: 计算功率谱失败!", ""},
    {kAnalysisCrossPower, 2, " 的互功率谱...", "[Pxy,f]=", "Pxy", "f", true, "互功率谱图形已显示!",
     "错误: 计算互功率谱失败!", ""},
    {kAnalysisBurg, 1, "", "[Pxx,f]=", "Pxx", "f", false, "Burg法功率谱图形已显示!",
     "错误: 计算Burg法功率谱失败!", ""},
    {kAnalysisCoherence, 2, " 的相干函数...", "[Cxy,f]=", "Cxy", "f", false, "相干函数图形已显示!",
     "错误: 计算相干函数失败!", ""},
    // The transfer function is complex: its real values alone are no transfer
    // curve, so it is fetched as magnitudes like the cross power.
    {kAnalysisTransfer, 2, " 的传递函数...", "[Txy,f]=", "Txy", "f", true, "传递函数图形已显示!",
     "错误: 计算传递函数失败!", ""},
    {kAnalysisAutoCorrelation, 1, " 的自相关函数...", "", "c", "lags", false, "自相关函数图形已显示!",
     "错误: 计算自相关函数失败!", "stem(lags,c);xlabel('Lags(s)');ylabel('Auto Correlation');"},
    {kAnalysisCrossCorrelation, 2, " 的互相关函数...", "", "c", "lags", false, "相关函数图形已显示!",
     "错误: 计算相关函数失败!", "stem(lags,c);xlabel('Lags (s)');ylabel('Cross Correlation');"},
};

bool IsCorrelation(EngineAnalysis a) {
  return a == EngineAnalysis::kAutoCorrelation || a == EngineAnalysis::kCrossCorrelation;
}

std::string Column(int32_t channel) { return "AD(:," + std::to_string(channel + 1) + ")"; }

// Analog channels whose records exist.
int32_t AnalogChannels(const LiveConfig& config) { return std::clamp(config.Analog_Num, 0, kMaxAnalogChannels); }

void Say(const EnginePanelHooks& hooks, const std::string& text) {
  if (hooks.Status) hooks.Status(text);
}

// The hourglass for the lifetime of the guard, whatever path leaves.
class BusyGuard {
 public:
  BusyGuard(const EnginePanelHooks& hooks, bool shown) : hooks_(hooks), shown_(shown && hooks.Busy) {
    if (shown_) hooks_.Busy(true);
  }
  ~BusyGuard() {
    if (shown_) hooks_.Busy(false);
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  const EnginePanelHooks& hooks_;
  bool shown_;
};

void SendCommand(const EngineEntries& entries, const std::string& command) {
  if (entries.SendCmd != nullptr) entries.SendCmd(command.c_str());
}

}  // namespace

EngineEntries BindEngineEntries(const platform::DynamicLibrary& module) {
  EngineEntries e;
  if (!module.IsLoaded()) return e;
  e.InitialEngine = module.Entry<EngineInitialFn>("InitialEngine");
  e.CloseEngine = module.Entry<EngineCloseFn>("CloseEngine");
  e.SendADToMatlab = module.Entry<EngineSendAdFn>("SendADToMatlab");
  e.SendOrigADToMatlab = module.Entry<EngineSendOrigAdFn>("SendOrigADToMatlab");
  e.SendCmd = module.Entry<EngineSendCmdFn>("SendCmd");
  e.GetMatlabVarSize = module.Entry<EngineGetVarSizeFn>("GetMatlabVarSize");
  e.GetMatlabDoubleVar = module.Entry<EngineGetDoubleVarFn>("GetMatlabDoubleVar");
  e.GetMatlabComplexVar = module.Entry<EngineGetComplexVarFn>("GetMatlabComplexVar");
  return e;
}

const EngineAnalysisRow& EngineAnalysisRowOf(EngineAnalysis analysis) {
  const auto i = std::clamp(static_cast<int32_t>(analysis), 0, kEngineAnalyses - 1);
  return kRows[i];
}

std::string EngineRateText(int32_t multiplier, bool correlation) {
  if (multiplier <= 1) return "Fs";
  const std::string rate = "Fs*" + std::to_string(multiplier);
  return correlation ? "(" + rate + ")" : rate;
}

int32_t ParseBurgOrder(std::string_view text) {
  const std::optional<int32_t> order = ParseDialogInteger(text);
  if (!order) return kDefaultBurgOrder;
  return std::clamp(*order, 1, kMaxBurgOrder);
}

std::string EngineAnalysisCommand(EngineAnalysis analysis, int32_t c1, int32_t c2, int32_t nfft, int32_t multiplier,
                                  int32_t burgOrder, bool olderForm) {
  const std::string fs = EngineRateText(multiplier, IsCorrelation(analysis));
  const std::string n = std::to_string(nfft);
  const std::string a = Column(c1);
  const std::string b = Column(c2);
  switch (analysis) {
    case EngineAnalysis::kPowerDensity:
      return olderForm ? "pwelch(" + a + "," + n + "," + fs + ");" : "pwelch(" + a + ",[],[]," + n + "," + fs + ");";
    case EngineAnalysis::kCrossPower: return "csd(" + a + "," + b + "," + n + "," + fs + ");";
    case EngineAnalysis::kBurg: return "pburg(" + a + "," + std::to_string(burgOrder) + "," + n + ",Fs);";
    case EngineAnalysis::kCoherence: return "cohere(" + a + "," + b + "," + n + "," + fs + ");";
    case EngineAnalysis::kTransfer: return "tfe(" + a + "," + b + "," + n + "," + fs + ");";
    case EngineAnalysis::kAutoCorrelation: return "[c,lags]=xcorr(" + a + ",'coeff');lags = lags/" + fs + ";";
    case EngineAnalysis::kCrossCorrelation:
      return "[c,lags]=xcorr(" + a + "," + b + ",'coeff');lags = lags/" + fs + ";";
  }
  return {};
}

std::string CutUtf8(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  size_t end = maxBytes;
  // Back over continuation bytes to the start of the character that does
  // not fit whole.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

EngineTextSlots::EngineTextSlots(const std::vector<std::string>& texts) : slots_(texts.size()) {
  pointers_.reserve(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string cut = CutUtf8(texts[i], kEngineTextSlot - 1);
    slots_[i].fill('\0');
    std::copy(cut.begin(), cut.end(), slots_[i].begin());
    pointers_.push_back(slots_[i].data());
  }
}

int32_t FetchEngineVariable(const EngineEntries& entries, std::vector<double>& result, const char* resultName,
                            bool complex, int32_t count, const char* axisName, std::vector<double>& axis) {
  if (count <= 0) return 0;
  const EngineGetDoubleVarFn getResult = complex ? entries.GetMatlabComplexVar : entries.GetMatlabDoubleVar;
  if (getResult == nullptr || entries.GetMatlabDoubleVar == nullptr) return 0;
  try {
    result.resize(static_cast<size_t>(count));
    axis.resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (getResult(result.data(), resultName) == 0) return 0;
  if (entries.GetMatlabDoubleVar(axis.data(), axisName) == 0) return 0;
  return 1;
}

bool StartOrCloseEngine(EngineSession& session, const EnginePanelHooks& hooks) {
  if (session.EngineStarted != 0) {
    if (session.Entries.CloseEngine != nullptr) session.Entries.CloseEngine();
    session.EngineStarted = 0;
    session.EngineDataSent = 0;
    Say(hooks, kEngineStartPrompt);
    return false;
  }
  if (session.Entries.InitialEngine == nullptr || session.Entries.InitialEngine() != 1) return false;
  session.EngineStarted = 1;
  session.EngineDataSent = 0;
  Say(hooks, kEngineStartedText);
  return true;
}

bool SendDisplayData(EngineSession& session, const AppState& state, bool origAD, const EnginePanelHooks& hooks) {
  if (session.EngineStarted == 0) {
    Say(hooks, "错误!未启动MATLAB!");
    return false;
  }
  session.EngineDataSent = 0;
  if (state.display.DispValid == 0) {
    Say(hooks, "错误!无AD数据!");
    return false;
  }
  const LiveConfig& c = state.config;
  const int32_t analog = AnalogChannels(c);
  if (analog == 0) {
    Say(hooks, kPanelNoAnalogText);
    return false;
  }
  Say(hooks, "提示: 正进行AD数据预处理...");
  // The temporary arrays live until the end of this call, whatever the result.
  std::vector<float> coeA, coeB;
  std::vector<std::string> names, units;
  for (int32_t i = 0; i < analog; ++i) {
    const AnalogChannel& a = c.AnalogChannelTable[static_cast<size_t>(i)];
    coeA.push_back(a.ChnCoeA);
    coeB.push_back(a.ChnCoeB);
    names.push_back(a.ChnName);
    units.push_back(a.ChnUnits);
  }
  EngineTextSlots nameSlots(names), unitSlots(units);
  const DisplayDescriptor& d = state.display;
  const SampleLayout& l = state.layout;
  const EngineEntries& e = session.Entries;
  int32_t sent = 0;
  if (origAD) {
    if (e.SendOrigADToMatlab != nullptr) {
      sent = e.SendOrigADToMatlab(d.DispData, d.DispTriggerBlock, d.DispTriggerPoint, c.NumSamp, d.DispRows,
                                  d.DispFirstBlock, c.NumChn, analog, nameSlots.Pointers(), unitSlots.Pointers(),
                                  l.MultiFreqTable.data(), l.ExtraSlotFirst.data(), l.ExtraSlotLast.data(),
                                  state.wave.XPosition, state.wave.DisplayWidth, c.ChannelRate);
    }
  } else if (e.SendADToMatlab != nullptr) {
    sent = e.SendADToMatlab(d.DispData, d.DispTriggerBlock, d.DispTriggerPoint, c.NumSamp, d.DispRows,
                            d.DispFirstBlock, c.NumChn, analog, nameSlots.Pointers(), unitSlots.Pointers(),
                            coeA.data(), coeB.data(), l.MultiFreqTable.data(), l.ExtraSlotFirst.data(),
                            l.ExtraSlotLast.data(), state.wave.XPosition, state.wave.DisplayWidth, c.ChannelRate,
                            c.VZero, c.ADMax);
  }
  if (sent == 0) {
    Say(hooks, "送AD值到MATLAB失败!");
    return false;
  }
  Say(hooks, "变量名有:采样值AD(iPoint,iChn),采样时间Fs,ChnName(),ChnUint()");
  session.EngineDataSent = 1;
  if (hooks.Sent) hooks.Sent();
  return true;
}

EngineOutcome RunEngineAnalysis(EngineSession& session, const AppState& state, const EngineAnalysisRequest& request,
                                const EnginePanelHooks& hooks) {
  const EngineAnalysis analysis = request.Analysis;
  const EngineAnalysisRow& row = EngineAnalysisRowOf(analysis);
  if (session.EngineStarted == 0) {
    Say(hooks, "未启动Matlab.");
    return EngineOutcome::kRefused;
  }
  // A trace on a switch input has no column in AD (and no entry in the rate
  // table): such a channel is refused before anything is sent.
  const LiveConfig& c = state.config;
  const int32_t analog = AnalogChannels(c);
  if (analog == 0) {
    Say(hooks, kPanelNoAnalogText);
    return EngineOutcome::kRefused;
  }
  const int32_t mode = state.display.DataSourceMode;
  const PanelChannel first = ResolvePanelChannel(1, request.Chn1Text, analog, mode, state.oscilTool);
  const PanelChannel second = ResolvePanelChannel(2, request.Chn2Text, analog, mode, state.oscilTool);
  const bool pair = row.Channels == 2;
  if (!first.analog || (pair && !second.analog)) {
    Say(hooks, kPanelSwitchChannelText);
    return EngineOutcome::kRefused;
  }
  const int32_t c1 = first.channel;
  const int32_t c2 = second.channel;
  const int32_t multiplier = state.layout.MultiFreqTable[static_cast<size_t>(c1)];
  if (pair && multiplier != state.layout.MultiFreqTable[static_cast<size_t>(c2)]) {
    Say(hooks, kPanelRatesDifferText);
    return EngineOutcome::kRefused;
  }

  const BusyGuard busy(hooks, analysis != EngineAnalysis::kBurg);
  if (!SendDisplayData(session, state, request.OrigAD, hooks)) return EngineOutcome::kNotSent;

  // The edits' texts are read as numbers: nothing typed reaches the command.
  const int32_t nfft = RoundFftPoints(request.FftText, kPanelFftMinPoints);
  const int32_t order = ParseBurgOrder(request.OrderText);
  const std::string a = c.AnalogChannelTable[static_cast<size_t>(c1)].ChnName;
  const std::string b = pair ? c.AnalogChannelTable[static_cast<size_t>(c2)].ChnName : std::string();
  Say(hooks, "提示:正在计算 " + a + (pair ? " 与 " + b : std::string()) + row.Progress);

  bool olderForm = false;
  for (;;) {
    const std::string command = EngineAnalysisCommand(analysis, c1, c2, nfft, multiplier, order, olderForm);
    Say(hooks, "CMD:" + command);
    if (session.DirectDisplay == 0) {
      SendCommand(session.Entries, command);
      if (row.Plot[0] != '\0') SendCommand(session.Entries, row.Plot);
      return EngineOutcome::kDrawn;
    }
    SendCommand(session.Entries, row.Prefix + command);
    if (hooks.ClearResult) hooks.ClearResult();
    int32_t count =
        session.Entries.GetMatlabVarSize != nullptr ? session.Entries.GetMatlabVarSize(row.Result) : 0;
    std::vector<double> y, x;
    if (count > 0 && FetchEngineVariable(session.Entries, y, row.Result, row.Complex, count, row.Axis, x) == 0) {
      count = 0;
    }
    if (count > 0 && hooks.HandOver && hooks.HandOver(row.Kind, x, y, a, b)) {
      Say(hooks, row.Success);
      return EngineOutcome::kShown;
    }
    if (analysis == EngineAnalysis::kPowerDensity && !olderForm) {
      olderForm = true;
      continue;
    }
    Say(hooks, row.Failure);
    return EngineOutcome::kFailed;
  }
}

}  // namespace quelvar
