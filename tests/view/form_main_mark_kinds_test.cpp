// The labels' menus of value kinds: the items, the kind handlers with their
// prompts and dialogs, the start-up's restore of the stored kinds, and the
// time-origin command.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup/FormAnalSpeedConf.h"
#include "setup/FormSelAlgorithm.h"
#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"
#include "view/MarkValues.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kQuelvarKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";

class FormMainMarkKinds : public test::MainWindowFixture {
 protected:
  // A main window after its deferred start-up (prompts are asked from then on).
  std::unique_ptr<TFormMain> Started() {
    auto form = NewMainWindow();
    form->Timer1Timer();
    EXPECT_EQ(state.startup.StartupPending, 0);
    return form;
  }
  // A shown main window with a recorder ring of 4 blocks on display.
  std::unique_ptr<TFormMain> ShownWithData() {
    auto form = NewMainWindow();
    form->Timer2Timer();  // the deferred start-up
    form->resize(800, 600);
    form->show();
    form->Timer2->stop();
    QApplication::processEvents();
    LiveConfig& c = state.config;
    constexpr int32_t kBlocks = 4;
    c.MaxBlock = kBlocks;
    c.NumChn = c.Analog_Num;
    state.acq.RingBlocks = kBlocks;
    state.acq.RingBuffer.assign(static_cast<size_t>(kBlocks) * c.NumSamp * c.NumChn, 0x8000);
    state.acq.BufferLayoutValid = 1;
    state.acq.RingWriteBlock = 0;
    state.display.DispRowWords = c.NumChn;
    form->menuMonitor->setChecked(false);
    form->menuMonitorClick();
    return form;
  }
  // The items of a menu in order: caption, or "-" for a separator, with "?"
  // in front of a hidden one.
  static std::vector<std::string> Items(const QMenu* menu) {
    std::vector<std::string> out;
    for (const QAction* a : menu->actions()) {
      const std::string text = a->isSeparator() ? "-" : a->text().toStdString();
      out.push_back((a->isVisible() ? "" : "?") + text);
    }
    return out;
  }
};

// After the start-up every parameter item shows its stored value.
TEST_F(FormMainMarkKinds, TheLabelsMenusHoldTheKindsInTheirOrder) {
  auto form = Started();
  const std::vector<std::string> first = {
      "瞬时值", "十六进制AD值", "周波平均值", "交流有效值", "相位角度", "一周波频率", "二周波频率", "四周波频率",
      "模拟量转速", "标线间累加值", "标线间平均值", "-", "?n周波增量(n=1)", "?n次谐波量(n=2)", "算法触发情况",
      "算法m计算值(m=0)", "?精确算法校验", "?Fourier算法校验", "-", "标签透明", "显示横标线", "当前时刻为时标零点"};
  const std::vector<std::string> second = {
      "瞬时值", "十六进制AD值", "周波平均值", "交流有效值", "相位角度", "一周波频率", "二周波频率", "四周波频率",
      "模拟量转速", "标线间累加值", "标线间平均值", "?-", "?前n点变化率(n=10)", "?相对变化率(n=10)",
      "?前n点周期(n=10)", "-", "?n周波增量(n=2)", "?n次谐波量(n=2)", "算法触发情况", "算法m计算值(m=0)", "-",
      "当前时刻为时标零点"};
  EXPECT_EQ(Items(form->PopupMenuMark1), first);
  EXPECT_EQ(Items(form->PopupMenuMark2), second);
  EXPECT_TRUE(form->menuMarkInst1->isChecked());
  EXPECT_TRUE(form->menuMarkInst2->isChecked());
  // The transparency item is the view menu's own.
  EXPECT_TRUE(form->menuView->actions().contains(form->menuBGTrans));
  EXPECT_EQ(form->Label_Mark1->toolTip().toStdString(), "右键改变属性");
  EXPECT_EQ(form->Label_Mark2->toolTip().toStdString(), "右键改变属性");
  const QList<QAction*> background = form->PopupMenuBackGroud->actions();
  EXPECT_TRUE(background.contains(form->menuChangeYellowMark));
  EXPECT_EQ(form->menuChangeYellowMark->text().toStdString(), "改变黄标线类型");
  EXPECT_EQ(form->menuChangeRedMark->text().toStdString(), "改变红标线类型");
}

// A typed parameter: the handler, the answer (none: cancelled), the value
// before and after, the prompt shown and the item's caption after.
struct PromptCase {
  void (TFormMain::*handler)();
  int32_t WaveViewState::*field;
  int32_t before;
  std::optional<std::string> answer;
  int32_t after;
  const char* caption;
  const char* prompt;
  const char* itemCaption;
};

TEST_F(FormMainMarkKinds, TypedParametersAreParsedClampedAndCaptioned) {
  const PromptCase cases[] = {
      // not a number: the previous n stays
      {&TFormMain::menuMarkHarmonicsN1Click, &WaveViewState::MarkHarmonics1, 3, "abc", 3, "瞬时显示n次谐波量",
       "请输入谐波次数n(n>=0):    ", "n次谐波量(n=3)"},
      {&TFormMain::menuMarkHarmonicsN1Click, &WaveViewState::MarkHarmonics1, 3, "-3", 0, "瞬时显示n次谐波量",
       "请输入谐波次数n(n>=0):    ", "n次谐波量(n=0)"},
      {&TFormMain::menuMarkHarmonicsN2Click, &WaveViewState::MarkHarmonics2, 2, "5", 5, "瞬时显示n次谐波量",
       "请输入谐波次数n(n>=0):   ", "n次谐波量(n=5)"},
      {&TFormMain::menuMarkIncN1Click, &WaveViewState::MarkInc1, 4, "0", 1, "瞬时显示n周波增量",
       "请输入周波n(n>0):   ", "n周波增量(n=1)"},
      {&TFormMain::menuMarkIncN2Click, &WaveViewState::MarkInc2, 4, "0", 1, "瞬时显示n周波增量",
       "请输入周波数n(n>0):   ", "n周波增量(n=1)"},
      {&TFormMain::menuMarkRatio2Click, &WaveViewState::MarkRatioN2, 10, "1", 2, "计算变化率用前n个采样点",
       "请输入计算变化率用点数n(>=2):   ", "前n点变化率(n=2)"},
      {&TFormMain::menuMarkRatioR2Click, &WaveViewState::MarkRatioRN2, 10, "12", 12, "计算相对变化率用前n个采样点",
       "请输入计算相对变化率用点数n(>=2):   ", "相对变化率(n=12)"},
      // cancelled: kept
      {&TFormMain::menuMarkPeriod2Click, &WaveViewState::MarkPeriodN2, 7, std::nullopt, 7, "计算周期用前n个采样点",
       "请输入周期用点数n(>=2):   ", "前n点周期(n=7)"},
  };
  auto form = Started();
  for (const PromptCase& c : cases) {
    SCOPED_TRACE(c.itemCaption);
    state.wave.*c.field = c.before;
    ui.inputAnswers.push_back(c.answer);
    (form.get()->*c.handler)();
    EXPECT_EQ(state.wave.*c.field, c.after);
    const auto prompts = ui.PromptsOf(Kind::Input);
    ASSERT_FALSE(prompts.empty());
    EXPECT_EQ(prompts.back().caption, c.caption);
    EXPECT_EQ(prompts.back().text, c.prompt);
    bool captioned = false;
    for (QMenu* menu : {form->PopupMenuMark1, form->PopupMenuMark2}) {
      for (QAction* item : menu->actions()) {
        if (item->isChecked() && item->text().toStdString() == c.itemCaption) captioned = true;
      }
    }
    EXPECT_TRUE(captioned);
  }
}

TEST_F(FormMainMarkKinds, AKindHandlerChecksItsOwnItemOfItsMarkAlone) {
  auto form = Started();
  form->menuMarkPhase2Click();
  EXPECT_EQ(state.wave.MarkType2, kMarkPhase);
  EXPECT_EQ(state.wave.MarkType1, kMarkInstant);
  for (QAction* item : form->PopupMenuMark2->actions()) {
    if (item->objectName().startsWith("menuMark")) {
      EXPECT_EQ(item->isChecked(), item == form->menuMarkPhase2) << item->objectName().toStdString();
    }
  }
  EXPECT_TRUE(form->menuMarkInst1->isChecked());
  // Items of other commands in the same menu keep their marks.
  EXPECT_TRUE(form->menuBGTrans->isChecked());
  // A click on an item runs its handler once, without a toggle of its own.
  form->menuMarkRangeSum1->trigger();
  EXPECT_EQ(state.wave.MarkType1, kMarkSumBetween);
  EXPECT_TRUE(form->menuMarkRangeSum1->isChecked());
  EXPECT_FALSE(form->menuMarkInst1->isChecked());
}

TEST_F(FormMainMarkKinds, TheAlgorithmValuePicksItsNumberWithThePicker) {
  auto form = Started();
  state.config.Algorithm_Num = 5;
  state.wave.MarkAlgorithm1 = 2;
  std::string passedIn;
  ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
    auto& picker = dynamic_cast<TFormSelAlgorithm&>(dialog);
    passedIn = picker.EditAlgorithmNo->text().toStdString();
    picker.FormActivate();
    picker.EditAlgorithmNo->setText("9");
    return platform::kModalOk;
  });
  form->menuMarkAlgorithmValue1Click();
  EXPECT_EQ(passedIn, "2");
  EXPECT_EQ(state.wave.MarkAlgorithm1, 4);
  EXPECT_EQ(form->menuMarkAlgorithmValue1->text().toStdString(), "算法m计算值(m=4)");
  // Cancelled: the number stays, whatever the edit holds.
  ui.modalAnswers.push_back([](platform::ModalDialog& dialog) {
    dynamic_cast<TFormSelAlgorithm&>(dialog).EditAlgorithmNo->setText("1");
    return platform::kModalCancel;
  });
  form->menuMarkAlgorithmValue1Click();
  EXPECT_EQ(state.wave.MarkAlgorithm1, 4);
  EXPECT_EQ(ui.PromptsOf(Kind::Modal).back().text, "FormSelAlgorithm");
}

TEST_F(FormMainMarkKinds, TheAnalogSpeedReadsTheDialogBackWhateverItsResult) {
  auto form = Started();
  state.config.VZero = 2048.0f;
  state.config.ADMax = 4095.0f;
  state.wave.MarkAnalSpeedScale = 60.0f;
  state.wave.MarkAnalSpeedNumP2 = 3;
  state.wave.MarkAnalSpeedNumS2 = 8;
  state.wave.MarkAnalSpeedThresholdV = 3000;
  std::vector<std::string> shown;
  ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
    auto& d = dynamic_cast<TFormAnalSpeedConf&>(dialog);
    for (QLineEdit* e : {d.EditNumP, d.EditNumS, d.EditThresholdV, d.EditScale, d.EditUnits})
      shown.push_back(e->text().toStdString());
    d.EditScale->setText("");
    d.EditThresholdV->setText("100");
    d.EditNumP->setText("0");
    d.EditNumS->setText("x");
    d.EditUnits->setText("rpm");
    return platform::kModalCancel;
  });
  form->menuMarkAnalSpeed2Click();
  EXPECT_EQ(shown, (std::vector<std::string>{"3", "8", "3000", "60.00", "r/min"}));
  EXPECT_EQ(state.wave.MarkType2, kMarkSpeed);
  EXPECT_FLOAT_EQ(state.wave.MarkAnalSpeedScale, 1.0f);
  EXPECT_EQ(state.wave.MarkAnalSpeedThresholdV, 2048);
  EXPECT_EQ(state.wave.MarkAnalSpeedNumP2, 1);
  EXPECT_EQ(state.wave.MarkAnalSpeedNumS2, 8);
  EXPECT_EQ(state.wave.MarkSpeedUnit, "rpm");
  EXPECT_EQ(form->menuMarkAnalSpeed2->text().toStdString(), "模拟量转速");
}

TEST_F(FormMainMarkKinds, WithoutDataAKindChangesTheMenuButDrawsNothing) {
  auto form = Started();
  ASSERT_EQ(state.display.DispValid, 0);
  const std::string posted = form->PostedStatusText();
  form->menuMarkPhase1Click();
  EXPECT_EQ(state.wave.MarkType1, kMarkPhase);
  EXPECT_TRUE(form->menuMarkPhase1->isChecked());
  EXPECT_EQ(form->MarkLabelCaption(1), "");
  EXPECT_EQ(form->PostedStatusText(), posted);
}

TEST_F(FormMainMarkKinds, WithDataAKindRedrawsItsLabelAtOnce) {
  auto form = ShownWithData();
  ASSERT_EQ(state.display.DispValid, 1);
  form->menuMarkPhase1Click();
  EXPECT_EQ(form->MarkLabelCaption(1).rfind("相位角度:", 0), 0u) << form->MarkLabelCaption(1);
  ui.inputAnswers.push_back("3");
  form->menuMarkHarmonicsN2Click();
  EXPECT_EQ(form->MarkLabelCaption(2).rfind("3次谐波量:", 0), 0u) << form->MarkLabelCaption(2);
}

TEST_F(FormMainMarkKinds, TheStartUpRestoresTheStoredKindsWithoutAsking) {
  registry.WriteInt32(kQuelvarKey, "MarkType1", 19);
  registry.WriteInt32(kQuelvarKey, "MarkType2", 15);
  registry.WriteInt32(kQuelvarKey, "MarkRatioN2", 7);
  auto form = NewMainWindow();
  form->Timer1Timer();
  EXPECT_EQ(state.wave.MarkType1, kMarkInstant);
  EXPECT_TRUE(form->menuMarkInst1->isChecked());
  EXPECT_FALSE(form->menuMarkAnalSpeed1->isChecked());
  EXPECT_EQ(state.wave.MarkType2, kMarkRate);
  EXPECT_TRUE(form->menuMarkRatio2->isChecked());
  EXPECT_FALSE(form->menuMarkInst2->isChecked());
  EXPECT_FALSE(form->menuMarkRatio2->isVisible());
  EXPECT_EQ(form->menuMarkRatio2->text().toStdString(), "前n点变化率(n=7)");
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
  EXPECT_TRUE(ui.PromptsOf(Kind::Input).empty());
}

// A stored kind per mark and the kind the start-up brings back.
TEST_F(FormMainMarkKinds, StoredKindsOutsideAMarksMenuComeBackAsTheInstantValue) {
  const struct {
    int32_t stored1, stored2, kind1, kind2;
  } cases[] = {{15, 16, 0, 16}, {9, 22, 0, 0}, {14, 17, 14, 17}, {18, 19, 18, 0}, {-1, 12, 0, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.stored1) + "/" + std::to_string(c.stored2));
    AppState own;
    platform::MemoryRegistry tree;
    tree.WriteInt32(kQuelvarKey, "MarkType1", c.stored1);
    tree.WriteInt32(kQuelvarKey, "MarkType2", c.stored2);
    tree.WriteInt32(kQuelvarKey, "MarkAlgorithm1", 6);
    platform::ScriptedUiHost host;
    TFormMain form(own, MainWindowServices{tree, host, screenSaver});
    form.SetRemoteControlPort(0);
    form.SetStationStreamPort(0);
    form.Timer1Timer();
    EXPECT_EQ(own.wave.MarkType1, c.kind1);
    EXPECT_EQ(own.wave.MarkType2, c.kind2);
    EXPECT_TRUE(form.MarkKindMenuItem(1, c.kind1)->isChecked());
    EXPECT_TRUE(form.MarkKindMenuItem(2, c.kind2)->isChecked());
    EXPECT_TRUE(host.prompts.empty());
    // Without a configured algorithm the stored number becomes 0.
    if (c.kind1 == kMarkAlgorithmValue) {
      EXPECT_EQ(own.wave.MarkAlgorithm1, 0);
      EXPECT_EQ(form.menuMarkAlgorithmValue1->text().toStdString(), "算法m计算值(m=0)");
    }
  }
}

TEST_F(FormMainMarkKinds, KindsAndParametersAreStoredUnderTheirNames) {
  {
    auto form = Started();
    ui.inputAnswers.push_back("5");
    form->menuMarkHarmonicsN2Click();
    form->menuMarkHexAD1Click();
  }
  EXPECT_EQ(registry.ReadInt32(kQuelvarKey, "MarkType1"), kMarkHexCode);
  EXPECT_EQ(registry.ReadInt32(kQuelvarKey, "MarkType2"), kMarkHarmonic);
  EXPECT_EQ(registry.ReadInt32(kQuelvarKey, "MarkHarmonics2"), 5);
}

TEST_F(FormMainMarkKinds, TheTimeOriginMovesToTheMarkButNotIntoTheCompressedTail) {
  auto form = ShownWithData();
  DisplayDescriptor& d = state.display;
  WaveViewState& v = state.wave;
  const int32_t perBlock = state.config.NumSamp * std::max(state.layout.MaxMultiFreq, 1);
  v.XPosition = perBlock + 5;
  v.Mark2X = 10;
  v.RepaintRequested = 0;
  form->menuMarkTimeOrig2Click();
  const int64_t a = int64_t{d.DispFirstBlock} * perBlock + v.XPosition + v.Mark2X - 1;
  EXPECT_EQ(int64_t{d.DispTriggerBlock} * perBlock + d.DispTriggerPoint, a % d.DispPoints);
  EXPECT_EQ(v.RepaintRequested, 1);
  // The mark's label now reads time zero.
  form->DrawMarks();
  EXPECT_NE(form->MarkLabelCaption(2).find("0ms"), std::string::npos) << form->MarkLabelCaption(2);

  // A compressed tail from the third block: a mark inside it moves nothing.
  d.DispCompressed = 1;
  d.DispCompressStart = d.DispFirstBlock + 2;
  const int32_t block = d.DispTriggerBlock, point = d.DispTriggerPoint;
  v.XPosition = 2 * perBlock + 3;
  v.RepaintRequested = 0;
  form->menuMarkTimeOrig2Click();
  EXPECT_EQ(d.DispTriggerBlock, block);
  EXPECT_EQ(d.DispTriggerPoint, point);
  EXPECT_EQ(v.RepaintRequested, 0);
}

TEST_F(FormMainMarkKinds, TheRightButtonAndTheBackgroundMenuOpenAMarksKinds) {
  auto form = ShownWithData();
  form->Label_Mark1MouseDown(Qt::RightButton);
  EXPECT_TRUE(form->PopupMenuMark1->isVisible());
  form->PopupMenuMark1->close();
  form->menuChangeRedMarkClick();
  EXPECT_TRUE(form->PopupMenuMark2->isVisible());
  form->PopupMenuMark2->close();
  // The left button steps the mark and opens nothing.
  form->Label_Mark2MouseDown(Qt::LeftButton);
  EXPECT_FALSE(form->PopupMenuMark2->isVisible());
}

TEST_F(FormMainMarkKinds, TheLevelLinesItemTogglesTheirOption) {
  auto form = ShownWithData();
  ASSERT_FALSE(state.wave.Options.ViewV);
  form->menuViewV->trigger();
  EXPECT_TRUE(state.wave.Options.ViewV);
  EXPECT_TRUE(form->menuViewV->isChecked());
  form->menuViewVClick();
  EXPECT_FALSE(state.wave.Options.ViewV);
  EXPECT_FALSE(form->menuViewV->isChecked());
}

}  // namespace
