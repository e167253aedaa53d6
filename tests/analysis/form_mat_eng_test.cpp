// The engine analysis panel on a main window with data: its components, the
// main window's command, start and close, the edits, the result window and
// its menu item, and a real analysis through GNU Octave (octave-cli with the
// signal package, as scripts/install-deps installs it).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <dirent.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/FormAnalysisResult.h"
#include "analysis/FormMatEng.h"
#include "view/MainWindowWithData.h"

namespace {

using namespace quelvar;

// A stub library that starts, sends and evaluates without an engine.
int32_t stubStarts = 0, stubCloses = 0, stubCommands = 0;
int32_t StubInitial() {
  ++stubStarts;
  return 1;
}
void StubClose() { ++stubCloses; }
int32_t StubSend(const uint16_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, char**, char**,
                 const float*, const float*, const int32_t*, const int32_t*, const int32_t*, int32_t, int32_t, float,
                 float, float) {
  return 1;
}
int32_t StubCmd(const char*) {
  ++stubCommands;
  return 1;
}
int32_t StubNoVariable(const char*) { return 0; }

class FormMatEngTest : public test::MainWindowWithData {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormSpectrum> resultWindow;
  std::unique_ptr<TFormMatEng> panel;

  void TearDown() override {
    if (panel && panel->Session.EngineStarted != 0 && panel->Session.Entries.CloseEngine != nullptr) {
      panel->Session.Entries.CloseEngine();
    }
    if (form) {
      form->SetMatEngPanel(nullptr);
      form->SetAnalysisResultWindow(nullptr);
    }
    panel.reset();
    resultWindow.reset();
    form.reset();
    MainWindowWithData::TearDown();
  }
  // The main window with a sine on every channel (channel c at its own
  // frequency), the result window and the panel handed over.
  // With `library` the real engine library is loaded as the main window
  // would load it (the window's own attempt finds none here).
  void Build(bool engineLoaded = true, bool library = false) {
    form = WithData(1000);
    if (library) {
      ASSERT_TRUE(state.startup.EngineModule.Load(QUELVAR_ENGINE_LIBRARY)) << state.startup.EngineModule.ErrorText();
    }
    LiveConfig& c = state.config;
    for (size_t i = 0; i < state.acq.RingBuffer.size(); ++i) {
      const double row = static_cast<double>(i / c.NumChn);
      const double channel = static_cast<double>(i % c.NumChn);
      state.acq.RingBuffer[i] = static_cast<uint16_t>(2048 + 1000 * std::sin(0.2 * (channel + 1) * row));
    }
    const char* names[] = {"转速", "扭矩", "电压", "电流"};
    for (int k = 0; k < 4; ++k) c.AnalogChannelTable[k].ChnName = names[k];
    state.startup.EngineLoaded = engineLoaded ? 1 : 0;
    resultWindow = std::make_unique<TFormSpectrum>(state, registry, ui, *form);
    form->SetAnalysisResultWindow(resultWindow.get());
    panel = std::make_unique<TFormMatEng>(state, registry, *form);
    panel->SetResultWindow(resultWindow.get());
    form->SetMatEngPanel(panel.get());
  }
  void UseStub() {
    EngineEntries e;
    e.InitialEngine = StubInitial;
    e.CloseEngine = StubClose;
    e.SendADToMatlab = StubSend;
    e.SendCmd = StubCmd;
    e.GetMatlabVarSize = StubNoVariable;
    panel->Session.Entries = e;
  }
  std::string Status() const { return panel->StatusBar1->currentMessage().toStdString(); }
  std::vector<QPushButton*> Analyses() const {
    return {panel->ButtonPSD,      panel->ButtonCPSD,     panel->ButtonPBurg, panel->ButtonCohere,
            panel->ButtonTransfer, panel->ButtonAutoCorr, panel->ButtonCorr};
  }
  void Type(QLineEdit* edit, const char* text, void (TFormMatEng::*handler)()) {
    edit->setText(QString::fromUtf8(text));
    (panel.get()->*handler)();
  }
};

TEST_F(FormMatEngTest, ComponentsCaptionsAndHintsAsDesigned) {
  Build();
  EXPECT_EQ(panel->windowTitle().toStdString(), "MATLAB环境信号处理面板");
  const std::pair<QWidget*, const char*> captions[] = {
      {panel->ButtonStart, "启动MATLAB"},    {panel->ButtonSend, "AD值送MATLAB"}, {panel->ButtonExit, "退出"},
      {panel->CheckBoxOrigAD, "原始量"},      {panel->CheckBoxDirectDisp, "独立图形"},
      {panel->ButtonDispSpect, "谱图窗口"},  {panel->LabelChn1, "处理通道"},    {panel->LabelChn2, "第二通道"},
      {panel->LabelFFT, "FFT点数"},          {panel->LabelOrder, "阶"},          {panel->ButtonPSD, "求功率谱"},
      {panel->ButtonCPSD, "求互功率谱"},     {panel->ButtonPBurg, "Berg法的谱"}, {panel->ButtonCohere, "求相干函数"},
      {panel->ButtonTransfer, "求传递函数"}, {panel->ButtonAutoCorr, "求自相关"}, {panel->ButtonCorr, "求互相关"},
      {panel->EditChn1, "0"},                {panel->EditChn2, "0"},              {panel->EditFFT, "256"},
      {panel->EditFFTOrder, "8"},            {panel->EditOrder, "10"}};
  for (const auto& [widget, caption] : captions) {
    QString text = widget->property("text").toString();
    EXPECT_EQ(text.toStdString(), caption) << widget->objectName().toStdString();
  }
  const std::pair<QPushButton*, const char*> hints[] = {
      {panel->ButtonPSD, "处理通道的功率谱函数"},
      {panel->ButtonCPSD, "处理通道与第二通道之间的互功率谱"},
      {panel->ButtonCohere, "处理通道与第二通道之间的相干函数"},
      {panel->ButtonTransfer, "处理通道对第二通道的传递函数"},
      {panel->ButtonAutoCorr, "处理通道的自相关函数"},
      {panel->ButtonCorr, "处理通道与第二通道之间的互相关"}};
  for (const auto& [button, hint] : hints) EXPECT_EQ(button->toolTip().toStdString(), hint);
  for (QWidget* hidden : {static_cast<QWidget*>(panel->ButtonPBurg), static_cast<QWidget*>(panel->EditOrder),
                          static_cast<QWidget*>(panel->LabelOrder), static_cast<QWidget*>(panel->EditFFTOrder),
                          static_cast<QWidget*>(panel->UpDownFFT)}) {
    EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
  }
  EXPECT_FALSE(panel->ButtonSend->isEnabled());
  EXPECT_FALSE(panel->ButtonDispSpect->isEnabled());
  EXPECT_FALSE(panel->CheckBoxDirectDisp->isChecked());
  for (QPushButton* b : Analyses()) EXPECT_FALSE(b->isEnabled());
  EXPECT_EQ(Status(), "请先启动MATLAB以进行下一步操作!");
}

TEST_F(FormMatEngTest, TheCommandIsEnabledOnlyWithTheLibraryAndShowsThePanel) {
  Build(false);
  EXPECT_FALSE(form->menuMatlabEngine->isEnabled());
  form->SetMatEngPanel(nullptr);
  state.startup.EngineLoaded = 1;
  EXPECT_FALSE(form->menuMatlabEngine->isEnabled());
  form->SetMatEngPanel(panel.get());
  EXPECT_TRUE(form->menuMatlabEngine->isEnabled());
  form->menuMatlabEngine->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(panel->isVisible());
  // Showing runs the activation: the channel hint and the points on show.
  EXPECT_EQ(panel->EditChn1->toolTip().toStdString(), "通道名:转速");
  const std::string points = std::to_string(state.wave.DisplayWidth);
  EXPECT_EQ(panel->EditFFT->toolTip().toStdString(), "数据点数:" + points);
  EXPECT_EQ(Status(), "提示:处理的数据点数=" + points);
  state.display.DispValid = 0;
  panel->FormActivate();
  EXPECT_EQ(Status(), "警告:没有AD数据可供处理!");
}

TEST_F(FormMatEngTest, StartAndCloseSwitchCaptionAndButtons) {
  Build();
  UseStub();
  stubStarts = stubCloses = 0;
  panel->ButtonStart->click();
  EXPECT_EQ(stubStarts, 1);
  EXPECT_EQ(panel->ButtonStart->text().toStdString(), "关闭MATLAB");
  EXPECT_TRUE(panel->ButtonSend->isEnabled());
  for (QPushButton* b : Analyses()) EXPECT_TRUE(b->isEnabled());
  EXPECT_EQ(Status(), "MATLAB已启动,请先送AD结果给MATLAB.");
  panel->ButtonSend->click();
  EXPECT_EQ(Status(), "变量名有:采样值AD(iPoint,iChn),采样时间Fs,ChnName(),ChnUint()");
  EXPECT_FALSE(panel->ButtonPBurg->isEnabled());
  EXPECT_TRUE(panel->ButtonCorr->isEnabled());
  panel->ButtonStart->click();
  EXPECT_EQ(stubCloses, 1);
  EXPECT_EQ(panel->ButtonStart->text().toStdString(), "启动MATLAB");
  EXPECT_FALSE(panel->ButtonSend->isEnabled());
  for (QPushButton* b : Analyses()) EXPECT_FALSE(b->isEnabled());
  EXPECT_EQ(Status(), "请先启动MATLAB以进行下一步操作!");
  // A panel without an engine library refuses to start and says so nowhere.
  panel->Session.Entries = EngineEntries{};
  panel->ButtonStartClick();
  EXPECT_EQ(panel->ButtonStart->text().toStdString(), "启动MATLAB");
  EXPECT_EQ(panel->Session.EngineStarted, 0);
  panel->ButtonPSDClick();
  EXPECT_EQ(Status(), "未启动Matlab.");
}

TEST_F(FormMatEngTest, EditRulesForPointsOrderAndChannels) {
  Build();
  const std::pair<const char*, const char*> fft[] = {
      {"1000", "512"}, {"70000", "65536"}, {"40", "32"}, {"junk", "32"}, {"64", "64"}, {"", "32"}};
  for (const auto& [typed, shown] : fft) {
    Type(panel->EditFFT, typed, &TFormMatEng::EditFFTChange);
    EXPECT_EQ(panel->EditFFT->text().toStdString(), shown) << typed;
  }
  Type(panel->EditFFTOrder, "10", &TFormMatEng::EditFFTOrderChange);
  EXPECT_EQ(panel->EditFFT->text().toStdString(), "1024");
  // The order's arrows wrap at 16 and 5.
  Type(panel->EditFFTOrder, "16", &TFormMatEng::EditFFTOrderChange);
  EXPECT_EQ(panel->EditFFT->text().toStdString(), "65536");
  panel->UpDownFFT->Position = 16;
  panel->UpDownFFT->Up->click();
  EXPECT_EQ(panel->EditFFT->text().toStdString(), "32");
  panel->UpDownFFT->Down->click();
  EXPECT_EQ(panel->EditFFT->text().toStdString(), "65536");

  Type(panel->EditChn1, "-1", &TFormMatEng::EditChn1Change);
  EXPECT_EQ(panel->EditChn1->text().toStdString(), "3");
  EXPECT_EQ(panel->EditChn1->toolTip().toStdString(), "通道名:电流");
  EXPECT_EQ(Status(), "提示:处理通道的名称为:电流");
  Type(panel->EditChn2, "4", &TFormMatEng::EditChn2Change);
  EXPECT_EQ(panel->EditChn2->text().toStdString(), "0");
  EXPECT_EQ(Status(), "提示:第二处理通道的名称为:转速");
  panel->UpDownChn2->Down->click();
  EXPECT_EQ(panel->EditChn2->text().toStdString(), "3");
  panel->UpDownChn1->Up->click();
  EXPECT_EQ(panel->EditChn1->text().toStdString(), "0");
  // A trace on a switch input says so.
  state.display.DataSourceMode = 2;
  state.oscilTool.UseChn1 = 1;
  state.oscilTool.ChnAd1 = 6;
  panel->EditChn1Change();
  EXPECT_EQ(panel->EditChn1->text().toStdString(), "6");
  EXPECT_EQ(Status(), "错误：开关量通道不能进行谱分析！");
}

TEST_F(FormMatEngTest, DirectDisplayShowsTheMenuItemAndHidingThePanelHidesTheResult) {
  Build();
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
  panel->CheckBoxDirectDisp->click();
  EXPECT_EQ(panel->Session.DirectDisplay, 1);
  EXPECT_TRUE(form->menuViewSpectrum->isVisible());
  EXPECT_TRUE(panel->ButtonDispSpect->isEnabled());
  panel->show();
  panel->ButtonDispSpect->click();
  EXPECT_TRUE(resultWindow->isVisible());
  panel->ButtonExit->click();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(resultWindow->isVisible());
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
  panel->CheckBoxDirectDisp->click();
  EXPECT_EQ(panel->Session.DirectDisplay, 0);
  EXPECT_FALSE(panel->ButtonDispSpect->isEnabled());
}

TEST_F(FormMatEngTest, FailedAnalysesRestoreTheCursorAndKeepNoResult) {
  Build();
  UseStub();
  panel->ButtonStartClick();
  panel->CheckBoxDirectDisp->click();
  resultWindow->Result.Valid = 1;
  panel->ButtonTransferClick();
  EXPECT_EQ(Status(), "错误: 计算传递函数失败!");
  EXPECT_EQ(resultWindow->Result.Valid, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  state.layout.MultiFreqTable[1] = 4;
  panel->EditChn2->setText("1");
  stubCommands = 0;
  panel->ButtonCPSDClick();
  EXPECT_EQ(Status(), "错误：两通道频率不同！");
  EXPECT_EQ(stubCommands, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- through GNU Octave ----

// The processes this test process has started.
std::vector<pid_t> Children() {
  std::vector<pid_t> out;
  DIR* d = opendir("/proc");
  if (d == nullptr) return out;
  while (const dirent* e = readdir(d)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t paren = text.rfind(')');
    char state = 0;
    int ppid = 0;
    if (paren != std::string::npos && std::sscanf(text.c_str() + paren + 1, " %c %d", &state, &ppid) == 2 &&
        ppid == getpid()) {
      out.push_back(pid);
    }
  }
  closedir(d);
  return out;
}

class FormMatEngOctaveTest : public FormMatEngTest {
 protected:
  std::optional<std::string> oldOctave_;
  void SetUp() override {
    FormMatEngTest::SetUp();
    if (const char* old = std::getenv("HALDREVON_OCTAVE")) oldOctave_ = old;
    setenv("HALDREVON_OCTAVE", "octave-cli", 1);
  }
  void TearDown() override {
    FormMatEngTest::TearDown();
    if (oldOctave_) setenv("HALDREVON_OCTAVE", oldOctave_->c_str(), 1);
    else unsetenv("HALDREVON_OCTAVE");
  }
  void BuildWithEngine() {
    Build(true, true);
    panel->show();
    panel->ButtonStart->click();
    ASSERT_EQ(panel->Session.EngineStarted, 1) << Status();
  }
};

TEST_F(FormMatEngOctaveTest, APowerDensityIsHandedToTheResultWindow) {
  BuildWithEngine();
  if (HasFatalFailure()) return;
  panel->CheckBoxDirectDisp->click();
  panel->ButtonPSD->click();
  EXPECT_EQ(Status(), "功率谱图形已显示!");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const AnalysisResult& r = resultWindow->Result;
  EXPECT_EQ(r.Valid, 1);
  EXPECT_EQ(r.Kind, kAnalysisPowerDensity);
  EXPECT_EQ(r.Title, "转速的功率谱");
  ASSERT_GT(r.Count, 2);
  EXPECT_EQ(r.Y.size(), static_cast<size_t>(r.Count));
  EXPECT_EQ(r.X.front(), 0.0);
  EXPECT_TRUE(resultWindow->isVisible());
  EXPECT_TRUE(form->menuViewSpectrum->isVisible());

  // The transfer function arrives as magnitudes.
  panel->EditChn2->setText("1");
  panel->ButtonTransfer->click();
  EXPECT_EQ(Status(), "传递函数图形已显示!");
  EXPECT_EQ(r.Kind, kAnalysisTransfer);
  for (double v : r.Y) EXPECT_GE(v, 0.0);

  // Without "独立图形" the engine draws (here it cannot: no display) and the
  // result on show stays.
  const std::vector<double> kept = r.Y;
  panel->CheckBoxDirectDisp->click();
  panel->ButtonPSD->click();
  EXPECT_EQ(Status(), "CMD:pwelch(AD(:,1),[],[],256,Fs);");
  EXPECT_EQ(r.Valid, 1);
  EXPECT_EQ(r.Kind, kAnalysisTransfer);
  EXPECT_EQ(r.Y, kept);

  panel->ButtonStart->click();
  EXPECT_EQ(panel->Session.EngineStarted, 0);
}

TEST_F(FormMatEngOctaveTest, ADeadEngineIsReportedAndNothingHangs) {
  BuildWithEngine();
  if (HasFatalFailure()) return;
  for (pid_t child : Children()) kill(child, SIGKILL);
  panel->CheckBoxDirectDisp->click();
  resultWindow->Result.Valid = 1;
  panel->ButtonPSD->click();
  EXPECT_EQ(Status(), "送AD值到MATLAB失败!");
  EXPECT_EQ(panel->Session.EngineDataSent, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // Closed and started again, the panel works with a new engine.
  panel->ButtonStart->click();
  panel->ButtonStart->click();
  ASSERT_EQ(panel->Session.EngineStarted, 1);
  panel->ButtonAutoCorr->click();
  EXPECT_EQ(Status(), "自相关函数图形已显示!");
  EXPECT_EQ(resultWindow->Result.Kind, kAnalysisAutoCorrelation);
  EXPECT_EQ(resultWindow->Result.Title, "转速的自相关函数");
}

}  // namespace
