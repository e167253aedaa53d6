// The engine panel's commands and sequence over a stub engine library: the
// command strings, what is sent in which order, the fetch, the refusals and
// the hourglass on every path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "analysis/AnalysisPanelEdits.h"
#include "analysis/AnalysisResult.h"
#include "analysis/EngineAnalysis.h"

namespace {

using namespace quelvar;
using A = EngineAnalysis;

// A fake engine library: records every call, holds variables that each
// command may set, and copies as the real library does (the count last
// reported, nothing else).
struct StubEngine {
  int32_t initialResult = 1;
  int32_t sendResult = 1;
  std::vector<std::string> calls;  // "send", "orig", "cmd:<text>", "size:<name>", "double:<name>", "complex:<name>"
  std::vector<std::string> sentNames, sentUnits;
  int32_t sentAnalogNum = 0, sentXPosition = 0, sentWidth = 0;
  std::map<std::string, std::vector<double>> vars;
  // Commands (with prefix) that leave a result, and what they set.
  std::map<std::string, std::map<std::string, std::vector<double>>> results;
  int32_t lastCount = -1;
};
StubEngine* stub = nullptr;

void RecordTexts(char** names, char** units, int32_t n) {
  stub->sentNames.clear();
  stub->sentUnits.clear();
  for (int32_t i = 0; i < n; ++i) {
    stub->sentNames.emplace_back(names[i]);
    stub->sentUnits.emplace_back(units[i]);
  }
}

int32_t StubInitial() {
  stub->calls.push_back("initial");
  return stub->initialResult;
}
void StubClose() { stub->calls.push_back("close"); }
int32_t StubSend(const uint16_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t analogNum, char** names,
                 char** units, const float*, const float*, const int32_t*, const int32_t*, const int32_t*,
                 int32_t xPosition, int32_t width, float, float, float) {
  stub->calls.push_back("send");
  stub->sentAnalogNum = analogNum;
  stub->sentXPosition = xPosition;
  stub->sentWidth = width;
  RecordTexts(names, units, analogNum);
  stub->vars.clear();
  return stub->sendResult;
}
int32_t StubSendOrig(const uint16_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t analogNum,
                     char** names, char** units, const int32_t*, const int32_t*, const int32_t*, int32_t, int32_t,
                     float) {
  stub->calls.push_back("orig");
  stub->sentAnalogNum = analogNum;
  RecordTexts(names, units, analogNum);
  stub->vars.clear();
  return stub->sendResult;
}
int32_t StubCmd(const char* command) {
  stub->calls.push_back(std::string("cmd:") + command);
  stub->lastCount = -1;
  const auto found = stub->results.find(command);
  if (found == stub->results.end()) return 0;
  for (const auto& [name, values] : found->second) stub->vars[name] = values;
  return 1;
}
int32_t StubSize(const char* name) {
  stub->calls.push_back(std::string("size:") + name);
  const auto found = stub->vars.find(name);
  stub->lastCount = found == stub->vars.end() ? 0 : static_cast<int32_t>(found->second.size());
  return stub->lastCount;
}
int32_t Copy(double* destination, const char* name) {
  const auto found = stub->vars.find(name);
  if (found == stub->vars.end() || static_cast<int32_t>(found->second.size()) != stub->lastCount) return 0;
  std::memcpy(destination, found->second.data(), found->second.size() * sizeof(double));
  return 1;
}
int32_t StubDouble(double* destination, const char* name) {
  stub->calls.push_back(std::string("double:") + name);
  return Copy(destination, name);
}
int32_t StubComplex(double* destination, const char* name) {
  stub->calls.push_back(std::string("complex:") + name);
  return Copy(destination, name);
}

EngineEntries StubEntries() {
  EngineEntries e;
  e.InitialEngine = StubInitial;
  e.CloseEngine = StubClose;
  e.SendADToMatlab = StubSend;
  e.SendOrigADToMatlab = StubSendOrig;
  e.SendCmd = StubCmd;
  e.GetMatlabVarSize = StubSize;
  e.GetMatlabDoubleVar = StubDouble;
  e.GetMatlabComplexVar = StubComplex;
  return e;
}

struct HandedOver {
  int32_t kind = 0;
  std::vector<double> x, y;
  std::string a, b;
};

class EngineSequenceTest : public ::testing::Test {
 protected:
  StubEngine engine;
  EngineSession session;
  AppState state;
  std::vector<std::string> statuses;
  int busyShown = 0, busyRestored = 0, cleared = 0, sentHooks = 0;
  std::vector<HandedOver> handed;
  EnginePanelHooks hooks;

  void SetUp() override {
    stub = &engine;
    session.Entries = StubEntries();
    session.EngineStarted = 1;
    session.DirectDisplay = 1;
    state.display.DispValid = 1;
    state.config.Analog_Num = 4;
    for (int c = 0; c < 4; ++c) state.config.AnalogChannelTable[c].ChnName = "通道" + std::to_string(c);
    state.layout.MultiFreqTable.fill(1);
    state.wave.XPosition = 100;
    state.wave.DisplayWidth = 2000;
    hooks.Status = [this](const std::string& t) { statuses.push_back(t); };
    hooks.Busy = [this](bool on) { ++(on ? busyShown : busyRestored); };
    hooks.Sent = [this] { ++sentHooks; };
    hooks.ClearResult = [this] { ++cleared; };
    hooks.HandOver = [this](int32_t kind, const std::vector<double>& x, const std::vector<double>& y,
                            const std::string& a, const std::string& b) {
      handed.push_back({kind, x, y, a, b});
      return true;
    };
  }
  void TearDown() override {
    // Whatever path an analysis took, the hourglass went back.
    EXPECT_EQ(busyShown, busyRestored);
    stub = nullptr;
  }
  EngineOutcome Run(A analysis, const std::string& c1 = "0", const std::string& c2 = "1",
                    const std::string& fft = "256", const std::string& order = "10") {
    EngineAnalysisRequest r;
    r.Analysis = analysis;
    r.Chn1Text = c1;
    r.Chn2Text = c2;
    r.FftText = fft;
    r.OrderText = order;
    return RunEngineAnalysis(session, state, r, hooks);
  }
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const std::string& c : engine.calls)
      if (c.rfind("cmd:", 0) == 0) out.push_back(c.substr(4));
    return out;
  }
  bool Called(const std::string& prefix) const {
    for (const std::string& c : engine.calls)
      if (c.rfind(prefix, 0) == 0) return true;
    return false;
  }
};

// ---- the command strings ----

struct CommandCase {
  A analysis;
  int32_t c1, c2, nfft, multiplier, order;
  bool older;
  const char* command;
};

class EngineCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(EngineCommandTest, IsBuiltExactlyAsTheEngineExpects) {
  const CommandCase& k = GetParam();
  EXPECT_EQ(EngineAnalysisCommand(k.analysis, k.c1, k.c2, k.nfft, k.multiplier, k.order, k.older), k.command);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineCommandTest,
    ::testing::Values(
        CommandCase{A::kPowerDensity, 0, 0, 256, 1, 10, false, "pwelch(AD(:,1),[],[],256,Fs);"},
        CommandCase{A::kPowerDensity, 2, 0, 1024, 4, 10, false, "pwelch(AD(:,3),[],[],1024,Fs*4);"},
        CommandCase{A::kPowerDensity, 0, 0, 256, 1, 10, true, "pwelch(AD(:,1),256,Fs);"},
        CommandCase{A::kPowerDensity, 1, 0, 512, 4, 10, true, "pwelch(AD(:,2),512,Fs*4);"},
        CommandCase{A::kCrossPower, 0, 3, 256, 1, 10, false, "csd(AD(:,1),AD(:,4),256,Fs);"},
        CommandCase{A::kCrossPower, 0, 1, 64, 2, 10, false, "csd(AD(:,1),AD(:,2),64,Fs*2);"},
        CommandCase{A::kBurg, 1, 0, 256, 1, 12, false, "pburg(AD(:,2),12,256,Fs);"},
        // The Burg analysis always writes the base rate.
        CommandCase{A::kBurg, 1, 0, 256, 4, 12, false, "pburg(AD(:,2),12,256,Fs);"},
        CommandCase{A::kCoherence, 1, 2, 128, 1, 10, false, "cohere(AD(:,2),AD(:,3),128,Fs);"},
        CommandCase{A::kCoherence, 1, 2, 128, 4, 10, false, "cohere(AD(:,2),AD(:,3),128,Fs*4);"},
        CommandCase{A::kTransfer, 0, 1, 256, 1, 10, false, "tfe(AD(:,1),AD(:,2),256,Fs);"},
        CommandCase{A::kTransfer, 0, 1, 256, 3, 10, false, "tfe(AD(:,1),AD(:,2),256,Fs*3);"},
        CommandCase{A::kAutoCorrelation, 0, 0, 256, 1, 10, false,
                    "[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;"},
        CommandCase{A::kAutoCorrelation, 0, 0, 256, 4, 10, false,
                    "[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/(Fs*4);"},
        CommandCase{A::kCrossCorrelation, 0, 1, 256, 1, 10, false,
                    "[c,lags]=xcorr(AD(:,1),AD(:,2),'coeff');lags = lags/Fs;"},
        CommandCase{A::kCrossCorrelation, 2, 1, 256, 4, 10, false,
                    "[c,lags]=xcorr(AD(:,3),AD(:,2),'coeff');lags = lags/(Fs*4);"}));

TEST(EngineRateTextTest, BaseRateMultipliedRateAndTheCorrelationsParentheses) {
  EXPECT_EQ(EngineRateText(1, false), "Fs");
  EXPECT_EQ(EngineRateText(1, true), "Fs");
  EXPECT_EQ(EngineRateText(0, false), "Fs");
  EXPECT_EQ(EngineRateText(4, false), "Fs*4");
  EXPECT_EQ(EngineRateText(4, true), "(Fs*4)");
}

TEST(EngineBurgOrderTest, IsAClampedNumberNeverTheEditsText) {
  const std::pair<const char*, int32_t> cases[] = {
      {"12", 12}, {" 7 ", 7}, {"0", 1}, {"-3", 1}, {"5000", kMaxBurgOrder}, {"abc", 10}, {"", 10},
      {"10);system('rm x');", 10}, {"8,Fs);evil", 10}};
  for (const auto& [text, order] : cases) EXPECT_EQ(ParseBurgOrder(text), order) << text;
}

// ---- the texts of the send ----

TEST(EngineTextSlotsTest, CutTo31BytesOnACharacterBoundary) {
  const std::string ascii31(31, 'a');
  const std::string ascii30(30, 'b');
  const std::string longer = ascii30 + "通道";  // the first character would straddle byte 31
  EngineTextSlots slots({ascii31, ascii31 + "z", longer, "转速", ""});
  char** p = slots.Pointers();
  EXPECT_EQ(std::string(p[0]), ascii31);
  EXPECT_EQ(std::string(p[1]), ascii31);
  EXPECT_EQ(std::string(p[2]), ascii30);
  EXPECT_EQ(std::string(p[3]), "转速");
  EXPECT_EQ(std::string(p[4]), "");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(p[i][31], '\0');
  EXPECT_EQ(CutUtf8(ascii30 + "a通", 31), ascii30 + "a");
  EXPECT_EQ(CutUtf8("ab通", 5), "ab通");
  EXPECT_EQ(CutUtf8("ab通", 4), "ab");
}

TEST_F(EngineSequenceTest, SendHandsTheAnalogChannelsNamesAndTheShownRange) {
  state.config.AnalogChannelTable[1].ChnName = std::string(29, 'x') + "转速";
  state.config.AnalogChannelTable[2].ChnUnits = "N·m";
  EXPECT_TRUE(SendDisplayData(session, state, false, hooks));
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"send"}));
  EXPECT_EQ(engine.sentAnalogNum, 4);
  EXPECT_EQ(engine.sentXPosition, 100);
  EXPECT_EQ(engine.sentWidth, 2000);
  EXPECT_EQ(engine.sentNames[0], "通道0");
  EXPECT_EQ(engine.sentNames[1], std::string(29, 'x'));
  EXPECT_EQ(engine.sentUnits[2], "N·m");
  EXPECT_EQ(session.EngineDataSent, 1);
  EXPECT_EQ(sentHooks, 1);
  EXPECT_EQ(statuses.back(), "变量名有:采样值AD(iPoint,iChn),采样时间Fs,ChnName(),ChnUint()");
  EXPECT_TRUE(SendDisplayData(session, state, true, hooks));
  EXPECT_EQ(engine.calls.back(), "orig");
}

TEST_F(EngineSequenceTest, SendRefusals) {
  engine.sendResult = 0;
  EXPECT_FALSE(SendDisplayData(session, state, false, hooks));
  EXPECT_EQ(statuses.back(), "送AD值到MATLAB失败!");
  EXPECT_EQ(session.EngineDataSent, 0);
  state.display.DispValid = 0;
  session.EngineDataSent = 1;
  EXPECT_FALSE(SendDisplayData(session, state, false, hooks));
  EXPECT_EQ(statuses.back(), "错误!无AD数据!");
  EXPECT_EQ(session.EngineDataSent, 0);
  state.display.DispValid = 1;
  state.config.Analog_Num = 0;
  EXPECT_FALSE(SendDisplayData(session, state, false, hooks));
  EXPECT_EQ(statuses.back(), "错误：没有模拟量通道！");
  session.EngineStarted = 0;
  EXPECT_FALSE(SendDisplayData(session, state, false, hooks));
  EXPECT_EQ(statuses.back(), "错误!未启动MATLAB!");
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"send"}));
  EXPECT_EQ(sentHooks, 0);
}

// ---- start and close ----

TEST_F(EngineSequenceTest, StartNeedsAnAnswerOfOneAndCloseClearsTheFlags) {
  session.EngineStarted = 0;
  for (int32_t answer : {0, 2, -1}) {
    engine.initialResult = answer;
    EXPECT_FALSE(StartOrCloseEngine(session, hooks));
    EXPECT_EQ(session.EngineStarted, 0);
  }
  EXPECT_TRUE(statuses.empty());
  engine.initialResult = 1;
  EXPECT_TRUE(StartOrCloseEngine(session, hooks));
  EXPECT_EQ(session.EngineStarted, 1);
  EXPECT_EQ(statuses.back(), "MATLAB已启动,请先送AD结果给MATLAB.");
  session.EngineDataSent = 1;
  EXPECT_FALSE(StartOrCloseEngine(session, hooks));
  EXPECT_EQ(session.EngineStarted, 0);
  EXPECT_EQ(session.EngineDataSent, 0);
  EXPECT_EQ(engine.calls.back(), "close");
  EXPECT_EQ(statuses.back(), "请先启动MATLAB以进行下一步操作!");
  // A library without the entry never starts.
  session.Entries.InitialEngine = nullptr;
  EXPECT_FALSE(StartOrCloseEngine(session, hooks));
}

// ---- the analyses ----

struct FetchCase {
  A analysis;
  int32_t kind;
  const char* sent;     // with the prefix
  const char* getter;   // "double:" or "complex:"
  const char* result;
  const char* axis;
  const char* progress;
  const char* success;
};

class EngineFetchTest : public EngineSequenceTest, public ::testing::WithParamInterface<FetchCase> {};

TEST_P(EngineFetchTest, SendsThePrefixedCommandFetchesAndHandsTheCurveOver) {
  const FetchCase& k = GetParam();
  engine.results[k.sent] = {{k.result, {1.0, 2.0, 3.0}}, {k.axis, {0.0, 5.0, 10.0}}};
  EXPECT_EQ(Run(k.analysis, "0", "1"), EngineOutcome::kShown);
  EXPECT_EQ(Commands(), (std::vector<std::string>{k.sent}));
  const std::vector<std::string> tail(engine.calls.end() - 3, engine.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{std::string("size:") + k.result, k.getter + std::string(k.result),
                                            std::string("double:") + k.axis}));
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].kind, k.kind);
  EXPECT_EQ(handed[0].y, (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(handed[0].x, (std::vector<double>{0.0, 5.0, 10.0}));
  EXPECT_EQ(handed[0].a, "通道0");
  const bool pair = EngineAnalysisRowOf(k.analysis).Channels == 2;
  EXPECT_EQ(handed[0].b, pair ? "通道1" : "");
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(statuses.back(), k.success);
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), k.progress), statuses.end()) << k.progress;
  EXPECT_EQ(busyShown, k.analysis == A::kBurg ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineFetchTest,
    ::testing::Values(
        FetchCase{A::kPowerDensity, 1, "[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);", "double:", "Pxx", "f",
                  "提示:正在计算 通道0 的功率谱...", "功率谱图形已显示!"},
        FetchCase{A::kCrossPower, 2, "[Pxy,f]=csd(AD(:,1),AD(:,2),256,Fs);", "complex:", "Pxy", "f",
                  "提示:正在计算 通道0 与 通道1 的互功率谱...", "互功率谱图形已显示!"},
        FetchCase{A::kBurg, 3, "[Pxx,f]=pburg(AD(:,1),10,256,Fs);", "double:", "Pxx", "f", "提示:正在计算 通道0",
                  "Burg法功率谱图形已显示!"},
        FetchCase{A::kCoherence, 7, "[Cxy,f]=cohere(AD(:,1),AD(:,2),256,Fs);", "double:", "Cxy", "f",
                  "提示:正在计算 通道0 与 通道1 的相干函数...", "相干函数图形已显示!"},
        // Mended: the complex transfer function comes as magnitudes, not
        // by its real values.
        FetchCase{A::kTransfer, 4, "[Txy,f]=tfe(AD(:,1),AD(:,2),256,Fs);", "complex:", "Txy", "f",
                  "提示:正在计算 通道0 与 通道1 的传递函数...", "传递函数图形已显示!"},
        FetchCase{A::kAutoCorrelation, 5, "[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;", "double:", "c",
                  "lags", "提示:正在计算 通道0 的自相关函数...", "自相关函数图形已显示!"},
        FetchCase{A::kCrossCorrelation, 6, "[c,lags]=xcorr(AD(:,1),AD(:,2),'coeff');lags = lags/Fs;", "double:",
                  "c", "lags", "提示:正在计算 通道0 与 通道1 的互相关函数...", "相关函数图形已显示!"}));

TEST_F(EngineSequenceTest, WithoutDirectDisplayTheEngineDrawsAndNothingIsFetched) {
  session.DirectDisplay = 0;
  const std::pair<A, std::vector<std::string>> cases[] = {
      {A::kPowerDensity, {"pwelch(AD(:,1),[],[],256,Fs);"}},
      {A::kCoherence, {"cohere(AD(:,1),AD(:,2),256,Fs);"}},
      {A::kAutoCorrelation,
       {"[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;", "stem(lags,c);xlabel('Lags(s)');ylabel('Auto Correlation');"}},
      {A::kCrossCorrelation,
       {"[c,lags]=xcorr(AD(:,1),AD(:,2),'coeff');lags = lags/Fs;",
        "stem(lags,c);xlabel('Lags (s)');ylabel('Cross Correlation');"}},
  };
  for (const auto& [analysis, commands] : cases) {
    engine.calls.clear();
    EXPECT_EQ(Run(analysis), EngineOutcome::kDrawn);
    EXPECT_EQ(Commands(), commands);
    EXPECT_FALSE(Called("size:") || Called("double:") || Called("complex:"));
    EXPECT_EQ(statuses.back(), "CMD:" + commands[0]);
  }
  EXPECT_EQ(cleared, 0);
  EXPECT_TRUE(handed.empty());
}

TEST_F(EngineSequenceTest, APowerDensityWithoutResultTriesTheOlderFormExactlyOnce) {
  engine.results["[Pxx,f]=pwelch(AD(:,1),256,Fs);"] = {{"Pxx", {4.0, 5.0}}, {"f", {0.0, 1.0}}};
  EXPECT_EQ(Run(A::kPowerDensity), EngineOutcome::kShown);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"[Pxx,f]=pwelch(AD(:,1),[],[],256,Fs);",
                                                  "[Pxx,f]=pwelch(AD(:,1),256,Fs);"}));
  ASSERT_EQ(handed.size(), 1u);
  EXPECT_EQ(handed[0].y, (std::vector<double>{4.0, 5.0}));
  EXPECT_EQ(statuses.back(), "功率谱图形已显示!");
}

TEST_F(EngineSequenceTest, FailuresGiveTheFailureTextAndKeepNoResult) {
  EXPECT_EQ(Run(A::kPowerDensity), EngineOutcome::kFailed);
  EXPECT_EQ(Commands().size(), 2u);
  EXPECT_EQ(statuses.back(), "错误: 计算功率谱失败!");
  const std::pair<A, const char*> others[] = {
      {A::kCrossPower, "错误: 计算互功率谱失败!"},     {A::kBurg, "错误: 计算Burg法功率谱失败!"},
      {A::kCoherence, "错误: 计算相干函数失败!"},      {A::kTransfer, "错误: 计算传递函数失败!"},
      {A::kAutoCorrelation, "错误: 计算自相关函数失败!"}, {A::kCrossCorrelation, "错误: 计算相关函数失败!"}};
  for (const auto& [analysis, failure] : others) {
    engine.calls.clear();
    EXPECT_EQ(Run(analysis), EngineOutcome::kFailed);
    EXPECT_EQ(Commands().size(), 1u) << failure;
    EXPECT_EQ(statuses.back(), failure);
  }
  // An axis of another count than the result is a failed fetch.
  engine.results["[c,lags]=xcorr(AD(:,1),'coeff');lags = lags/Fs;"] = {{"c", {1.0, 2.0}}, {"lags", {0.0}}};
  EXPECT_EQ(Run(A::kAutoCorrelation), EngineOutcome::kFailed);
  EXPECT_TRUE(handed.empty());
}

TEST_F(EngineSequenceTest, RefusalsSendNothing) {
  const auto refused = [this](A analysis, const char* text, const std::string& c1 = "0", const std::string& c2 = "1") {
    engine.calls.clear();
    statuses.clear();
    EXPECT_EQ(Run(analysis, c1, c2), EngineOutcome::kRefused) << text;
    EXPECT_TRUE(engine.calls.empty()) << text;
    EXPECT_EQ(statuses, (std::vector<std::string>{text}));
    EXPECT_EQ(busyShown, 0);
  };
  state.layout.MultiFreqTable[1] = 4;
  refused(A::kCrossPower, "错误：两通道频率不同！");
  refused(A::kCrossCorrelation, "错误：两通道频率不同！");
  // Switch-input traces of the oscilloscope (numbers past the analog channels).
  state.display.DataSourceMode = 2;
  state.oscilTool.UseChn1 = 1;
  state.oscilTool.ChnAd1 = 5;
  refused(A::kPowerDensity, "错误：开关量通道不能进行谱分析！");
  state.oscilTool.ChnAd1 = 0;
  state.oscilTool.UseChn2 = 1;
  state.oscilTool.ChnAD2 = 150;  // beyond the rate table, too
  refused(A::kTransfer, "错误：开关量通道不能进行谱分析！");
  state.config.Analog_Num = 0;
  refused(A::kAutoCorrelation, "错误：没有模拟量通道！");
  state.config.Analog_Num = 4;
  session.EngineStarted = 0;
  refused(A::kPowerDensity, "未启动Matlab.");
}

TEST_F(EngineSequenceTest, AFailedSendStopsTheAnalysisAndRestoresTheCursor) {
  engine.sendResult = 0;
  EXPECT_EQ(Run(A::kPowerDensity), EngineOutcome::kNotSent);
  EXPECT_EQ(engine.calls, (std::vector<std::string>{"send"}));
  EXPECT_EQ(statuses.back(), "送AD值到MATLAB失败!");
  EXPECT_EQ(busyShown, 1);
  state.display.DispValid = 0;
  EXPECT_EQ(Run(A::kCoherence), EngineOutcome::kNotSent);
  EXPECT_EQ(statuses.back(), "错误!无AD数据!");
  EXPECT_EQ(busyShown, 2);
}

TEST_F(EngineSequenceTest, TypedNumbersReachTheCommandOnlyAsNumbers) {
  session.DirectDisplay = 0;
  state.layout.MultiFreqTable[3] = 4;
  Run(A::kPowerDensity, "-1", "0", "1000");
  Run(A::kBurg, "4", "0", "junk", "20);evil");
  EXPECT_EQ(Commands(), (std::vector<std::string>{"pwelch(AD(:,4),[],[],512,Fs*4);", "pburg(AD(:,1),10,32,Fs);"}));
}

}  // namespace
