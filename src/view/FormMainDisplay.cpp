// The main window's display layout, the live-display switch, the trigger
// page and the number of points per screen.
#include <QAction>
#include <QPicture>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>

#include "platform/qt/QtText.h"
#include "platform/UiHost.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/StringGrid.h"
#include "auxwin/FormSecondDisp.h"
#include "shell/FormMain.h"
#include "view/DisplayLayout.h"
#include "view/PaintBox.h"
#include "view/TextGrid.h"
#include "view/TriggerPage.h"

namespace quelvar {

namespace {


// The X scroll bar's large step is at most this (the bar's old 16-bit range).
constexpr int kMaxXLargeStep = 65535;

}  // namespace

void TFormMain::RebuildDisplayLayout() {
  LiveConfig& c = state_.config;
  WaveViewState& v = state_.wave;
  const DisplayDescriptor& d = state_.display;
  ApplyMarkLabelColours();
  RebuildRateLayout(c, state_.layout);
  RebuildLineTables(c);
  RebuildPageTables(c, state_.pages, v.PageLayout);
  MeasureScaleLabels();

  // The text grid's frame; the text view fills it.
  v.GridColumns = TextGridColumnsFor(Grid1->width(), Grid1->Cells().DefaultColWidth());
  HScrollBar_Grid->setPageStep(v.GridColumns - 1);
  BuildTextGridFrame(c, v.GridColumns, menuGridEng->isChecked(), Grid1->Cells());
  Grid1->Refresh();
  HScrollBar_Grid->setRange(0, std::max(d.DispPoints - 1, 0));

  FitPointsPerScreen(v, d.DispPoints, menuXZoomAny->isChecked());
  HScrollBar_XPosition->setRange(0, std::max(d.DispPoints - 1, 0));
  HScrollBar_XPosition->setValue(d.DispPoints - v.DisplayWidth);
  // The end of the data, also where the bar cannot show it (fewer points
  // than a screen).
  v.XPosition = d.DispPoints - v.DisplayWidth;
  UpdateChannelScrollRange();
  const bool labels = menuViewTrace->isChecked() && state_.RunState == kRunIdle && d.DispValid != 0;
  Label_Mark1->setVisible(labels);
  Label_Mark2->setVisible(labels);
  if (secondDisp_ != nullptr) secondDisp_->RebuildPageLayout();
}

void TFormMain::MeasureScaleLabels() {
  const LiveConfig& c = state_.config;
  ScaleLabelMetrics& m = state_.labels;
  const std::vector<std::string> texts = ScaleLabelTexts(c, state_.startup.PresentationMode);
  // Measured on the canvases the labels are drawn on: the screen's bitmap
  // and a picture.
  auto measure = [&](platform::Canvas& canvas, const std::string& name, int32_t size, uint8_t style,
                     int32_t& textHeight, int32_t& labelWidth) {
    canvas.SetFont({name, size, style, platform::kBlack});
    textHeight = canvas.TextHeight("1");
    labelWidth = WidestLabel(texts, [&](const std::string& t) { return canvas.TextWidth(t); });
  };
  {
    platform::QtCanvas screen(*offscreenBitmap_);
    measure(screen, c.ScreenFontName, c.ScreenFontSize, c.ScreenFontStyle, m.ScreenTextHeight, m.ScreenLabelWidth);
  }
  QPicture sharedPicture;
  platform::QtCanvas picture(sharedPicture);
  measure(picture, c.WMFFontName, c.WMFFontSize, c.WMFFontStyle, m.PictureTextHeight, m.PictureLabelWidth);
}

void TFormMain::UpdateChannelScrollRange() {
  const ChannelScrollMenus menus{menuViewSwitch->isChecked(), menuScopePage->isChecked(),
                                 menuPhaseSingle->isChecked()};
  VScrollBar_Channel->setRange(0, std::max(ChannelScrollMaximum(state_.config, menus), 0));
}

void TFormMain::menuMonitorClick() {
  LiveConfig& c = state_.config;
  AcquisitionState& a = state_.acq;
  DisplayDescriptor& d = state_.display;
  menuMonitor->setChecked(!menuMonitor->isChecked());
  state_.wave.Options.Monitor = menuMonitor->isChecked();
  ToolButtonMonitor->setChecked(menuMonitor->isChecked());
  if (!menuMonitor->isChecked()) {
    menuMonitor->setText(QStringLiteral("实时波形隐藏"));
    ToolButtonMonitor->setToolTip(QStringLiteral("实时波形隐藏"));
    SetStatusPanelText(2, "无");
    setWindowTitle(Q(c.WinTitle + "--无显示"));
    // The oscilloscope keeps its picture whatever the switch says.
    if (state_.RunState == kRunOscilloscope) return;
    d.DispValid = 0;
    DrawIdleScreen();
    return;
  }

  menuMonitor->setText(QStringLiteral("实时监控波形"));
  ToolButtonMonitor->setToolTip(QStringLiteral("实时监控波形"));
  SetStatusPanelText(2, "实时");
  menuSelectFault->setChecked(false);
  d.SelectFault = 0;
  auto pointAtRing = [&](int32_t blocks) {
    // Never more blocks than the ring holds (the settings may have changed
    // since it was allocated).
    const int64_t blockWords = std::max<int64_t>(int64_t{c.NumSamp} * c.NumChn, 1);
    blocks = static_cast<int32_t>(std::min<int64_t>(blocks, static_cast<int64_t>(a.RingBuffer.size()) / blockWords));
    d.DispData = a.RingBuffer.data();
    d.DispBlocks = blocks;
    const DisplayExtent extent = DisplayExtentOf(blocks, c.NumSamp, c.MaxMultiFreq);
    d.DispRows = extent.rows;
    d.DispPoints = extent.points;
  };
  if (state_.RunState == kRunRecording) {
    pointAtRing(a.RingBlocks);
    RebuildDisplayLayout();
    d.DispCompressRatio = c.CompressRatio;
    d.DispCompressType = c.CompressType;
    Label_Mark1->hide();
    Label_Mark2->hide();
  } else if (state_.RunState == kRunOscilloscope) {
    pointAtRing(1);
    RebuildDisplayLayout();
    d.DispCompressed = 0;
  } else if (a.BufferLayoutValid == 1) {
    // The ring as the last preparation allocated it: one block after the
    // oscilloscope, MaxBlock after a recorder start.
    pointAtRing(a.RingBlocks);
    d.DispValid = 1;
    RebuildDisplayLayout();
    d.DispFirstBlock = a.RingWriteBlock;
    d.DispTriggerBlock = state_.record.ViewBlock;
    d.DispTriggerPoint = state_.record.ViewPoint;
    d.DispCompressRatio = c.CompressRatio;
    d.DispCompressType = c.CompressType;
    d.DispCompressed = a.RingCompressing;
    d.DispCompressStart = a.RingCompressStart;
    Label_Mark1->setVisible(menuViewTrace->isChecked());
    Label_Mark2->setVisible(menuViewTrace->isChecked());
    RepaintView();
  }
  const bool oscilloscope = state_.RunState == kRunOscilloscope;
  setWindowTitle(Q(c.WinTitle + (oscilloscope ? "--双踪示波器" : "--实时波形")));
  state_.history.Comment = oscilloscope ? "双踪示波器波形" : "实时波形";
}

void TFormMain::SetupTriggerPage() {
  BuildTriggerPage(state_.wave.PageLayout, state_.config, state_.record);
  CheckScope(ChannelScope::Page);
  UpdateChannelScrollRange();
  VScrollBar_Channel->setValue(state_.config.TotalPages + 1);
  state_.wave.BegDispChannel = VScrollBar_Channel->value();
  state_.wave.RepaintRequested = 1;
}

void TFormMain::HScrollBar_XPositionChange() {
  const DisplayDescriptor& d = state_.display;
  WaveViewState& v = state_.wave;
  if (d.DispValid == 0) return;
  const int32_t position = HScrollBar_XPosition->value();
  const int32_t wanted = std::max(std::min(position, d.DispPoints - v.DisplayWidth), 0);
  if (wanted != position) HScrollBar_XPosition->setValue(wanted);
  if (wanted == v.XPosition) return;
  v.XPosition = wanted;
  if (v.ViewMode == 0) v.RepaintRequested = 1;
}

void TFormMain::WidthTail() {
  WaveViewState& v = state_.wave;
  HScrollBar_XPosition->setPageStep(
      static_cast<int>(std::min<int64_t>(int64_t{v.DisplayWidth} * 9 / 10, kMaxXLargeStep)));
  if (state_.display.DispValid == 1) v.RepaintRequested = 1;
}

void TFormMain::CheckXZoomItem(QAction* item) {
  for (QAction* zoom : {menuXZoom1, menuXZoom2, menuXZoom4, menuXZoom8, menuXZoom16, menuXZoomAny}) {
    zoom->setChecked(zoom == item);
  }
}

void TFormMain::XZoomPresetClick(int32_t k) {
  QAction* const item = k == 1 ? menuXZoom1 : k == 2 ? menuXZoom2 : k == 4 ? menuXZoom4 : k == 8 ? menuXZoom8
                                                                                             : menuXZoom16;
  if (item->isChecked()) return;
  WaveViewState& v = state_.wave;
  v.XZoom = k;
  CheckXZoomItem(item);
  v.DisplayWidth = std::max(state_.display.DispPoints / k, 10);
  menuXZoomAny->setText(Q("显示" + std::to_string(v.DisplayWidth) + "点"));
  WidthTail();
}

void TFormMain::SetXPointCount(int32_t n) {
  WaveViewState& v = state_.wave;
  v.XZoom = 32;
  v.DisplayWidth = std::min(n, state_.display.DispPoints);
  CheckXZoomItem(menuXZoomAny);
  v.DisplayWidth = std::max(v.DisplayWidth, 10);
  menuXZoomAny->setText(Q("显示任意点(" + std::to_string(v.DisplayWidth) + ")"));
  WidthTail();
}

void TFormMain::menuXZoomAnyClick() {
  const int32_t points = state_.display.DispPoints;
  const std::optional<std::string> answer = services_.ui.InputBox(
      "请选择一屏显示的点数", "点数(最大" + std::to_string(points) + "):   ", std::to_string(state_.wave.DisplayWidth));
  int32_t n = state_.wave.DisplayWidth;
  if (answer) {
    try {
      size_t used = 0;
      const long value = std::stol(*answer, &used);
      if (used == answer->size() && value >= INT32_MIN && value <= INT32_MAX) n = static_cast<int32_t>(value);
    } catch (const std::exception&) {
      // Not a number: the width stays.
    }
  }
  SetXPointCount(n);
}

}  // namespace quelvar
