#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <memory>

#include "auxwin/FormSecondDisp.h"
#include "view/MainWindowWithData.h"
#include "view/PaintBox.h"

namespace quelvar::test {
namespace {

const char* const kKey = "\\SOFTWARE\\QuelvarTorque\\SeconDisp";

class FormSecondDispTest : public MainWindowWithData {
 protected:
  // The main window with data and the second window handed to it, its
  // page tables built by the main window's layout rebuild.
  void Open() {
    form = WithData();
    second = std::make_unique<TFormSecondDisp>(state, registry, ui);
    form->SetSecondDisp(second.get());
    second->resize(500, 360);
    form->RebuildDisplayLayout();
  }
  void Close() {
    if (form) form->SetSecondDisp(nullptr);
    second.reset();
    form.reset();
  }
  void TearDown() override {
    Close();
    MainWindowWithData::TearDown();
  }
  bool PictureDrawn() const {
    const QImage& bitmap = second->Bitmap();
    for (int y = 0; y < bitmap.height(); y += 3) {
      for (int x = 0; x < bitmap.width(); x += 3) {
        if (bitmap.pixel(x, y) != qRgb(0, 0, 0)) return true;
      }
    }
    return false;
  }

  std::unique_ptr<TFormMain> form;
  std::unique_ptr<TFormSecondDisp> second;
};

TEST_F(FormSecondDispTest, RedrawnAtATickOnlyWithDataRequestAndShownWindow) {
  struct Case {
    int32_t dispValid;
    int32_t requested;
    bool shown;
  } cases[] = {{1, 1, true}, {0, 1, true}, {1, 0, true}, {1, 1, false}};
  for (const Case& c : cases) {
    Open();
    if (c.shown) second->show();
    QApplication::processEvents();
    second->RepaintRequested = c.requested;
    const int32_t validBefore = state.display.DispValid;
    state.display.DispValid = c.dispValid;
    second->View().DrawnRows = -1;  // a paint writes it
    form->Timer2Timer();
    const bool due = c.dispValid == 1 && c.requested == 1 && c.shown;
    EXPECT_EQ(second->View().DrawnRows != -1, due) << c.dispValid << c.requested << c.shown;
    EXPECT_EQ(second->RepaintRequested, due ? 0 : c.requested) << c.dispValid << c.requested << c.shown;
    if (due) {
      EXPECT_TRUE(PictureDrawn());
    }
    state.display.DispValid = validBefore;
    Close();
  }
}

TEST_F(FormSecondDispTest, AHiddenWindowIsPaintedAtTheFirstTickAfterItIsShown) {
  Open();
  form->Button_NotifyKeyUp();  // a block's intake asks, never paints
  EXPECT_EQ(second->RepaintRequested, 1);
  form->Timer2Timer();
  EXPECT_EQ(second->RepaintRequested, 1);  // hidden: not painted
  second->show();
  EXPECT_EQ(state.SecondDispVisible, 1);
  form->Timer2Timer();
  EXPECT_EQ(second->RepaintRequested, 0);
  second->hide();
  EXPECT_EQ(state.SecondDispVisible, 0);
}

TEST_F(FormSecondDispTest, HidingTheMainWindowKeepsTheTimerWhileTheSecondIsShown) {
  Open();
  for (const bool shown : {true, false}) {
    second->setVisible(shown);
    form->Timer2->start();
    form->FormHide();
    EXPECT_EQ(form->Timer2->isActive(), shown) << shown;
  }
  form->Timer2->stop();
}

TEST_F(FormSecondDispTest, ShownAtStartUpWhenItsAutoViewItemIsChecked) {
  for (const bool autoView : {true, false}) {
    form = NewMainWindow();
    second = std::make_unique<TFormSecondDisp>(state, registry, ui);
    second->menuAutoView->setChecked(autoView);
    form->SetSecondDisp(second.get());
    form->Timer1Timer();  // the first housekeeping runs the deferred start-up
    EXPECT_EQ(second->isVisible(), autoView) << autoView;
    EXPECT_EQ(state.SecondDispVisible, autoView ? 1 : 0) << autoView;
    Close();
  }
}

TEST_F(FormSecondDispTest, RefusedInTheOscilloscopeDisplay) {
  Open();
  state.display.DataSourceMode = 2;
  form->menuSecondDispClick();
  EXPECT_FALSE(second->isVisible());
  EXPECT_EQ(form->PostedStatusText(), "提示：当前模式下第二波形窗口无法显示！");
  state.display.DataSourceMode = 0;
  form->menuSecondDisp->trigger();
  EXPECT_TRUE(second->isVisible());
}

TEST_F(FormSecondDispTest, StartingTheOscilloscopeHidesTheWindow) {
  Open();
  second->show();
  state.config.SimulateAD = 1;
  form->menuStartOscilClick();
  ASSERT_EQ(state.display.DataSourceMode, 2);
  EXPECT_FALSE(second->isVisible());
  EXPECT_EQ(state.SecondDispVisible, 0);
  form->menuSecondDisp->trigger();  // refused while the oscilloscope shows
  EXPECT_FALSE(second->isVisible());
  form->menuStartOscilClick();
}

TEST_F(FormSecondDispTest, MarksMappedBetweenTheWindows) {
  Open();
  const int32_t points = state.display.DispPoints;
  ASSERT_GT(points, 200);
  WaveViewState& main = state.wave;
  main.XPosition = 100;
  main.DisplayWidth = 100;
  main.Mark1X = 30;
  main.Mark2X = 10;
  // Hidden: the command does nothing.
  form->menuMapInstToSecondDisp->trigger();
  EXPECT_NE(second->View().XPosition, 109);
  second->show();
  ASSERT_TRUE(form->menuMapInstToSecondDisp->isEnabled());
  form->menuMapInstToSecondDisp->trigger();
  EXPECT_EQ(second->View().XPosition, 109);
  EXPECT_EQ(second->View().DisplayWidth, 21);
  EXPECT_TRUE(second->menuXZoomAny->isChecked());
  EXPECT_EQ(second->menuXZoomAny->text().toStdString(), "显示任意点(21)");
  EXPECT_EQ(second->RepaintRequested, 1);

  // And back: the second window's marks to the main window.
  second->View().Mark1X = 5;
  second->View().Mark2X = 15;
  second->menuMapInstToMainWave->trigger();
  EXPECT_EQ(main.XPosition, 113);
  EXPECT_EQ(main.DisplayWidth, 11);
}

TEST_F(FormSecondDispTest, TheWindowsCommandsNeverLeaveAWidthBelowTwo) {
  Open();
  second->show();
  WaveViewState& v = second->View();
  v.XPosition = 0;
  v.DisplayWidth = 100;
  v.Mark1X = 100;
  v.Mark2X = 100;
  second->menuXZoomMark->trigger();
  EXPECT_GE(v.DisplayWidth, 2);
  second->SetXWindow(50, 0);
  EXPECT_GE(v.DisplayWidth, 2);
  second->SetXWindow(-10, -5);
  EXPECT_GE(v.DisplayWidth, 2);
  EXPECT_GE(v.XPosition, 0);
  form->Timer2Timer();  // and the screen of two points paints
  EXPECT_EQ(second->RepaintRequested, 0);
}

// A window narrower than the scale area: the picture keeps columns for the
// plot (without any, every trace would join all its points).
TEST_F(FormSecondDispTest, ATinyWindowsPictureKeepsPlotColumns) {
  Open();
  second->show();
  second->resize(20, 20);
  second->FormResize();
  ASSERT_LT(second->Image1->width(), state.labels.ScreenLabelWidth);
  second->RepaintRequested = 1;
  form->Timer2Timer();
  EXPECT_EQ(second->RepaintRequested, 0);
  EXPECT_GT(second->Bitmap().width(), state.labels.ScreenLabelWidth);
  EXPECT_GT(second->View().DrawnRows, 0);
}

TEST_F(FormSecondDispTest, StoredValuesTakeEffectThroughTheMenus) {
  registry.WriteInt32(kKey, "XZoom", 3);
  registry.WriteInt32(kKey, "DisplayWidth", 321);
  registry.WriteInt32(kKey, "YZoom", 3);
  registry.WriteInt32(kKey, "IDScope", 1);
  registry.WriteInt32(kKey, "DispScale", 2);
  registry.WriteInt32(kKey, "AbsoluteTime", 1);
  registry.WriteInt32(kKey, "XAxialTime", 0);
  TFormSecondDisp window(state, registry, ui);
  EXPECT_TRUE(window.menuXZoomAny->isChecked());
  EXPECT_EQ(window.View().DisplayWidth, 321);
  EXPECT_EQ(window.View().XZoom, 32);
  EXPECT_TRUE(window.menuYZoom.back()->isChecked());
  EXPECT_EQ(window.View().YZoom, 2000);
  EXPECT_TRUE(window.menuScope[0]->isChecked());
  EXPECT_EQ(window.menuDispScale->text().toStdString(), "X刻度数(=5)");
  EXPECT_TRUE(window.menuXAxialTime->isChecked());
  EXPECT_TRUE(window.menuAutoView->isChecked());
}

TEST_F(FormSecondDispTest, AStoredFirstChannelOutsideTheChannelsIsHeldWithinThem) {
  for (int32_t stored : {-5, 9999}) {
    registry.WriteInt32(kKey, "BegDispChannel", stored);
    TFormSecondDisp window(state, registry, ui);
    EXPECT_GE(window.View().BegDispChannel, 0) << stored;
    EXPECT_LE(window.View().BegDispChannel, window.VScrollBar_Channel->maximum()) << stored;
    EXPECT_EQ(window.View().BegDispChannel, window.VScrollBar_Channel->value()) << stored;
  }
}

TEST_F(FormSecondDispTest, TheChannelPropertiesDialogAsksAHiddenSecondWindowToRepaint) {
  Open();
  second->hide();
  second->RepaintRequested = 0;
  ui.AnswerModal(platform::kModalCancel);
  form->menuCurChnPropClick();
  EXPECT_EQ(second->RepaintRequested, 1);
}

TEST_F(FormSecondDispTest, SettingsComeBackAtTheNextStart) {
  {
    TFormSecondDisp window(state, registry, ui);
    window.YZoomPresetClick(50);
    window.menuWhiteBG->trigger();
    window.menuAutoView->trigger();
    window.ScopeClick(ChannelScope::Eight);
  }
  TFormSecondDisp window(state, registry, ui);
  EXPECT_EQ(window.View().YZoom, 50);
  EXPECT_EQ(window.View().WhiteBG, 1);
  EXPECT_FALSE(window.menuAutoView->isChecked());
  EXPECT_TRUE(window.menuScope[static_cast<size_t>(ChannelScope::Eight)]->isChecked());
}

TEST_F(FormSecondDispTest, ViewHistoryWalksBackAndForth) {
  Open();
  second->show();
  WaveViewState& v = second->View();
  const int32_t views[][2] = {{0, 100}, {200, 50}, {400, 300}};
  for (const auto& [x, w] : views) {
    v.XPosition = x;
    v.DisplayWidth = w;
    second->RepaintRequested = 1;
    form->Timer2Timer();
  }
  second->menuPrevConf->trigger();
  EXPECT_EQ(v.XPosition, 200);
  form->Timer2Timer();
  second->menuPrevConf->trigger();
  EXPECT_EQ(v.XPosition, 0);
  EXPECT_EQ(v.DisplayWidth, 100);
  form->Timer2Timer();
  second->menuNextConf->trigger();
  EXPECT_EQ(v.XPosition, 200);
  EXPECT_EQ(v.DisplayWidth, 50);
}

}  // namespace
}  // namespace quelvar::test
