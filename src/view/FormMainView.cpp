// The main window's interface timer, repaint dispatch, status texts, the
// data area's layout and the choice of view.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <optional>

#include "auxwin/FormTool.h"
#include "auxwin/FormXYDisplay.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/StringGrid.h"
#include "shell/FormAbout.h"
#include "shell/FormMain.h"
#include "view/DisplayReading.h"
#include "view/IdleScreen.h"
#include "view/OscilloscopeRenderer.h"
#include "view/PaintBox.h"
#include "view/Palette.h"
#include "view/ScreenWaveformInput.h"
#include "view/WaveformRenderer.h"

namespace quelvar {

namespace {

// The housekeeping runs on the first tick and every tenth after it.
constexpr int32_t kTicksPerHousekeeping = 10;
// The tick count starts again from 0 above this.
constexpr int32_t kTickCountLimit = 1000000;
// The status bar's panels of the message and of the elapsed time.
constexpr int kMessagePanel = 5;
constexpr int kElapsedTimePanel = 4;
// The data area never gets smaller than this.
constexpr int kMinimumClientSize = 200;
// The waveform panel's distance from the window's edges.
constexpr int kPanelLeft = 4;
constexpr int kPanelTop = 4;
constexpr int kPanelMargin = 8;

}  // namespace

void TFormMain::FormShow() { Timer2->start(); }

void TFormMain::FormHide() {
  // The timer also redraws the second waveform window.
  if (state_.SecondDispVisible == 0) Timer2->stop();
}

void TFormMain::PostStatusText(const std::string& text) { StatusText.Post(text); }

void TFormMain::PostElapsedTimeText(const std::string& text) { ElapsedTimeText.Post(text); }

void TFormMain::Timer2Timer() {
  WaveViewState& v = state_.wave;
  // A print job shows its pages' ranges in the view meanwhile: the repaint waits.
  if (state_.display.DispValid == 1 && v.RepaintRequested != 0 && isVisible() && !printJobOpen_) RepaintView();
  RedrawSecondDispAtTick();
  std::string text;
  if (StatusText.Take(text)) SetStatusPanelText(kMessagePanel, text);
  if (ElapsedTimeText.Take(text)) SetStatusPanelText(kElapsedTimePanel, text);
  screenSaverGuard_.Update(state_.RunState);
  const int32_t tick = InterfaceTickCount++;
  if (tick % kTicksPerHousekeeping == 0) {
    Timer1Timer();
    if (InterfaceTickCount > kTickCountLimit) InterfaceTickCount = 0;
  }
}

void TFormMain::RepaintView() {
  // A request made while the window is hidden waits for the first tick after
  // it is shown.
  if (!isVisible()) return;
  WaveViewState& v = state_.wave;
  // The run log draws nothing.
  if (v.ViewMode == 0) RedrawWaveform();
  if (v.ViewMode == 1) FillTextGrid();
  v.RepaintRequested = 0;
  // The X-Y window follows the main view.
  if (xyDisplay_ != nullptr && xyDisplay_->isVisible()) xyDisplay_->Redraw();
}

void TFormMain::RedrawWaveform() {
  WaveViewState& v = state_.wave;
  const LiveConfig& c = state_.config;
  RemovePictureOverImage1();
  {
    // The picture is built in the bitmap; the screen shows it whole, so it
    // never shows a half-drawn picture.
    platform::QtCanvas canvas(*offscreenBitmap_);
    canvas.SetFont({c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, platform::kBlack});
    WaveformPaintInput input = ScreenWaveformInput(state_);
    // The two-trace oscilloscope's picture; what it changed of the view is
    // mirrored once the picture is done.
    std::optional<OscilloscopePaintResult> oscilloscope;
    const WaveformPaintInput* self = &input;
    input.PaintOscilloscope = [this, self, &oscilloscope](platform::Canvas& screen) {
      const OscilloscopeRun run{state_.RunState == kRunOscilloscope, state_.acq.OscilPaused != 0};
      oscilloscope = PaintOscilloscope(screen, *self, state_.oscilTool, state_.wave, run);
    };
    PaintWaveform(canvas, input, v);
    if (oscilloscope) MirrorOscilloscopeAutoRange(*oscilloscope);
  }
  Image1->update();
  DrawMarks();
  RecordViewHistory(v);
  // The FFT panel analyses what the view now shows.
  AnalyseShownSpectrum();
}

void TFormMain::MirrorOscilloscopeAutoRange(const OscilloscopePaintResult& result) {
  HScrollBar_XPosition->setValue(result.XPosition);
  if (oscilTool_ == nullptr) return;
  for (int trace = 1; trace <= 2; ++trace) {
    if (result.AutoRanged[static_cast<size_t>(trace - 1)]) oscilTool_->ShowAutoRange(trace);
  }
}

void TFormMain::Image1Paint(QPainter& painter) {
  if (pictureOverImage1_) {
    painter.drawImage(0, 0, *pictureOverImage1_);
    return;
  }
  painter.drawImage(0, 0, *offscreenBitmap_);
  // The marks lie over the picture only while it shows data.
  if (marksLayer_ && state_.display.DispValid != 0 && state_.wave.ViewMode == 0) {
    painter.drawImage(0, 0, *marksLayer_);
  }
}

void TFormMain::LayoutMainWindow() {
  if (state_.startup.LayoutReady == 0) return;
  QWidget* area = centralWidget();
  if (area->width() < kMinimumClientSize || area->height() < kMinimumClientSize) {
    resize(width() + std::max(0, kMinimumClientSize - area->width()),
           height() + std::max(0, kMinimumClientSize - area->height()));
  }
  const int panelWidth = std::max(area->width() - kPanelLeft - kPanelMargin, 1);
  const int panelHeight = std::max(area->height() - kPanelTop - kPanelMargin, 1);
  const QRect panel(kPanelLeft, kPanelTop, panelWidth, panelHeight);
  Panel_Waveform->setGeometry(panel);
  Panel_Grid->setGeometry(panel);
  Panel_Report->setGeometry(panel);

  const int barWidth = VScrollBar_Channel->sizeHint().width();
  const int barHeight = HScrollBar_XPosition->sizeHint().height();
  const int plotWidth = std::max(panelWidth - barWidth, 1);
  const int plotHeight = std::max(panelHeight - barHeight, 1);
  const int upperHalf = plotHeight / 2;
  VScrollBar_YOffset->setGeometry(plotWidth, 0, barWidth, upperHalf);
  VScrollBar_Channel->setGeometry(plotWidth, upperHalf, barWidth, plotHeight - upperHalf);
  HScrollBar_XPosition->setGeometry(0, plotHeight, plotWidth, barHeight);
  Image1->setGeometry(0, 0, plotWidth, plotHeight);

  const int gridBarHeight = HScrollBar_Grid->sizeHint().height();
  HScrollBar_Grid->setGeometry(0, std::max(panelHeight - gridBarHeight, 0), panelWidth, gridBarHeight);
  Grid1->setGeometry(0, 0, panelWidth, std::max(panelHeight - gridBarHeight, 1));
  Memo1->setGeometry(0, 0, panelWidth, panelHeight);

  if (offscreenBitmap_->size() != Image1->size()) {
    // The old picture stays in view until the next tick draws the new one,
    // so dragging the window's edge does not flicker.
    QImage resized(Image1->size(), QImage::Format_RGB32);
    resized.fill(PaletteRow(state_.wave.WhiteBG) == kPaletteRowWhite ? Qt::white : Qt::black);
    {
      QPainter painter(&resized);
      painter.drawImage(0, 0, *offscreenBitmap_);
    }
    *offscreenBitmap_ = std::move(resized);
    RemovePictureOverImage1();
  }
  if (state_.display.DispValid != 0) {
    state_.wave.RepaintRequested = 1;
  } else {
    DrawIdleScreen();
  }
}

void TFormMain::DrawIdleScreen() {
  const StartupState& s = state_.startup;
  if (s.LayoutReady == 0) return;
  const LiveConfig& c = state_.config;
  IdleScreenInput input;
  input.ScreenFontName = c.ScreenFontName;
  input.ScreenFontStyle = c.ScreenFontStyle;
  input.ScreenFontSize = c.ScreenFontSize;
  input.OemDefLoaded = s.OemDefLoaded;
  input.Logo = oemLogo_.get();
  input.OemLargeText = s.OemLargeText;
  input.OemSmallText = s.OemSmallText;
  input.WhiteBG = state_.wave.WhiteBG;
  input.AboutBoxReady = s.AboutBoxReady;
  std::unique_ptr<platform::QtPicture> about;
  if (s.AboutBoxReady != 0 && aboutBox_ != nullptr) {
    about = std::make_unique<platform::QtPicture>(aboutBox_->Image1->pixmap().toImage());
    input.AboutPicture = about.get();
  }
  RemovePictureOverImage1();
  {
    platform::QtCanvas canvas(*offscreenBitmap_);
    PaintIdleScreen(canvas, input);
  }
  ClearMarksLayer();
  Label_Mark1->hide();
  Label_Mark2->hide();
  Image1->update();
}

void TFormMain::SelectViewMode(int32_t mode) {
  QAction* const items[] = {menuViewWave, menuViewText, menuViewReport};
  QWidget* const panels[] = {Panel_Waveform, Panel_Grid, Panel_Report};
  if (state_.wave.ViewMode == mode) {
    items[mode]->setChecked(true);
    return;
  }
  for (int i = 0; i < 3; ++i) {
    items[i]->setChecked(i == mode);
    panels[i]->setVisible(i == mode);
  }
  state_.wave.ViewMode = mode;
  if (mode == 0 && state_.display.DispValid == 1) state_.wave.RepaintRequested = 1;
  if (mode == 1) FillTextGrid();
}

void TFormMain::menuViewWaveClick() { SelectViewMode(0); }

void TFormMain::menuViewTextClick() { SelectViewMode(1); }

void TFormMain::menuViewReportClick() { SelectViewMode(2); }

}  // namespace quelvar
