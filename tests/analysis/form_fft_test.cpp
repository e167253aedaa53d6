// The built-in FFT panel on a main window with data: its settings, how the
// main window and the oscilloscope panel show it, the analyses after each
// redraw and after a stop, the plot, table and zoom commands, the picture
// copy, and the worker thread of long analyses.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <memory>
#include <string>

#include "analysis/FormFFT.h"
#include "auxwin/FormTool.h"
#include "platform/RecordingCanvas.h"
#include "platform/qt/QtVectorPicture.h"
#include "view/FormGraphType.h"
#include "view/MainWindowWithData.h"
#include "view/PaintBox.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\RawFFT";

class FormFFTTest : public test::MainWindowWithData {
 protected:
  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormFFT> fft;
  std::string shownCaption;
  int32_t shownCaller = -1;

  void TearDown() override {
    if (form) form->SetFFTPanel(nullptr);
    fft.reset();
    form.reset();
    MainWindowWithData::TearDown();
  }
  // The main window with data and a ramp on every channel, the panel handed
  // over and shown through the main window's command.
  void ShownWithData(int32_t numSamp = 0) {
    form = WithData(numSamp);
    const LiveConfig& c = state.config;
    for (size_t i = 0; i < state.acq.RingBuffer.size(); ++i) {
      state.acq.RingBuffer[i] = static_cast<uint16_t>(2048 + 1000 * std::sin(0.3 * static_cast<double>(i / c.NumChn)));
    }
    fft = std::make_unique<TFormFFT>(state, registry, ui, *form);
    form->SetFFTPanel(fft.get());
    fft->resize(600, 420);
    form->RepaintView();
    form->menuRawFFTClick();
    QApplication::processEvents();
  }
  std::string Status() const { return fft->StatusBar1->currentMessage().toStdString(); }
  void Redraw() {
    state.wave.RepaintRequested = 1;
    form->RepaintView();
  }
};

TEST_F(FormFFTTest, SettingsAreReadAtCreationAndWrittenAtTheEnd) {
  form = NewMainWindow();
  form->Timer2Timer();  // the deferred start-up shows the item
  form->Timer2->stop();
  EXPECT_FALSE(form->menuRawFFT->isEnabled());
  registry.WriteInt32(kKey, "FFTLength", 3000);
  registry.WriteInt32(kKey, "FFTResultType", 9);
  registry.WriteInt32(kKey, "FFTWindowType", 7);
  registry.WriteInt32(kKey, "XZoomRawFFT", 20);
  {
    TFormFFT fresh(state, registry, ui, *form);
    form->SetFFTPanel(&fresh);
    EXPECT_TRUE(form->menuRawFFT->isEnabled());
    EXPECT_EQ(fresh.windowTitle().toStdString(), "内置FFT谱分析面板");
    EXPECT_EQ(fresh.EditFFTLength->text().toStdString(), "2048");
    EXPECT_EQ(fresh.ComboBoxWindowType->currentIndex(), -1);
    EXPECT_EQ(fresh.Settings.Engine.FFTWindowType, 7);
    EXPECT_EQ(fresh.ComboBoxResultType->currentIndex(), 9);
    EXPECT_FALSE(fresh.EditBandN->isHidden());
    EXPECT_TRUE(fresh.menuWhiteBG->isChecked());
    EXPECT_TRUE(fresh.menuXGrid->isChecked());
    EXPECT_EQ(fresh.menuXZoomAny->text().toStdString(), "X向放大?倍(20)");
    EXPECT_EQ(fresh.menuXZoomAnyPoint->text().toStdString(), "X向显示?点(100)");
    EXPECT_EQ(fresh.Result.StatusText, "没有数据！");
    fresh.ComboBoxResultType->setCurrentIndex(1);
    fresh.ComboBoxResultTypeClick();
    EXPECT_TRUE(fresh.EditBandN->isHidden());
    fresh.EditFFTLength->setText("100");
    fresh.EditFFTLengthExit();
    fresh.UpDownFFTLengthClick(false);
    EXPECT_EQ(fresh.EditFFTLength->text().toStdString(), "128");
    fresh.menuMultiAxialClick();
    form->SetFFTPanel(nullptr);
  }
  EXPECT_EQ(registry.ReadInt32(kKey, "FFTLength"), 128);
  EXPECT_EQ(registry.ReadInt32(kKey, "FFTResultType"), 1);
  EXPECT_EQ(registry.ReadInt32(kKey, "MultiAxial"), 1);
  EXPECT_EQ(registry.ReadInt32(kKey, "FFTWindowType"), 7);
  EXPECT_TRUE(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\FormSize", "FormFFT_Width").has_value());
}

TEST_F(FormFFTTest, ShowingAnalysesAndDrawsAtOnce) {
  ShownWithData();
  EXPECT_TRUE(fft->isVisible());
  EXPECT_EQ(fft->Result.Valid, 1);
  EXPECT_EQ(fft->Result.Drawn, 1);
  EXPECT_EQ(Status(), "提示：频谱分析结果已显示!");
  EXPECT_TRUE(fft->Timer1->isActive());
  EXPECT_EQ(fft->PlotBitmap.size(), fft->PaintBox1->size());
  EXPECT_EQ(fft->HScrollBarPicX->maximum(), fft->Result.NumPoints - 1);
  // The white background of the plot area: most of its pixels.
  fft->Timer1Timer();
  int white = 0;
  int all = 0;
  for (int y = fft->Plot.PlotTop + 1; y < fft->Plot.PlotTop + fft->Plot.PlotHeight; y += 3) {
    for (int x = fft->Plot.PlotLeft + 1; x < fft->Plot.PlotLeft + fft->Plot.PlotWidth; x += 3) {
      ++all;
      if (fft->PlotBitmap.pixelColor(x, y) == QColor(Qt::white)) ++white;
    }
  }
  EXPECT_GT(white, all * 8 / 10);
}

TEST_F(FormFFTTest, EveryRedrawOfTheMainViewAnalysesWhileThePanelIsShown) {
  ShownWithData();
  fft->Result.Kind = -5;  // what the next analysis must overwrite
  Redraw();
  EXPECT_EQ(fft->Result.Kind, 0);
  fft->hide();
  fft->Result.Kind = -5;
  Redraw();
  EXPECT_EQ(fft->Result.Kind, -5);
}

TEST_F(FormFFTTest, APanelShownWithoutDataRedrawsOnceAResultComes) {
  form = WithData();
  fft = std::make_unique<TFormFFT>(state, registry, ui, *form);
  form->SetFFTPanel(fft.get());
  state.display.DispValid = 0;
  form->menuRawFFTClick();
  EXPECT_FALSE(fft->Timer1->isActive());
  state.display.DispValid = 1;
  Redraw();
  ASSERT_EQ(fft->Result.Valid, 1);
  EXPECT_TRUE(fft->Timer1->isActive());
}

TEST_F(FormFFTTest, RefusalsShowTheirTextInsteadOfThePlot) {
  ShownWithData();
  fft->ComboBoxResultType->setCurrentIndex(3);  // coherence needs a pair
  fft->ComboBoxResultTypeClick();
  state.wave.DrawnAnalogCount = 1;
  state.wave.DrawnSwitchCount = 0;
  fft->Analyse();
  EXPECT_EQ(fft->Result.Valid, 0);
  EXPECT_EQ(Status(), "提示：模拟通道太少！");
  EXPECT_EQ(fft->ShownImage().pixelColor(fft->PaintBox1->width() - 2, fft->PaintBox1->height() - 2),
            QColor(Qt::black));
  // The table shows it in its cell (1, 1).
  fft->PageControl1->setCurrentIndex(1);
  ASSERT_NE(fft->Grid1->item(1, 1), nullptr);
  EXPECT_EQ(fft->Grid1->item(1, 1)->text().toStdString(), "模拟通道太少！");
}

TEST_F(FormFFTTest, RecorderStopAnalysesOnceWhileShown) {
  ShownWithData();
  state.config.SimulateAD = 1;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  fft->Result.Kind = -5;
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunIdle);
  EXPECT_NE(fft->Result.Kind, -5);
}

TEST_F(FormFFTTest, OscilloscopePanelsBoxFollowsThePanel) {
  ShownWithData();
  fft->hide();
  TFormTool panel(state, registry);
  EXPECT_FALSE(panel.CheckBoxFFT->isEnabled());
  TFormMain* main = form.get();
  panel.SetFFTPanel(fft.get(), [main] { main->menuRawFFTClick(); });
  fft->SetOscilToolPanel(&panel);
  EXPECT_TRUE(panel.CheckBoxFFT->isEnabled());
  panel.CheckBoxFFT->setChecked(true);
  panel.CheckBoxFFTClick();
  EXPECT_TRUE(fft->isVisible());
  EXPECT_TRUE(panel.CheckBoxFFT->isChecked());
  fft->hide();  // the panel's own close
  EXPECT_FALSE(panel.CheckBoxFFT->isChecked());
  form->menuRawFFTClick();
  EXPECT_TRUE(panel.CheckBoxFFT->isChecked());
  panel.CheckBoxFFT->setChecked(false);
  panel.CheckBoxFFTClick();
  EXPECT_FALSE(fft->isVisible());
  panel.FormActivate();
  EXPECT_FALSE(panel.CheckBoxFFT->isChecked());
  fft->SetOscilToolPanel(nullptr);
}

TEST_F(FormFFTTest, TheTwoMarkZoomShowsTheSpanBetweenTheMarks) {
  ShownWithData();
  fft->EditFFTLength->setText("2048");  // 1025 points
  fft->EditFFTLengthExit();
  fft->menuXZoomAllClick();
  fft->Analyse();
  ASSERT_EQ(fft->Result.NumPoints, 1025);
  EXPECT_EQ(fft->Plot.VisiblePoints, 1025);
  fft->Plot.Mark1 = 700;
  fft->Plot.Mark2 = 300;
  fft->menuXZoomTwoLineClick();
  fft->Timer1Timer();
  EXPECT_EQ(fft->Plot.VisiblePoints, 401);
  EXPECT_EQ(fft->Plot.FirstVisiblePoint, 300);
  EXPECT_EQ(fft->Plot.Mark1, 400);
  EXPECT_EQ(fft->Plot.Mark2, 0);
  EXPECT_EQ(fft->menuXZoomAnyPoint->text().toStdString(), "X向显示?点(401)");
  // Typed zooms: not a number keeps the factor.
  ui.inputAnswers.push_back(std::string("abc"));
  fft->menuYZoomAnyClick();
  EXPECT_EQ(fft->Settings.YZoom, 1);
  ui.inputAnswers.push_back(std::string("20"));
  fft->menuXZoomAnyClick();
  EXPECT_EQ(fft->Settings.XZoom, 20);
  EXPECT_EQ(fft->Settings.XPointMode, 0);
  EXPECT_EQ(fft->menuXZoomAnyPoint->text().toStdString(), "X向显示?点(51)");
}

TEST_F(FormFFTTest, MarksMoveWithTheMouseOnlyWithTheReadoutOn) {
  ShownWithData();
  const int x = fft->Plot.PlotLeft + fft->Plot.PlotWidth / 2;
  fft->PaintBox1MouseDown(Qt::LeftButton, x, 40);
  EXPECT_EQ(fft->Plot.Dragging, 1);
  const int32_t middle = fft->Plot.DraggedMark == 0 ? fft->Plot.Mark1 : fft->Plot.Mark2;
  EXPECT_EQ(middle, (fft->Plot.VisiblePoints - 1) * (fft->Plot.PlotWidth / 2) / fft->Plot.PlotWidth);
  fft->PaintBox1MouseUp(x, 40);
  EXPECT_EQ(fft->Plot.Dragging, 0);
  fft->menuInstValueClick();
  const int32_t before = fft->Plot.Mark1;
  fft->PaintBox1MouseDown(Qt::LeftButton, fft->Plot.PlotLeft, 40);
  EXPECT_EQ(fft->Plot.Mark1, before);
}

TEST_F(FormFFTTest, TableShowsThePointsFromTheScrollPosition) {
  ShownWithData();
  fft->PageControl1->setCurrentIndex(1);
  EXPECT_FALSE(fft->Timer1->isActive());
  ASSERT_GE(fft->GridColumns, 4);
  EXPECT_EQ(fft->Grid1->columnCount(), fft->GridColumns + 1);
  EXPECT_EQ(fft->Grid1->rowCount(), fft->Result.NumCurves + 1);
  EXPECT_EQ(fft->Grid1->item(0, 0)->text().toStdString(), "频率(Hz)");
  EXPECT_EQ(fft->Grid1->item(0, 1)->text().toStdString(), "0");
  fft->HScrollBarGridX->setValue(fft->Result.NumPoints - 1);
  // The last columns end at the last point.
  const std::string last = fft->Grid1->item(0, fft->GridColumns)->text().toStdString();
  const double lastX = fft->Result.DeltaX * (fft->Result.NumPoints - 1);
  EXPECT_NEAR(std::stod(last), lastX, lastX * 1e-5);
}

TEST_F(FormFFTTest, CopyGoesThroughThePictureOptionsAsTheFFTCaller) {
  ShownWithData();
  ui.modalAnswers.push_back([this](platform::ModalDialog& modal) {
    auto& dialog = dynamic_cast<TFormGraphType&>(modal);
    shownCaption = dialog.windowTitle().toStdString();
    shownCaller = dialog.Caller;
    dialog.RadioButtonMetafile->click();
    dialog.RadioButtonUserSize->click();
    dialog.EditWidth->setText("640");
    dialog.EditHeight->setText("480");
    dialog.ButtonPreviewClick();
    EXPECT_EQ(fft->ShownImage().size(), fft->PaintBox1->size());
    dialog.ButtonOKClick();
    return platform::kModalOk;
  });
  const FrequencyPlotState before = fft->Plot;
  fft->menuCopyPicClick();
  EXPECT_EQ(shownCaption, "图形格式选项-内置FFT分析");
  EXPECT_EQ(shownCaller, 2);
  const auto clipboard = ui.PromptsOf(Kind::Clipboard);
  ASSERT_EQ(clipboard.size(), 1u);
  EXPECT_EQ(clipboard[0].pictureWidth, 640);
  EXPECT_EQ(form->SharedPicture().Width(), 640);
  // The picture leaves the screen's plot alone and waits for a redraw.
  EXPECT_EQ(fft->Plot.PlotWidth, before.PlotWidth);
  EXPECT_EQ(fft->Result.RedrawPending, 1);
  fft->Timer1Timer();
  EXPECT_EQ(fft->Result.RedrawPending, 0);

  ui.AnswerModal(platform::kModalCancel);
  fft->menuCopyPicClick();
  EXPECT_EQ(fft->Result.RedrawPending, 1);
  EXPECT_EQ(ui.PromptsOf(Kind::Clipboard).size(), 1u);
}

TEST_F(FormFFTTest, MarksAreOnTheScreenOnlyNeverInThePicture) {
  ShownWithData();
  const auto readoutTexts = [](const platform::RecordingCanvas& canvas) {
    int n = 0;
    for (const platform::CanvasOp& op : canvas.OpsOf(platform::CanvasOp::Kind::Text)) {
      if (op.text.rfind("点:", 0) == 0) ++n;
    }
    return n;
  };
  platform::RecordingCanvas picture(800, 600);
  fft->DrawSpectrum(picture, true, true, true);
  EXPECT_EQ(readoutTexts(picture), 0);
  platform::RecordingCanvas screen(fft->PlotBitmap.width(), fft->PlotBitmap.height());
  fft->DrawReadout(screen, true);
  EXPECT_EQ(readoutTexts(screen), 2);
}

TEST_F(FormFFTTest, LongAnalysesRunOnTheWorkerAndTheLastRequestWins) {
  ShownWithData();
  fft->Analyse();
  const SpectrumResult atOnce = fft->Result;
  fft->SetSyncWorkLimit(0.0);
  fft->ComboBoxResultType->setCurrentIndex(7);  // direct autocorrelation first
  fft->ComboBoxResultTypeClick();
  fft->Analyse();
  fft->ComboBoxResultType->setCurrentIndex(0);  // superseded by kind 0
  fft->ComboBoxResultTypeClick();
  fft->Analyse();
  fft->WaitForAnalysis();
  EXPECT_FALSE(fft->AnalysisRunning());
  EXPECT_EQ(fft->Result.Kind, 0);
  EXPECT_EQ(fft->Result.Values, atOnce.Values);
  EXPECT_EQ(fft->Result.Drawn, 1);
  EXPECT_EQ(Status(), "提示：频谱分析结果已显示!");
  // A superseded job's late notice finds nothing to take.
  QApplication::processEvents();
  EXPECT_EQ(fft->Result.Kind, 0);
}

TEST_F(FormFFTTest, ARequestWhileTheWorkerIsFarOnWaitsForItsEnd) {
  ShownWithData();
  fft->SetSyncWorkLimit(0.0);
  fft->SetFinishThreshold(0.0);  // every running analysis counts as far on
  fft->ComboBoxResultType->setCurrentIndex(7);
  fft->ComboBoxResultTypeClick();
  fft->Analyse();
  fft->ComboBoxResultType->setCurrentIndex(5);  // waits, then is replaced
  fft->ComboBoxResultTypeClick();
  fft->Analyse();
  fft->ComboBoxResultType->setCurrentIndex(0);
  fft->ComboBoxResultTypeClick();
  fft->Analyse();
  fft->WaitForAnalysis();
  EXPECT_FALSE(fft->AnalysisRunning());
  // The last request was analysed after the first one (which either ended
  // before the others came or ran to its end).
  EXPECT_EQ(fft->Result.Kind, 0);
  EXPECT_EQ(fft->Result.Drawn, 1);
}

TEST_F(FormFFTTest, AFinishedWorkerResultNeverReplacesANewerOneNorIsDropped) {
  ShownWithData();
  const auto choose = [this](int kind) {
    fft->ComboBoxResultType->setCurrentIndex(kind);
    fft->ComboBoxResultTypeClick();
  };
  // A worker result finished, its notice still queued, when a request runs
  // at once: the notice must not bring the older result back.
  fft->SetSyncWorkLimit(0.0);
  choose(7);
  fft->Analyse();
  fft->WaitForWorker();
  fft->SetSyncWorkLimit(1e18);
  choose(0);
  fft->Analyse();
  EXPECT_EQ(fft->Result.Kind, 0);
  QApplication::processEvents();
  EXPECT_EQ(fft->Result.Kind, 0);
  EXPECT_FALSE(fft->AnalysisRunning());

  // A worker result finished when the next long request comes is shown
  // before that one starts, not dropped with it.
  fft->SetSyncWorkLimit(0.0);
  choose(7);
  fft->Analyse();
  fft->WaitForWorker();
  choose(5);
  fft->Analyse();
  EXPECT_EQ(fft->Result.Kind, 7);
  EXPECT_EQ(fft->Result.Drawn, 1);
  fft->WaitForAnalysis();
  EXPECT_EQ(fft->Result.Kind, 5);
}

TEST_F(FormFFTTest, DestroyingThePanelWaitsForItsWorker) {
  ShownWithData();
  fft->SetSyncWorkLimit(0.0);
  fft->ComboBoxResultType->setCurrentIndex(7);
  fft->ComboBoxResultTypeClick();
  fft->Analyse();
  form->SetFFTPanel(nullptr);
  fft.reset();  // joins; a crash or a sanitizer report would fail here
  SUCCEED();
}

}  // namespace
