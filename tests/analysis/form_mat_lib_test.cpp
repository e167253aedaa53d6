// The signal-processing library panel with the library loaded for real: the
// main window's command, the edits, the refusals, an analysis handed to the
// result window, saving the data file, and hiding.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <numbers>
#include <string>

#include "analysis/FormAnalysisResult.h"
#include "analysis/FormMatLib.h"
#include "view/MainWindowWithData.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

// The sine put on channel 0: an exact bin of a 256-point FFT at 10 kHz.
constexpr double kSineHz = 1250.0;

class FormMatLibTest : public test::MainWindowWithData {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormSpectrum> result;
  std::unique_ptr<TFormMatLib> panel;

  void TearDown() override {
    if (form) {
      form->SetMatLibPanel(nullptr);
      form->SetAnalysisResultWindow(nullptr);
    }
    panel.reset();
    result.reset();
    form.reset();
    state.startup.SignalLibModule.Free();
    MainWindowWithData::TearDown();
  }
  // The main window with the four channels on display (1200 points, the
  // first channel a sine, the second a copy, the others constant per block),
  // the library loaded as -S loads it when `library`, the panel and the
  // result window handed over.
  void Open(bool library = true) {
    form = WithData();
    LiveConfig& c = state.config;
    c.ChannelRate = 10000.0f;
    for (int32_t ch = 0; ch < c.Analog_Num; ++ch) {
      c.AnalogChannelTable[static_cast<size_t>(ch)].ChnName = "U" + std::to_string(ch + 1);
    }
    const size_t rows = state.acq.RingBuffer.size() / static_cast<size_t>(c.NumChn);
    for (size_t r = 0; r < rows; ++r) {
      const double v = 2048.0 + 1000.0 * std::sin(2.0 * std::numbers::pi * kSineHz * static_cast<double>(r) / 1e4);
      const auto code = static_cast<uint16_t>(std::lround(v));
      state.acq.RingBuffer[r * static_cast<size_t>(c.NumChn)] = code;
      state.acq.RingBuffer[r * static_cast<size_t>(c.NumChn) + 1] = code;
    }
    state.wave.XPosition = 0;
    state.wave.DisplayWidth = static_cast<int32_t>(rows);
    if (library) {
      ASSERT_TRUE(state.startup.SignalLibModule.Load(QUELVAR_SIGLIB_PATH));
      state.startup.LoadSignalLib = 1;
    }
    panel = std::make_unique<TFormMatLib>(state, registry, ui, *form);
    form->SetMatLibPanel(panel.get());
    result = std::make_unique<TFormSpectrum>(state, registry, ui, *form);
    form->SetAnalysisResultWindow(result.get());
    panel->SetResultWindow(result.get());
  }
  std::string Status() const { return panel->StatusText(); }
  void Type(QLineEdit* edit, const char* text) { edit->setText(QString::fromUtf8(text)); }
};

TEST_F(FormMatLibTest, CommandIsEnabledOnlyWithTheLibraryAndShowsThePanelAndTheResultItem) {
  Open(false);
  EXPECT_FALSE(form->menuMatlabLib->isEnabled());
  EXPECT_EQ(Status(), "请先按MATLAB格式组织AD数据!");
  form->SetMatLibPanel(nullptr);
  panel.reset();
  form->SetAnalysisResultWindow(nullptr);
  result.reset();
  state.startup.SignalLibModule.Free();
  form.reset();

  Open(true);
  EXPECT_TRUE(form->menuMatlabLib->isEnabled());
  EXPECT_EQ(panel->windowTitle().toStdString(), "独立信号处理面板");
  // The preparation button, the Burg spectrum and the real-time box are hidden;
  // saving the analysis data has no command.
  for (QWidget* hidden : std::initializer_list<QWidget*>{panel->ButtonSetArray, panel->ButtonPBurg, panel->EditOrder,
                                                         panel->EditFFTOrder, panel->UpDownFFT, panel->CheckBox1}) {
    EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
  }
  EXPECT_FALSE(panel->ButtonSaveSpectrum->isEnabled());
  EXPECT_EQ(panel->ButtonSaveSpectrum->toolTip().toStdString(), "此功能未实现");
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
  form->menuMatlabLib->trigger();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(form->menuViewSpectrum->isVisible());
  form->SetMatLibPanel(nullptr);
  EXPECT_FALSE(form->menuMatlabLib->isEnabled());
}

TEST_F(FormMatLibTest, EditsFollowTheSharedRulesWithTheirOwnDefault) {
  Open();
  struct Case {
    const char* typed;
    const char* shown;
  };
  for (const Case& c : {Case{"1000", "512"}, Case{"70000", "65536"}, Case{"40", "32"}, Case{"junk", "1024"}}) {
    Type(panel->EditFFT, c.typed);
    panel->EditFFTChange();
    EXPECT_EQ(panel->EditFFT->text().toStdString(), c.shown) << c.typed;
  }
  panel->UpDownFFT->setValue(10);
  EXPECT_EQ(panel->EditFFT->text().toStdString(), "1024");
  panel->UpDownFFT->setValue(16);
  panel->UpDownFFT->stepUp();  // wraps to 5
  EXPECT_EQ(panel->EditFFT->text().toStdString(), "32");

  Type(panel->EditChn1, "-1");
  panel->EditChn1Change();
  EXPECT_EQ(panel->EditChn1->text().toStdString(), "3");
  EXPECT_EQ(panel->EditChn1->toolTip().toStdString(), "通道名:U4");
  EXPECT_EQ(Status(), "提示:处理通道的名称为:U4");
  Type(panel->EditChn2, "4");
  panel->EditChn2Change();
  EXPECT_EQ(panel->EditChn2->text().toStdString(), "0");
  EXPECT_EQ(Status(), "提示:第二处理通道的名称为:U1");
  // The up-down steps beyond either end and comes back round.
  panel->UpDownChn2->setValue(-1);
  EXPECT_EQ(panel->EditChn2->text().toStdString(), "3");
  panel->UpDownChn2->stepUp();
  EXPECT_EQ(panel->EditChn2->text().toStdString(), "0");

  panel->FormActivate();
  EXPECT_EQ(panel->EditFFT->toolTip().toStdString(), "数据点数:1200");
  EXPECT_EQ(Status(), "提示:处理的数据点数=1200");
}

TEST_F(FormMatLibTest, PowerDensityOfTheShownDataReachesTheResultWindow) {
  Open();
  panel->ButtonPSDClick();
  EXPECT_EQ(Status(), "功率谱图形已显示!");
  EXPECT_EQ(panel->LibraryDataPrepared, 1);
  const AnalysisResult& r = result->Result;
  EXPECT_EQ(r.Valid, 1);
  EXPECT_EQ(r.Kind, kAnalysisPowerDensity);
  EXPECT_EQ(r.Title, "U1的功率谱");
  ASSERT_EQ(r.Points, 129);  // one-sided, NFFT 256
  EXPECT_EQ(r.Count, 129);
  ASSERT_EQ(r.X.size(), 129U);
  EXPECT_DOUBLE_EQ(r.X.front(), 0.0);
  EXPECT_NEAR(r.X.back(), 5000.0, 1e-9);
  const auto peak = std::max_element(r.Y.begin(), r.Y.end()) - r.Y.begin();
  EXPECT_NEAR(r.X[static_cast<size_t>(peak)], kSineHz, 1e-9);
  EXPECT_TRUE(result->isVisible());
  EXPECT_TRUE(form->menuViewSpectrum->isVisible());
}

TEST_F(FormMatLibTest, TwoChannelAnalysesNameBothChannelsAndBurgLeavesTheMenuItem) {
  Open();
  Type(panel->EditChn2, "1");
  panel->ButtonCorrClick();
  EXPECT_EQ(Status(), "相关函数图形已显示!");
  EXPECT_EQ(result->Result.Kind, kAnalysisCrossCorrelation);
  EXPECT_EQ(result->Result.Title, "U1 与 U2的互相关函数");
  EXPECT_EQ(result->Result.Points, 2 * 1200 - 1);  // every lag
  // A channel and its copy: the correlation peaks at 1 at lag 0.
  EXPECT_NEAR(*std::max_element(result->Result.Y.begin(), result->Result.Y.end()), 1.0, 1e-9);
  EXPECT_TRUE(form->menuViewSpectrum->isVisible());

  form->menuViewSpectrum->setVisible(false);
  panel->ButtonPBurgClick();
  EXPECT_EQ(Status(), "Burg法功率谱图形已显示!");
  EXPECT_EQ(result->Result.Kind, kAnalysisBurg);
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
}

TEST_F(FormMatLibTest, RefusalsLeaveThePreviousResultShown) {
  Open();
  panel->ButtonPSDClick();
  ASSERT_EQ(result->Result.Valid, 1);
  const std::string title = result->Result.Title;

  struct Case {
    const char* what;
    std::function<void(AppState&)> set;
    void (TFormMatLib::*click)();
    const char* status;
    bool prepares;  // the preparation ran (and reset the kind)
  };
  const Case cases[] = {
      {"no data", [](AppState& s) { s.display.DispValid = 0; }, &TFormMatLib::ButtonPSDClick,
       "错误: 无可用的AD值!", true},
      {"two rates", [](AppState& s) { s.layout.MultiFreqTable[1] = 4; }, &TFormMatLib::ButtonCPSDClick,
       "错误：两通道频率不同！", false},
      {"switch trace",
       [](AppState& s) {
         s.display.DataSourceMode = 2;
         s.oscilTool.UseChn1 = 1;
         s.oscilTool.ChnAd1 = s.config.Analog_Num;  // the first switch input
       },
       &TFormMatLib::ButtonAutoCorrClick, "错误：开关量通道不能进行谱分析！", false},
      {"no analog channel", [](AppState& s) { s.config.Analog_Num = 0; }, &TFormMatLib::ButtonPSDClick,
       "错误：没有模拟量通道！", false},
  };
  for (const Case& c : cases) {
    // What the cases change, put back after each.
    const DisplayDescriptor display = state.display;
    const SampleLayout layout = state.layout;
    const OscilToolSettings oscil = state.oscilTool;
    const int32_t analogNum = state.config.Analog_Num;
    Type(panel->EditChn1, "0");
    Type(panel->EditChn2, "1");
    c.set(state);
    result->Result.Kind = kAnalysisPowerDensity;
    (panel.get()->*c.click)();
    EXPECT_EQ(Status(), c.status) << c.what;
    EXPECT_EQ(panel->LibraryDataPrepared, 0) << c.what;
    EXPECT_EQ(result->Result.Valid, 1) << c.what;
    EXPECT_EQ(result->Result.Title, title) << c.what;
    EXPECT_EQ(result->Result.Kind, c.prepares ? kAnalysisNone : kAnalysisPowerDensity) << c.what;
    state.display = display;
    state.layout = layout;
    state.oscilTool = oscil;
    state.config.Analog_Num = analogNum;
  }
  state.display.DispValid = 0;
  panel->ButtonSetArrayClick();
  EXPECT_EQ(Status(), "错误!无AD数据!");
}

TEST_F(FormMatLibTest, WithoutTheLibraryNothingIsPrepared) {
  Open(false);
  panel->ButtonSetArrayClick();
  EXPECT_EQ(Status(), "按MATLAB格式建立AD变量失败!");
  panel->ButtonCohereClick();
  EXPECT_EQ(Status(), "错误: 无可用的AD值!");
  EXPECT_EQ(result->Result.Valid, 0);
  panel->ButtonSaveADClick();
  EXPECT_EQ(Status(), "错误: 无可用的AD值!");
  EXPECT_TRUE(ui.PromptsOf(Kind::SaveFile).empty());
}

TEST_F(FormMatLibTest, SavesTheDataFileChosenInTheDialogAndNothingWhenCancelled) {
  Open();
  const std::string path = (dir / "shown.MAT").string();
  ui.fileAnswers.push_back(path);
  panel->ButtonSaveADClick();
  ASSERT_EQ(ui.PromptsOf(Kind::SaveFile).size(), 1U);
  const platform::FileDialogRequest asked = ui.PromptsOf(Kind::SaveFile)[0].file;
  EXPECT_EQ(asked.title, "选择要保存的MATLAB数据文件名");
  EXPECT_EQ(asked.defaultExt, "MAT");
  EXPECT_EQ(asked.filter, "MATLAB数据文件(*.MAT)|*.MAT");
  EXPECT_EQ(asked.fileName, "");
  EXPECT_EQ(Status(), "MATLAB可直接用AD文件：" + path);
  EXPECT_GT(std::filesystem::file_size(path), 0U);

  std::filesystem::remove(path);
  ui.fileAnswers.push_back(std::nullopt);
  panel->ButtonSaveADClick();
  EXPECT_EQ(ui.PromptsOf(Kind::SaveFile).size(), 2U);
  EXPECT_EQ(panel->LibraryDataPrepared, 1);  // prepared all the same
  EXPECT_EQ(Status(), "预处理完成,对AD可进一步保存、处理");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FormMatLibTest, AFileTheLibraryCannotWriteIsReported) {
  Open();
  ui.fileAnswers.push_back((dir / "no-such-folder" / "x.MAT").string());
  panel->ButtonSaveADClick();
  EXPECT_EQ(Status(), "错误: 保存MATLAB数据文件失败!");
}

TEST_F(FormMatLibTest, ExitHidesThePanelAndTheResultItemHidingKeepsTheItem) {
  Open();
  form->menuMatLabLibClick();
  panel->ButtonPSDClick();
  ASSERT_TRUE(result->isVisible());
  panel->hide();
  EXPECT_FALSE(result->isVisible());
  EXPECT_TRUE(form->menuViewSpectrum->isVisible());

  form->menuMatLabLibClick();
  result->show();
  panel->ButtonExitClick();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(result->isVisible());
  EXPECT_FALSE(form->menuViewSpectrum->isVisible());
}

}  // namespace
