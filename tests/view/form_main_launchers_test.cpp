// The main window's small launchers: the window title, the card's own panel,
// the record's properties, the repaint button, the trigger-point search's
// algorithm choice and the one-axis switch.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "shell/FormMain.h"
#include "shell/MainWindowFixture.h"

namespace {

using namespace quelvar;
using Kind = platform::ScriptedUiHost::Kind;

const std::string kQuelvarKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";

class FormMainLaunchers : public test::MainWindowFixture {};

int cardPanelCalls = 0;
int32_t CountingCardPanel() {
  ++cardPanelCalls;
  return 0;  // not looked at
}

TEST_F(FormMainLaunchers, TheNewTitleReplacesTheOldOneAndTheSuffixStays) {
  auto form = NewMainWindow();
  state.config.WinTitle = "录波器";
  form->setWindowTitle(QStringLiteral("录波器--历史数据:2024"));
  ui.inputAnswers.push_back(std::string("二号机组"));
  form->menuSetWinTitle->trigger();
  const auto inputs = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].caption, "定制窗口标题");
  EXPECT_EQ(inputs[0].text, "请输入新的标题    ");
  EXPECT_EQ(inputs[0].arguments, std::vector<std::string>{"录波器"});
  EXPECT_EQ(form->windowTitle(), QStringLiteral("二号机组--历史数据:2024"));
  EXPECT_EQ(state.config.WinTitle, "二号机组");
  // Kept with the configuration.
  ASSERT_TRUE(form->SaveConfigToRegistry());
  EXPECT_EQ(registry.ReadString(kQuelvarKey, "WinTitle"), "二号机组");
}

TEST_F(FormMainLaunchers, CancellingOrTakingTheTitleUnchangedChangesNothing) {
  auto form = NewMainWindow();
  state.config.WinTitle = "Rec";
  form->setWindowTitle(QStringLiteral("Rec--实时波形"));
  form->menuSetWinTitleClick();  // no answer: cancelled
  ui.inputAnswers.push_back(std::string("Rec"));
  form->menuSetWinTitleClick();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Rec--实时波形"));
  EXPECT_EQ(state.config.WinTitle, "Rec");
  // An empty title: the suffix alone.
  ui.inputAnswers.push_back(std::string());
  form->menuSetWinTitleClick();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("--实时波形"));
}

TEST_F(FormMainLaunchers, TheCardSettingItemCallsTheDriversPanel) {
  auto form = NewMainWindow();
  cardPanelCalls = 0;
  form->menuCardSettingClick();  // no entry bound: nothing
  state.driver.Entries.CardSpecSetting = &CountingCardPanel;
  form->menuCardSetting->trigger();
  EXPECT_EQ(cardPanelCalls, 1);
}

TEST_F(FormMainLaunchers, TheWavePropertiesBoxShowsTheRecordsComment) {
  auto form = NewMainWindow();
  state.history.Comment = "试验 3\r\n负载 50%";
  form->menuWaveProp->trigger();
  const auto boxes = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "试验 3\r\n负载 50%");
  EXPECT_EQ(boxes[0].caption, "当前波形属性");
  EXPECT_EQ(boxes[0].buttons, platform::MsgButtons::OkCancel);
  EXPECT_TRUE(form->PopupMenuBackGroud->actions().contains(form->menuWaveProp));
}

TEST_F(FormMainLaunchers, TheRepaintButtonRequestsARepaint) {
  auto form = NewMainWindow();
  state.wave.RepaintRequested = 0;
  form->ToolButtonRepaint->trigger();
  EXPECT_TRUE(form->RepaintRequested());
}

TEST_F(FormMainLaunchers, TheTwoSearchAlgorithmsAreCheckedOneAtATime) {
  auto form = NewMainWindow();
  form->Timer1Timer();
  EXPECT_FALSE(form->menuHarmonicAccurate->isChecked());
  EXPECT_TRUE(form->menuHarmonicFourier->isChecked());
  // Hidden and disabled as the start-up leaves them.
  EXPECT_FALSE(form->menuHarmonicAccurate->isEnabled());
  form->menuHarmonicAccurateClick();
  EXPECT_TRUE(form->menuHarmonicAccurate->isChecked());
  EXPECT_FALSE(form->menuHarmonicFourier->isChecked());
  form->menuHarmonicAccurateClick();
  EXPECT_TRUE(form->menuHarmonicAccurate->isChecked());
  form->menuHarmonicFourierClick();
  EXPECT_FALSE(form->menuHarmonicAccurate->isChecked());
  EXPECT_TRUE(form->menuHarmonicFourier->isChecked());
}

TEST_F(FormMainLaunchers, TheOneAxisSwitchRepaintsOnlyWithDataShown) {
  auto form = NewMainWindow();
  state.wave.RepaintRequested = 0;
  form->menuViewIn1AxialClick();
  EXPECT_TRUE(state.wave.Options.In1Axial);
  EXPECT_FALSE(form->RepaintRequested());
  state.display.DispValid = 1;
  form->menuViewIn1AxialClick();
  EXPECT_FALSE(state.wave.Options.In1Axial);
  EXPECT_TRUE(form->RepaintRequested());
}

}  // namespace
