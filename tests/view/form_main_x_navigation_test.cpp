// The main window's X navigation through its menu items and tool buttons:
// the X zoom pop-up's items, the compress and expand steps, the range
// between the marks, a window handed over, previous and next screen over
// real repaints, and the time-axis switches of the waveform's pop-up.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;

class FormMainXNavigation : public test::MainWindowFixture {
 protected:
  // A main window past its deferred start-up (the first tick runs it).
  std::unique_ptr<TFormMain> Started() {
    auto form = NewMainWindow();
    form->Timer2Timer();
    return form;
  }
  // Data of `points` points on display, as far as the X commands look: the
  // layout rebuild gives the X bar its range.
  void ShowPoints(TFormMain& form, int32_t points) {
    state.display.DispPoints = points;
    state.display.DispValid = 1;
    form.HScrollBar_XPosition->setRange(0, points - 1);
  }
  // A recorder ring of `blocks` blocks on display after a run, painted at
  // once when the window is visible.
  void ShowRing(TFormMain& form, int32_t blocks) {
    LiveConfig& c = state.config;
    c.MaxBlock = blocks;
    c.NumChn = c.Analog_Num;
    c.MaxMultiFreq = 1;
    state.acq.RingBlocks = blocks;
    state.acq.RingBuffer.assign(static_cast<size_t>(blocks) * c.NumSamp * c.NumChn, 0);
    state.acq.BufferLayoutValid = 1;
    state.acq.RingWriteBlock = 0;
    state.display.DispRowWords = c.NumChn;
    form.menuMonitor->setChecked(false);
    form.menuMonitorClick();
  }
  std::pair<int32_t, int32_t> Window() const { return {state.wave.XPosition, state.wave.DisplayWidth}; }
};

std::vector<std::string> ItemNames(const QMenu& menu) {
  std::vector<std::string> names;
  for (const QAction* a : menu.actions()) names.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
  return names;
}

TEST_F(FormMainXNavigation, TheXZoomPopUpAndTheXToolButtonsOfferTheNavigation) {
  auto form = Started();
  const std::vector<std::string> order = {
      "menuXZoom1",      "menuXZoom2",       "menuXZoom4",       "menuXZoom8",      "menuXZoom16",
      "menuXZoomAny",    "menuXZoomMark",    "menuXScaleExpand", "menuXScaleCompress", "-",
      "menuGridXAsPicX", "menuGridXAsMark1", "menuGridXAsMark2", "-",              "menuMapInstToSecondDisp",
      "-",               "menuPreviousConf", "menuNextConf"};
  EXPECT_EQ(ItemNames(*form->PopupMenuXZoom), order);
  const std::pair<QAction*, const char*> captions[] = {
      {form->menuXZoomMark, "显示两标线之间"},     {form->menuXScaleExpand, "放大1倍"},
      {form->menuXScaleCompress, "压缩1倍"},       {form->menuGridXAsPicX, "置文字显示起点为图形起点"},
      {form->menuGridXAsMark1, "置文字显示起点为黄标线"}, {form->menuGridXAsMark2, "置文字显示起点为红标线"},
      {form->menuMapInstToSecondDisp, "映射两标线间到第二波形窗口"},
      {form->menuPreviousConf, "上一画面"},        {form->menuNextConf, "下一画面"}};
  for (const auto& [item, caption] : captions) EXPECT_EQ(item->text().toStdString(), caption);
  for (QAction* built : {form->menuXZoomMark, form->menuXScaleExpand, form->menuXScaleCompress, form->menuPreviousConf,
                         form->menuNextConf, form->ToolButtonXCompress, form->ToolButtonXExpand, form->menuGridXAsPicX,
                         form->menuGridXAsMark1, form->menuGridXAsMark2, form->menuMapInstToSecondDisp}) {
    EXPECT_TRUE(built->isEnabled()) << built->objectName().toStdString();
  }

  // The two X buttons stand before the Y buttons; compress drops the pop-up down.
  const QList<QAction*> tools = form->ToolBar1->actions();
  const qsizetype compress = tools.indexOf(form->ToolButtonXCompress);
  ASSERT_GE(compress, 0);
  EXPECT_EQ(tools.indexOf(form->ToolButtonXExpand), compress + 1);
  EXPECT_EQ(tools.indexOf(form->ToolButtonYCompress), compress + 2);
  EXPECT_EQ(form->ToolButtonXCompress->toolTip().toStdString(), "X方向压缩/完全控制");
  EXPECT_EQ(form->ToolButtonXExpand->toolTip().toStdString(), "X方向展开");
  EXPECT_EQ(form->ToolButtonXCompress->menu(), form->PopupMenuXZoom);
  auto* button = qobject_cast<QToolButton*>(form->ToolBar1->widgetForAction(form->ToolButtonXCompress));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);

  // The time-axis switches are the waveform pop-up's, checkable and enabled.
  for (QAction* item : {form->menuXAxialTime, form->menuAbsoluteTime}) {
    EXPECT_TRUE(form->PopupMenuBackGroud->actions().contains(item));
    EXPECT_FALSE(form->menuView->actions().contains(item));
    EXPECT_TRUE(item->isCheckable());
    EXPECT_TRUE(item->isEnabled());
  }
}

enum class Press { CompressButton, CompressItem, ExpandButton, ExpandItem };

struct StepCase {
  const char* what;
  int32_t startPreset;  // 0: any count of startWidth
  int32_t startWidth;
  Press press;
  int32_t width, xZoom;
  const char* checked;
  const char* anyCaption;
};

TEST_F(FormMainXNavigation, CompressAndExpandStepThroughThePresetsAndTheAnyCount) {
  const StepCase cases[] = {
      {"expand from 4 times", 4, 0, Press::ExpandButton, 375, 8, "menuXZoom8", "显示375点"},
      {"expand from 16 times halves", 16, 0, Press::ExpandItem, 93, 16, "menuXZoomAny", "显示任意点(93)"},
      {"compress from 2 times", 2, 0, Press::CompressItem, 1500 * 2, 1, "menuXZoom1", "显示3000点"},
      {"compress at the whole record", 1, 0, Press::CompressButton, 3000, 1, "menuXZoom1", "显示3000点"},
      {"compress an any count", 0, 2000, Press::CompressButton, 3000, 32, "menuXZoomAny", "显示任意点(3000)"},
      {"expand an any count", 0, 15, Press::ExpandButton, 10, 32, "menuXZoomAny", "显示任意点(10)"},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.what);
    AppState own;
    TFormMain form(own, MainWindowServices{registry, ui, screenSaver});
    own.display.DispPoints = 3000;
    own.display.DispValid = 1;
    form.SetXPointCount(c.startPreset == 0 ? c.startWidth : 100);
    if (c.startPreset != 0) form.XZoomPresetClick(c.startPreset);
    own.wave.RepaintRequested = 0;
    switch (c.press) {
      case Press::CompressButton: form.ToolButtonXCompress->trigger(); break;
      case Press::CompressItem: form.menuXScaleCompress->trigger(); break;
      case Press::ExpandButton: form.ToolButtonXExpand->trigger(); break;
      case Press::ExpandItem: form.menuXScaleExpand->trigger(); break;
    }
    EXPECT_EQ(own.wave.DisplayWidth, c.width);
    EXPECT_EQ(own.wave.XZoom, c.xZoom);
    for (QAction* item : {form.menuXZoom1, form.menuXZoom2, form.menuXZoom4, form.menuXZoom8, form.menuXZoom16,
                          form.menuXZoomAny}) {
      EXPECT_EQ(item->isChecked(), item->objectName() == c.checked) << item->objectName().toStdString();
    }
    EXPECT_EQ(form.menuXZoomAny->text().toStdString(), c.anyCaption);
    EXPECT_EQ(form.HScrollBar_XPosition->pageStep(), c.width * 9 / 10);
    EXPECT_EQ(own.wave.RepaintRequested, 1);  // also where nothing changed
  }
}

TEST_F(FormMainXNavigation, BetweenTheMarksTheMarksFrameTheNewScreen) {
  auto form = Started();
  ShowPoints(*form, 3000);
  WaveViewState& v = state.wave;
  v.XPosition = 500;
  v.DisplayWidth = 100;
  v.Mark1X = 40;
  v.Mark2X = 10;
  v.RepaintRequested = 0;
  form->menuXZoomMark->trigger();
  EXPECT_EQ(Window(), std::make_pair(509, 31));
  EXPECT_EQ(form->HScrollBar_XPosition->value(), 509);
  EXPECT_EQ(v.Mark1X, 1);
  EXPECT_EQ(v.Mark2X, 31);
  EXPECT_EQ(v.XZoom, 32);
  EXPECT_TRUE(form->menuXZoomAny->isChecked());
  EXPECT_FALSE(form->menuXZoom4->isChecked());
  EXPECT_EQ(form->menuXZoomAny->text().toStdString(), "显示任意点(31)");
  EXPECT_EQ(form->HScrollBar_XPosition->pageStep(), 27);
  EXPECT_TRUE(form->RepaintRequested());

  // Mended: coinciding marks at the right edge of the last screen give two
  // points within the data, not one point past it.
  v.XPosition = 2900;
  v.DisplayWidth = 100;
  v.Mark1X = v.Mark2X = 100;
  form->menuXZoomMarkClick();
  EXPECT_EQ(Window(), std::make_pair(2998, 2));
  EXPECT_EQ(form->HScrollBar_XPosition->value(), 2998);
  EXPECT_EQ(v.Mark2X, 2);
}

TEST_F(FormMainXNavigation, BetweenTheMarksWaitsForDataAndForTheOscilloscopesTimeLines) {
  auto form = Started();
  ShowPoints(*form, 3000);
  WaveViewState& v = state.wave;
  struct Case {
    int16_t valid;
    int32_t source, measTime;
    bool applies;
  };
  for (const Case& c : {Case{0, 0, 1, false}, Case{1, 2, 0, false}, Case{1, 2, 1, true}, Case{1, 1, 0, true}}) {
    state.display.DispValid = c.valid;
    state.display.DataSourceMode = c.source;
    state.oscilTool.MeasTime = c.measTime;
    v.XPosition = 500;
    v.DisplayWidth = 100;
    v.Mark1X = 10;
    v.Mark2X = 40;
    form->menuXZoomMarkClick();
    EXPECT_EQ(Window(), c.applies ? std::make_pair(509, 31) : std::make_pair(500, 100))
        << c.valid << " " << c.source << " " << c.measTime;
  }
}

TEST_F(FormMainXNavigation, AHandedOverWindowIsShownWithinTheDataAndKeepsTheZoom) {
  auto form = Started();
  ShowPoints(*form, 3000);
  form->XZoomPresetClick(8);
  struct Case {
    int32_t first, count;
    std::pair<int32_t, int32_t> shown;
  };
  for (const Case& c : {Case{1000, 400, {1000, 400}}, Case{2990, 50, {2950, 50}}, Case{10, 1, {10, 2}},
                        Case{-5, 5000, {0, 3000}}}) {
    form->SetXWindow(c.first, c.count);
    EXPECT_EQ(Window(), c.shown) << c.first << "+" << c.count;
    EXPECT_EQ(form->HScrollBar_XPosition->value(), c.shown.first);
    EXPECT_EQ(form->menuXZoomAny->text().toStdString(), "显示任意点(" + std::to_string(c.shown.second) + ")");
  }
  EXPECT_EQ(state.wave.XZoom, 8);
  EXPECT_TRUE(form->menuXZoomAny->isChecked());
  EXPECT_FALSE(form->menuXZoom8->isChecked());

  state.display.DispValid = 0;
  form->SetXWindow(100, 200);
  EXPECT_EQ(Window(), std::make_pair(0, 3000));
}

TEST_F(FormMainXNavigation, PreviousAndNextScreenReturnThroughTheWindowsPainted) {
  auto form = Started();
  form->show();
  ShowRing(*form, 4);
  ASSERT_EQ(state.display.DispValid, 1);
  const auto start = Window();
  form->menuXZoom8->trigger();
  form->Timer2Timer();
  const auto eighth = Window();
  form->menuXZoom16->trigger();
  form->Timer2Timer();
  ASSERT_NE(start, eighth);
  ASSERT_NE(Window(), eighth);

  form->menuPreviousConf->trigger();
  EXPECT_EQ(Window(), eighth);  // the window before the last zoom
  EXPECT_EQ(form->HScrollBar_XPosition->value(), eighth.first);
  EXPECT_EQ(form->menuXZoomAny->text().toStdString(), "显示" + std::to_string(eighth.second) + "点");
  EXPECT_TRUE(form->menuXZoom16->isChecked());  // no check mark changes
  EXPECT_TRUE(form->RepaintRequested());
  form->Timer2Timer();
  form->menuPreviousConf->trigger();
  EXPECT_EQ(Window(), start);
  form->Timer2Timer();
  form->menuNextConf->trigger();
  EXPECT_EQ(Window(), eighth);

  // Without data neither moves.
  form->Timer2Timer();
  state.display.DispValid = 0;
  form->menuPreviousConfClick();
  form->menuNextConfClick();
  EXPECT_EQ(Window(), eighth);
}

TEST_F(FormMainXNavigation, AbsoluteTimeHoldsTheTimeAlignedAxisUntilItIsSwitchedOff) {
  auto form = Started();
  state.display.DispValid = 1;
  ASSERT_TRUE(form->menuXAxialTime->isChecked());
  ASSERT_FALSE(form->menuAbsoluteTime->isChecked());
  struct Click {
    QAction* item;
    bool timeAligned, absolute;
  };
  const Click clicks[] = {
      {form->menuXAxialTime, false, false},   {form->menuAbsoluteTime, true, true},
      {form->menuXAxialTime, true, true},     {form->menuAbsoluteTime, true, false},
      {form->menuXAxialTime, false, false},
  };
  for (const Click& c : clicks) {
    state.wave.RepaintRequested = 0;
    c.item->trigger();
    EXPECT_EQ(form->menuXAxialTime->isChecked(), c.timeAligned);
    EXPECT_EQ(form->menuAbsoluteTime->isChecked(), c.absolute);
    // What the renderer reads.
    EXPECT_EQ(state.wave.Options.XAxialTime, c.timeAligned);
    EXPECT_EQ(state.wave.Options.AbsoluteTime, c.absolute);
    EXPECT_TRUE(form->RepaintRequested());
  }
  state.display.DispValid = 0;
  state.wave.RepaintRequested = 0;
  form->menuAbsoluteTime->trigger();
  EXPECT_TRUE(form->menuXAxialTime->isChecked());
  EXPECT_FALSE(form->RepaintRequested());
}

}  // namespace
