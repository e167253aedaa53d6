// The main window's interface timer, status texts, repaint dispatch, data
// area, the live-display switch and the X width commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QHideEvent>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>

#include <climits>
#include <filesystem>

#include "platform/Canvas.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/Palette.h"
#include "view/PaintBox.h"

namespace {

using namespace quelvar;
class FormMainView : public test::MainWindowFixture {
 protected:
  // A main window past its deferred start-up (the first tick runs it).
  std::unique_ptr<TFormMain> Started() {
    auto form = NewMainWindow();
    form->Timer2Timer();
    return form;
  }
  // A recorder ring of `blocks` blocks of the default layout, as a finished
  // run leaves it.
  void FillRing(int32_t blocks) {
    LiveConfig& c = state.config;
    c.MaxBlock = blocks;
    c.NumChn = c.Analog_Num;
    c.MaxMultiFreq = 1;
    state.acq.RingBlocks = blocks;
    state.acq.RingBuffer.assign(static_cast<size_t>(blocks) * c.NumSamp * c.NumChn, 0);
    for (size_t i = 0; i < state.acq.RingBuffer.size(); ++i) {
      state.acq.RingBuffer[i] = static_cast<uint16_t>(i / (static_cast<size_t>(c.NumSamp) * c.NumChn));
    }
    state.acq.BufferLayoutValid = 1;
    state.acq.RingWriteBlock = 0;
    state.display.DispRowWords = c.NumChn;
  }
  // A ring of `blocks` blocks on display, as the live-display switch shows
  // it after a run (painted at once when the window is visible).
  void ShowRing(TFormMain& form, int32_t blocks) {
    FillRing(blocks);
    form.menuMonitor->setChecked(false);
    form.menuMonitorClick();
  }
  QColor PaletteColor(int slot) const {
    const platform::Color c = platform::Color::FromStored(state.config.ColorPalette[kPaletteRowBlack][slot]);
    return QColor(c.red, c.green, c.blue);
  }
  static int CountPixels(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == color ? 1 : 0;
    }
    return count;
  }
};

TEST_F(FormMainView, StatusTextsWaitForTheTickAndOnlyTheLastPostedIsShown) {
  auto form = Started();
  form->SetStatusPanelText(5, "old");
  form->PostStatusText("first");
  form->PostStatusText("second");
  form->PostElapsedTimeText("00:00:07");
  EXPECT_EQ(form->StatusPanelText(5), "old");
  form->Timer2Timer();
  EXPECT_EQ(form->StatusPanelText(5), "second");
  EXPECT_EQ(form->StatusPanelText(4), "00:00:07");
  // Shown once: a later tick leaves a panel changed meanwhile alone.
  form->SetStatusPanelText(5, "other");
  form->Timer2Timer();
  EXPECT_EQ(form->StatusPanelText(5), "other");
}

TEST_F(FormMainView, RepaintWaitsForValidDataAndAVisibleWindowAndIsServedOnce) {
  auto form = Started();
  form->show();
  ShowRing(*form, 4);
  WaveViewState& v = state.wave;
  v.RepaintRequested = 1;
  state.display.DispValid = 0;
  form->PostStatusText("shown anyway");
  form->Timer2Timer();
  EXPECT_TRUE(form->RepaintRequested());
  EXPECT_EQ(form->StatusPanelText(5), "shown anyway");

  state.display.DispValid = 1;
  v.XPosition = 40;
  v.DisplayWidth = 100;
  const int32_t historyBefore = v.ViewHistoryIndex;
  form->Timer2Timer();
  EXPECT_FALSE(form->RepaintRequested());
  EXPECT_EQ(v.ViewHistoryIndex, historyBefore + 2);
  // The same view painted again adds no history.
  v.RepaintRequested = 1;
  form->Timer2Timer();
  EXPECT_EQ(v.ViewHistoryIndex, historyBefore + 2);

  form->hide();
  v.RepaintRequested = 1;
  form->Timer2Timer();
  EXPECT_TRUE(form->RepaintRequested());  // waits for the window to be shown
}

TEST_F(FormMainView, SeveralRequestsBetweenTicksGiveOnePaintOfTheLatestView) {
  auto form = Started();
  form->show();
  ShowRing(*form, 4);
  WaveViewState& v = state.wave;
  ASSERT_EQ(state.display.DispValid, 1);
  const int32_t historyBefore = v.ViewHistoryIndex;
  // Three producers ask between two ticks: the scroll bar moved three times.
  for (int position : {100, 200, 300}) {
    form->HScrollBar_XPosition->setValue(position);
    EXPECT_TRUE(form->RepaintRequested());
  }
  EXPECT_EQ(v.ViewHistoryIndex, historyBefore);  // nothing drawn before the tick
  form->Timer2Timer();
  EXPECT_FALSE(form->RepaintRequested());
  // One paint: one history pair, of the last view asked for.
  ASSERT_EQ(v.ViewHistoryIndex, historyBefore + 2);
  EXPECT_EQ(v.ViewHistory[static_cast<size_t>(historyBefore)], 300);
  EXPECT_EQ(v.ViewHistory[static_cast<size_t>(historyBefore + 1)], v.DisplayWidth);
  form->Timer2Timer();
  EXPECT_EQ(v.ViewHistoryIndex, historyBefore + 2);
}

TEST_F(FormMainView, MendedTheDataAreaIsRedrawnAfterTheWindowIsResized) {
  // Before, the bitmap a resize makes stayed black for good: the tick only
  // showed it again without drawing into it.
  auto form = Started();
  form->resize(900, 700);
  form->show();
  form->Timer2->stop();  // the test ticks
  QApplication::processEvents();
  ShowRing(*form, 4);
  const QColor frame = PaletteColor(kSlotScale);
  auto frameRightEdge = [&] {
    const QImage& bitmap = form->OffscreenBitmap();
    return bitmap.pixelColor(bitmap.width() - 1, bitmap.height() / 2);
  };
  // The plot frame's right edge is the bitmap's last column.
  EXPECT_EQ(frameRightEdge(), frame);
  EXPECT_GT(state.wave.DrawnAnalogCount, 0);

  for (QSize size : {QSize(1000, 760), QSize(700, 500)}) {
    form->resize(size);
    QApplication::processEvents();
    ASSERT_EQ(form->OffscreenBitmap().size(), form->Image1->size());
    EXPECT_TRUE(form->RepaintRequested());
    form->Timer2Timer();
    EXPECT_FALSE(form->RepaintRequested());
    EXPECT_EQ(frameRightEdge(), frame) << size.width();
    const QImage& bitmap = form->OffscreenBitmap();
    EXPECT_EQ(bitmap.pixelColor(bitmap.width() / 2, bitmap.height() - 1), frame) << size.width();
    EXPECT_GT(bitmap.width() * bitmap.height() - CountPixels(bitmap, Qt::black), bitmap.width()) << size.width();
  }
}

TEST_F(FormMainView, WhiteSchemeKeepsItsBackgroundWhileAResizeWaitsForTheTick) {
  auto form = Started();
  form->resize(700, 500);
  form->show();
  form->Timer2->stop();  // the test ticks
  QApplication::processEvents();
  ShowRing(*form, 4);
  state.wave.WhiteBG = 1;
  form->Timer2Timer();
  form->resize(900, 700);
  QApplication::processEvents();
  // The strip the old picture does not cover takes the scheme's background.
  const QImage& bitmap = form->OffscreenBitmap();
  EXPECT_EQ(bitmap.pixelColor(bitmap.width() - 2, bitmap.height() - 2), QColor(Qt::white));
}

TEST_F(FormMainView, MinimisingKeepsTheInterfaceTimerWhileHidingStopsIt) {
  auto form = Started();
  form->show();
  QApplication::processEvents();
  ASSERT_TRUE(form->Timer2->isActive());
  // What the window system sends when the user minimises the window.
  QHideEvent minimised;
  QSpontaneKeyEvent::setSpontaneous(&minimised);
  // Straight to the window: sending through the application would clear
  // the spontaneous mark.
  static_cast<QObject*>(form.get())->event(&minimised);
  EXPECT_TRUE(form->Timer2->isActive());
  form->hide();
  EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(FormMainView, MarkLabelsShownBeforeTheMarksAreDrawnCoverNothing) {
  auto form = Started();
  form->show();
  form->menuBGTrans->trigger();  // opaque labels have a coloured background
  ASSERT_FALSE(form->menuBGTrans->isChecked());
  form->Label_Mark1->show();
  form->Label_Mark2->show();
  EXPECT_TRUE(form->Label_Mark1->size().isEmpty());
  EXPECT_TRUE(form->Label_Mark2->size().isEmpty());
}

TEST_F(FormMainView, LiveRingAndTheFinishedRecordAreDrawnByTheTick) {
  auto form = Started();
  form->resize(900, 700);
  form->show();
  form->Timer2->stop();  // the test ticks
  QApplication::processEvents();
  state.config.SimulateAD = 1;
  state.config.SavePath = dir.string();
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  for (int i = 0; i < 3; ++i) form->TimerOscilTimer();
  ASSERT_EQ(state.display.DataSourceMode, 1);
  form->Timer2Timer();
  EXPECT_FALSE(form->RepaintRequested());
  EXPECT_GT(state.wave.DrawnAnalogCount, 0);

  form->menuTriggerFaultClick();
  for (int i = 0; i < 12; ++i) form->TimerOscilTimer();  // the trigger block and FaultBlockNum - 1 more
  form->JoinRecordWriters();
  ASSERT_EQ(state.display.DispData, state.history.Samples.data()) << form->RunLogText();
  ASSERT_EQ(state.display.DataSourceMode, 0);
  ASSERT_TRUE(form->RepaintRequested());
  state.wave.DrawnAnalogCount = 0;
  form->Timer2Timer();
  EXPECT_FALSE(form->RepaintRequested());
  EXPECT_GT(state.wave.DrawnAnalogCount, 0);
  const QImage& bitmap = form->OffscreenBitmap();
  // The first drawn channel's trace, and the red origin mark: the record
  // is shown from just before its trigger.
  const int key = state.wave.DrawnChannels[0];
  const platform::Color traceColor =
      platform::Color::FromStored(ChannelColor(state.config, key, PaletteRow(state.wave.WhiteBG)));
  const QColor trace(traceColor.red, traceColor.green, traceColor.blue);
  const QColor red(255, 0, 0);
  ASSERT_NE(trace, red);
  EXPECT_GT(CountPixels(bitmap, trace), 0);
  EXPECT_GT(CountPixels(bitmap.copy(0, 0, bitmap.width(), 40), red), 20);
  form->menuStartQuelvarClick();
}

TEST_F(FormMainView, OscilloscopeDrawsItsOwnPictureAndMovesTheScrollBar) {
  auto form = Started();
  form->resize(900, 700);
  form->show();
  form->Timer2->stop();  // the test ticks
  ShowRing(*form, 4);
  state.config.SimulateAD = 1;
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  // The virtual card gives channels 0 and 1 the same signal, so trace 2
  // would cover trace 1 exactly.
  state.oscilTool.UseChn2 = 0;
  form->TimerOscilTimer();
  state.wave.XPosition = state.display.DispPoints;  // the paint pulls a view past the data back
  state.wave.RepaintRequested = 1;
  form->Timer2Timer();
  const QImage& bitmap = form->OffscreenBitmap();
  // Trace 1 in its colour.
  const platform::Color traceColor =
      platform::Color::FromStored(ChannelColor(state.config, 0, PaletteRow(state.wave.WhiteBG)));
  EXPECT_GT(CountPixels(bitmap, QColor(traceColor.red, traceColor.green, traceColor.blue)), 0);
  EXPECT_GT(state.wave.DrawnAnalogCount + state.wave.DrawnSwitchCount, 0);
  EXPECT_LT(state.wave.XPosition, state.display.DispPoints);
  EXPECT_EQ(form->HScrollBar_XPosition->value(), state.wave.XPosition);
  form->menuStartOscilClick();
}

TEST_F(FormMainView, RunLogViewClearsARequestWithoutDrawing) {
  auto form = Started();
  form->show();
  form->menuViewReportClick();
  EXPECT_EQ(state.wave.ViewMode, 2);
  EXPECT_TRUE(form->Panel_Report->isVisible());
  EXPECT_FALSE(form->Panel_Waveform->isVisible());
  state.display.DispValid = 1;
  state.wave.RepaintRequested = 1;
  const int32_t historyBefore = state.wave.ViewHistoryIndex;
  form->Timer2Timer();
  EXPECT_FALSE(form->RepaintRequested());
  EXPECT_EQ(state.wave.ViewHistoryIndex, historyBefore);
}

TEST_F(FormMainView, ViewItemsFormOneRadioGroupOverThreePanels) {
  auto form = Started();
  form->show();
  struct Case {
    void (TFormMain::*click)();
    int32_t mode;
  };
  for (const Case& c : {Case{&TFormMain::menuViewTextClick, 1}, Case{&TFormMain::menuViewReportClick, 2},
                        Case{&TFormMain::menuViewWaveClick, 0}, Case{&TFormMain::menuViewWaveClick, 0}}) {
    (form.get()->*c.click)();
    EXPECT_EQ(state.wave.ViewMode, c.mode);
    const QAction* items[] = {form->menuViewWave, form->menuViewText, form->menuViewReport};
    const QWidget* panels[] = {form->Panel_Waveform, form->Panel_Grid, form->Panel_Report};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(items[i]->isChecked(), i == c.mode) << c.mode << " " << i;
      EXPECT_EQ(panels[i]->isVisible(), i == c.mode) << c.mode << " " << i;
    }
  }
}

TEST_F(FormMainView, DataAreaFollowsTheWindowAndNeverShrinksBelowItsMinimum) {
  auto form = Started();
  form->resize(900, 700);
  form->show();
  form->LayoutMainWindow();
  EXPECT_EQ(form->OffscreenBitmap().size(), form->Image1->size());
  EXPECT_EQ(form->Image1->height(), form->HScrollBar_XPosition->y());
  EXPECT_EQ(form->VScrollBar_YOffset->height() + form->VScrollBar_Channel->height(), form->Image1->height());
  EXPECT_EQ(form->Panel_Grid->geometry(), form->Panel_Waveform->geometry());
  form->resize(150, 120);
  QApplication::processEvents();
  form->LayoutMainWindow();
  EXPECT_GE(form->centralWidget()->width(), 200);
  EXPECT_GE(form->centralWidget()->height(), 200);
}

TEST_F(FormMainView, LiveDisplayOffDropsTheDataAndOnWhileIdlePointsAtTheRing) {
  auto form = Started();
  state.config.WinTitle = "Q";
  FillRing(4);
  state.display.DispValid = 1;
  form->menuMonitor->setChecked(true);
  form->menuMonitorClick();
  EXPECT_FALSE(form->menuMonitor->isChecked());
  EXPECT_FALSE(form->ToolButtonMonitor->isChecked());
  EXPECT_EQ(form->menuMonitor->text().toStdString(), "实时波形隐藏");
  EXPECT_EQ(form->StatusPanelText(2), "无");
  EXPECT_EQ(form->windowTitle().toStdString(), "Q--无显示");
  EXPECT_EQ(state.display.DispValid, 0);

  form->menuSelectFault->setChecked(true);
  state.acq.RingWriteBlock = 2;
  state.record.ViewBlock = 3;
  state.record.ViewPoint = 17;
  form->menuMonitorClick();
  EXPECT_TRUE(form->menuMonitor->isChecked());
  EXPECT_TRUE(form->ToolButtonMonitor->isChecked());
  EXPECT_FALSE(form->menuSelectFault->isChecked());
  EXPECT_EQ(form->StatusPanelText(2), "实时");
  EXPECT_EQ(form->windowTitle().toStdString(), "Q--实时波形");
  EXPECT_EQ(state.history.Comment, "实时波形");
  const DisplayDescriptor& d = state.display;
  EXPECT_EQ(d.DispValid, 1);
  EXPECT_EQ(d.DispData, state.acq.RingBuffer.data());
  EXPECT_EQ(d.DispBlocks, 4);
  EXPECT_EQ(d.DispRows, 4 * state.config.NumSamp);
  EXPECT_EQ(d.DispFirstBlock, 2);
  EXPECT_EQ(d.DispTriggerBlock, 3);
  EXPECT_EQ(d.DispTriggerPoint, 17);
  // The view shows the end of the data.
  EXPECT_EQ(state.wave.XPosition, d.DispPoints - state.wave.DisplayWidth);
}

TEST_F(FormMainView, ToolButtonSwitchesTheLiveDisplayLikeTheMenuItem) {
  auto form = Started();
  ASSERT_TRUE(form->menuMonitor->isChecked());
  form->ToolButtonMonitor->trigger();
  EXPECT_FALSE(form->menuMonitor->isChecked());
  EXPECT_FALSE(form->ToolButtonMonitor->isChecked());
  form->ToolButtonMonitor->trigger();
  EXPECT_TRUE(form->menuMonitor->isChecked());
  EXPECT_TRUE(form->ToolButtonMonitor->isChecked());
  form->menuMonitor->trigger();
  EXPECT_FALSE(form->menuMonitor->isChecked());
  EXPECT_FALSE(form->ToolButtonMonitor->isChecked());
}

TEST_F(FormMainView, RecorderAfterTheOscilloscopeShowsTheWholeRing) {
  // Mended: the oscilloscope leaves its one-block source behind; the
  // recorder's live display must still cover every block of its ring.
  auto form = Started();
  state.config.SimulateAD = 1;
  state.config.MaxBlock = 6;
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope) << form->PostedStatusText();
  form->menuStartOscilClick();
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording) << form->PostedStatusText();
  EXPECT_EQ(state.display.DispBlocks, 6);
  EXPECT_EQ(state.display.DispRows, 6 * state.config.NumSamp);
  form->menuStartQuelvarClick();
}

TEST_F(FormMainView, LiveDisplayOnWithoutARingChangesOnlyTheMenuAndTexts) {
  auto form = Started();
  form->menuMonitor->setChecked(false);
  state.acq.BufferLayoutValid = 0;
  const DisplayDescriptor before = state.display;
  form->menuMonitorClick();
  EXPECT_TRUE(form->menuMonitor->isChecked());
  EXPECT_EQ(state.display.DispValid, before.DispValid);
  EXPECT_EQ(state.display.DispData, before.DispData);
}

TEST_F(FormMainView, PointsPerScreenPresetsAndAnyCountKeepTheirBounds) {
  auto form = Started();
  state.display.DispPoints = 1000;
  state.display.DispValid = 1;
  form->XZoomPresetClick(8);
  EXPECT_EQ(state.wave.XZoom, 8);
  EXPECT_EQ(state.wave.DisplayWidth, 125);
  EXPECT_TRUE(form->menuXZoom8->isChecked());
  EXPECT_FALSE(form->menuXZoom4->isChecked());
  EXPECT_EQ(form->menuXZoomAny->text().toStdString(), "显示125点");
  EXPECT_EQ(form->HScrollBar_XPosition->pageStep(), 112);
  EXPECT_TRUE(form->RepaintRequested());

  struct Case {
    int32_t asked, width;
  };
  for (const Case& c : {Case{300, 300}, Case{5000, 1000}, Case{3, 10}}) {
    form->SetXPointCount(c.asked);
    EXPECT_EQ(state.wave.XZoom, 32);
    EXPECT_EQ(state.wave.DisplayWidth, c.width) << c.asked;
    EXPECT_TRUE(form->menuXZoomAny->isChecked());
    EXPECT_FALSE(form->menuXZoom8->isChecked());
    EXPECT_EQ(form->menuXZoomAny->text().toStdString(), "显示任意点(" + std::to_string(c.width) + ")");
  }
  // A data set narrower than the minimum still shows 10 points.
  state.display.DispPoints = 5;
  form->SetXPointCount(100);
  EXPECT_EQ(state.wave.DisplayWidth, 10);

  state.display.DispPoints = 1000;
  ui.inputAnswers.push_back(std::string("250"));
  form->menuXZoomAnyClick();
  EXPECT_EQ(state.wave.DisplayWidth, 250);
  ui.inputAnswers.push_back(std::string("many"));
  form->menuXZoomAnyClick();
  EXPECT_EQ(state.wave.DisplayWidth, 250);
}

TEST_F(FormMainView, IdleScreenFillsTheBitmapWithTheSchemesBackgroundAndHidesTheLabels) {
  auto form = NewMainWindow();
  form->DrawIdleScreen();  // before the deferred start-up: nothing
  const QImage before = form->OffscreenBitmap();
  state.wave.WhiteBG = 1;
  form->DrawIdleScreen();
  EXPECT_EQ(form->OffscreenBitmap(), before);

  form->Timer2Timer();  // the deferred start-up draws the idle screen
  form->Label_Mark1->show();
  form->DrawIdleScreen();
  const QImage& white = form->OffscreenBitmap();
  EXPECT_EQ(white.pixelColor(white.width() / 2, white.height() / 2), QColor(Qt::white));
  EXPECT_FALSE(form->Label_Mark1->isVisible());
  state.wave.WhiteBG = 0;
  form->DrawIdleScreen();
  const QImage& black = form->OffscreenBitmap();
  EXPECT_EQ(black.pixelColor(black.width() / 2, black.height() / 2), QColor(Qt::black));
}

TEST_F(FormMainView, TriggerPageShowsTheTriggeringSwitchInPageScope) {
  auto form = Started();
  LiveConfig& c = state.config;
  c.SW_Num = 4;
  c.TotalPages = 2;
  form->RebuildDisplayLayout();
  state.record.TriggerKind = 1;
  state.record.TriggerChannel = 2;
  form->menuScopeAll->setChecked(true);
  form->SetupTriggerPage();
  const PageTables& p = state.wave.PageLayout;
  const int32_t page = c.TotalPages + 1;
  EXPECT_EQ(p.PageChannels[static_cast<size_t>(page)], 1);
  EXPECT_EQ(p.PageSwitches[static_cast<size_t>(page)], 1);
  EXPECT_EQ(p.Entries[static_cast<size_t>(2 * (c.Analog_Num + c.SW_Num))], c.Analog_Num + 2);
  EXPECT_TRUE(form->menuScopePage->isChecked());
  EXPECT_FALSE(form->menuScopeAll->isChecked());
  EXPECT_EQ(form->VScrollBar_Channel->maximum(), page);
  EXPECT_EQ(form->VScrollBar_Channel->value(), page);
  EXPECT_EQ(state.wave.BegDispChannel, page);
  EXPECT_TRUE(form->RepaintRequested());
}

}  // namespace
