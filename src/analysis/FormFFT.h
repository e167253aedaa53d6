#pragma once

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>

#include "analysis/FftPanelSettings.h"
#include "analysis/FrequencyAnalysis.h"
#include "analysis/FrequencyPlot.h"
#include "analysis/FrequencyWorker.h"
#include "common/AppState.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QScrollBar;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolButton;

namespace quelvar::platform {
class Canvas;
class Picture;
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

class PaintBox;
class TFormMain;
class TFormTool;

// The built-in FFT panel: the frequency analysis's settings, its analyses
// of the range the main view shows, and the result as a plot (with zoom,
// grids, one or several Y axes and two reading marks) or as a table. The
// main window asks for an analysis after each redraw while the panel is
// shown. Analyses too long to run at once go to a worker thread over a copy
// of the samples; the panel keeps showing the last result meanwhile.
class TFormFFT : public QWidget {
  Q_OBJECT
 public:
  TFormFFT(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, TFormMain& main,
           QWidget* parent = nullptr);
  ~TFormFFT() override;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;  // "图形显示"
  QWidget* TabSheet2 = nullptr;  // "数字显示"
  QWidget* TabSheet3 = nullptr;  // "设置"
  PaintBox* PaintBox1 = nullptr;
  QScrollBar* HScrollBarPicX = nullptr;
  QScrollBar* VScrollBarPicY = nullptr;
  QTableWidget* Grid1 = nullptr;
  QScrollBar* HScrollBarGridX = nullptr;
  QLineEdit* EditFFTLength = nullptr;
  QWidget* UpDownFFTLength = nullptr;
  QToolButton* UpDownFFTLengthUp = nullptr;
  QToolButton* UpDownFFTLengthDown = nullptr;
  QComboBox* ComboBoxWindowType = nullptr;
  QComboBox* ComboBoxResultType = nullptr;
  QLabel* LabelBandN = nullptr;
  QLineEdit* EditBandN = nullptr;
  QCheckBox* CheckBoxTopmost = nullptr;
  QCheckBox* CheckBoxOverlap = nullptr;
  QCheckBox* CheckBoxLog = nullptr;
  QCheckBox* CheckBoxRealtime = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QMenu* PopupMenuGraphics = nullptr;
  QAction* menuCopyPic = nullptr;
  QAction* menuWhiteBG = nullptr;
  QAction* menuMultiAxial = nullptr;
  QAction* menuXGrid = nullptr;
  QAction* menuYGrid = nullptr;
  QAction* menuInstValue = nullptr;
  QAction* menuTransparentInst = nullptr;
  QMenu* PopupMenuX = nullptr;
  QAction* menuXZoomAll = nullptr;
  QAction* menuXZoom2 = nullptr;
  QAction* menuXZoom5 = nullptr;
  QAction* menuXZoom10 = nullptr;
  QAction* menuXZoom20 = nullptr;
  QAction* menuXZoom50 = nullptr;
  QAction* menuXZoomAny = nullptr;
  QAction* menuXZoomEnlarge = nullptr;
  QAction* menuXZoomCompress = nullptr;
  QAction* menuXZoomAnyPoint = nullptr;
  QAction* menuXZoomTwoLine = nullptr;
  QMenu* PopupMenuY = nullptr;
  QAction* menuYZoomAll = nullptr;
  QAction* menuYZoom2 = nullptr;
  QAction* menuYZoom5 = nullptr;
  QAction* menuYZoom10 = nullptr;
  QAction* menuYZoom20 = nullptr;
  QAction* menuYZoom50 = nullptr;
  QAction* menuYZoomAny = nullptr;
  QTimer* Timer1 = nullptr;

  // The engine's settings and the panel's stored ones (zoom, ticks).
  FftPanelSettings Settings;
  SpectrumResult Result;
  FrequencyPlotState Plot;
  // The plot as last drawn, always the size of PaintBox1.
  QImage PlotBitmap;
  int32_t GridColumns = 4;

  // The oscilloscope panel whose FFT box follows the panel's visibility.
  void SetOscilToolPanel(TFormTool* panel) { oscilTool_ = panel; }

  void Analyse();
  void FormCreate();
  void FormShow();
  void FormHide();
  void FormResize();
  void FormDestroy();
  void TabSheet1Show();
  void TabSheet1Hide();
  void TabSheet2Show();
  void Timer1Timer();
  void PaintBox1Paint(QPainter& painter);
  void HScrollBarPicXChange();
  void VScrollBarPicYChange();
  void HScrollBarGridXChange();
  void CheckBoxTopmostClick();
  void EditFFTLengthExit();
  void UpDownFFTLengthClick(bool up);
  void ComboBoxWindowTypeClick();
  void ComboBoxResultTypeClick();
  void ComboBoxResultTypeChange() { ComboBoxResultTypeClick(); }
  void EditBandNExit();
  void CheckBoxOverlapClick();
  void CheckBoxRealtimeClick();
  void menuWhiteBGClick();
  void menuMultiAxialClick();
  void menuXGridClick();
  void menuYGridClick();
  void menuInstValueClick();
  void menuTransparentInstClick();
  void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
  void PaintBox1MouseMove(int x, int y);
  void PaintBox1MouseUp(int x, int y);
  void menuXZoomAllClick();
  void menuXZoom2Click();
  void menuXZoom5Click();
  void menuXZoom10Click();
  void menuXZoom20Click();
  void menuXZoom50Click();
  void menuXZoomAnyClick();
  void menuXZoomEnlargeClick();
  void menuXZoomCompressClick();
  void menuXZoomAnyPointClick();
  void menuXZoomTwoLineClick();
  void menuYZoomAllClick();
  void menuYZoom2Click();
  void menuYZoom5Click();
  void menuYZoom10Click();
  void menuYZoom20Click();
  void menuYZoom50Click();
  void menuYZoomAnyClick();
  void menuCopyPicClick();
  void DrawToMetafile(int32_t whiteBackground);

  void RequestRedraw();
  void SetupScrollBars();
  // The whole plot on a canvas: for a picture (toMetafile) the screen's
  // plot geometry, which the mouse and the marks refer to, stays as it is.
  void DrawSpectrum(platform::Canvas& canvas, bool toMetafile, bool whiteBackground, bool colour);
  // The marks and their readouts over the drawn plot.
  void DrawReadout(platform::Canvas& canvas, bool whiteBackground);
  void DrawToScreen();
  void ApplyXZoom(int32_t factor);
  void FillGridHeader();
  void FillGridValues();
  // What PaintBox1 shows: the plot with the marks, or the picture options'
  // preview until the next drawing.
  QImage ShownImage();
  void ShowPictureOverPaintBox(const platform::Picture& picture);

  // Analyses estimated above this much work run on the worker thread.
  void SetSyncWorkLimit(double limit) { syncWorkLimit_ = limit; }
  // A request that comes while the worker's analysis is at least this far
  // (0..1) waits for it to end instead of cancelling it, so a stream of
  // requests (the live view's redraws) still shows results.
  void SetFinishThreshold(double fraction) { finishThreshold_ = fraction; }
  // For tests: waits for the worker (and for a request waiting behind it)
  // and takes the result as its finishing would.
  void WaitForAnalysis();
  // For tests: waits for the worker's thread only; its result stays queued
  // as if its notice had not come yet.
  void WaitForWorker() { worker_.Join(); }
  bool AnalysisRunning() const { return worker_.Busy() || pending_ != nullptr; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(class QShowEvent* event) override;
  void hideEvent(class QHideEvent* event) override;

 private:
  bool PlotTabActive() const;
  FrequencyPlotView ViewOfControls() const;
  // The log tick and the X scroll position as the drawing left them.
  void TakeBackView(const FrequencyPlotView& view);
  SpectrumRequest MakeRequest(std::vector<int32_t>& keys) const;
  void AnalysisDone(const std::string& status);
  void AnalysisFinished();
  void ShowProgress(int percent);
  void ShowStatus(const std::string& text);
  void PaintStatusText();
  void KeepOnTop();
  void Toggle(QAction* item);
  void ToggleAndRedraw(QAction* item);
  void ZoomDone();
  void ReadControls();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  TFormMain& main_;
  TFormTool* oscilTool_ = nullptr;
  std::unique_ptr<SpectrumEngine> engine_;  // made at the first showing
  SpectrumWorker worker_;
  double syncWorkLimit_ = 16.0e6;
  double finishThreshold_ = 0.5;
  // The request waiting for the running analysis to end.
  struct PendingAnalysis {
    FftSettings settings;
    SpectrumSnapshot snapshot;
    SpectrumRequest request;
  };
  std::unique_ptr<PendingAnalysis> pending_;
  void StartOnWorker(const FftSettings& settings, SpectrumSnapshot snapshot, const SpectrumRequest& request);
  std::unique_ptr<QImage> preview_;
  bool destroyed_ = false;
};

}  // namespace quelvar
